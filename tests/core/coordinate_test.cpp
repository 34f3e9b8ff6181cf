#include <gtest/gtest.h>

#include "core/coordinate.hpp"
#include "core/letters.hpp"
#include "core/unicode_upper.hpp"

namespace tabulon {
namespace {

TEST(Letters, BijectiveBase26) {
  EXPECT_EQ(column_letters(0), "");
  EXPECT_EQ(column_letters(1), "A");
  EXPECT_EQ(column_letters(26), "Z");
  EXPECT_EQ(column_letters(27), "AA");
  EXPECT_EQ(column_letters(18278), "ZZZ");
  EXPECT_EQ(column_letters(18279), "AAAA");
  EXPECT_EQ(column_letters(65535), "CRXO");
  for (unsigned c = 1; c <= 18278; ++c) {
    ASSERT_EQ(column_from_letters(column_letters(static_cast<std::uint16_t>(c))), c);
  }
}

TEST(Utf8, MalformedBytesDecodeAsReplacement) {
  std::string_view text("\xC3", 1);  // truncated two-byte sequence
  std::size_t pos = 0;
  EXPECT_EQ(next_code_point(text, pos), 0xFFFDu);
  EXPECT_EQ(pos, 1u);
  std::string_view bad_continuation("\xE2\x41\x41", 3);
  pos = 0;
  EXPECT_EQ(next_code_point(bad_continuation, pos), 0xFFFDu);
  EXPECT_EQ(pos, 1u);
}

TEST(Upper, FullMappingComparesAgainstAscii) {
  EXPECT_TRUE(upper_equals("tRuE", "TRUE"));
  EXPECT_TRUE(upper_equals("fal\xC5\xBF" "e", "FALSE"));  // long s upper-cases to S
  EXPECT_FALSE(upper_equals(" TRUE", "TRUE"));
  EXPECT_FALSE(upper_equals("TRU", "TRUE"));
  EXPECT_FALSE(upper_equals("TRUEE", "TRUE"));
  EXPECT_EQ(reference_upper("\xC3\x9F" "1"), "SS1");  // sharp s expands
}

TEST(Reference, ParsesLikeThePattern) {
  struct Case {
    const char* text;
    bool ok;
    std::uint32_t row;
    std::uint16_t column;
  };
  const Case cases[] = {
      {"b7", true, 7, 2},          {"$B$7", true, 7, 2},     {"B7:C9", true, 7, 2},
      {"A1B", true, 1, 1},         {"ZZZ1", true, 1, 18278}, {"A4294967295", true, 4294967295u, 1},
      {"A007", true, 7, 1},        {"A0", true, 0, 1},       {"B$2", true, 2, 2},
      {"$B2", true, 2, 2},         {"\xC3\x9F" "1", true, 1, 513},
      {"A4294967296", false, 0, 0}, {"A", false, 0, 0},      {"7", false, 0, 0},
      {"", false, 0, 0},           {" A1", false, 0, 0},     {"1A", false, 0, 0},
      {"ABCD1", false, 0, 0},      {"$$1", false, 0, 0},     {"$1", false, 0, 0},
      {"A$", false, 0, 0},         {"\xC3\xA9" "1", false, 0, 0},
  };
  for (const Case& c : cases) {
    auto parsed = parse_reference(c.text);
    ASSERT_EQ(parsed.has_value(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(parsed->row, c.row) << c.text;
      EXPECT_EQ(parsed->column, c.column) << c.text;
    }
  }
}

TEST(Coordinate, TextFormAndOrder) {
  EXPECT_EQ(coordinate_text({3, 2}), "Coordinate { row: 3, column: 2 }");
  EXPECT_LT((Coordinate{1, 9}), (Coordinate{2, 1}));
  EXPECT_LT((Coordinate{1, 9}).key(), (Coordinate{2, 1}).key());
  EXPECT_EQ(Coordinate::from_key(Coordinate{4294967295u, 65535}.key()),
            (Coordinate{4294967295u, 65535}));
}

}  // namespace
}  // namespace tabulon
