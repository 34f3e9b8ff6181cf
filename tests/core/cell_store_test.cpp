#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/book.hpp"
#include "core/sheet.hpp"

namespace tabulon {
namespace {

std::vector<Coordinate> listed(const CellStore& store) {
  std::vector<Coordinate> out;
  for (Cell* cell : store.row_major()) out.push_back(cell->coordinate());
  return out;
}

void insert(CellStore& store, Coordinate at) { store.insert_new(CellRef::make(at)); }

TEST(CellStore, ListingIsRowMajorWhateverTheInsertOrder) {
  CellStore store;
  std::vector<Coordinate> all;
  for (std::uint32_t r = 0; r < 40; ++r)
    for (std::uint16_t c = 0; c < 30; ++c) all.push_back({r, c});
  std::vector<Coordinate> shuffled = all;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
  for (Coordinate at : shuffled) insert(store, at);
  EXPECT_EQ(listed(store), all);
  for (Coordinate at : all) ASSERT_EQ(store.find(at)->coordinate(), at);
  EXPECT_EQ(store.find({40, 0}), nullptr);
  EXPECT_EQ(store.max_row(), 39u);
  EXPECT_EQ(store.max_column(), 29u);

  // An insert before the end drops the listing; the next read sorts again.
  insert(store, {0, 500});
  EXPECT_EQ(listed(store)[30], (Coordinate{0, 500}));
}

TEST(CellStore, ExtremeCoordinatesAreOrdinaryKeys) {
  CellStore store;
  insert(store, {4294967295u, 65535});
  insert(store, {0, 0});
  EXPECT_EQ(listed(store), (std::vector<Coordinate>{{0, 0}, {4294967295u, 65535}}));
}

TEST(CellStore, DeleteRowsClosesTheGap) {
  CellStore store;
  for (std::uint32_t r : {1u, 3u, 4u, 7u}) insert(store, {r, 2});
  CellRef row7(store.find({7, 2}));
  CellRef row3(store.find({3, 2}));
  store.delete_rows(3, 2);
  EXPECT_EQ(listed(store), (std::vector<Coordinate>{{1, 2}, {5, 2}}));
  EXPECT_EQ(row7->row, 5u);  // re-keyed in place: every handle sees the new row
  EXPECT_EQ(store.find({5, 2}), row7.get());
  EXPECT_EQ(row3->row, 3u);  // removed records keep their coordinate
  EXPECT_EQ(row3->store_count.load(), 0u);
  EXPECT_EQ(store.max_row(), 5u);
}

TEST(CellStore, BandsPastTheLastNumberDoNotWrap) {
  CellStore store;
  for (std::uint16_t c : {64999, 65000, 65535}) insert(store, {1, c});
  store.delete_columns(65000, 1000);
  EXPECT_EQ(listed(store), (std::vector<Coordinate>{{1, 64999}}));

  CellStore rows;
  for (std::uint32_t r : {3999999999u, 4000000000u, 4294967295u}) insert(rows, {r, 1});
  rows.delete_rows(4000000000u, 500000000u);
  EXPECT_EQ(listed(rows), (std::vector<Coordinate>{{3999999999u, 1}}));
}

TEST(CellStore, DeletionLeavesRecordsSharedWithAnotherSheetAlone) {
  Book book;
  SheetRef source = add_sheet(book, "Data", "visible");
  for (std::uint32_t r : {1u, 2u, 3u}) insert(source->cells, {r, 1});
  SheetRef copy = copy_sheet_into(book, source);
  Cell* shared_row3 = source->cells.find({3, 1});
  ASSERT_EQ(copy->cells.find({3, 1}), shared_row3);

  copy->cells.delete_rows(1, 1);
  // The copy re-keys its own duplicate of the moved records...
  EXPECT_EQ(listed(copy->cells), (std::vector<Coordinate>{{1, 1}, {2, 1}}));
  EXPECT_NE(copy->cells.find({2, 1}), shared_row3);
  // ...while the source keeps its records under their own coordinates.
  EXPECT_EQ(listed(source->cells), (std::vector<Coordinate>{{1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(shared_row3->row, 3u);
  EXPECT_EQ(shared_row3->store_count.load(), 1u);

  // Now held by one sheet only, the source's records move in place again.
  source->cells.delete_rows(1, 1);
  EXPECT_EQ(shared_row3->row, 2u);
}

TEST(CellStore, CopyOfAnUnlistedStoreListsCorrectly) {
  CellStore store;
  insert(store, {2, 1});
  insert(store, {1, 1});
  CellStore copy(store);
  EXPECT_EQ(listed(copy), (std::vector<Coordinate>{{1, 1}, {2, 1}}));
}

}  // namespace
}  // namespace tabulon
