#include "binding/searches.hpp"

namespace tabulon::binding::searches {
namespace {

using search::Candidates;

std::vector<CellRef> refs(Candidates cells, const search::Hits& hits) {
  std::vector<CellRef> out;
  out.reserve(hits.size());
  for (std::size_t i : hits) out.emplace_back(cells[i]);
  return out;
}

Outcome one(Candidates cells, const search::Hit& hit) {
  Outcome o;
  if (hit) o.cells.emplace_back(cells[*hit]);
  return o;
}

Outcome many(Candidates cells, const search::Hits& hits) {
  Outcome o;
  o.cells = refs(cells, hits);
  return o;
}

template <class R, class Make>
Outcome from_result(Result<R>&& result, Make&& make) {
  if (!result) {
    Outcome o;
    o.error = result.error();
    return o;
  }
  return make(result.value());
}

// ----- parsers, one per argument shape

bool parse_coords(const char* f, PyObject* const* a, Query& q, bool value_only) {
  Coordinate at;
  if (!py::to_u32(a[0], {f, "row"}, at.row) || !py::to_u16(a[1], {f, "col"}, at.column)) return false;
  q.lookup = at;
  if (value_only) {
    q.shape = Shape::Text;
    q.scan = [at](Candidates cells) {
      Outcome o;
      if (search::Hit hit = search::find_cell_by_coords(at, cells)) {
        const Cell& cell = *cells[*hit];
        ReadGuard<TinyRwLock> read(cell.lock);
        o.text = text_form(cell.value);
      }
      return o;
    };
  } else {
    q.shape = Shape::One;
    q.scan = [at](Candidates cells) { return one(cells, search::find_cell_by_coords(at, cells)); };
  }
  return true;
}

bool parse_cell_by_coords(const char* f, PyObject* const* a, Query& q) { return parse_coords(f, a, q, false); }
bool parse_value_by_coords(const char* f, PyObject* const* a, Query& q) { return parse_coords(f, a, q, true); }

template <Result<search::Hit> (*Find)(std::string_view, Candidates)>
bool parse_one_text(const char* f, PyObject* const* a, Query& q, const char* param) {
  std::string_view view;
  if (!py::to_str(a[0], {f, param}, view)) return false;
  q.shape = Shape::One;
  q.scan = [text = std::string(view)](Candidates cells) {
    return from_result(Find(text, cells), [&](const search::Hit& hit) { return one(cells, hit); });
  };
  return true;
}

Result<search::Hit> str_first(std::string_view v, Candidates c) { return search::find_cell_by_str(v, c); }
Result<search::Hits> str_all(std::string_view v, Candidates c) { return search::find_cells_by_str(v, c); }

template <Result<search::Hits> (*Find)(std::string_view, Candidates)>
bool parse_many_text(const char* f, PyObject* const* a, Query& q, const char* param) {
  std::string_view view;
  if (!py::to_str(a[0], {f, param}, view)) return false;
  q.shape = Shape::Many;
  q.scan = [text = std::string(view)](Candidates cells) {
    return from_result(Find(text, cells), [&](const search::Hits& hits) { return many(cells, hits); });
  };
  return true;
}

bool parse_cell_by_regex(const char* f, PyObject* const* a, Query& q) {
  return parse_one_text<search::find_cell_by_regex>(f, a, q, "regex");
}
bool parse_cell_by_str(const char* f, PyObject* const* a, Query& q) {
  return parse_one_text<str_first>(f, a, q, "value");
}
bool parse_cell_by_letter(const char* f, PyObject* const* a, Query& q) {
  return parse_one_text<search::find_cell_by_letter>(f, a, q, "letter");
}
bool parse_cells_by_regex(const char* f, PyObject* const* a, Query& q) {
  return parse_many_text<search::find_cells_by_regex>(f, a, q, "regex");
}
bool parse_cells_by_str(const char* f, PyObject* const* a, Query& q) {
  return parse_many_text<str_all>(f, a, q, "value");
}

bool parse_for_rows(const char* f, PyObject* const* a, Query& q) {
  std::string_view view;
  std::uint16_t col_stop;
  if (!py::to_str(a[0], {f, "regex"}, view) || !py::to_u16(a[1], {f, "col_stop"}, col_stop)) return false;
  q.shape = Shape::Many;
  q.scan = [regex = std::string(view), col_stop](Candidates cells) {
    return from_result(search::find_cells_for_rows_by_regex(regex, col_stop, cells),
                       [&](const search::Hits& hits) { return many(cells, hits); });
  };
  return true;
}

bool parse_for_cols(const char* f, PyObject* const* a, Query& q) {
  std::string_view view;
  std::uint32_t row_stop;
  if (!py::to_str(a[0], {f, "regex"}, view) || !py::to_u32(a[1], {f, "row_stop"}, row_stop)) return false;
  q.shape = Shape::Many;
  q.scan = [regex = std::string(view), row_stop](Candidates cells) {
    return from_result(search::find_cells_for_cols_by_regex(regex, row_stop, cells),
                       [&](const search::Hits& hits) { return many(cells, hits); });
  };
  return true;
}

template <Result<search::Hits> (*Find)(std::string_view, std::string_view, Candidates)>
bool parse_pair(const char* f, PyObject* const* a, Query& q) {
  std::string_view before, after;
  if (!py::to_str(a[0], {f, "before_regex"}, before) || !py::to_str(a[1], {f, "after_regex"}, after)) {
    return false;
  }
  q.shape = Shape::Many;
  q.scan = [b = std::string(before), e = std::string(after)](Candidates cells) {
    return from_result(Find(b, e, cells), [&](const search::Hits& hits) { return many(cells, hits); });
  };
  return true;
}

bool parse_range_rows(const char* f, PyObject* const* a, Query& q) {
  std::uint32_t start, end;
  if (!py::to_u32(a[0], {f, "start_row"}, start) || !py::to_u32(a[1], {f, "end_row"}, end)) return false;
  q.shape = Shape::Many;
  q.scan = [start, end](Candidates cells) { return many(cells, search::find_cells_range_rows(start, end, cells)); };
  return true;
}

bool parse_range_cols(const char* f, PyObject* const* a, Query& q) {
  std::uint16_t start, end;
  if (!py::to_u16(a[0], {f, "start_col"}, start) || !py::to_u16(a[1], {f, "end_col"}, end)) return false;
  q.shape = Shape::Many;
  q.scan = [start, end](Candidates cells) { return many(cells, search::find_cells_range_cols(start, end, cells)); };
  return true;
}

bool parse_col_rows(const char* f, PyObject* const* a, Query& q) {
  std::uint16_t col;
  std::vector<std::uint32_t> rows;
  if (!py::to_u16(a[0], {f, "col"}, col) || !py::to_u32_list(a[1], {f, "rows"}, rows)) return false;
  q.shape = Shape::Texts;
  q.scan = [col, rows = std::move(rows)](Candidates cells) {
    Outcome o;
    o.texts = search::find_values_by_col_rows(col, rows, cells);
    return o;
  };
  return true;
}

bool parse_row_cols(const char* f, PyObject* const* a, Query& q) {
  std::uint32_t row;
  std::vector<std::uint16_t> cols;
  if (!py::to_u32(a[0], {f, "row"}, row) || !py::to_u16_list(a[1], {f, "cols"}, cols)) return false;
  q.shape = Shape::Texts;
  q.scan = [row, cols = std::move(cols)](Candidates cells) {
    Outcome o;
    o.texts = search::find_values_by_row_cols(row, cols, cells);
    return o;
  };
  return true;
}

const Search kSearchTable[] = {
    {"find_cell_by_coords", {"row", "col"}, 2, parse_cell_by_coords},
    {"find_value_by_coords", {"row", "col"}, 2, parse_value_by_coords},
    {"find_cell_by_regex", {"regex"}, 1, parse_cell_by_regex},
    {"find_cell_by_str", {"value"}, 1, parse_cell_by_str},
    {"find_cell_by_letter", {"letter"}, 1, parse_cell_by_letter},
    {"find_cells_by_regex", {"regex"}, 1, parse_cells_by_regex},
    {"find_cells_by_str", {"value"}, 1, parse_cells_by_str},
    {"find_cells_for_rows_by_regex", {"regex", "col_stop"}, 2, parse_for_rows},
    {"find_cells_for_cols_by_regex", {"regex", "row_stop"}, 2, parse_for_cols},
    {"find_cells_multi_regex", {"before_regex", "after_regex"}, 2, parse_pair<search::find_cells_multi_regex>},
    {"find_cells_between_regex", {"before_regex", "after_regex"}, 2, parse_pair<search::find_cells_between_regex>},
    {"find_cells_range_rows", {"start_row", "end_row"}, 2, parse_range_rows},
    {"find_cells_range_cols", {"start_col", "end_col"}, 2, parse_range_cols},
    {"find_values_by_col_rows", {"col", "rows"}, 2, parse_col_rows},
    {"find_values_by_row_cols", {"row", "cols"}, 2, parse_row_cols},
};

constexpr std::size_t kSearches = sizeof kSearchTable / sizeof kSearchTable[0];

}  // namespace

const Search& search(Id id) { return kSearchTable[static_cast<std::size_t>(id)]; }

bool parse_call(Id id, bool with_cells, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                Query& query, PyObject** cells_out) {
  // Interned keyword names, per search and front-end kind, kept for the process.
  static PyObject* interned[2][kSearches][4] = {};
  const Search& s = search(id);
  const char* names[4] = {s.params[0], s.params[1], s.params[2], nullptr};
  std::size_t count = s.count;
  if (with_cells) names[count++] = "cells";
  PyObject* values[4] = {};
  if (!py::detail::match_arguments(s.name, names, interned[with_cells][static_cast<std::size_t>(id)], count,
                                   count, args, nargs, kwnames, values)) {
    return false;
  }
  if (!s.parse(s.name, values, query)) return false;
  if (with_cells) *cells_out = values[count - 1];
  return true;
}

Outcome lookup_outcome(const Query& query, Cell* found) {
  Outcome o;
  if (found == nullptr) return o;
  if (query.shape == Shape::Text) {
    ReadGuard<TinyRwLock> read(found->lock);
    o.text = text_form(found->value);
  } else {
    o.cells.emplace_back(found);
  }
  return o;
}

PyObject* raise(const Error& error) {
  PyObject* type = error.kind == ErrorKind::InvalidReference ? PyExc_ValueError : PyExc_RuntimeError;
  PyErr_SetString(type, error.message.c_str());
  return nullptr;
}

PyObject* to_python(Shape shape, Outcome&& outcome, PyObject* (*wrap_cell)(CellRef)) {
  if (outcome.error) return raise(*outcome.error);
  switch (shape) {
    case Shape::One:
      return outcome.cells.empty() ? py::new_none() : wrap_cell(std::move(outcome.cells[0]));
    case Shape::Text:
      return outcome.text ? py::new_str(*outcome.text) : py::new_none();
    case Shape::Many: {
      py::Ref list = py::Ref::steal(PyList_New(static_cast<Py_ssize_t>(outcome.cells.size())));
      if (!list) return nullptr;
      for (std::size_t i = 0; i < outcome.cells.size(); ++i) {
        PyObject* item = wrap_cell(std::move(outcome.cells[i]));
        if (item == nullptr) return nullptr;
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), item);
      }
      return list.release();
    }
    case Shape::Texts: {
      py::Ref list = py::Ref::steal(PyList_New(static_cast<Py_ssize_t>(outcome.texts.size())));
      if (!list) return nullptr;
      for (std::size_t i = 0; i < outcome.texts.size(); ++i) {
        PyObject* item = py::new_str(outcome.texts[i]);
        if (item == nullptr) return nullptr;
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), item);
      }
      return list.release();
    }
  }
  return nullptr;
}

}  // namespace tabulon::binding::searches
