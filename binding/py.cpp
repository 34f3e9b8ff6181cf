#include "binding/py.hpp"

#include <datetime.h>

#include <exception>
#include <stdexcept>

namespace tabulon::py {
namespace detail {

namespace {

PyObject* interned_name(const char* name, PyObject** slot) {
  if (*slot == nullptr) *slot = PyUnicode_InternFromString(name);  // kept for the process
  return *slot;
}

Py_ssize_t find_keyword(PyObject* key, const char* const* names, PyObject** interned,
                        std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    PyObject* name = interned_name(names[i], &interned[i]);
    if (name == nullptr) return -2;
    if (name == key) return static_cast<Py_ssize_t>(i);
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (PyUnicode_CompareWithASCIIString(key, names[i]) == 0) return static_cast<Py_ssize_t>(i);
  }
  return -1;
}

}  // namespace

bool match_arguments(const char* function, const char* const* names, PyObject** interned,
                     std::size_t count, std::size_t required, PyObject* const* args,
                     Py_ssize_t nargs, PyObject* kwnames, PyObject** out) {
  for (std::size_t i = 0; i < count; ++i) out[i] = nullptr;
  if (static_cast<std::size_t>(nargs) > count) {
    if (count == 0) {
      PyErr_Format(PyExc_TypeError, "%s() takes no arguments (%zd given)", function, nargs);
    } else {
      PyErr_Format(PyExc_TypeError, "%s() takes %s %zu argument%s (%zd given)", function,
                   count == required ? "exactly" : "at most", count, count == 1 ? "" : "s",
                   nargs);
    }
    return false;
  }
  for (Py_ssize_t i = 0; i < nargs; ++i) out[i] = args[i];

  if (kwnames != nullptr) {
    const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < nkw; ++k) {
      PyObject* key = PyTuple_GET_ITEM(kwnames, k);
      if (!PyUnicode_Check(key)) {
        PyErr_SetString(PyExc_TypeError, "keywords must be strings");
        return false;
      }
      Py_ssize_t index = find_keyword(key, names, interned, count);
      if (index == -2) return false;
      if (index < 0) {
        PyErr_Format(PyExc_TypeError, "'%U' is an invalid keyword argument for %s()", key,
                     function);
        return false;
      }
      if (out[index] != nullptr) {
        PyErr_Format(PyExc_TypeError, "argument for %s() given by name ('%s') and position (%zd)",
                     function, names[index], index + 1);
        return false;
      }
      out[index] = args[nargs + k];
    }
  }
  for (std::size_t i = 0; i < required; ++i) {
    if (out[i] == nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s' (pos %zu)", function,
                   names[i], i + 1);
      return false;
    }
  }
  return true;
}

}  // namespace detail

namespace {

bool wrong_type(PyObject* object, Arg arg, const char* expected) {
  PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be %s, not %.200s", arg.function,
               arg.param, expected, Py_TYPE(object)->tp_name);
  return false;
}

// The interpreter's integer conversion (int or __index__), range-checked.
bool to_integer(PyObject* object, Arg arg, long long low, long long high, const char* width,
                long long& out) {
  Ref index;
  if (!PyLong_Check(object)) {
    if (Py_TYPE(object)->tp_as_number == nullptr ||
        Py_TYPE(object)->tp_as_number->nb_index == nullptr) {
      return wrong_type(object, arg, "int");
    }
    index = Ref::steal(PyNumber_Index(object));
    if (!index) return false;
    object = index.get();
  }
  int overflow = 0;
  long long value = PyLong_AsLongLongAndOverflow(object, &overflow);
  if (value == -1 && PyErr_Occurred()) return false;
  if (overflow != 0 || value < low || value > high) {
    PyErr_Format(PyExc_OverflowError, "%s() argument '%s' is out of range for %s (%lld..%lld)",
                 arg.function, arg.param, width, low, high);
    return false;
  }
  out = value;
  return true;
}

template <class T, class Convert>
bool to_list(PyObject* object, Arg arg, std::vector<T>& out, Convert convert) {
  if (PyUnicode_Check(object) || !PySequence_Check(object)) {
    return wrong_type(object, arg, "a sequence other than str");
  }
  Ref fast = Ref::steal(PySequence_Fast(object, "expected a sequence"));
  if (!fast) return false;
  const Py_ssize_t size = PySequence_Fast_GET_SIZE(fast.get());
  out.clear();
  out.reserve(static_cast<std::size_t>(size));
  for (Py_ssize_t i = 0; i < size; ++i) {
    T value{};
    if (!convert(PySequence_Fast_GET_ITEM(fast.get(), i), arg, value)) return false;
    out.push_back(std::move(value));
  }
  return true;
}

}  // namespace

bool to_u16(PyObject* object, Arg arg, std::uint16_t& out) {
  long long value;
  if (!to_integer(object, arg, 0, UINT16_MAX, "an unsigned 16-bit integer", value)) return false;
  out = static_cast<std::uint16_t>(value);
  return true;
}

