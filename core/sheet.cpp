#include "core/sheet.hpp"

#include "core/parallel.hpp"

namespace tabulon {

SheetRef copy_sheet(const Sheet& source, std::string name) {
  return SheetRef::make(source, std::move(name));
}

CellRef write_cell(Sheet& sheet, Coordinate at, CellValue* value) {
  bool created = false;
  CellRef cell(sheet.cells.find_or_insert(at, [&] {
    created = true;
    CellRef fresh = CellRef::make(at);
    if (value != nullptr) fresh->write_value(std::move(*value));
    return fresh;
  }));
  if (created) return cell;
  WriteGuard<TinyRwLock> write(cell->lock);
  if (value != nullptr) {
    cell->write_value(std::move(*value));
  } else if (!cell->is_formula()) {
    cell->set_data_type("s");
  }
  return cell;
}

RowDimension& row_dimension(Sheet& sheet, std::uint32_t row) {
  return sheet.row_dimensions.rows.try_emplace(row, RowDimension{row}).first->second;
}

ColumnDimension& column_dimension(Sheet& sheet, std::uint16_t column) {
  return sheet.column_dimensions.columns.try_emplace(column, ColumnDimension{column}).first->second;
}

double row_height(const Sheet& sheet, std::uint32_t row) {
  auto it = sheet.row_dimensions.rows.find(row);
  return it != sheet.row_dimensions.rows.end() ? it->second.height : sheet.row_dimensions.default_height;
}

bool row_hidden(const Sheet& sheet, std::uint32_t row) {
  auto it = sheet.row_dimensions.rows.find(row);
  return it != sheet.row_dimensions.rows.end() && it->second.hidden;
}

double column_width(const Sheet& sheet, std::uint16_t column) {
  auto it = sheet.column_dimensions.columns.find(column);
  return it != sheet.column_dimensions.columns.end() ? it->second.width
                                                     : sheet.column_dimensions.default_width;
}

bool column_hidden(const Sheet& sheet, std::uint16_t column) {
  auto it = sheet.column_dimensions.columns.find(column);
  return it != sheet.column_dimensions.columns.end() && it->second.hidden;
}

std::vector<CellRef> cells_in_range(const Sheet& sheet, const RangeBounds& b) {
  // The listing is already in row-major order, so filtering it keeps that order.
  const std::span<Cell* const> listing = sheet.cells.row_major();
  const std::vector<std::size_t> kept = parallel::filter(listing.size(), [&](std::size_t i) {
    // The coordinate under which a record is stored equals its own; reading it needs no
    // cell lock because only a deletion, under the sheet's write lock, changes it.
    const Cell& cell = *listing[i];
    return cell.row >= b.start_row && cell.row <= b.end_row && cell.column >= b.start_col &&
           cell.column <= b.end_col;
  });
  std::vector<CellRef> result;
  result.reserve(kept.size());
  for (std::size_t i : kept) result.emplace_back(listing[i]);
  return result;
}

}  // namespace tabulon
