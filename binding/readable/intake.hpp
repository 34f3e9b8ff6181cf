#pragma once
// Taking in arbitrary Python objects as cell and sheet records: dicts are read by item,
// anything else by attribute. Runs with the GIL held, before any search work; the first
// failure aborts the whole call with its Python exception set and nothing built.

#include <vector>

#include "binding/py.hpp"
#include "core/cell.hpp"
#include "core/sheet.hpp"

namespace tabulon::binding::intake {

// A new cell record from the six fields row, column, value, formula, data_type, style_id.
CellRef take_cell(PyObject* object);

// A new sheet record from name, sheet_state, merge_cells and cells.
SheetRef take_sheet(PyObject* object);

// The candidates of a module search, in list order. The list is read once into `elements`, a
// new list holding every element, which keeps each ReadableCell and so its record alive
// without touching the record's count; other elements are taken in as new records, which
// `made` owns.
struct TakenCells {
  py::Ref elements;
  std::vector<CellRef> made;
  std::vector<Cell*> candidates;
};
bool take_cell_list(PyObject* list, TakenCells& out);

}  // namespace tabulon::binding::intake
