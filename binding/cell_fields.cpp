#include "binding/cell_fields.hpp"

#include "core/letters.hpp"

namespace tabulon::binding::cell_fields {
namespace {

const Cell& cell_of(PyObject* self) { return *record_of<Cell>(self); }

template <class F>
auto read(PyObject* self, F&& copy) {
  const Cell& cell = cell_of(self);
  ReadGuard<TinyRwLock> guard(cell.lock);
  return copy(cell);
}

PyObject* optional_text(PyObject* self, const std::optional<std::string>* (Cell::*field)() const) {
  return py::guard([&]() -> PyObject* {
    std::optional<std::string> text = read(self, [&](const Cell& c) {
      const std::optional<std::string>* present = (c.*field)();
      return present ? *present : std::optional<std::string>();
    });
    return py::new_optional_str(text);
  });
}

PyObject* kind_is(PyObject* self, ValueKind kind) {
  return py::new_bool(read(self, [](const Cell& c) { return c.value.kind(); }) == kind);
}

}  // namespace

PyObject* row(PyObject* self, void*) {
  return PyLong_FromUnsignedLong(read(self, [](const Cell& c) { return c.row; }));
}

PyObject* column(PyObject* self, void*) {
  return PyLong_FromUnsignedLong(read(self, [](const Cell& c) { return c.column; }));
}

PyObject* letter(PyObject* self, void*) {
  return py::guard([&] {
    Coordinate at = read(self, [](const Cell& c) { return c.coordinate(); });
    return py::new_str(cell_letter(at.row, at.column));
  });
}

PyObject* value(PyObject* self, void*) {
  return py::guard([&] {
    TextFormBuffer scratch;
    std::string text = read(self, [&](const Cell& c) { return std::string(text_form(c.value, scratch)); });
    return py::new_str(text);
  });
}

PyObject* formula(PyObject* self, void*) { return optional_text(self, &Cell::formula); }
PyObject* style(PyObject* self, void*) { return optional_text(self, &Cell::style); }
PyObject* hidden_value(PyObject* self, void*) { return optional_text(self, &Cell::hidden_value); }

PyObject* data_type(PyObject* self, void*) {
  return py::guard([&] {
    std::string code = read(self, [](const Cell& c) { return std::string(c.data_type()); });
    return py::new_str(code);
  });
}

PyObject* is_formula(PyObject* self, void*) {
  return py::new_bool(read(self, [](const Cell& c) { return c.is_formula(); }));
}

PyObject* is_value_empty(PyObject* self, void*) { return kind_is(self, ValueKind::Empty); }
PyObject* is_value_bool(PyObject* self, void*) { return kind_is(self, ValueKind::Bool); }
PyObject* is_value_numeric(PyObject* self, void*) { return kind_is(self, ValueKind::Number); }
PyObject* is_value_integer(PyObject* self, void*) { return kind_is(self, ValueKind::Integer); }
PyObject* is_value_datetime(PyObject* self, void*) { return kind_is(self, ValueKind::DateTime); }

PyObject* repr_with(PyObject* self, std::string_view prefix) {
  return py::guard([&] {
    Coordinate at = read(self, [](const Cell& c) { return c.coordinate(); });
    std::string text(prefix);
    text += ", Coords: ";
    text += coordinate_text(at);
    return py::new_str(text);
  });
}

}  // namespace tabulon::binding::cell_fields
