#include "binding/readable/intake.hpp"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "binding/handle.hpp"
#include "binding/readable/readable_types.hpp"
#include "core/number_format.hpp"

namespace tabulon::binding::intake {
namespace {

// What a field holds once classified; lists are classified element by element.
// Six of these per cell: the scalars share a union, left uninitialised (only the member the
// kind names is ever read), so that making one costs a few stores, not a block clear.
struct Value {
  enum class Kind : std::uint8_t { None, Bool, Int, Float, DateTime, Text, List, Cycle } kind = Kind::None;
  union {
    bool boolean;
    long long integer;
    double number;
    py::DateTimeFields when;  // a naive datetime, written as its str() would be
  };
  std::string_view text;  // UTF-8 of `owner`
  py::Ref owner;
  std::vector<Value> items;
};

// Lists being classified right now, to render a list met again inside itself as "[...]".
using ListStack = std::vector<PyObject*>;
constexpr std::size_t kMaxListDepth = 10000;

bool classify(PyObject* object, Value& out, ListStack& open);

bool text_of(PyObject* str, Value& out) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(str, &size);
  if (data == nullptr) return false;
  out.kind = Value::Kind::Text;
  out.text = std::string_view(data, static_cast<std::size_t>(size));
  out.owner = py::Ref::borrow(str);
  return true;
}

bool classify_list(PyObject* list, Value& out, ListStack& open) {
  for (PyObject* seen : open) {
    if (seen == list) {
      out.kind = Value::Kind::Cycle;
      return true;
    }
  }
  // The interpreter's own guard: nesting past the recursion limit raises RecursionError.
  // The fixed cap also protects the C stack when the limit has been raised very high.
  if (open.size() >= kMaxListDepth) {
    PyErr_SetString(PyExc_RecursionError, "lists nested too deeply to take in");
    return false;
  }
  if (Py_EnterRecursiveCall(" while taking in a nested list")) return false;
  open.push_back(list);
  out.kind = Value::Kind::List;
  bool ok = true;
  // Index by index, as str() of a list does: an element's __str__ may change the list.
  for (Py_ssize_t i = 0; ok && i < PyList_GET_SIZE(list); ++i) {
    py::Ref item = py::Ref::borrow(PyList_GET_ITEM(list, i));
    out.items.emplace_back();
    ok = classify(item.get(), out.items.back(), open);
  }
  open.pop_back();
  Py_LeaveRecursiveCall();
  return ok;
}

bool classify(PyObject* object, Value& out, ListStack& open) {
  if (object == Py_None) {
    out.kind = Value::Kind::None;
    return true;
  }
  if (PyBool_Check(object)) {
    out.kind = Value::Kind::Bool;
    out.boolean = object == Py_True;
    return true;
  }
  if (PyLong_Check(object)) {
    int overflow = 0;
    out.integer = PyLong_AsLongLongAndOverflow(object, &overflow);
    if (overflow != 0) {
      PyErr_SetString(PyExc_OverflowError, "int too large to take in as a signed 64-bit integer");
      return false;
    }
    if (out.integer == -1 && PyErr_Occurred()) return false;
    out.kind = Value::Kind::Int;
    return true;
  }
  if (PyFloat_Check(object)) {
    out.kind = Value::Kind::Float;
    out.number = PyFloat_AS_DOUBLE(object);
    return true;
  }
  if (PyUnicode_Check(object)) return text_of(object, out);
  if (PyList_Check(object)) return classify_list(object, out, open);
  // str() of a datetime costs about a microsecond through its formatting machinery;
  // a naive one of the exact type is written here instead, to the same text.
  if (py::exact_naive_datetime(object, out.when)) {
    out.kind = Value::Kind::DateTime;
    return true;
  }
  py::Ref str = py::Ref::steal(PyObject_Str(object));
  return str && text_of(str.get(), out);
}

// obj[key] for dicts (a plain dict without the generic item protocol), getattr otherwise.
PyObject* get_field(PyObject* object, PyObject* key) {
  if (PyDict_CheckExact(object)) {
    PyObject* item = PyDict_GetItemWithError(object, key);  // borrowed
    if (item != nullptr) return Py_NewRef(item);
    if (!PyErr_Occurred()) PyErr_SetObject(PyExc_KeyError, key);
    return nullptr;
  }
  return PyDict_Check(object) ? PyObject_GetItem(object, key) : PyObject_GetAttr(object, key);
}

bool read_field(PyObject* object, PyObject* key, Value& out) {
  py::Ref field = py::Ref::steal(get_field(object, key));
  if (!field) return false;
  ListStack open;
  if (!classify(field.get(), out, open)) return false;
  if (out.kind != Value::Kind::Text) out.owner = std::move(field);
  return true;
}

// Decimal digits with an optional leading '+', parsed exactly; anything else gives 0.
std::uint64_t unsigned_text(std::string_view text, std::uint64_t limit) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return 0;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > limit) return 0;
  }
  return value;
}

