// Cell: a live handle on one cell record of a sheet.

#include "binding/cell_fields.hpp"
#include "binding/handle.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {
namespace {

Cell& cell_of(PyObject* self) { return *record_of<Cell>(self); }

// Converts first, then makes every field change in one write-lock section, so a reader
// never sees a new value with an old type code.
template <class Apply>
void write(PyObject* self, Apply&& apply) {
  Cell& cell = cell_of(self);
  WriteGuard<TinyRwLock> guard(cell.lock);
  apply(cell);
}

template <void (Cell::*Setter)(std::string_view)>
int set_text(PyObject* self, PyObject* value, void* closure) {
  const char* attribute = static_cast<const char*>(closure);
  return py::guard_status([&] {
    std::string_view text;
    if (py::refuse_delete(value, attribute) || !py::to_str(value, {attribute, "value"}, text)) {
      return -1;
    }
    write(self, [&](Cell& cell) { (cell.*Setter)(text); });
    return 0;
  });
}

int set_value(PyObject* self, PyObject* value, void*) {
  return py::guard_status([&] {
    std::string_view text;
    if (py::refuse_delete(value, "value") || !py::to_str(value, {"value", "value"}, text)) {
      return -1;
    }
    CellValue converted = value_from_text(text);
    write(self, [&](Cell& cell) { cell.write_value(std::move(converted)); });
    return 0;
  });
}

// The four typed setters share their shape: match one argument, convert, write.
template <class Convert>
PyObject* set_typed(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                    const char* name, Convert&& convert) {
  return py::guard([&]() -> PyObject* {
    // One instantiation per typed setter, so each keeps its own interned names.
    static const py::Params params(name, 1, "value");
    std::array<PyObject*, 1> a;
    if (!params.match(args, nargs, kwnames, a)) return nullptr;
    std::optional<CellValue> value = convert(a[0], py::Arg{name, "value"});
    if (!value) return nullptr;
    write(self, [&](Cell& cell) { cell.write_value(std::move(*value)); });
    return py::new_none();
  });
}

PyObject* set_value_number(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kw) {
  return set_typed(self, args, nargs, kw, "set_value_number",
                   [](PyObject* o, py::Arg arg) -> std::optional<CellValue> {
                     double v;
                     if (!py::to_f64(o, arg, v)) return std::nullopt;
                     return CellValue::number(v);
                   });
}

PyObject* set_value_integer(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kw) {
  return set_typed(self, args, nargs, kw, "set_value_integer",
                   [](PyObject* o, py::Arg arg) -> std::optional<CellValue> {
                     std::int32_t v;
                     if (!py::to_i32(o, arg, v)) return std::nullopt;
                     return CellValue::integer(v);
                   });
}

PyObject* set_value_bool(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kw) {
  return set_typed(self, args, nargs, kw, "set_value_bool",
                   [](PyObject* o, py::Arg arg) -> std::optional<CellValue> {
                     bool v;
                     if (!py::to_bool(o, arg, v)) return std::nullopt;
                     return CellValue::boolean(v);
                   });
}

PyObject* set_value_datetime(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                             PyObject* kw) {
  return set_typed(self, args, nargs, kw, "set_value_datetime",
                   [](PyObject* o, py::Arg arg) -> std::optional<CellValue> {
                     py::DateTimeFields f;
                     if (!py::to_datetime(o, arg, f)) return std::nullopt;
                     auto dt = make_datetime({f.year, static_cast<unsigned>(f.month),
                                              static_cast<unsigned>(f.day),
                                              static_cast<unsigned>(f.hour),
                                              static_cast<unsigned>(f.minute),
                                              static_cast<unsigned>(f.second),
                                              static_cast<std::uint32_t>(f.microsecond) * 1000});
                     if (!dt) {
                       PyErr_Format(PyExc_ValueError, "%s() argument '%s' is not a representable date-time",
                                    arg.function, arg.param);
                       return std::nullopt;
                     }
                     return CellValue::datetime(*dt);
                   });
}

PyObject* repr(PyObject* self) { return cell_fields::repr_with(self, "Cell"); }

PyGetSetDef getset[] = {
    {"row", cell_fields::row, nullptr, nullptr, nullptr},
    {"column", cell_fields::column, nullptr, nullptr, nullptr},
    {"letter", cell_fields::letter, nullptr, nullptr, nullptr},
    {"value", cell_fields::value, set_value, nullptr, nullptr},
    {"formula", cell_fields::formula, set_text<&Cell::set_formula>, nullptr,
     const_cast<char*>("formula")},
    {"style", cell_fields::style, set_text<&Cell::set_style>, nullptr, const_cast<char*>("style")},
    {"data_type", cell_fields::data_type, nullptr, nullptr, nullptr},
    {"hidden_value", cell_fields::hidden_value, set_text<&Cell::set_hidden_value>, nullptr,
     const_cast<char*>("hidden_value")},
    {"is_formula", cell_fields::is_formula, nullptr, nullptr, nullptr},
    {"is_value_empty", cell_fields::is_value_empty, nullptr, nullptr, nullptr},
    {"is_value_bool", cell_fields::is_value_bool, nullptr, nullptr, nullptr},
    {"is_value_numeric", cell_fields::is_value_numeric, nullptr, nullptr, nullptr},
    {"is_value_integer", cell_fields::is_value_integer, nullptr, nullptr, nullptr},
    {"is_value_datetime", cell_fields::is_value_datetime, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMethodDef methods[] = {
    {"set_value_number", py::as_cfunction(set_value_number), METH_FASTCALL | METH_KEYWORDS,
     "set_value_number($self, value)\n--\n\n"},
    {"set_value_integer", py::as_cfunction(set_value_integer), METH_FASTCALL | METH_KEYWORDS,
     "set_value_integer($self, value)\n--\n\n"},
    {"set_value_bool", py::as_cfunction(set_value_bool), METH_FASTCALL | METH_KEYWORDS,
     "set_value_bool($self, value)\n--\n\n"},
    {"set_value_datetime", py::as_cfunction(set_value_datetime), METH_FASTCALL | METH_KEYWORDS,
     "set_value_datetime($self, value)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Cell>)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, getset},
    {Py_tp_methods, methods},
    {0, nullptr},
};

PyType_Spec type_spec = {
    "tabulon.Cell", sizeof(Handle<Cell>), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* cell_type() { return type.get(); }

PyObject* wrap_cell(CellRef cell) { return wrap<Cell>(cell_type(), std::move(cell)); }

}  // namespace tabulon::binding
