#pragma once
// Python objects that are thin handles on one core record.

#include <new>

#include "binding/py.hpp"
#include "core/shared.hpp"

namespace tabulon::binding {

template <class Record>
struct Handle {
  PyObject_HEAD
  Shared<Record> record;
};

template <class Record>
Shared<Record>& record_of(PyObject* self) noexcept {
  return reinterpret_cast<Handle<Record>*>(self)->record;
}

// A new handle object of `type` on `record`; nullptr with an exception set on failure.
template <class Record>
PyObject* wrap(PyTypeObject* type, Shared<Record> record) {
  if (type == nullptr) return nullptr;
  PyObject* self = type->tp_alloc(type, 0);
  if (self == nullptr) return nullptr;
  new (&record_of<Record>(self)) Shared<Record>(std::move(record));
  return self;
}

template <class Record>
void handle_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  record_of<Record>(self).~Shared<Record>();
  type->tp_free(self);
  Py_DECREF(type);  // heap types are owned by their instances
}

// A list of new handle objects, one per record.
template <class Record, class Records>
PyObject* wrap_list(PyTypeObject* type, Records&& records) {
  if (type == nullptr) return nullptr;
  py::Ref list = py::Ref::steal(PyList_New(static_cast<Py_ssize_t>(records.size())));
  if (!list) return nullptr;
  Py_ssize_t i = 0;
  for (auto& record : records) {
    PyObject* item = wrap<Record>(type, Shared<Record>(record));
    if (item == nullptr) return nullptr;
    PyList_SET_ITEM(list.get(), i++, item);
  }
  return list.release();
}

}  // namespace tabulon::binding
