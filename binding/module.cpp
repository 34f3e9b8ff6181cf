// The extension's entry point: builds tabulon._tabulon and its readable submodule once per
// process, in the fixed registration order that __all__ records.

#include <cstring>
#include <mutex>

#include "binding/py.hpp"
#include "binding/registry.hpp"

namespace tabulon {
namespace {

constexpr const char* kVersion = "0.12.3";

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "_tabulon",
    "",       // docstring
    0,        // no per-module state
    nullptr,  // every function is added by the body
    nullptr, nullptr, nullptr, nullptr,
};

PyObject* g_module = nullptr;  // the one module object of the process
std::int64_t g_owner_interpreter = -1;
std::mutex g_init_mutex;

// Appends the name to __all__ (made on first use), then sets the attribute. Steals `value`.
bool add(PyObject* module, const char* name, PyObject* value) {
  py::Ref owned = py::Ref::steal(value);
  if (!owned) return false;
  PyObject* dict = PyModule_GetDict(module);  // borrowed
  PyObject* all = PyDict_GetItemString(dict, "__all__");
  py::Ref new_all;
  if (all == nullptr) {
    new_all = py::Ref::steal(PyList_New(0));
    if (!new_all || PyDict_SetItemString(dict, "__all__", new_all.get()) < 0) return false;
    all = new_all.get();
  }
  py::Ref key = py::Ref::steal(PyUnicode_FromString(name));
  if (!key || PyList_Append(all, key.get()) < 0) return false;
  return PyModule_AddObjectRef(module, name, owned.get()) == 0;
}

bool add_type(PyObject* module, PyTypeObject* type) {
  if (type == nullptr) return false;
  const char* dot = std::strrchr(type->tp_name, '.');
  const char* name = dot != nullptr ? dot + 1 : type->tp_name;
  return add(module, name, Py_NewRef(reinterpret_cast<PyObject*>(type)));
}

// Functions are built-in function objects bound to `module`; their __module__ is its name.
bool add_functions(PyObject* module, PyMethodDef* defs) {
  py::Ref module_name = py::Ref::steal(PyModule_GetNameObject(module));
  if (!module_name) return false;
  for (PyMethodDef* def = defs; def->ml_name != nullptr; ++def) {
    if (!add(module, def->ml_name, PyCFunction_NewEx(def, module, module_name.get()))) {
      return false;
    }
  }
  return true;
}

PyObject* build_module() {
  py::Ref module = py::Ref::steal(PyModule_Create(&module_def));
  if (!module) return nullptr;
  PyObject* m = module.get();

  if (!add(m, "__version__", PyUnicode_FromString(kVersion))) return nullptr;
  for (PyTypeObject* (*type)() : binding::main_types()) {
    if (!add_type(m, type())) return nullptr;
  }
  if (!add_functions(m, binding::main_functions())) return nullptr;
  if (!add(m, "DEFAULT_ROW_HEIGHT", PyFloat_FromDouble(20.0))) return nullptr;
  if (!add(m, "DEFAULT_COLUMN_WIDTH", PyFloat_FromDouble(22.5))) return nullptr;

  py::Ref readable = py::Ref::steal(PyModule_New("readable"));
  if (!readable) return nullptr;
  for (PyTypeObject* (*type)() : binding::readable_types()) {
    if (!add_type(readable.get(), type())) return nullptr;
  }
  if (!add_functions(readable.get(), binding::readable_functions())) return nullptr;
  if (!add(m, "readable", Py_NewRef(readable.get()))) return nullptr;

  py::Ref sys = py::Ref::steal(PyImport_ImportModule("sys"));
  if (!sys) return nullptr;
  py::Ref modules = py::Ref::steal(PyObject_GetAttrString(sys.get(), "modules"));
  if (!modules || PyObject_SetItem(modules.get(), py::Ref::steal(PyUnicode_FromString(
                                                      "tabulon.readable")).get(),
                                   readable.get()) < 0) {
    return nullptr;
  }
  return module.release();
}

PyObject* init_module() {
  const std::int64_t interpreter = PyInterpreterState_GetID(PyInterpreterState_Get());
  if (interpreter < 0) return nullptr;

  // Several threads may import at once: one builds, the others wait without the GIL.
  std::unique_lock<std::mutex> lock(g_init_mutex, std::try_to_lock);
  if (!lock.owns_lock()) {
    Py_BEGIN_ALLOW_THREADS
    lock.lock();
    Py_END_ALLOW_THREADS
  }
  if (g_module != nullptr) {
    if (interpreter != g_owner_interpreter) {
      PyErr_SetString(PyExc_ImportError,
                      "tabulon._tabulon does not support sub-interpreters: it is already "
                      "loaded in another interpreter of this process");
      return nullptr;
    }
    return Py_NewRef(g_module);
  }
  PyObject* module = build_module();
  if (module == nullptr) return nullptr;
  g_module = Py_NewRef(module);  // kept for the life of the process
  g_owner_interpreter = interpreter;
  return module;
}

}  // namespace
}  // namespace tabulon

PyMODINIT_FUNC PyInit__tabulon(void) {
  return tabulon::py::guard([] { return tabulon::init_module(); });
}
