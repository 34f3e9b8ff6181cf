#pragma once
// The thin layer between CPython and core: an owning reference, the fast-call argument
// matcher, argument converters, the exception guard and lazily created heap types.
// Every converter sets a Python exception and returns false on failure; nothing here throws.

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulon::py {

// An owning reference. Every construction says whether it steals or borrows.
class Ref {
 public:
  Ref() noexcept = default;
  static Ref steal(PyObject* object) noexcept { return Ref(object); }
  static Ref borrow(PyObject* object) noexcept {
    Py_XINCREF(object);
    return Ref(object);
  }
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Ref& operator=(Ref&& other) noexcept {
    // Install the new pointer before dropping the old: the decref may run arbitrary code.
    PyObject* old = std::exchange(object_, std::exchange(other.object_, nullptr));
    Py_XDECREF(old);
    return *this;
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() { Py_XDECREF(object_); }

  PyObject* get() const noexcept { return object_; }
  PyObject* release() noexcept { return std::exchange(object_, nullptr); }
  explicit operator bool() const noexcept { return object_ != nullptr; }

 private:
  explicit Ref(PyObject* object) noexcept : object_(object) {}
  PyObject* object_ = nullptr;
};

// ---------------------------------------------------------------------------------------
// Argument matching for METH_FASTCALL | METH_KEYWORDS.

namespace detail {
bool match_arguments(const char* function, const char* const* names, PyObject** interned,
                     std::size_t count, std::size_t required, PyObject* const* args,
                     Py_ssize_t nargs, PyObject* kwnames, PyObject** out);
}  // namespace detail

// The parameters of one function, in signature order; the first `required` have no default.
// Keyword names are interned on first use and matched by pointer before by value.
template <std::size_t N>
class Params {
 public:
  template <class... Names>
  constexpr Params(const char* function, std::size_t required, Names... names)
      : function_(function), names_{names...}, required_(required) {
    static_assert(sizeof...(Names) == N);
  }

  // Fills `out` with borrowed references in parameter order; an omitted optional parameter
  // is nullptr. Raises the interpreter's usual TypeError for missing, duplicate, surplus and
  // unexpected arguments.
  bool match(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
             std::array<PyObject*, N>& out) const {
    return detail::match_arguments(function_, names_.data(), interned_.data(), N, required_,
                                   args, nargs, kwnames, out.data());
  }

  const char* function() const noexcept { return function_; }

 private:
  const char* function_;
  std::array<const char*, N> names_;
  std::size_t required_;
  mutable std::array<PyObject*, N> interned_{};
};

template <class... Names>
Params(const char*, std::size_t, Names...) -> Params<sizeof...(Names)>;

// ---------------------------------------------------------------------------------------
// Converters. `function` and `param` name the argument in error messages.

struct Arg {
  const char* function;
  const char* param;
};

bool to_u16(PyObject* object, Arg arg, std::uint16_t& out);
bool to_u32(PyObject* object, Arg arg, std::uint32_t& out);
bool to_i32(PyObject* object, Arg arg, std::int32_t& out);
bool to_f64(PyObject* object, Arg arg, double& out);
bool to_bool(PyObject* object, Arg arg, bool& out);
// The view points into the str object's cached UTF-8 and lives as long as the object.
bool to_str(PyObject* object, Arg arg, std::string_view& out);

// A naive datetime.datetime as its fields.
struct DateTimeFields {
  int year, month, day, hour, minute, second, microsecond;
};
bool to_datetime(PyObject* object, Arg arg, DateTimeFields& out);
// True, with the fields, when `object` is exactly a datetime.datetime without tzinfo: its
// str() is then known without calling it. False otherwise, with no error set.
bool exact_naive_datetime(PyObject* object, DateTimeFields& out);

// Any sequence except str, each element converted by `element`.
bool to_u16_list(PyObject* object, Arg arg, std::vector<std::uint16_t>& out);
bool to_u32_list(PyObject* object, Arg arg, std::vector<std::uint32_t>& out);
bool to_str_list(PyObject* object, Arg arg, std::vector<std::string>& out);

// A list or a subclass of list, or TypeError naming the parameter.
bool require_list(PyObject* object, Arg arg);

// ---------------------------------------------------------------------------------------
// Results.

PyObject* new_str(std::string_view text);
inline PyObject* new_bool(bool value) { return Py_NewRef(value ? Py_True : Py_False); }
inline PyObject* new_none() { return Py_NewRef(Py_None); }
PyObject* new_optional_str(const std::optional<std::string>& text);

// Raises the standard AttributeError for deleting an attribute; returns true when `value`
// is a deletion (nullptr).
bool refuse_delete(PyObject* value, const char* attribute);

// ---------------------------------------------------------------------------------------
// Entry-point guard: no C++ exception crosses into the interpreter.

// Thrown from deep inside a conversion when a Python exception is already set, to unwind
// to the entry point without losing it.
struct PythonErrorSet {};

void set_error_from_current_exception() noexcept;

// Wraps an entry point returning a new reference: a C++ exception becomes a Python one.
template <class F>
PyObject* guard(F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    set_error_from_current_exception();
    return nullptr;
  }
}

// The same for entry points that report failure as -1 (setters, tp_init, tp_traverse...).
template <class F>
int guard_status(F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    set_error_from_current_exception();
    return -1;
  }
}

// Runs `body` without the interpreter lock. A C++ exception inside is carried across and
// rethrown once the lock is held again, so the caller's guard translates it.
template <class F>
decltype(auto) without_gil(F&& body) {
  struct Reacquire {
    PyThreadState* state;
    ~Reacquire() { PyEval_RestoreThread(state); }
  } reacquire{PyEval_SaveThread()};
  return body();
}

// Method tables store every calling convention as PyCFunction; casting through void(*)()
// says the signature change is deliberate.
template <class F>
PyCFunction as_cfunction(F* function) noexcept {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

// ---------------------------------------------------------------------------------------
// Heap types, created from their PyType_Spec on first use and kept until the process ends.

class LazyType {
 public:
  constexpr explicit LazyType(PyType_Spec* spec) : spec_(spec) {}
  // A new reference is not returned: the type lives for the whole process.
  PyTypeObject* get();

 private:
  PyType_Spec* spec_;
  PyTypeObject* type_ = nullptr;
};

// The qualified name of an object's type, e.g. "MonthlyReport" for a Service subclass.
std::string type_qualname(PyObject* object);

}  // namespace tabulon::py
