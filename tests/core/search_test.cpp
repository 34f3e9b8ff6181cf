#include <gtest/gtest.h>

#include <vector>

#include "core/search.hpp"

namespace tabulon {
namespace {

TEST(Search, TrimsUnicodeWhiteSpaceOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"  a b  ", "a b"},
      {"\t\n\v\f\r x", "x"},
      {"\xC2\xA0x\xE3\x80\x80", "x"},             // U+00A0 ... U+3000
      {"\xE2\x80\xA8x\xE2\x80\xAF", "x"},         // U+2028, U+202F
      {"\xE2\x80\x8Bx", "\xE2\x80\x8Bx"},         // U+200B is not White_Space
      {"x\xC3\xA9", "x\xC3\xA9"},                 // a multi-byte letter at the end stays
      {"   ", ""},
  };
  for (auto [in, out] : cases) EXPECT_EQ(search::trim_white_space(in), out) << in;
}

TEST(Search, ToggleScanAndBandInListOrder) {
  std::vector<CellRef> owned;
  std::vector<Cell*> cells;
  // List order may put the closing row above the opening one: the band is then empty.
  for (auto [row, text] : std::vector<std::pair<std::uint32_t, const char*>>{{5, "start"}, {2, "end"}, {7, "x"}}) {
    owned.push_back(CellRef::make(Coordinate{row, 1}));
    owned.back()->write_value(CellValue::text(text));
    cells.push_back(owned.back().get());
  }
  auto marks = search::find_cells_multi_regex("start", "end", cells);
  ASSERT_TRUE(marks.ok());
  EXPECT_EQ(marks.value(), (search::Hits{0, 1}));
  auto band = search::find_cells_between_regex("start", "end", cells);
  ASSERT_TRUE(band.ok());
  EXPECT_TRUE(band.value().empty());
}

}  // namespace
}  // namespace tabulon
