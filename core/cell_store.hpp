#pragma once
// A sheet's cells: an open-addressing hash map from coordinate to cell record (one lookup
// per access, whatever the size), plus the row-major listing kept between writes.
//
// Reports mostly write cells in row-major order, so an insertion past the last listed
// coordinate just extends the listing; any other insertion drops it, and the next reader
// sorts again. Searches, the document and range selection all read the listing, so a
// sheet built in order is never sorted at all.
//
// Locking is the owning sheet's: writers hold its write lock; readers its read lock. The
// lazy re-sort under a read lock is serialised by the store's own mutex.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "core/cell.hpp"
#include "core/coordinate.hpp"

namespace tabulon {

class CellStore {
 public:
  CellStore() = default;
  CellStore(const CellStore& other);  // same records, each gaining a store holder
  CellStore& operator=(const CellStore&) = delete;
  ~CellStore();

  std::size_t size() const noexcept { return size_; }
  Cell* find(Coordinate at) const noexcept;

  // Stores `cell` under its own coordinate, which must be free.
  void insert_new(CellRef cell);
  // The record at `at`, made by `make()` and stored when absent: one probe either way.
  template <class Make>
  Cell* find_or_insert(Coordinate at, Make&& make) {
    reserve_one_more();
    const std::uint64_t key = at.key();
    Slot* slot = slot_for(key);
    if (slot->cell) return slot->cell.get();
    CellRef cell = make();
    Cell* raw = cell.get();
    raw->add_store_holder();
    slot->key = key;
    slot->cell = std::move(cell);
    count_placed(at);
    extend_listing(raw, key);
    return raw;
  }
  // Stores `cell` under its own coordinate, replacing what was there.
  void insert_or_replace(CellRef cell);

  // Every record in row-major order. Valid until the next write to the store.
  std::span<Cell* const> row_major() const;

  // Visits (coordinate, record) in the map's own order.
  template <class F>
  void for_each(F&& visit) const {
    for (const Slot& slot : slots_) {
      if (slot.cell) visit(Coordinate::from_key(slot.key), slot.cell.get());
    }
  }

  std::uint32_t max_row() const noexcept;
  std::uint16_t max_column() const noexcept;

  // Removes the band [idx, idx + amount) of rows (or columns) and moves the cells behind it
  // up (or left). A moved record that another sheet also holds is not re-keyed in place:
  // this store gets its own copy under the new coordinate, so the other sheet is untouched.
  void delete_rows(std::uint32_t idx, std::uint32_t amount);
  void delete_columns(std::uint16_t idx, std::uint16_t amount);

  // Memory held by the store itself (slots and listing), for accounting.
  std::size_t table_bytes() const noexcept;

 private:
  struct Slot {
    std::uint64_t key = 0;
    CellRef cell;
  };

  enum class Fate { Keep, Drop, Move };

  const Slot* slot_for(std::uint64_t key) const noexcept;  // holding key, or the free one
  Slot* slot_for(std::uint64_t key) noexcept;
  void reserve_one_more();
  void rehash(std::size_t capacity);
  // Puts a record into a free slot and counts it; holders and listing are the caller's.
  Slot& place(std::uint64_t key, CellRef cell);
  void count_placed(Coordinate at) noexcept {
    ++size_;
    if (at.row > max_row_) max_row_ = at.row;
    if (at.column > max_column_) max_column_ = at.column;
  }
  void extend_listing(Cell* cell, std::uint64_t key);
  void drop_listing() noexcept;
  // `fate(coordinate, new_coordinate)` decides for each record; see delete_rows.
  template <class FateOf>
  void rebuild_without_band(FateOf fate);

  std::vector<Slot> slots_;  // power-of-two size, or empty
  unsigned shift_ = 64;      // 64 - log2(slots_.size())
  std::size_t size_ = 0;
  std::uint32_t max_row_ = 0;
  std::uint16_t max_column_ = 0;

  mutable std::mutex listing_mutex_;
  mutable std::atomic<bool> listing_valid_{true};
  mutable std::vector<Cell*> listing_;
};

}  // namespace tabulon
