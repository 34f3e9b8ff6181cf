// Finder: a frozen collection of taken-in sheets, and create_finder.

#include "binding/handle.hpp"
#include "binding/readable/intake.hpp"
#include "binding/readable/readable_types.hpp"
#include "binding/searches.hpp"
#include "core/finder.hpp"

namespace tabulon::binding {
namespace {

using Args = PyObject* const*;
const Finder& finder_of(PyObject* self) { return *record_of<Finder>(self); }

// Sheet intake of every element, in order; the first failure releases what was made.
bool take_sheets(PyObject* sheets, const char* function, std::vector<SheetRef>& out) {
  if (!py::require_list(sheets, {function, "sheets"})) return false;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(sheets); ++i) {
    py::Ref element = py::Ref::borrow(PyList_GET_ITEM(sheets, i));
    SheetRef sheet = intake::take_sheet(element.get());
    if (!sheet) return false;
    out.push_back(std::move(sheet));
  }
  return true;
}

PyObject* finder_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return py::guard([&]() -> PyObject* {
    static const char* keywords[] = {"sheets", nullptr};
    PyObject* sheets = nullptr;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O:Finder", const_cast<char**>(keywords), &sheets)) {
      return nullptr;
    }
    std::vector<SheetRef> taken;
    if (!take_sheets(sheets, "Finder", taken)) return nullptr;
    return wrap<Finder>(type, FinderRef::make(std::move(taken)));
  });
}

PyObject* create_finder(PyObject*, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("create_finder", 1, "sheets");
    std::array<PyObject*, 1> a;
    std::vector<SheetRef> taken;
    if (!params.match(args, nargs, kwnames, a) || !take_sheets(a[0], "create_finder", taken)) return nullptr;
    FinderRef finder = py::without_gil([&] { return FinderRef::make(std::move(taken)); });
    return wrap<Finder>(finder_type(), std::move(finder));
  });
}

std::vector<SheetRef> sheets_at(const Finder& finder, const std::vector<std::size_t>& positions) {
  ReadGuard<RecordLock> read(finder.lock);
  std::vector<SheetRef> out;
  out.reserve(positions.size());
  for (std::size_t i : positions) out.push_back(finder.sheets[i]);
  return out;
}

PyObject* view_at(const Finder& finder, std::optional<std::size_t> position) {
  if (!position) return py::new_none();
  return wrap_readable_sheet(sheets_at(finder, {*position})[0]);
}

PyObject* sheets(PyObject* self, void*) {
  return py::guard([&] {
    std::vector<SheetRef> list;
    {
      ReadGuard<RecordLock> read(finder_of(self).lock);
      list = finder_of(self).sheets;
    }
    return wrap_list<Sheet>(readable_sheet_type(), list);
  });
}

PyObject* get_sheet_index(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("get_sheet_index", 1, "idx");
    std::array<PyObject*, 1> a;
    std::int32_t idx;
    if (!params.match(args, nargs, kwnames, a) || !py::to_i32(a[0], {"get_sheet_index", "idx"}, idx)) {
      return nullptr;
    }
    SheetRef sheet;
    {
      ReadGuard<RecordLock> read(finder_of(self).lock);
      if (idx >= 0 && static_cast<std::size_t>(idx) < finder_of(self).sheets.size()) {
        sheet = finder_of(self).sheets[static_cast<std::size_t>(idx)];
      }
    }
    return sheet ? wrap_readable_sheet(std::move(sheet)) : py::new_none();
  });
}

PyObject* by_names(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames, const py::Params<1>& params,
                   bool keep_listed) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 1> a;
    std::vector<std::string> names;
    if (!params.match(args, nargs, kwnames, a) || !py::to_str_list(a[0], {params.function(), "name_list"}, names)) {
      return nullptr;
    }
    const Finder& finder = finder_of(self);
    return wrap_list<Sheet>(readable_sheet_type(), sheets_at(finder, sheets_by_names(finder, names, keep_listed)));
  });
}

PyObject* get_sheets_without_names(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_sheets_without_names", 1, "name_list");
  return by_names(self, args, nargs, kw, params, false);
}

PyObject* get_sheets_with_names(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_sheets_with_names", 1, "name_list");
  return by_names(self, args, nargs, kw, params, true);
}

PyObject* find_sheet_by_name(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("find_sheet_by_name", 1, "name");
    std::array<PyObject*, 1> a;
    std::string_view name;
    if (!params.match(args, nargs, kwnames, a) || !py::to_str(a[0], {"find_sheet_by_name", "name"}, name)) {
      return nullptr;
    }
    const Finder& finder = finder_of(self);
    return view_at(finder, tabulon::find_sheet_by_name(finder, name));
  });
}

PyObject* find_sheet_by_regex(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("find_sheet_by_regex", 1, "pattern");
    std::array<PyObject*, 1> a;
    std::string_view pattern;
    if (!params.match(args, nargs, kwnames, a) ||
        !py::to_str(a[0], {"find_sheet_by_regex", "pattern"}, pattern)) {
      return nullptr;
    }
    Result<Regex> compiled = Regex::compile(pattern);  // unchanged: no "(?i)" here
    if (!compiled) return searches::raise(compiled.error());
    const Finder& finder = finder_of(self);
    return view_at(finder, tabulon::find_sheet_by_regex(finder, compiled.value()));
  });
}

PyObject* repr(PyObject* self) {
  return py::guard([&] {
    std::size_t count;
    {
      ReadGuard<RecordLock> read(finder_of(self).lock);
      count = finder_of(self).sheets.size();
    }
    return py::new_str(py::type_qualname(self) + ", sheets: " + std::to_string(count));
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

PyGetSetDef getset[] = {
    {"sheets", sheets, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef methods[] = {
    {"get_sheet_index", py::as_cfunction(get_sheet_index), kFast, "get_sheet_index($self, idx)\n--\n\n"},
    {"get_sheets_without_names", py::as_cfunction(get_sheets_without_names), kFast,
     "get_sheets_without_names($self, name_list)\n--\n\n"},
    {"get_sheets_with_names", py::as_cfunction(get_sheets_with_names), kFast,
     "get_sheets_with_names($self, name_list)\n--\n\n"},
    {"find_sheet_by_name", py::as_cfunction(find_sheet_by_name), kFast, "find_sheet_by_name($self, name)\n--\n\n"},
    {"find_sheet_by_regex", py::as_cfunction(find_sheet_by_regex), kFast,
     "find_sheet_by_regex($self, pattern)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_doc, const_cast<char*>("Finder(sheets)\n--\n\n")},
    {Py_tp_new, reinterpret_cast<void*>(finder_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Finder>)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, getset},
    {Py_tp_methods, methods},
    {0, nullptr},
};

PyType_Spec type_spec = {"tabulon.readable.Finder", sizeof(Handle<Finder>), 0,
                    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE, slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* finder_type() { return type.get(); }

PyMethodDef create_finder_def = {"create_finder", py::as_cfunction(create_finder), METH_FASTCALL | METH_KEYWORDS,
                                 "create_finder(sheets)\n--\n\n"};

}  // namespace tabulon::binding
