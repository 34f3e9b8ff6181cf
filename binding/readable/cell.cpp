// ReadableCell: a read-only view of one cell record.

#include "binding/cell_fields.hpp"
#include "binding/handle.hpp"
#include "binding/readable/readable_types.hpp"

namespace tabulon::binding {
namespace {

PyObject* repr(PyObject* self) { return cell_fields::repr_with(self, py::type_qualname(self)); }

PyGetSetDef getset[] = {
    {"row", cell_fields::row, nullptr, nullptr, nullptr},
    {"column", cell_fields::column, nullptr, nullptr, nullptr},
    {"letter", cell_fields::letter, nullptr, nullptr, nullptr},
    {"value", cell_fields::value, nullptr, nullptr, nullptr},
    {"formula", cell_fields::formula, nullptr, nullptr, nullptr},
    {"style", cell_fields::style, nullptr, nullptr, nullptr},
    {"data_type", cell_fields::data_type, nullptr, nullptr, nullptr},
    {"is_formula", cell_fields::is_formula, nullptr, nullptr, nullptr},
    {"is_value_bool", cell_fields::is_value_bool, nullptr, nullptr, nullptr},
    {"is_value_numeric", cell_fields::is_value_numeric, nullptr, nullptr, nullptr},
    {"is_value_integer", cell_fields::is_value_integer, nullptr, nullptr, nullptr},
    {"is_value_datetime", cell_fields::is_value_datetime, nullptr, nullptr, nullptr},
    {"is_value_empty", cell_fields::is_value_empty, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Cell>)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, getset},
    {0, nullptr},
};

PyType_Spec type_spec = {
    "tabulon.readable.ReadableCell", sizeof(Handle<Cell>), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* readable_cell_type() { return type.get(); }

PyObject* wrap_readable_cell(CellRef cell) { return wrap<Cell>(readable_cell_type(), std::move(cell)); }

}  // namespace tabulon::binding
