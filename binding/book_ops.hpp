#pragma once
// The book operations, shared by Book and by Service (which offers them under underscore
// names). Each takes the parameter list of its caller so that errors name the right method.

#include "binding/py.hpp"
#include "core/book.hpp"

namespace tabulon::binding::book_ops {

using Args = PyObject* const*;

PyObject* sheets(Book& book);
PyObject* add_sheet(Book& book, const py::Params<2>& params, Args args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* copy_sheet(Book& book, const py::Params<1>& params, Args args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* get_sheet_index(Book& book, const py::Params<1>& params, Args args, Py_ssize_t nargs,
                          PyObject* kwnames);
PyObject* get_sheet_name(Book& book, const py::Params<1>& params, Args args, Py_ssize_t nargs,
                         PyObject* kwnames);
std::size_t sheet_count(const Book& book);
// The document as a str, and as Python objects through json.loads.
PyObject* to_json(const Book& book);
PyObject* to_dict(const Book& book);

}  // namespace tabulon::binding::book_ops
