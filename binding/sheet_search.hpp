#pragma once
// The search methods of Sheet, listed after its other methods.

#include <span>

#include "binding/py.hpp"
#include "core/sheet.hpp"

namespace tabulon::binding {

std::span<const PyMethodDef> sheet_search_methods();

// The four optional bounds of get_cells_by_range (shared with the read-only sheet).
bool range_bounds_args(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, RangeBounds& bounds);

}  // namespace tabulon::binding
