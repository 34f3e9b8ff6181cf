#include "binding/functions.hpp"

#include "core/letters.hpp"

namespace tabulon::binding {
namespace {

PyObject* version(PyObject*, PyObject*) { return PyUnicode_FromString("0.12.3"); }

PyObject* column_number_to_letter(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                  PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("column_number_to_letter", 1, "col");
    std::array<PyObject*, 1> a;
    std::uint16_t col;
    if (!params.match(args, nargs, kwnames, a) || !py::to_u16(a[0], {params.function(), "col"}, col)) {
      return nullptr;
    }
    return py::new_str(column_letters(col));
  });
}

PyObject* get_letter_coordinate(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("get_letter_coordinate", 2, "row", "col");
    std::array<PyObject*, 2> a;
    std::uint32_t row;
    std::uint16_t col;
    if (!params.match(args, nargs, kwnames, a) ||
        !py::to_u32(a[0], {params.function(), "row"}, row) ||
        !py::to_u16(a[1], {params.function(), "col"}, col)) {
      return nullptr;
    }
    return py::new_str(cell_letter(row, col));
  });
}

}  // namespace

PyMethodDef version_def = {
    "version", version, METH_NOARGS,
    "version()\n--\n\n"
    "Returns the version of the underlying dornik library.\n"
    "\n"
    "Returns\n"
    "-------\n"
    "version : str\n"
    "  The version of the underlying dornik library.\n"};

PyMethodDef column_number_to_letter_def = {
    "column_number_to_letter", py::as_cfunction(column_number_to_letter),
    METH_FASTCALL | METH_KEYWORDS,
    "column_number_to_letter(col)\n--\n\n"
    "Преобразование номера колонки в букву."};

PyMethodDef get_letter_coordinate_def = {
    "get_letter_coordinate", py::as_cfunction(get_letter_coordinate),
    METH_FASTCALL | METH_KEYWORDS,
    "get_letter_coordinate(row, col)\n--\n\n"
    "Преобразование номера колонки в координату."};

}  // namespace tabulon::binding
