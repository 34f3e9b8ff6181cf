#pragma once
// The sheet record: name, state, cell store, merged ranges, dimensions and comments.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/cell.hpp"
#include "core/cell_store.hpp"
#include "core/comment.hpp"
#include "core/rwlock.hpp"
#include "core/shared.hpp"

namespace tabulon {

inline constexpr double kDefaultRowHeight = 20.0;
inline constexpr double kDefaultColumnWidth = 22.5;

// Bounds inclusive by convention; nothing validates them.
struct MergedRange {
  std::uint32_t start_row;
  std::uint32_t end_row;
  std::uint16_t start_col;
  std::uint16_t end_col;
};

struct RowDimension {
  std::uint32_t row_num;
  double height = kDefaultRowHeight;
  bool hidden = false;
  bool collapsed = false;
  std::uint32_t level = 0;
};

struct ColumnDimension {
  std::uint16_t col_num;
  double width = kDefaultColumnWidth;
  bool hidden = false;
  bool collapsed = false;
  std::uint32_t level = 0;
};

struct RowDimensions {
  std::unordered_map<std::uint32_t, RowDimension> rows;
  double default_height = kDefaultRowHeight;
};

struct ColumnDimensions {
  std::unordered_map<std::uint16_t, ColumnDimension> columns;
  double default_width = kDefaultColumnWidth;
};

struct Sheet : SharedRecord {
  Sheet(std::string name, std::string sheet_state)
      : name(std::move(name)), sheet_state(std::move(sheet_state)) {}
  // See copy_sheet; the caller holds the source's read lock.
  Sheet(const Sheet& source, std::string name)
      : name(std::move(name)),
        sheet_state(source.sheet_state),
        merge_cells(source.merge_cells),
        cells(source.cells),
        row_dimensions(source.row_dimensions),
        column_dimensions(source.column_dimensions),
        comments(source.comments) {}

  mutable RecordLock lock;
  std::string name;
  std::string sheet_state;
  std::vector<MergedRange> merge_cells;
  CellStore cells;
  RowDimensions row_dimensions;
  ColumnDimensions column_dimensions;
  std::vector<CommentRef> comments;
};

using SheetRef = Shared<Sheet>;

// A copy that owns its merged ranges and dimensions and its own cell map and comment list,
// whose entries are the source's cell and comment records. The caller holds the source's
// read lock.
SheetRef copy_sheet(const Sheet& source, std::string name);

// Gets or creates the cell at `at` and applies Sheet.cell's write: with a value, the value
// (formula cleared, code from the kind); without one, the code becomes "s" unless the cell
// is a formula cell. The value is moved from. The caller holds the sheet's write lock.
CellRef write_cell(Sheet& sheet, Coordinate at, CellValue* value);

RowDimension& row_dimension(Sheet& sheet, std::uint32_t row);
ColumnDimension& column_dimension(Sheet& sheet, std::uint16_t column);

// A row's or column's size and hidden flag: its entry's, else the sheet default and false.
// Nothing is created. The caller holds the sheet's read lock.
double row_height(const Sheet& sheet, std::uint32_t row);
bool row_hidden(const Sheet& sheet, std::uint32_t row);
double column_width(const Sheet& sheet, std::uint16_t column);
bool column_hidden(const Sheet& sheet, std::uint16_t column);

struct RangeBounds {
  std::uint32_t start_row = 1;
  std::uint32_t end_row = 1048576;
  std::uint16_t start_col = 1;
  std::uint16_t end_col = 16384;
};

// The stored cells inside the rectangle, in row-major order. The caller holds the sheet's
// read lock; the returned handles keep the records alive after it is released.
std::vector<CellRef> cells_in_range(const Sheet& sheet, const RangeBounds& bounds);

}  // namespace tabulon
