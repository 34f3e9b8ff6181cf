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
  const search::Candidates candidates(cells, search::Access::Locked);
  auto marks = search::find_cells_multi_regex("start", "end", candidates);
  ASSERT_TRUE(marks.ok());
  EXPECT_EQ(marks.value(), (search::Hits{0, 1}));
  auto band = search::find_cells_between_regex("start", "end", candidates);
  ASSERT_TRUE(band.ok());
  EXPECT_TRUE(band.value().empty());
}

// Frozen records are read without their locks; every search must give the same answer.
TEST(Search, FrozenAccessAgreesWithLocked) {
  std::vector<CellRef> owned;
  std::vector<Cell*> cells;
  for (std::uint32_t i = 0; i < 20000; ++i) {  // past the serial thresholds
    owned.push_back(CellRef::make(Coordinate{i / 100 + 1, static_cast<std::uint16_t>(i % 100 + 1)}));
    owned.back()->write_value(i % 3 == 0 ? CellValue::integer(static_cast<std::int32_t>(i))
                                         : CellValue::text(i % 7 == 0 ? " item " : "other"));
    cells.push_back(owned.back().get());
  }
  const auto both = [&](auto search) {
    EXPECT_EQ(search(search::Candidates(cells, search::Access::Locked)),
              search(search::Candidates(cells, search::Access::Frozen)));
  };
  using C = search::Candidates;
  both([](C c) { return search::find_cells_by_str("item", c); });
  both([](C c) { return search::find_cell_by_str("item", c); });
  both([](C c) { return search::find_cells_by_regex("^1\\d*0$", c).value(); });
  both([](C c) { return search::find_cell_by_regex("99", c).value(); });
  both([](C c) { return search::find_cell_by_coords({150, 7}, c); });
  both([](C c) { return search::find_cell_by_letter("C9", c).value(); });
  both([](C c) { return search::find_cells_range_rows(10, 12, c); });
  both([](C c) { return search::find_cells_range_cols(99, 100, c); });
  both([](C c) { return search::find_cells_for_cols_by_regex("item", 50, c).value(); });
  both([](C c) { return search::find_cells_for_rows_by_regex("item", 5, c).value(); });
  both([](C c) { return search::find_cells_multi_regex("^0$", "^3$", c).value(); });
  both([](C c) { return search::find_cells_between_regex("^300$", "^600$", c).value(); });
  const std::uint32_t rows[] = {3, 1, 200};
  both([&](C c) { return search::find_values_by_col_rows(4, rows, c); });
  const std::uint16_t cols[] = {100, 2};
  both([&](C c) { return search::find_values_by_row_cols(7, cols, c); });
}

}  // namespace
}  // namespace tabulon