std::uint64_t number_of(const Value& v, std::uint64_t limit) {
  switch (v.kind) {
    case Value::Kind::Text:
      return unsigned_text(v.text, limit);
    case Value::Kind::Int:
      return static_cast<std::uint64_t>(v.integer) & limit;  // the low 32 or 16 bits
    case Value::Kind::Float:
      if (std::isnan(v.number) || v.number <= 0) return 0;
      return v.number >= static_cast<double>(limit) ? limit : static_cast<std::uint64_t>(v.number);
    case Value::Kind::Bool:
      return v.boolean ? 1 : 0;
    default:
      return 0;
  }
}

std::uint32_t row_of(const Value& v) { return static_cast<std::uint32_t>(number_of(v, UINT32_MAX)); }
std::uint16_t column_of(const Value& v) { return static_cast<std::uint16_t>(number_of(v, UINT16_MAX)); }

// What str() gives for a naive datetime: "YYYY-MM-DD HH:MM:SS", then ".ffffff" when the
// microseconds are not zero.
void append_datetime(const py::DateTimeFields& t, std::string& out) {
  char text[26];
  const auto put = [&text](std::size_t at, int value, std::size_t width) {
    for (std::size_t i = width; i-- > 0; value /= 10) text[at + i] = static_cast<char>('0' + value % 10);
  };
  put(0, t.year, 4);
  text[4] = '-';
  put(5, t.month, 2);
  text[7] = '-';
  put(8, t.day, 2);
  text[10] = ' ';
  put(11, t.hour, 2);
  text[13] = ':';
  put(14, t.minute, 2);
  text[16] = ':';
  put(17, t.second, 2);
  std::size_t size = 19;
  if (t.microsecond != 0) {
    text[19] = '.';
    put(20, t.microsecond, 6);
    size = 26;
  }
  out.append(text, size);
}

void append_text(const Value& v, std::string& out) {
  switch (v.kind) {
    case Value::Kind::None:
      break;
    case Value::Kind::Bool:
      out += v.boolean ? "true" : "false";
      break;
    case Value::Kind::Int:
      out += std::to_string(v.integer);
      break;
    case Value::Kind::Float: {
      char buffer[kMaxPlainNumber];
      out.append(buffer, write_plain_number(v.number, buffer));
      break;
    }
    case Value::Kind::DateTime:
      append_datetime(v.when, out);
      break;
    case Value::Kind::Text:
      out += v.text;
      break;
    case Value::Kind::List:
      out += '[';
      for (std::size_t i = 0; i < v.items.size(); ++i) {
        if (i != 0) out += ", ";
        append_text(v.items[i], out);
      }
      out += ']';
      break;
    case Value::Kind::Cycle:
      out += "[...]";
      break;
  }
}

std::string text_of(const Value& v) {
  std::string out;
  append_text(v, out);
  return out;
}

// The text of a value without a copy when it already is one; `scratch` holds the others.
std::string_view text_view(const Value& v, std::string& scratch) {
  if (v.kind == Value::Kind::Text) return v.text;
  scratch.clear();
  append_text(v, scratch);
  return scratch;
}

// A cell's value: its text as it stands under data_type "s", otherwise the text-to-value
// conversion of that text. Ints in range, bools and fractional floats skip the round trip
// through text, to the same result: a fraction's shortest digits read back as that float
// (never as an integer, having a point), where an integral float's text reads back as an int.
CellValue value_of(const Value& v, bool as_text, std::string& scratch) {
  if (!as_text) {
    if (v.kind == Value::Kind::Bool) return CellValue::boolean(v.boolean);
    if (v.kind == Value::Kind::Int && v.integer >= INT32_MIN && v.integer <= INT32_MAX) {
      return CellValue::integer(static_cast<std::int32_t>(v.integer));
    }
    if (v.kind == Value::Kind::Float && std::isfinite(v.number) && v.number != std::trunc(v.number)) {
      return CellValue::number(v.number);
    }
  }
  const std::string_view text = text_view(v, scratch);
  return as_text ? CellValue::text(text) : value_from_text(text);
}

