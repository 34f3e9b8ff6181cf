// Book: the workbook handle.

#include "binding/book_ops.hpp"
#include "binding/handle.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {
namespace {

Book& book_of(PyObject* self) { return *record_of<Book>(self); }
using Args = PyObject* const*;

PyObject* book_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return py::guard([&]() -> PyObject* {
    if (PyTuple_GET_SIZE(args) != 0 || (kwargs != nullptr && PyDict_GET_SIZE(kwargs) != 0)) {
      PyErr_SetString(PyExc_TypeError, "Book() takes no arguments");
      return nullptr;
    }
    return wrap<Book>(type, BookRef::make());
  });
}

PyObject* sheets(PyObject* self, void*) { return book_ops::sheets(book_of(self)); }

PyObject* add_sheet(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("add_sheet", 1, "name", "sheet_state");
  return book_ops::add_sheet(book_of(self), params, args, nargs, kw);
}

PyObject* copy_sheet(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("copy_sheet", 1, "sheet");
  return book_ops::copy_sheet(book_of(self), params, args, nargs, kw);
}

PyObject* get_sheet_index(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_sheet_index", 1, "idx");
  return book_ops::get_sheet_index(book_of(self), params, args, nargs, kw);
}

PyObject* get_sheet_name(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_sheet_name", 1, "name");
  return book_ops::get_sheet_name(book_of(self), params, args, nargs, kw);
}

PyObject* to_json(PyObject* self, PyObject*) { return book_ops::to_json(book_of(self)); }
PyObject* to_dict(PyObject* self, PyObject*) { return book_ops::to_dict(book_of(self)); }

PyObject* repr(PyObject* self) {
  return py::guard([&] {
    return py::new_str("Book, sheets: " + std::to_string(book_ops::sheet_count(book_of(self))));
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

PyGetSetDef getset[] = {
    {"sheets", sheets, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef methods[] = {
    {"add_sheet", py::as_cfunction(add_sheet), kFast,
     "add_sheet($self, name, sheet_state=\"visible\")\n--\n\n"},
    {"copy_sheet", py::as_cfunction(copy_sheet), kFast, "copy_sheet($self, sheet)\n--\n\n"},
    {"get_sheet_index", py::as_cfunction(get_sheet_index), kFast, "get_sheet_index($self, idx)\n--\n\n"},
    {"get_sheet_name", py::as_cfunction(get_sheet_name), kFast, "get_sheet_name($self, name)\n--\n\n"},
    {"to_json", to_json, METH_NOARGS, "to_json($self)\n--\n\n"},
    {"to_dict", to_dict, METH_NOARGS, "to_dict($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_doc, const_cast<char*>("Book()\n--\n\n")},
    {Py_tp_new, reinterpret_cast<void*>(book_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Book>)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, getset},
    {Py_tp_methods, methods},
    {0, nullptr},
};

PyType_Spec type_spec = {"tabulon.Book", sizeof(Handle<Book>), 0,
                    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE, slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* book_type() { return type.get(); }

}  // namespace tabulon::binding
