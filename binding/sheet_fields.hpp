#pragma once
// Read accessors of a sheet record, shared by Sheet and ReadableSheet (both Handle<Sheet>).

#include <vector>

#include "binding/py.hpp"
#include "core/sheet.hpp"

namespace tabulon::binding::sheet_fields {

PyObject* get_name(PyObject* self, void*);
PyObject* get_sheet_state(PyObject* self, void*);
PyObject* get_max_row(PyObject* self, void*);
PyObject* get_max_column(PyObject* self, void*);
PyObject* get_merge_cells(PyObject* self, void*);
// Handles on every stored cell in row-major order, taken under the sheet's read lock.
std::vector<CellRef> listed_cells(const Sheet& sheet);
PyObject* get_value_cell(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

}  // namespace tabulon::binding::sheet_fields
