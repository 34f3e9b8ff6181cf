#pragma once
// The cell search engine: free functions over a candidate sequence of cell records.
//
// Candidates are raw pointers that the caller keeps alive (a sheet's listing under its read
// lock, or the handles of a taken-in list). Results are positions in the sequence: the
// single-result searches give the lowest matching position, the multi-result ones every
// matching position in order, whatever the scheduling. Predicates run on the worker pool
// and read each record under its own read lock (unless the records are frozen) only while
// they copy or match its fields.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell.hpp"
#include "core/coordinate.hpp"
#include "core/result.hpp"

namespace tabulon::search {

// How predicates read each record: under its read lock, or directly when no writer can
// reach the records any more. The read-only side's records are written once, at intake,
// before any search sees them; skipping the lock saves two atomic operations per candidate.
enum class Access : std::uint8_t { Locked, Frozen };

class Candidates {
 public:
  Candidates(std::span<Cell* const> cells, Access access) noexcept : cells_(cells), access_(access) {}
  std::size_t size() const noexcept { return cells_.size(); }
  Cell* operator[](std::size_t i) const noexcept { return cells_[i]; }
  Access access() const noexcept { return access_; }

 private:
  std::span<Cell* const> cells_;
  Access access_;
};


using Hit = std::optional<std::size_t>;
using Hits = std::vector<std::size_t>;

// Text match: the text form, trimmed of Unicode White_Space at both ends, equals the
// trimmed `value`, exactly and case-sensitively.
Hit find_cell_by_str(std::string_view value, Candidates cells);
Hits find_cells_by_str(std::string_view value, Candidates cells);

// Pattern match: "(?i)" + `regex`, compiled once, found anywhere in the untrimmed text form.
Result<Hit> find_cell_by_regex(std::string_view regex, Candidates cells);
Result<Hits> find_cells_by_regex(std::string_view regex, Candidates cells);

Hit find_cell_by_coords(Coordinate at, Candidates cells);
// The reference is parsed once, before any candidate; a bad one is an InvalidReference error.
Result<Hit> find_cell_by_letter(std::string_view letter, Candidates cells);

// Bands, both ends inclusive; a start past the end selects nothing.
Hits find_cells_range_rows(std::uint32_t start_row, std::uint32_t end_row, Candidates cells);
Hits find_cells_range_cols(std::uint16_t start_col, std::uint16_t end_col, Candidates cells);

// Text forms of the cells in one column at the given rows (or one row at the given columns).
std::vector<std::string> find_values_by_col_rows(std::uint16_t col, std::span<const std::uint32_t> rows,
                                                 Candidates cells);
std::vector<std::string> find_values_by_row_cols(std::uint32_t row, std::span<const std::uint16_t> cols,
                                                 Candidates cells);

// The opening and closing cells of the toggle scan, in order.
Result<Hits> find_cells_multi_regex(std::string_view before_regex, std::string_view after_regex,
                                    Candidates cells);
// Every cell whose row lies between the first opening and the first closing after it
// (open-ended when that opening is never closed).
Result<Hits> find_cells_between_regex(std::string_view before_regex, std::string_view after_regex,
                                      Candidates cells);
// Pattern matches at or above a row bound (or at or left of a column bound).
Result<Hits> find_cells_for_cols_by_regex(std::string_view regex, std::uint32_t row_stop, Candidates cells);
Result<Hits> find_cells_for_rows_by_regex(std::string_view regex, std::uint16_t col_stop, Candidates cells);

// Exposed for tests: the White_Space trim of the text match.
std::string_view trim_white_space(std::string_view text) noexcept;

}  // namespace tabulon::search
