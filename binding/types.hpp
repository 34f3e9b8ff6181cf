#pragma once
// The classes of the module and how other files make their objects.

#include "binding/py.hpp"
#include "core/book.hpp"
#include "core/cell.hpp"
#include "core/comment.hpp"
#include "core/sheet.hpp"

namespace tabulon::binding {

PyTypeObject* service_type();
PyTypeObject* book_type();
PyTypeObject* sheet_type();
PyTypeObject* cell_type();
PyTypeObject* comment_type();

PyObject* wrap_cell(CellRef cell);
PyObject* wrap_comment(CommentRef comment);
PyObject* wrap_sheet(SheetRef sheet);

// The sheet record of a Sheet object, or null (no exception set) for anything else.
SheetRef sheet_record(PyObject* object);

}  // namespace tabulon::binding
