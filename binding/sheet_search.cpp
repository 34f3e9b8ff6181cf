// The search methods of Sheet: they keep the GIL, read the sheet under its read lock and
// return Cell handles on the very records they searched.

#include "binding/sheet_search.hpp"

#include "binding/handle.hpp"
#include "binding/searches.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {
namespace {

using searches::Id;

template <Id id>
PyObject* sheet_search(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    searches::Query query;
    if (!searches::parse_call(id, false, args, nargs, kwnames, query, nullptr)) return nullptr;
    const Sheet& sheet = *record_of<Sheet>(self);
    searches::Outcome outcome;
    {
      ReadGuard<RecordLock> read(sheet.lock);
      outcome = query.lookup ? searches::lookup_outcome(query, sheet.cells.find(*query.lookup))
                             : query.scan({sheet.cells.row_major(), search::Access::Locked});
    }
    return searches::to_python(query.shape, std::move(outcome), wrap_cell);
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

#define TABULON_SHEET_SEARCH(name, signature) \
  {#name, py::as_cfunction(sheet_search<Id::name>), kFast, #name "($self, " signature ")\n--\n\n"}

const PyMethodDef kMethods[] = {
    TABULON_SHEET_SEARCH(find_cell_by_regex, "regex"),
    TABULON_SHEET_SEARCH(find_cell_by_str, "value"),
    TABULON_SHEET_SEARCH(find_cell_by_letter, "letter"),
    TABULON_SHEET_SEARCH(find_cells_by_regex, "regex"),
    TABULON_SHEET_SEARCH(find_cells_by_str, "value"),
    TABULON_SHEET_SEARCH(find_cells_for_rows_by_regex, "regex, col_stop"),
    TABULON_SHEET_SEARCH(find_cells_for_cols_by_regex, "regex, row_stop"),
    TABULON_SHEET_SEARCH(find_cells_multi_regex, "before_regex, after_regex"),
    TABULON_SHEET_SEARCH(find_cells_between_regex, "before_regex, after_regex"),
    TABULON_SHEET_SEARCH(find_cells_range_rows, "start_row, end_row"),
    TABULON_SHEET_SEARCH(find_cells_range_cols, "start_col, end_col"),
    TABULON_SHEET_SEARCH(find_value_by_coords, "row, col"),
};

#undef TABULON_SHEET_SEARCH

}  // namespace

std::span<const PyMethodDef> sheet_search_methods() { return kMethods; }

}  // namespace tabulon::binding
