#include "core/search.hpp"

#include "core/parallel.hpp"
#include "core/regex.hpp"
#include "core/unicode_upper.hpp"

namespace tabulon::search {
namespace {

bool is_white_space(char32_t cp) noexcept {
  return (cp >= 0x09 && cp <= 0x0D) || cp == 0x20 || cp == 0x85 || cp == 0xA0 || cp == 0x1680 ||
         (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F ||
         cp == 0x205F || cp == 0x3000;
}

// A record's read lock for the scope, unless its records are frozen.
class RecordRead {
 public:
  RecordRead(const Cell& cell, Access access) noexcept
      : lock_(access == Access::Locked ? &cell.lock : nullptr) {
    if (lock_ != nullptr) lock_->lock_shared();
  }
  ~RecordRead() {
    if (lock_ != nullptr) lock_->unlock_shared();
  }
  RecordRead(const RecordRead&) = delete;
  RecordRead& operator=(const RecordRead&) = delete;

 private:
  TinyRwLock* lock_;
};

// Runs `use` on the record's text form while it is read, so stored text is matched in place
// and nothing is allocated.
template <class Use>
bool with_text_form(const Cell& cell, Access access, Use&& use) {
  TextFormBuffer scratch;
  RecordRead read(cell, access);
  return use(text_form(cell.value, scratch));
}

Coordinate coordinate_of(const Cell& cell, Access access) {
  RecordRead read(cell, access);
  return cell.coordinate();
}

Result<Regex> compile_case_insensitive(std::string_view regex) {
  std::string pattern;
  pattern.reserve(regex.size() + 4);
  pattern.append("(?i)").append(regex);
  return Regex::compile(pattern);
}

template <class Pred>
Hits all_where(Candidates cells, Pred&& pred) {
  return parallel::filter(cells.size(), [&](std::size_t i) { return pred(*cells[i]); });
}

template <class Pred>
Hit first_where(Candidates cells, Pred&& pred) {
  return parallel::find_first(cells.size(), [&](std::size_t i) { return pred(*cells[i]); });
}

// The bound is tested first; only cells within it have their text form made and matched.
template <class Within>
bool bounded_match(const Cell& cell, Access access, const Regex& rx, Within&& within) {
  TextFormBuffer scratch;
  RecordRead read(cell, access);
  return within(cell) && rx.matches(text_form(cell.value, scratch));
}

// The toggle scan: sequential, since each step depends on the flag the last one left.
Hits toggle_scan(const Regex& before, const Regex& after, Candidates cells) {
  Hits marks;
  bool open = false;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const bool flips = with_text_form(*cells[i], cells.access(), [&](std::string_view text) {
      return open ? after.matches(text) : before.matches(text);
    });
    if (flips) {
      open = !open;
      marks.push_back(i);
    }
  }
  return marks;
}

}  // namespace

std::string_view trim_white_space(std::string_view text) noexcept {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t next = begin;
    if (!is_white_space(next_code_point(text, next))) break;
    begin = next;
  }
  std::size_t end = text.size();
  while (end > begin) {
    std::size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    std::size_t probe = start;
    if (!is_white_space(next_code_point(text, probe)) || probe != end) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

Hit find_cell_by_str(std::string_view value, Candidates cells) {
  const std::string_view wanted = trim_white_space(value);
  return first_where(cells, [&](const Cell& c) {
    return with_text_form(c, cells.access(), [&](std::string_view t) { return trim_white_space(t) == wanted; });
  });
}

Hits find_cells_by_str(std::string_view value, Candidates cells) {
  const std::string_view wanted = trim_white_space(value);
  return all_where(cells, [&](const Cell& c) {
    return with_text_form(c, cells.access(), [&](std::string_view t) { return trim_white_space(t) == wanted; });
  });
}

Result<Hit> find_cell_by_regex(std::string_view regex, Candidates cells) {
  Result<Regex> compiled = compile_case_insensitive(regex);
  if (!compiled) return compiled.error();
  const Regex& rx = compiled.value();
  return first_where(cells, [&](const Cell& c) {
    return with_text_form(c, cells.access(), [&](std::string_view t) { return rx.matches(t); });
  });
}

Result<Hits> find_cells_by_regex(std::string_view regex, Candidates cells) {
  Result<Regex> compiled = compile_case_insensitive(regex);
  if (!compiled) return compiled.error();
  const Regex& rx = compiled.value();
  return all_where(cells, [&](const Cell& c) {
    return with_text_form(c, cells.access(), [&](std::string_view t) { return rx.matches(t); });
  });
}

Hit find_cell_by_coords(Coordinate at, Candidates cells) {
  return first_where(cells, [&](const Cell& c) { return coordinate_of(c, cells.access()) == at; });
}

Result<Hit> find_cell_by_letter(std::string_view letter, Candidates cells) {
  const std::optional<Coordinate> at = parse_reference(letter);
  if (!at) {
    return Error{ErrorKind::InvalidReference,
                 "invalid cell reference '" + std::string(letter) +
                     "': expected column letters followed by row digits, such as B7"};
  }
  return find_cell_by_coords(*at, cells);
}

Hits find_cells_range_rows(std::uint32_t start_row, std::uint32_t end_row, Candidates cells) {
  return all_where(cells, [&](const Cell& c) {
    const std::uint32_t row = coordinate_of(c, cells.access()).row;
    return row >= start_row && row <= end_row;
  });
}

Hits find_cells_range_cols(std::uint16_t start_col, std::uint16_t end_col, Candidates cells) {
  return all_where(cells, [&](const Cell& c) {
    const std::uint16_t column = coordinate_of(c, cells.access()).column;
    return column >= start_col && column <= end_col;
  });
}

namespace {

template <class Selects>
std::vector<std::string> values_where(Candidates cells, Selects&& selects) {
  return parallel::filter_map<std::string>(cells.size(), [&](std::size_t i) -> std::optional<std::string> {
    const Cell& cell = *cells[i];
    TextFormBuffer scratch;
    RecordRead read(cell, cells.access());
    if (!selects(cell.coordinate())) return std::nullopt;
    return std::string(text_form(cell.value, scratch));
  });
}

template <class T>
bool contains(std::span<const T> list, T value) {
  for (T item : list) {
    if (item == value) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> find_values_by_col_rows(std::uint16_t col, std::span<const std::uint32_t> rows,
                                                 Candidates cells) {
  return values_where(cells, [&](Coordinate at) { return at.column == col && contains(rows, at.row); });
}

std::vector<std::string> find_values_by_row_cols(std::uint32_t row, std::span<const std::uint16_t> cols,
                                                 Candidates cells) {
  return values_where(cells, [&](Coordinate at) { return at.row == row && contains(cols, at.column); });
}

Result<Hits> find_cells_multi_regex(std::string_view before_regex, std::string_view after_regex,
                                    Candidates cells) {
  Result<Regex> before = compile_case_insensitive(before_regex);
  if (!before) return before.error();
  Result<Regex> after = compile_case_insensitive(after_regex);
  if (!after) return after.error();
  return toggle_scan(before.value(), after.value(), cells);
}

Result<Hits> find_cells_between_regex(std::string_view before_regex, std::string_view after_regex,
                                      Candidates cells) {
  Result<Hits> marks = find_cells_multi_regex(before_regex, after_regex, cells);
  if (!marks) return marks.error();
  const Hits& m = marks.value();
  if (m.empty()) return Hits{};
  const std::uint32_t first = coordinate_of(*cells[m[0]], cells.access()).row;
  const std::uint64_t last = m.size() > 1 ? coordinate_of(*cells[m[1]], cells.access()).row : std::uint64_t{UINT32_MAX};
  return all_where(cells, [&](const Cell& c) {
    const std::uint32_t row = coordinate_of(c, cells.access()).row;
    return row >= first && row <= last;
  });
}

Result<Hits> find_cells_for_cols_by_regex(std::string_view regex, std::uint32_t row_stop, Candidates cells) {
  Result<Regex> compiled = compile_case_insensitive(regex);
  if (!compiled) return compiled.error();
  const Regex& rx = compiled.value();
  return all_where(cells, [&](const Cell& c) {
    return bounded_match(c, cells.access(), rx, [&](const Cell& locked) { return locked.row <= row_stop; });
  });
}

Result<Hits> find_cells_for_rows_by_regex(std::string_view regex, std::uint16_t col_stop, Candidates cells) {
  Result<Regex> compiled = compile_case_insensitive(regex);
  if (!compiled) return compiled.error();
  const Regex& rx = compiled.value();
  return all_where(cells, [&](const Cell& c) {
    return bounded_match(c, cells.access(), rx, [&](const Cell& locked) { return locked.column <= col_stop; });
  });
}

}  // namespace tabulon::search
