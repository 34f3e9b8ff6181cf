#pragma once
// The searches as the three front ends see them (Sheet, ReadableSheet and the readable
// module functions): each search's parameters, how its arguments become a query, and how
// an outcome becomes Python objects. The front ends differ only in where the candidates
// come from, whether the GIL is released, and which cell class wraps the hits.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "binding/py.hpp"
#include "core/cell.hpp"
#include "core/result.hpp"
#include "core/search.hpp"

namespace tabulon::binding::searches {

enum class Id {
  find_cell_by_coords,
  find_value_by_coords,
  find_cell_by_regex,
  find_cell_by_str,
  find_cell_by_letter,
  find_cells_by_regex,
  find_cells_by_str,
  find_cells_for_rows_by_regex,
  find_cells_for_cols_by_regex,
  find_cells_multi_regex,
  find_cells_between_regex,
  find_cells_range_rows,
  find_cells_range_cols,
  find_values_by_col_rows,
  find_values_by_row_cols,
};

enum class Shape { One, Many, Text, Texts };

struct Outcome {
  std::optional<Error> error;
  std::vector<CellRef> cells;       // One: at most one entry
  std::optional<std::string> text;  // Text
  std::vector<std::string> texts;   // Texts
};

struct Query {
  Shape shape;
  // Runs over candidates. Takes references to the hits while the candidates are alive.
  std::function<Outcome(search::Candidates)> scan;
  // Set for the coordinate searches, which a sheet answers with one lookup.
  std::optional<Coordinate> lookup;
};

struct Search {
  const char* name;
  const char* params[3];
  std::size_t count;
  // Converts the search's own arguments (everything but `cells`), in parameter order.
  bool (*parse)(const char* function, PyObject* const* args, Query& query);
};

const Search& search(Id id);

// Matches a fast call against the search's parameters, plus a trailing "cells" for the
// module functions; then converts the search's arguments. `cells_out` gets "cells".
bool parse_call(Id id, bool with_cells, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                Query& query, PyObject** cells_out);

// The outcome of a coordinate lookup in a sheet's cell store (the caller holds its lock).
Outcome lookup_outcome(const Query& query, Cell* found);

// Python result of an outcome; raises its error (RuntimeError for a pattern, ValueError
// for a reference).
PyObject* to_python(Shape shape, Outcome&& outcome, PyObject* (*wrap_cell)(CellRef));

// Sets the Python exception of a core error and returns nullptr.
PyObject* raise(const Error& error);

}  // namespace tabulon::binding::searches