PyObject* key(const char* name, PyObject*& slot) {
  if (slot == nullptr) slot = PyUnicode_InternFromString(name);  // kept for the process
  return slot;
}

struct Keys {
  PyObject *row = nullptr, *column = nullptr, *value = nullptr, *formula = nullptr, *data_type = nullptr,
           *style_id = nullptr, *name = nullptr, *sheet_state = nullptr, *merge_cells = nullptr,
           *cells = nullptr;
};
Keys g_keys;

bool read(PyObject* object, const char* name, PyObject*& slot, Value& out) {
  PyObject* k = key(name, slot);
  return k != nullptr && read_field(object, k, out);
}

}  // namespace

CellRef take_cell(PyObject* object) {
  Value row, column, value, formula, data_type, style;
  if (!read(object, "row", g_keys.row, row) || !read(object, "column", g_keys.column, column) ||
      !read(object, "value", g_keys.value, value) || !read(object, "formula", g_keys.formula, formula) ||
      !read(object, "data_type", g_keys.data_type, data_type) ||
      !read(object, "style_id", g_keys.style_id, style)) {
    return {};
  }
  CellRef cell = CellRef::make(Coordinate{row_of(row), column_of(column)});
  std::string type_scratch, scratch;
  const std::string_view type_text = text_view(data_type, type_scratch);
  if (value.kind != Value::Kind::None) cell->value = value_of(value, type_text == "s", scratch);
  if (formula.kind != Value::Kind::None) cell->set_formula(text_view(formula, scratch));
  cell->set_data_type(type_text);
  if (style.kind != Value::Kind::None) cell->set_style(text_view(style, scratch));
  return cell;
}

SheetRef take_sheet(PyObject* object) {
  Value name, state, merges;
  if (!read(object, "name", g_keys.name, name) || !read(object, "sheet_state", g_keys.sheet_state, state) ||
      !read(object, "merge_cells", g_keys.merge_cells, merges)) {
    return {};
  }
  PyObject* cells_key = key("cells", g_keys.cells);
  if (cells_key == nullptr) return {};
  py::Ref cells = py::Ref::steal(get_field(object, cells_key));
  if (!cells) return {};
  if (!PyList_Check(cells.get())) {
    PyErr_Format(PyExc_TypeError, "a sheet's 'cells' must be a list, not %.200s", Py_TYPE(cells.get())->tp_name);
    return {};
  }

  SheetRef sheet = SheetRef::make(text_of(name), text_of(state));
  if (merges.kind == Value::Kind::List) {
    for (const Value& item : merges.items) {
      MergedRange range{0, 0, 0, 0};
      if (item.kind == Value::Kind::List) {
        const auto bound = [&](std::size_t i) { return i < item.items.size() ? row_of(item.items[i]) : 0u; };
        range = {bound(0), bound(1), static_cast<std::uint16_t>(bound(2)), static_cast<std::uint16_t>(bound(3))};
      } else {
        range.start_row = row_of(item);
      }
      sheet->merge_cells.push_back(range);
    }
  }
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(cells.get()); ++i) {
    py::Ref element = py::Ref::borrow(PyList_GET_ITEM(cells.get(), i));
    CellRef cell = take_cell(element.get());
    if (!cell) return {};
    sheet->cells.insert_or_replace(std::move(cell));
  }
  return sheet;
}

bool take_cell_list(PyObject* list, TakenCells& out) {
  PyTypeObject* view = readable_cell_type();
  if (view == nullptr) return false;
  // A snapshot: intake can run Python code (str(), attribute lookups) that changes the list.
  out.elements = py::Ref::steal(PyList_GetSlice(list, 0, PyList_GET_SIZE(list)));
  if (!out.elements) return false;
  const Py_ssize_t size = PyList_GET_SIZE(out.elements.get());
  out.candidates.reserve(static_cast<std::size_t>(size));
  for (Py_ssize_t i = 0; i < size; ++i) {
    PyObject* element = PyList_GET_ITEM(out.elements.get(), i);
    if (Py_TYPE(element) == view) {
      out.candidates.push_back(record_of<Cell>(element).get());
      continue;
    }
    CellRef cell = take_cell(element);
    if (!cell) return false;
    out.candidates.push_back(cell.get());
    out.made.push_back(std::move(cell));
  }
  return true;
}

}  // namespace tabulon::binding::intake
