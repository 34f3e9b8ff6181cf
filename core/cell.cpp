#include "core/cell.hpp"

namespace tabulon {

static_assert(sizeof(Cell) <= 40, "keep the cell record small: sheets hold millions");

Cell::Cell(const Cell& other)
    : SharedRecord(other),
      row(other.row),
      column(other.column),
      code(other.code),
      value(other.value),
      extras(other.extras ? std::make_unique<CellExtras>(*other.extras) : nullptr) {}

std::string_view Cell::data_type() const noexcept {
  switch (code) {
    case TypeCode::S:
      return "s";
    case TypeCode::N:
      return "n";
    case TypeCode::B:
      return "b";
    case TypeCode::D:
      return "d";
    case TypeCode::F:
      return "f";
    case TypeCode::Other:
      break;
  }
  return extras ? std::string_view(extras->data_type) : std::string_view();
}

void Cell::set_data_type(std::string_view text) {
  static constexpr std::pair<std::string_view, TypeCode> kCodes[] = {
      {"s", TypeCode::S}, {"n", TypeCode::N}, {"b", TypeCode::B},
      {"d", TypeCode::D}, {"f", TypeCode::F}};
  for (const auto& [name, known] : kCodes) {
    if (text == name) {
      code = known;
      if (extras) extras->data_type.clear();
      trim_extras();
      return;
    }
  }
  ensure_extras().data_type.assign(text);
  code = TypeCode::Other;
}

void Cell::write_value(CellValue new_value) {
  value = std::move(new_value);
  switch (type_code(value.kind())) {
    case 'n':
      code = TypeCode::N;
      break;
    case 'b':
      code = TypeCode::B;
      break;
    case 'd':
      code = TypeCode::D;
      break;
    default:
      code = TypeCode::S;
  }
  if (extras) extras->data_type.clear();
  clear_formula();
}

void Cell::set_formula(std::string_view text) {
  ensure_extras().formula.emplace(text);
  code = TypeCode::F;
  if (extras) extras->data_type.clear();
}

void Cell::set_style(std::string_view text) { ensure_extras().style.emplace(text); }

void Cell::set_hidden_value(std::string_view text) { ensure_extras().hidden_value.emplace(text); }

void Cell::clear_formula() noexcept {
  if (extras) extras->formula.reset();
  trim_extras();
}

void Cell::add_store_holder() noexcept {
  std::uint16_t count = store_count.load(std::memory_order_relaxed);
  while (count != UINT16_MAX &&
         !store_count.compare_exchange_weak(count, static_cast<std::uint16_t>(count + 1),
                                            std::memory_order_relaxed)) {
  }
}

void Cell::drop_store_holder() noexcept {
  std::uint16_t count = store_count.load(std::memory_order_relaxed);
  // A saturated count can no longer be trusted to reach zero: it stays "shared".
  while (count != UINT16_MAX && count != 0 &&
         !store_count.compare_exchange_weak(count, static_cast<std::uint16_t>(count - 1),
                                            std::memory_order_relaxed)) {
  }
}

CellExtras& Cell::ensure_extras() {
  if (!extras) extras = std::make_unique<CellExtras>();
  return *extras;
}

void Cell::trim_extras() noexcept {
  if (extras && extras->empty()) extras.reset();
}

}  // namespace tabulon
