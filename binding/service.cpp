// Service: the base class report services derive from. It holds the caller's connection
// object and a book of its own; the hooks are for subclasses to provide.

#include "binding/book_ops.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {
namespace {

struct ServiceObject {
  PyObject_HEAD
  PyObject* conn_db;  // strong; never looked into
  BookRef book;
};

ServiceObject* service_of(PyObject* self) { return reinterpret_cast<ServiceObject*>(self); }
Book& book_of(PyObject* self) { return *service_of(self)->book; }
using Args = PyObject* const*;

PyObject* service_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return py::guard([&]() -> PyObject* {
    static const char* keywords[] = {"conn_db", nullptr};
    PyObject* conn_db = nullptr;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O:Service", const_cast<char**>(keywords), &conn_db)) {
      return nullptr;
    }
    BookRef book = BookRef::make();
    PyObject* self = type->tp_alloc(type, 0);
    if (self == nullptr) return nullptr;
    service_of(self)->conn_db = Py_NewRef(conn_db);
    new (&service_of(self)->book) BookRef(std::move(book));
    return self;
  });
}

int service_traverse(PyObject* self, visitproc visit, void* arg) {
  Py_VISIT(Py_TYPE(self));
  Py_VISIT(service_of(self)->conn_db);
  return 0;
}

int service_clear(PyObject* self) {
  Py_CLEAR(service_of(self)->conn_db);
  return 0;
}

void service_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  PyObject_GC_UnTrack(self);
  service_clear(self);
  service_of(self)->book.~BookRef();
  type->tp_free(self);
  Py_DECREF(type);
}

PyObject* conn_db(PyObject* self, void*) {
  PyObject* conn = service_of(self)->conn_db;
  return Py_NewRef(conn != nullptr ? conn : Py_None);  // None only after a GC clear
}

PyObject* sheets(PyObject* self, void*) { return book_ops::sheets(book_of(self)); }

PyObject* summary_0(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  (void)self;
  (void)kwnames;  // any keywords are the subclass's business
  if (nargs != 1) {
    PyErr_Format(PyExc_TypeError, "summary_0() takes exactly 1 positional argument (%zd given)", nargs);
    return nullptr;
  }
  if (!py::require_list(args[0], {"summary_0", "sheets"})) return nullptr;
  PyErr_SetString(PyExc_NotImplementedError, "Method 'summary_0' is not implemented");
  return nullptr;
}

PyObject* fmt_0(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  (void)self;
  (void)args;
  (void)kwnames;
  if (nargs != 0) {
    PyErr_Format(PyExc_TypeError, "_fmt_0() takes no positional arguments (%zd given)", nargs);
    return nullptr;
  }
  PyErr_SetString(PyExc_NotImplementedError, "Method 'fmt_0' is not implemented");
  return nullptr;
}

PyObject* add_sheet(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("_add_sheet", 1, "name", "sheet_state");
  return book_ops::add_sheet(book_of(self), params, args, nargs, kw);
}

PyObject* copy_sheet(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("_copy_sheet", 1, "sheet");
  return book_ops::copy_sheet(book_of(self), params, args, nargs, kw);
}

PyObject* get_sheet_index(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("_get_sheet_index", 1, "idx");
  return book_ops::get_sheet_index(book_of(self), params, args, nargs, kw);
}

PyObject* get_sheet_name(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("_get_sheet_name", 1, "name");
  return book_ops::get_sheet_name(book_of(self), params, args, nargs, kw);
}

PyObject* to_json(PyObject* self, PyObject*) { return book_ops::to_json(book_of(self)); }
PyObject* to_dict(PyObject* self, PyObject*) { return book_ops::to_dict(book_of(self)); }

PyObject* repr(PyObject* self) {
  return py::guard([&] {
    return py::new_str(py::type_qualname(self) + ", sheets: " +
                       std::to_string(book_ops::sheet_count(book_of(self))));
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

PyGetSetDef getset[] = {
    {"_conn_db", conn_db, nullptr, nullptr, nullptr},
    {"_sheets", sheets, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef methods[] = {
    {"summary_0", py::as_cfunction(summary_0), kFast, "summary_0($self, sheets, /, **kwargs)\n--\n\n"},
    {"_fmt_0", py::as_cfunction(fmt_0), kFast, "_fmt_0($self, **kwargs)\n--\n\n"},
    {"_add_sheet", py::as_cfunction(add_sheet), kFast, "_add_sheet($self, name, sheet_state=\"visible\")\n--\n\n"},
    {"_copy_sheet", py::as_cfunction(copy_sheet), kFast, "_copy_sheet($self, sheet)\n--\n\n"},
    {"_get_sheet_index", py::as_cfunction(get_sheet_index), kFast, "_get_sheet_index($self, idx)\n--\n\n"},
    {"_get_sheet_name", py::as_cfunction(get_sheet_name), kFast, "_get_sheet_name($self, name)\n--\n\n"},
    {"to_json", to_json, METH_NOARGS, "to_json($self)\n--\n\n"},
    {"to_dict", to_dict, METH_NOARGS, "to_dict($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_doc, const_cast<char*>("Service(conn_db)\n--\n\n")},
    {Py_tp_new, reinterpret_cast<void*>(service_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(service_dealloc)},
    {Py_tp_traverse, reinterpret_cast<void*>(service_traverse)},
    {Py_tp_clear, reinterpret_cast<void*>(service_clear)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, getset},
    {Py_tp_methods, methods},
    {0, nullptr},
};

PyType_Spec type_spec = {"tabulon.Service", sizeof(ServiceObject), 0,
                    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC | Py_TPFLAGS_IMMUTABLETYPE,
                    slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* service_type() { return type.get(); }

}  // namespace tabulon::binding
