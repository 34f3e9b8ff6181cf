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

// The candidates of a module search: ReadableCell elements share their records, anything
// else is taken in. `owned` keeps the records alive; `candidates` views them in list order.
bool take_cell_list(PyObject* list, std::vector<CellRef>& owned, std::vector<Cell*>& candidates);

}  // namespace tabulon::binding::intake
