#pragma once
// Read accessors of a cell record, shared by Cell and ReadableCell (both are Handle<Cell>).
// Each copies what it needs under the record's read lock, then builds the Python result.

#include "binding/handle.hpp"
#include "core/cell.hpp"

namespace tabulon::binding::cell_fields {

PyObject* row(PyObject* self, void*);
PyObject* column(PyObject* self, void*);
PyObject* letter(PyObject* self, void*);
PyObject* value(PyObject* self, void*);
PyObject* formula(PyObject* self, void*);
PyObject* style(PyObject* self, void*);
PyObject* data_type(PyObject* self, void*);
PyObject* hidden_value(PyObject* self, void*);
PyObject* is_formula(PyObject* self, void*);
PyObject* is_value_empty(PyObject* self, void*);
PyObject* is_value_bool(PyObject* self, void*);
PyObject* is_value_numeric(PyObject* self, void*);
PyObject* is_value_integer(PyObject* self, void*);
PyObject* is_value_datetime(PyObject* self, void*);

// `prefix` followed by ", Coords: Coordinate { row: R, column: C }".
PyObject* repr_with(PyObject* self, std::string_view prefix);

}  // namespace tabulon::binding::cell_fields
