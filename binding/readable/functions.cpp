// The fifteen find_* functions of tabulon.readable: take in the `cells` list with the GIL
// held, search it without the GIL, wrap the hits as ReadableCell views.

#include "binding/readable/intake.hpp"
#include "binding/readable/readable_types.hpp"
#include "binding/searches.hpp"

namespace tabulon::binding {
namespace {

using searches::Id;

template <Id id>
PyObject* module_search(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    searches::Query query;
    PyObject* cells = nullptr;
    const char* name = searches::search(id).name;
    if (!searches::parse_call(id, true, args, nargs, kwnames, query, &cells) ||
        !py::require_list(cells, {name, "cells"})) {
      return nullptr;
    }
    intake::TakenCells taken;
    if (!intake::take_cell_list(cells, taken)) return nullptr;
    searches::Outcome outcome = py::without_gil([&] { return query.scan({taken.candidates, search::Access::Frozen}); });
    return searches::to_python(query.shape, std::move(outcome), wrap_readable_cell);
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

#define TABULON_MODULE_SEARCH(name, signature) \
  {#name, py::as_cfunction(module_search<Id::name>), kFast, #name "(" signature ")\n--\n\n"}

const PyMethodDef kFunctions[] = {
    TABULON_MODULE_SEARCH(find_cell_by_coords, "row, col, cells"),
    TABULON_MODULE_SEARCH(find_value_by_coords, "row, col, cells"),
    TABULON_MODULE_SEARCH(find_cell_by_regex, "regex, cells"),
    TABULON_MODULE_SEARCH(find_cell_by_str, "value, cells"),
    TABULON_MODULE_SEARCH(find_cell_by_letter, "letter, cells"),
    TABULON_MODULE_SEARCH(find_cells_by_regex, "regex, cells"),
    TABULON_MODULE_SEARCH(find_cells_by_str, "value, cells"),
    TABULON_MODULE_SEARCH(find_cells_for_rows_by_regex, "regex, col_stop, cells"),
    TABULON_MODULE_SEARCH(find_cells_for_cols_by_regex, "regex, row_stop, cells"),
    TABULON_MODULE_SEARCH(find_cells_multi_regex, "before_regex, after_regex, cells"),
    TABULON_MODULE_SEARCH(find_cells_between_regex, "before_regex, after_regex, cells"),
    TABULON_MODULE_SEARCH(find_cells_range_rows, "start_row, end_row, cells"),
    TABULON_MODULE_SEARCH(find_cells_range_cols, "start_col, end_col, cells"),
    TABULON_MODULE_SEARCH(find_values_by_col_rows, "col, rows, cells"),
    TABULON_MODULE_SEARCH(find_values_by_row_cols, "row, cols, cells"),
};

#undef TABULON_MODULE_SEARCH

}  // namespace

std::span<const PyMethodDef> readable_search_functions() { return kFunctions; }

}  // namespace tabulon::binding
