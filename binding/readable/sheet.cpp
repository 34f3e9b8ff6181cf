// ReadableSheet: a read-only view of one sheet of a Finder. Its searches and range
// selection release the GIL around their core work and take the sheet's read lock only
// while the GIL is released.

#include "binding/handle.hpp"
#include "binding/readable/readable_types.hpp"
#include "binding/searches.hpp"
#include "binding/sheet_fields.hpp"
#include "binding/sheet_search.hpp"

namespace tabulon::binding {
namespace {

using searches::Id;

const Sheet& sheet_of(PyObject* self) { return *record_of<Sheet>(self); }

PyObject* get_cells(PyObject* self, void*) {
  return py::guard([&] {
    return wrap_list<Cell>(readable_cell_type(), sheet_fields::listed_cells(sheet_of(self)));
  });
}

PyObject* get_cells_by_range(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    RangeBounds bounds;
    if (!range_bounds_args(args, nargs, kwnames, bounds)) return nullptr;
    const Sheet& sheet = sheet_of(self);
    std::vector<CellRef> cells = py::without_gil([&] {
      ReadGuard<RecordLock> read(sheet.lock);
      return cells_in_range(sheet, bounds);
    });
    return wrap_list<Cell>(readable_cell_type(), cells);
  });
}

template <Id id>
PyObject* sheet_search(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    searches::Query query;
    if (!searches::parse_call(id, false, args, nargs, kwnames, query, nullptr)) return nullptr;
    const Sheet& sheet = sheet_of(self);
    searches::Outcome outcome = py::without_gil([&] {
      ReadGuard<RecordLock> read(sheet.lock);
      return query.lookup ? searches::lookup_outcome(query, sheet.cells.find(*query.lookup))
                          : query.scan({sheet.cells.row_major(), search::Access::Frozen});
    });
    return searches::to_python(query.shape, std::move(outcome), wrap_readable_cell);
  });
}

PyObject* repr(PyObject* self) {
  return py::guard([&] {
    std::string text = py::type_qualname(self);
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      text += " (" + sheet_of(self).name + ") cells: " + std::to_string(sheet_of(self).cells.size());
    }
    return py::new_str(text);
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

#define TABULON_VIEW_SEARCH(name, signature) \
  {#name, py::as_cfunction(sheet_search<Id::name>), kFast, #name "($self, " signature ")\n--\n\n"}

PyMethodDef methods[] = {
    {"get_value_cell", py::as_cfunction(sheet_fields::get_value_cell), kFast, "get_value_cell($self, row, col)\n--\n\n"},
    {"get_cells_by_range", py::as_cfunction(get_cells_by_range), kFast,
     "get_cells_by_range($self, start_row=None, end_row=None, start_col=None, end_col=None)\n--\n\n"},
    TABULON_VIEW_SEARCH(find_cell_by_regex, "regex"),
    TABULON_VIEW_SEARCH(find_cell_by_str, "value"),
    TABULON_VIEW_SEARCH(find_cell_by_coords, "row, col"),
    TABULON_VIEW_SEARCH(find_cell_by_letter, "letter"),
    TABULON_VIEW_SEARCH(find_cells_by_regex, "regex"),
    TABULON_VIEW_SEARCH(find_cells_by_str, "value"),
    TABULON_VIEW_SEARCH(find_cells_for_rows_by_regex, "regex, col_stop"),
    TABULON_VIEW_SEARCH(find_cells_for_cols_by_regex, "regex, row_stop"),
    TABULON_VIEW_SEARCH(find_cells_multi_regex, "before_regex, after_regex"),
    TABULON_VIEW_SEARCH(find_cells_between_regex, "before_regex, after_regex"),
    TABULON_VIEW_SEARCH(find_cells_range_rows, "start_row, end_row"),
    TABULON_VIEW_SEARCH(find_cells_range_cols, "start_col, end_col"),
    TABULON_VIEW_SEARCH(find_values_by_col_rows, "col, rows"),
    TABULON_VIEW_SEARCH(find_values_by_row_cols, "row, cols"),
    TABULON_VIEW_SEARCH(find_value_by_coords, "row, col"),
    {nullptr, nullptr, 0, nullptr},
};

#undef TABULON_VIEW_SEARCH

PyGetSetDef getset[] = {
    {"name", sheet_fields::get_name, nullptr, nullptr, nullptr},
    {"sheet_state", sheet_fields::get_sheet_state, nullptr, nullptr, nullptr},
    {"max_row", sheet_fields::get_max_row, nullptr, nullptr, nullptr},
    {"max_column", sheet_fields::get_max_column, nullptr, nullptr, nullptr},
    {"cells", get_cells, nullptr, nullptr, nullptr},
    {"merge_cells", sheet_fields::get_merge_cells, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Sheet>)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, getset},
    {Py_tp_methods, methods},
    {0, nullptr},
};

PyType_Spec type_spec = {
    "tabulon.readable.ReadableSheet", sizeof(Handle<Sheet>), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* readable_sheet_type() { return type.get(); }

PyObject* wrap_readable_sheet(SheetRef sheet) { return wrap<Sheet>(readable_sheet_type(), std::move(sheet)); }

}  // namespace tabulon::binding