bool to_u32(PyObject* object, Arg arg, std::uint32_t& out) {
  long long value;
  if (!to_integer(object, arg, 0, UINT32_MAX, "an unsigned 32-bit integer", value)) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

bool to_i32(PyObject* object, Arg arg, std::int32_t& out) {
  long long value;
  if (!to_integer(object, arg, INT32_MIN, INT32_MAX, "a signed 32-bit integer", value)) {
    return false;
  }
  out = static_cast<std::int32_t>(value);
  return true;
}

bool to_f64(PyObject* object, Arg arg, double& out) {
  if (PyFloat_CheckExact(object)) {
    out = PyFloat_AS_DOUBLE(object);
    return true;
  }
  PyNumberMethods* number = Py_TYPE(object)->tp_as_number;
  if (number == nullptr || (number->nb_float == nullptr && number->nb_index == nullptr)) {
    return wrong_type(object, arg, "float");
  }
  double value = PyFloat_AsDouble(object);
  if (value == -1.0 && PyErr_Occurred()) return false;
  out = value;
  return true;
}

bool to_bool(PyObject* object, Arg arg, bool& out) {
  if (!PyBool_Check(object)) return wrong_type(object, arg, "bool");
  out = object == Py_True;
  return true;
}

bool to_str(PyObject* object, Arg arg, std::string_view& out) {
  if (!PyUnicode_Check(object)) return wrong_type(object, arg, "str");
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(object, &size);
  if (data == nullptr) return false;  // e.g. a lone surrogate
  out = std::string_view(data, static_cast<std::size_t>(size));
  return true;
}

namespace {

bool datetime_api_ready() {
  if (PyDateTimeAPI == nullptr) PyDateTime_IMPORT;
  return PyDateTimeAPI != nullptr;
}

void datetime_fields(PyObject* object, DateTimeFields& out) {
  out.year = PyDateTime_GET_YEAR(object);
  out.month = PyDateTime_GET_MONTH(object);
  out.day = PyDateTime_GET_DAY(object);
  out.hour = PyDateTime_DATE_GET_HOUR(object);
  out.minute = PyDateTime_DATE_GET_MINUTE(object);
  out.second = PyDateTime_DATE_GET_SECOND(object);
  out.microsecond = PyDateTime_DATE_GET_MICROSECOND(object);
}

}  // namespace

bool to_datetime(PyObject* object, Arg arg, DateTimeFields& out) {
  if (!datetime_api_ready()) return false;
  if (!PyDateTime_Check(object)) return wrong_type(object, arg, "datetime.datetime");
  if (PyDateTime_DATE_GET_TZINFO(object) != Py_None) {
    PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be a naive datetime (tzinfo is set)",
                 arg.function, arg.param);
    return false;
  }
  datetime_fields(object, out);
  return true;
}

bool exact_naive_datetime(PyObject* object, DateTimeFields& out) {
  if (!datetime_api_ready()) {
    PyErr_Clear();  // the caller falls back to str(), which needs no datetime module
    return false;
  }
  if (!PyDateTime_CheckExact(object) || PyDateTime_DATE_GET_TZINFO(object) != Py_None) return false;
  datetime_fields(object, out);
  return true;
}

bool to_u16_list(PyObject* object, Arg arg, std::vector<std::uint16_t>& out) {
  return to_list(object, arg, out, to_u16);
}

bool to_u32_list(PyObject* object, Arg arg, std::vector<std::uint32_t>& out) {
  return to_list(object, arg, out, to_u32);
}

bool to_str_list(PyObject* object, Arg arg, std::vector<std::string>& out) {
  return to_list(object, arg, out, [](PyObject* item, Arg a, std::string& text) {
    std::string_view view;
    if (!to_str(item, a, view)) return false;
    text.assign(view);
    return true;
  });
}

bool require_list(PyObject* object, Arg arg) {
  if (PyList_Check(object)) return true;
  return wrong_type(object, arg, "list");
}

PyObject* new_str(std::string_view text) {
  return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
}

PyObject* new_optional_str(const std::optional<std::string>& text) {
  return text ? new_str(*text) : new_none();
}

bool refuse_delete(PyObject* value, const char* attribute) {
  if (value != nullptr) return false;
  PyErr_Format(PyExc_AttributeError, "cannot delete attribute '%s'", attribute);
  return true;
}

void set_error_from_current_exception() noexcept {
  try {
    throw;
  } catch (const PythonErrorSet&) {
    // The Python exception is already set.
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  } catch (...) {
    PyErr_SetString(PyExc_RuntimeError, "unexpected C++ exception");
  }
}

PyTypeObject* LazyType::get() {
  if (type_ == nullptr) {
    type_ = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(spec_));
  }
  return type_;
}

std::string type_qualname(PyObject* object) {
  PyTypeObject* type = Py_TYPE(object);
  Ref name = Ref::steal(PyObject_GetAttrString(reinterpret_cast<PyObject*>(type), "__qualname__"));
  if (name && PyUnicode_Check(name.get())) {
    if (const char* text = PyUnicode_AsUTF8(name.get())) return text;
  }
  PyErr_Clear();
  return type->tp_name;
}

}  // namespace tabulon::py
