#pragma once
// The cell record: 40 bytes for a plain value, with the rarely present texts (formula,
// style, hidden value, an unusual type code) behind one pointer.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/cell_value.hpp"
#include "core/coordinate.hpp"
#include "core/rwlock.hpp"
#include "core/shared.hpp"

namespace tabulon {

// data_type is one of five one-letter codes, except that taken-in cells may carry any text.
enum class TypeCode : std::uint8_t { S, N, B, D, F, Other };

struct CellExtras {
  std::optional<std::string> formula;
  std::optional<std::string> style;
  std::optional<std::string> hidden_value;
  std::string data_type;  // the code's text when the code is Other

  bool empty() const noexcept {
    return !formula && !style && !hidden_value && data_type.empty();
  }
};

struct Cell : SharedRecord {
  explicit Cell(Coordinate at) noexcept : row(at.row), column(at.column) {}
  Cell(const Cell& other);  // a copy with its own lock and no sheet holders

  mutable TinyRwLock lock;
  // How many sheet cell stores hold this record; a deletion re-keys a record in place
  // only when its own sheet is the one holder. Saturates rather than wraps.
  std::atomic<std::uint16_t> store_count{0};
  std::uint32_t row;
  std::uint16_t column;
  TypeCode code = TypeCode::S;
  CellValue value;
  std::unique_ptr<CellExtras> extras;

  // The accessors below expect the caller to hold `lock` (shared for reads).
  Coordinate coordinate() const noexcept { return {row, column}; }
  const std::optional<std::string>* formula() const noexcept {
    return extras && extras->formula ? &extras->formula : nullptr;
  }
  const std::optional<std::string>* style() const noexcept {
    return extras && extras->style ? &extras->style : nullptr;
  }
  const std::optional<std::string>* hidden_value() const noexcept {
    return extras && extras->hidden_value ? &extras->hidden_value : nullptr;
  }
  std::string_view data_type() const noexcept;
  bool is_formula() const noexcept { return code == TypeCode::F && formula() != nullptr; }

  // Writers, under the write lock.
  void set_data_type(std::string_view code_text);
  // A new value from any writer: the formula goes, the code follows the kind.
  void write_value(CellValue new_value);
  void set_formula(std::string_view text);
  void set_style(std::string_view text);
  void set_hidden_value(std::string_view text);
  void clear_formula() noexcept;

  void add_store_holder() noexcept;
  void drop_store_holder() noexcept;
  bool held_by_other_stores() const noexcept {
    return store_count.load(std::memory_order_relaxed) > 1;
  }

 private:
  CellExtras& ensure_extras();
  void trim_extras() noexcept;
};

using CellRef = Shared<Cell>;

}  // namespace tabulon
