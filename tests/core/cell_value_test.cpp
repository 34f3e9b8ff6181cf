#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/cell_value.hpp"

namespace tabulon {
namespace {

std::string plain(double v) {
  char buffer[kMaxPlainNumber];
  return std::string(buffer, write_plain_number(v, buffer));
}

std::string json(double v) {
  char buffer[kMaxJsonNumber];
  return std::string(buffer, write_json_number(v, buffer));
}

TEST(NumberFormat, PlainTextForm) {
  const std::pair<double, const char*> cases[] = {
      {5.0, "5"},
      {-0.0, "-0"},
      {0.0, "0"},
      {0.1, "0.1"},
      {1e21, "1000000000000000000000"},
      {1e-7, "0.0000001"},
      {0.1 + 0.2, "0.30000000000000004"},
      {12.5, "12.5"},
      {-1234.5678, "-1234.5678"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
  };
  for (auto [value, text] : cases) EXPECT_EQ(plain(value), text);
  EXPECT_EQ(plain(5e-324).size(), 2u + 323u + 1u);  // "0." + 323 zeros + "5"
  EXPECT_EQ(plain(1.7976931348623157e308).size(), 309u);
}

TEST(NumberFormat, JsonFloatRule) {
  const std::pair<double, const char*> cases[] = {
      {20.0, "20.0"},
      {22.5, "22.5"},
      {1e15, "1000000000000000.0"},
      {1e16, "1e+16"},
      {1.5e-7, "1.5e-7"},
      {0.5, "0.5"},
      {0.05, "0.05"},
      {1e-5, "0.00001"},
      {1e-6, "1e-6"},
      {12.34, "12.34"},
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {1.7976931348623157e308, "1.7976931348623157e+308"},
      {5e-324, "5e-324"},
      {-2.5, "-2.5"},
      {123456789012345680.0, "1.2345678901234568e+17"},
  };
  for (auto [value, text] : cases) EXPECT_EQ(json(value), text);
}

TEST(Conversion, StepsInOrder) {
  struct Case {
    const char* text;
    ValueKind kind;
    const char* form;
  };
  const Case cases[] = {
      {"true", ValueKind::Bool, "true"},
      {"tRuE", ValueKind::Bool, "true"},
      {"FALSE", ValueKind::Bool, "false"},
      {"fal\xC5\xBF" "e", ValueKind::Bool, "false"},  // long s upper-cases to S
      {" TRUE", ValueKind::Text, " TRUE"},
      {"yes", ValueKind::Text, "yes"},
      {"", ValueKind::Empty, ""},
      {" ", ValueKind::Text, " "},
      {"5", ValueKind::Integer, "5"},
      {"007", ValueKind::Integer, "7"},
      {"-0", ValueKind::Integer, "0"},
      {"+12", ValueKind::Integer, "12"},
      {"-2147483648", ValueKind::Integer, "-2147483648"},
      {"2147483648", ValueKind::Number, "2147483648"},
      {"5.0", ValueKind::Number, "5"},
      {"5.", ValueKind::Number, "5"},
      {".5", ValueKind::Number, "0.5"},
      {"1e3", ValueKind::Number, "1000"},
      {"2.5E-4", ValueKind::Number, "0.00025"},
      {"nan", ValueKind::Number, "NaN"},
      {"-inf", ValueKind::Number, "-inf"},
      {"Infinity", ValueKind::Number, "inf"},
      {"1e400", ValueKind::Number, "inf"},
      {"-1e400", ValueKind::Number, "-inf"},
      {"1e-400", ValueKind::Number, "0"},
      {".", ValueKind::Text, "."},
      {"1e", ValueKind::Text, "1e"},
      {"+-5", ValueKind::Text, "+-5"},
      {"0x10", ValueKind::Text, "0x10"},
      {"nan(1)", ValueKind::Text, "nan(1)"},
      {" 5", ValueKind::Text, " 5"},
      {"1 000", ValueKind::Text, "1 000"},
      {"2024-03-01 08:00:00", ValueKind::DateTime, "2024-03-01 08:00:00"},
      {"2024-3-1 8:00:00", ValueKind::DateTime, "2024-03-01 08:00:00"},
      {"2024-02-29 23:59:59", ValueKind::DateTime, "2024-02-29 23:59:59"},
      {"2023-02-29 00:00:00", ValueKind::Text, "2023-02-29 00:00:00"},
      {"2024-01-31T13:45:00", ValueKind::Text, "2024-01-31T13:45:00"},
      {"2024-01-31", ValueKind::Text, "2024-01-31"},
      {"2024-01-02 03:04:05.500", ValueKind::Text, "2024-01-02 03:04:05.500"},
      {"2024-01-01 24:00:00", ValueKind::Text, "2024-01-01 24:00:00"},
      {"item 123", ValueKind::Text, "item 123"},
      {"a text longer than fourteen bytes", ValueKind::Text, "a text longer than fourteen bytes"},
  };
  for (const Case& c : cases) {
    CellValue v = value_from_text(c.text);
    EXPECT_EQ(v.kind(), c.kind) << c.text;
    EXPECT_EQ(text_form(v), c.form) << c.text;
  }
}

TEST(DateTimeText, FractionAndLeapSecond) {
  auto at = [](unsigned second, std::uint32_t nanos) {
    return *make_datetime({2024, 3, 5, 7, 8, second, nanos});
  };
  auto text = [](DateTime d, char sep) {
    char buffer[kMaxDateTimeText];
    return std::string(buffer, write_datetime(d, sep, buffer));
  };
  EXPECT_EQ(text(at(9, 0), 'T'), "2024-03-05T07:08:09");
  EXPECT_EQ(text(at(9, 250'000'000), 'T'), "2024-03-05T07:08:09.250");
  EXPECT_EQ(text(at(9, 123'456'000), ' '), "2024-03-05 07:08:09.123456");
  EXPECT_EQ(text(at(9, 1'500), 'T'), "2024-03-05T07:08:09.000001500");
  EXPECT_EQ(text(at(60, 0), ' '), "2024-03-05 07:08:60");
  EXPECT_EQ(text(*make_datetime({1, 1, 1, 0, 0, 0, 0}), ' '), "0001-01-01 00:00:00");
  EXPECT_EQ(text(*make_datetime({9999, 12, 31, 23, 59, 59, 999'999'000}), ' '),
            "9999-12-31 23:59:59.999999");
  EXPECT_FALSE(make_datetime({2024, 13, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(make_datetime({2100, 2, 29, 0, 0, 0, 0}));
}

TEST(CellValue, CopiesAndMovesOwnTheirText) {
  CellValue long_text = CellValue::text("a text that lives on the heap, not inline");
  CellValue copy = long_text;
  CellValue moved = std::move(long_text);
  EXPECT_EQ(copy.as_text(), moved.as_text());
  EXPECT_NE(copy.as_text().data(), moved.as_text().data());
  EXPECT_EQ(long_text.kind(), ValueKind::Empty);  // NOLINT(bugprone-use-after-move)
  copy = CellValue::integer(3);
  EXPECT_EQ(copy.as_integer(), 3);
}

}  // namespace
}  // namespace tabulon
