#include "binding/book_ops.hpp"

#include <algorithm>
#include <new>

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

// The writer's sink: a compact ASCII str, grown in place (a large realloc remaps rather than
// copies) and cut to length at the end. Most documents are pure ASCII and come out without a
// second buffer, a copy or a decoding pass; one with non-ASCII text is decoded from the
// bytes into a new str. Needs the GIL, as the writer runs with it held.
class StrSink final : public JsonSink {
 public:
  // The document as a new str, or nullptr with an exception set.
  PyObject* finish() {
    const auto size = static_cast<Py_ssize_t>(this->size());
    if (!text_) return PyUnicode_New(0, 127);
    if (!ascii()) return PyUnicode_DecodeUTF8(data(), size, "strict");
    if (!resize(size)) return nullptr;
    return text_.release();
  }

 private:
  void grow(std::size_t more) override {
    const std::size_t size = this->size();
    const std::size_t capacity = std::max({capacity_ * 2, size + more, std::size_t{1} << 16});
    if (capacity > static_cast<std::size_t>(PY_SSIZE_T_MAX)) throw std::bad_alloc();
    if (!text_) {
      text_ = py::Ref::steal(PyUnicode_New(static_cast<Py_ssize_t>(capacity), 127));
      if (!text_) throw py::PythonErrorSet{};
    } else if (!resize(static_cast<Py_ssize_t>(capacity))) {
      throw py::PythonErrorSet{};
    }
    capacity_ = capacity;
    rebase(data(), size, capacity);
  }

  // On failure the old object stays valid and owned.
  bool resize(Py_ssize_t length) {
    PyObject* object = text_.get();
    if (PyUnicode_Resize(&object, length) < 0) return false;
    text_.release();
    text_ = py::Ref::steal(object);
    return true;
  }

  char* data() const noexcept { return static_cast<char*>(PyUnicode_DATA(text_.get())); }

  py::Ref text_;
  std::size_t capacity_ = 0;
};

// The document text, or nullptr with an exception set.
PyObject* document(const Book& book) {
  StrSink out;
  Result<std::size_t> written = write_document(book, out);
  if (!written) {
    PyErr_Format(PyExc_RuntimeError, "Failed to convert in JSON: %s", written.error().message.c_str());
    return nullptr;
  }
  return out.finish();
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
