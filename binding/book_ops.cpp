#include "binding/book_ops.hpp"

#include "binding/handle.hpp"
#include "binding/types.hpp"
#include "core/json_writer.hpp"

namespace tabulon::binding::book_ops {

PyObject* sheets(Book& book) {
  return py::guard([&] {
    std::vector<SheetRef> list;
    {
      ReadGuard<RecordLock> read(book.lock);
      list = book.sheets;
    }
    return wrap_list<Sheet>(sheet_type(), list);
  });
}

PyObject* add_sheet(Book& book, const py::Params<2>& params, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 2> a;
    std::string_view name, state = "visible";
    if (!params.match(args, nargs, kwnames, a) || !py::to_str(a[0], {params.function(), "name"}, name) ||
        (a[1] != nullptr && !py::to_str(a[1], {params.function(), "sheet_state"}, state))) {
      return nullptr;
    }
    return wrap_sheet(tabulon::add_sheet(book, std::string(name), std::string(state)));
  });
}

PyObject* copy_sheet(Book& book, const py::Params<1>& params, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 1> a;
    if (!params.match(args, nargs, kwnames, a)) return nullptr;
    SheetRef source = sheet_record(a[0]);
    if (!source) {
      PyErr_Format(PyExc_TypeError, "%s() argument 'sheet' must be tabulon.Sheet, not %.200s",
                   params.function(), Py_TYPE(a[0])->tp_name);
      return nullptr;
    }
    return wrap_sheet(copy_sheet_into(book, source));
  });
}

PyObject* get_sheet_index(Book& book, const py::Params<1>& params, Args args, Py_ssize_t nargs,
                          PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 1> a;
    std::int32_t idx;
    if (!params.match(args, nargs, kwnames, a) || !py::to_i32(a[0], {params.function(), "idx"}, idx)) {
      return nullptr;
    }
    SheetRef sheet = sheet_at(book, idx);
    return sheet ? wrap_sheet(std::move(sheet)) : py::new_none();
  });
}

PyObject* get_sheet_name(Book& book, const py::Params<1>& params, Args args, Py_ssize_t nargs,
                         PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 1> a;
    std::string_view name;
    if (!params.match(args, nargs, kwnames, a) || !py::to_str(a[0], {params.function(), "name"}, name)) {
      return nullptr;
    }
    SheetRef sheet = sheet_named(book, name);
    return sheet ? wrap_sheet(std::move(sheet)) : py::new_none();
  });
}

std::size_t sheet_count(const Book& book) {
  ReadGuard<RecordLock> read(book.lock);
  return book.sheets.size();
}

namespace {

// The document text, or nullptr with RuntimeError set.
PyObject* document(const Book& book) {
  Result<std::string> text = write_document(book);
  if (!text) {
    PyErr_Format(PyExc_RuntimeError, "Failed to convert in JSON: %s", text.error().message.c_str());
    return nullptr;
  }
  return py::new_str(text.value());
}

}  // namespace

PyObject* to_json(const Book& book) {
  return py::guard([&] { return document(book); });
}

PyObject* to_dict(const Book& book) {
  return py::guard([&]() -> PyObject* {
    py::Ref text = py::Ref::steal(document(book));
    if (!text) return nullptr;
    py::Ref json = py::Ref::steal(PyImport_ImportModule("json"));
    if (!json) return nullptr;
    py::Ref loads = py::Ref::steal(PyObject_GetAttrString(json.get(), "loads"));
    if (!loads) return nullptr;
    return PyObject_CallOneArg(loads.get(), text.get());
  });
}

}  // namespace tabulon::binding::book_ops
