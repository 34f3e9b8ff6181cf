#include "core/cell_store.hpp"

#include <algorithm>
#include <utility>

#include "core/parallel.hpp"

namespace tabulon {
namespace {

// Fibonacci hashing spreads the consecutive keys of a row-major build over the table.
constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ull;
constexpr std::size_t kMinCapacity = 16;

}  // namespace

CellStore::CellStore(const CellStore& other)
    : slots_(other.slots_),
      shift_(other.shift_),
      size_(other.size_),
      max_row_(other.max_row_),
      max_column_(other.max_column_) {
  for (Slot& slot : slots_) {
    if (slot.cell) slot.cell->add_store_holder();
  }
  if (other.listing_valid_.load(std::memory_order_acquire)) {
    listing_ = other.listing_;
  } else {
    listing_valid_.store(false, std::memory_order_relaxed);
  }
}

CellStore::~CellStore() {
  for (Slot& slot : slots_) {
    if (slot.cell) slot.cell->drop_store_holder();
  }
}

const CellStore::Slot* CellStore::slot_for(std::uint64_t key) const noexcept {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>((key * kHashMultiplier) >> shift_);
  while (slots_[i].cell && slots_[i].key != key) i = (i + 1) & mask;
  return &slots_[i];
}

CellStore::Slot* CellStore::slot_for(std::uint64_t key) noexcept {
  return const_cast<Slot*>(std::as_const(*this).slot_for(key));
}

Cell* CellStore::find(Coordinate at) const noexcept {
  if (size_ == 0) return nullptr;
  return slot_for(at.key())->cell.get();
}

void CellStore::reserve_one_more() {
  // At most 7/8 full keeps linear probes short.
  if ((size_ + 1) * 8 > slots_.size() * 7) {
    rehash(std::max(kMinCapacity, slots_.size() * 2));
  }
}

void CellStore::rehash(std::size_t capacity) {
  std::vector<Slot> old(capacity);
  old.swap(slots_);
  unsigned bits = 0;
  while ((std::size_t{1} << bits) < capacity) ++bits;
  shift_ = 64 - bits;
  for (Slot& slot : old) {
    if (slot.cell) {
      Slot* target = slot_for(slot.key);
      target->key = slot.key;
      target->cell = std::move(slot.cell);
    }
  }
}

CellStore::Slot& CellStore::place(std::uint64_t key, CellRef cell) {
  Slot* slot = slot_for(key);
  slot->key = key;
  slot->cell = std::move(cell);
  count_placed(Coordinate::from_key(key));
  return *slot;
}

void CellStore::extend_listing(Cell* cell, std::uint64_t key) {
  if (!listing_valid_.load(std::memory_order_relaxed)) return;
  if (listing_.empty() || key > listing_.back()->coordinate().key()) {
    listing_.push_back(cell);
  } else {
    drop_listing();
  }
}

void CellStore::drop_listing() noexcept {
  listing_valid_.store(false, std::memory_order_relaxed);
  listing_.clear();
}

void CellStore::insert_new(CellRef cell) {
  reserve_one_more();
  const std::uint64_t key = cell->coordinate().key();
  Cell* raw = cell.get();
  raw->add_store_holder();
  place(key, std::move(cell));
  extend_listing(raw, key);
}

void CellStore::insert_or_replace(CellRef cell) {
  const std::uint64_t key = cell->coordinate().key();
  if (size_ != 0) {
    Slot* slot = slot_for(key);
    if (slot->cell) {
      cell->add_store_holder();
      slot->cell->drop_store_holder();
      slot->cell = std::move(cell);
      drop_listing();
      return;
    }
  }
  insert_new(std::move(cell));
}

std::span<Cell* const> CellStore::row_major() const {
  if (!listing_valid_.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(listing_mutex_);
    if (!listing_valid_.load(std::memory_order_relaxed)) {
      std::vector<std::pair<std::uint64_t, Cell*>> keyed;
      keyed.reserve(size_);
      for (const Slot& slot : slots_) {
        if (slot.cell) keyed.emplace_back(slot.key, slot.cell.get());
      }
      parallel::sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
      listing_.resize(keyed.size());
      for (std::size_t i = 0; i < keyed.size(); ++i) listing_[i] = keyed[i].second;
      listing_valid_.store(true, std::memory_order_release);
    }
  }
  return listing_;
}

std::uint32_t CellStore::max_row() const noexcept { return max_row_; }
std::uint16_t CellStore::max_column() const noexcept { return max_column_; }

template <class FateOf>
void CellStore::rebuild_without_band(FateOf fate) {
  // Take every entry out, in row-major order when the listing is current: deletion keeps
  // the relative order of the survivors, so the listing stays valid through it.
  const bool listed = listing_valid_.load(std::memory_order_relaxed);
  std::vector<std::pair<std::uint64_t, CellRef>> entries;
  entries.reserve(size_);
  if (listed) {
    for (Cell* cell : listing_) entries.emplace_back(cell->coordinate().key(), CellRef(cell));
  } else {
    for (Slot& slot : slots_) {
      if (slot.cell) entries.emplace_back(slot.key, std::move(slot.cell));
    }
  }
  std::vector<Slot>(slots_.size()).swap(slots_);
  size_ = 0;
  max_row_ = 0;
  max_column_ = 0;
  listing_.clear();

  for (auto& [key, cell] : entries) {
    Coordinate moved_to;
    switch (fate(Coordinate::from_key(key), moved_to)) {
      case Fate::Keep:
        if (listed) listing_.push_back(cell.get());
        place(key, std::move(cell));
        break;
      case Fate::Drop:
        cell->drop_store_holder();
        break;
      case Fate::Move: {
        CellRef target;
        if (cell->held_by_other_stores()) {
          {
            ReadGuard<TinyRwLock> read(cell->lock);
            target = CellRef::make(*cell);
          }
          target->row = moved_to.row;
          target->column = moved_to.column;
          target->add_store_holder();
          cell->drop_store_holder();
        } else {
          {
            WriteGuard<TinyRwLock> write(cell->lock);
            cell->row = moved_to.row;
            cell->column = moved_to.column;
          }
          target = std::move(cell);
        }
        if (listed) listing_.push_back(target.get());
        place(moved_to.key(), std::move(target));
        break;
      }
    }
  }
}

void CellStore::delete_rows(std::uint32_t idx, std::uint32_t amount) {
  if (size_ == 0 || amount == 0) return;
  const std::uint64_t end = std::uint64_t{idx} + amount;  // may pass the last row: no wrap
  rebuild_without_band([&](Coordinate at, Coordinate& moved_to) {
    if (at.row < idx) return Fate::Keep;
    if (at.row < end) return Fate::Drop;
    moved_to = {at.row - amount, at.column};
    return Fate::Move;
  });
}

void CellStore::delete_columns(std::uint16_t idx, std::uint16_t amount) {
  if (size_ == 0 || amount == 0) return;
  const std::uint32_t end = std::uint32_t{idx} + amount;
  rebuild_without_band([&](Coordinate at, Coordinate& moved_to) {
    if (at.column < idx) return Fate::Keep;
    if (at.column < end) return Fate::Drop;
    moved_to = {at.row, static_cast<std::uint16_t>(at.column - amount)};
    return Fate::Move;
  });
}

std::size_t CellStore::table_bytes() const noexcept {
  return slots_.capacity() * sizeof(Slot) + listing_.capacity() * sizeof(Cell*);
}

}  // namespace tabulon
