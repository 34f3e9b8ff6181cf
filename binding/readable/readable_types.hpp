#pragma once
// The classes of tabulon.readable and how other files make their objects.

#include <span>

#include "binding/py.hpp"
#include "core/cell.hpp"
#include "core/sheet.hpp"

namespace tabulon::binding {

PyTypeObject* finder_type();
PyTypeObject* readable_sheet_type();
PyTypeObject* readable_cell_type();

PyObject* wrap_readable_cell(CellRef cell);
PyObject* wrap_readable_sheet(SheetRef sheet);

// create_finder, registered first among the module's functions.
extern PyMethodDef create_finder_def;
// The fifteen find_* functions, in registration order.
std::span<const PyMethodDef> readable_search_functions();

}  // namespace tabulon::binding
