// Sheet: a live handle on one sheet record; everything but its searches.

#include <vector>

#include "binding/handle.hpp"
#include "binding/sheet_fields.hpp"
#include "binding/sheet_search.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {
namespace {

Sheet& sheet_of(PyObject* self) { return *record_of<Sheet>(self); }

using Args = PyObject* const*;

}  // namespace

namespace sheet_fields {

PyObject* get_name(PyObject* self, void*) {
  return py::guard([&] {
    std::string name;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      name = sheet_of(self).name;
    }
    return py::new_str(name);
  });
}

int set_name(PyObject* self, PyObject* value, void*) {
  return py::guard_status([&] {
    std::string_view text;
    if (py::refuse_delete(value, "name") || !py::to_str(value, {"name", "value"}, text)) return -1;
    std::string name(text);
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    sheet_of(self).name.swap(name);
    return 0;
  });
}

PyObject* get_sheet_state(PyObject* self, void*) {
  return py::guard([&] {
    std::string state;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      state = sheet_of(self).sheet_state;
    }
    return py::new_str(state);
  });
}

// Copies under the read lock, builds the Python object after releasing it.
template <class Read>
auto read_sheet(PyObject* self, Read&& read_fields) {
  ReadGuard<RecordLock> read(sheet_of(self).lock);
  return read_fields(sheet_of(self));
}

PyObject* get_max_row(PyObject* self, void*) {
  return PyLong_FromUnsignedLong(read_sheet(self, [](const Sheet& s) { return s.cells.max_row(); }));
}

PyObject* get_max_column(PyObject* self, void*) {
  return PyLong_FromUnsignedLong(read_sheet(self, [](const Sheet& s) { return s.cells.max_column(); }));
}

PyObject* merge_cells_list(const std::vector<MergedRange>& ranges) {
  py::Ref list = py::Ref::steal(PyList_New(static_cast<Py_ssize_t>(ranges.size())));
  if (!list) return nullptr;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const MergedRange& r = ranges[i];
    PyObject* item = Py_BuildValue("(kkkk)", static_cast<unsigned long>(r.start_row),
                                   static_cast<unsigned long>(r.end_row),
                                   static_cast<unsigned long>(r.start_col),
                                   static_cast<unsigned long>(r.end_col));
    if (item == nullptr) return nullptr;
    PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), item);
  }
  return list.release();
}

PyObject* get_merge_cells(PyObject* self, void*) {
  return py::guard([&] {
    std::vector<MergedRange> ranges;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      ranges = sheet_of(self).merge_cells;
    }
    return merge_cells_list(ranges);
  });
}

// Matches (row, col) of a fast call; `names` are the two parameter names.
bool coordinate_args(const py::Params<2>& params, Args args, Py_ssize_t nargs, PyObject* kwnames,
                     const char* row_name, const char* col_name, Coordinate& at) {
  std::array<PyObject*, 2> a;
  return params.match(args, nargs, kwnames, a) &&
         py::to_u32(a[0], {params.function(), row_name}, at.row) &&
         py::to_u16(a[1], {params.function(), col_name}, at.column);
}

PyObject* get_value_cell(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("get_value_cell", 2, "row", "col");
    Coordinate at;
    if (!coordinate_args(params, args, nargs, kwnames, "row", "col", at)) return nullptr;
    std::string text;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      if (const Cell* c = sheet_of(self).cells.find(at)) {
        ReadGuard<TinyRwLock> cell_read(c->lock);
        text = text_form(c->value);
      }
    }
    return py::new_str(text);
  });
}

std::vector<CellRef> listed_cells(const Sheet& sheet) {
  std::vector<CellRef> cells;
  ReadGuard<RecordLock> read(sheet.lock);
  std::span<Cell* const> listing = sheet.cells.row_major();
  cells.reserve(listing.size());
  for (Cell* c : listing) cells.emplace_back(c);
  return cells;
}

}  // namespace sheet_fields

namespace {

using namespace sheet_fields;

PyObject* get_cells(PyObject* self, void*) {
  return py::guard([&] { return wrap_list<Cell>(cell_type(), listed_cells(sheet_of(self))); });
}

PyObject* get_comments(PyObject* self, void*) {
  return py::guard([&] {
    std::vector<CommentRef> comments;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      comments = sheet_of(self).comments;
    }
    return wrap_list<Comment>(comment_type(), comments);
  });
}

// ----- methods

PyObject* set_sheet_state(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("set_sheet_state", 1, "state");
    std::array<PyObject*, 1> a;
    std::string_view state;
    if (!params.match(args, nargs, kwnames, a) || !py::to_str(a[0], {"set_sheet_state", "state"}, state)) {
      return nullptr;
    }
    std::string text(state);
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    sheet_of(self).sheet_state.swap(text);
    return py::new_none();
  });
}

PyObject* add_merge_cells(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("add_merge_cells", 4, "start_row", "end_row", "start_col", "end_col");
    std::array<PyObject*, 4> a;
    MergedRange r;
    const char* f = params.function();
    if (!params.match(args, nargs, kwnames, a) || !py::to_u32(a[0], {f, "start_row"}, r.start_row) ||
        !py::to_u32(a[1], {f, "end_row"}, r.end_row) || !py::to_u16(a[2], {f, "start_col"}, r.start_col) ||
        !py::to_u16(a[3], {f, "end_col"}, r.end_col)) {
      return nullptr;
    }
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    sheet_of(self).merge_cells.push_back(r);
    return py::new_none();
  });
}

PyObject* add_comment(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("add_comment", 4, "row", "col", "text", "author");
    std::array<PyObject*, 4> a;
    std::uint32_t row;
    std::uint16_t col;
    std::string_view text, author;
    const char* f = params.function();
    if (!params.match(args, nargs, kwnames, a) || !py::to_u32(a[0], {f, "row"}, row) ||
        !py::to_u16(a[1], {f, "col"}, col) || !py::to_str(a[2], {f, "text"}, text) ||
        !py::to_str(a[3], {f, "author"}, author)) {
      return nullptr;
    }
    CommentRef comment = CommentRef::make(row, col, std::string(text), std::string(author));
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    sheet_of(self).comments.push_back(std::move(comment));
    return py::new_none();
  });
}

PyObject* cell(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("cell", 2, "row", "col", "value");
    std::array<PyObject*, 3> a;
    std::uint32_t row;
    std::uint16_t col;
    if (!params.match(args, nargs, kwnames, a) || !py::to_u32(a[0], {"cell", "row"}, row) ||
        !py::to_u16(a[1], {"cell", "col"}, col)) {
      return nullptr;
    }
    std::optional<CellValue> value;
    if (a[2] != nullptr && a[2] != Py_None) {
      std::string_view text;
      if (!py::to_str(a[2], {"cell", "value"}, text)) return nullptr;
      value = value_from_text(text);
    }
    CellRef record;
    {
      WriteGuard<RecordLock> write(sheet_of(self).lock);
      record = write_cell(sheet_of(self), {row, col}, value ? &*value : nullptr);
    }
    return wrap_cell(std::move(record));
  });
}

PyObject* delete_rows(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("delete_rows", 2, "idx", "amount");
    std::array<PyObject*, 2> a;
    std::uint32_t idx, amount;
    if (!params.match(args, nargs, kwnames, a) || !py::to_u32(a[0], {"delete_rows", "idx"}, idx) ||
        !py::to_u32(a[1], {"delete_rows", "amount"}, amount)) {
      return nullptr;
    }
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    sheet_of(self).cells.delete_rows(idx, amount);
    return py::new_none();
  });
}

PyObject* delete_cols(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    static const py::Params params("delete_cols", 2, "idx", "amount");
    std::array<PyObject*, 2> a;
    std::uint16_t idx, amount;
    if (!params.match(args, nargs, kwnames, a) || !py::to_u16(a[0], {"delete_cols", "idx"}, idx) ||
        !py::to_u16(a[1], {"delete_cols", "amount"}, amount)) {
      return nullptr;
    }
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    sheet_of(self).cells.delete_columns(idx, amount);
    return py::new_none();
  });
}

// Row and column dimension setters and getters differ only in key width and field.
template <class Key, class Value, class Apply>
PyObject* set_dimension(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames,
                        const py::Params<2>& params, const char* key_name, Apply&& apply) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 2> a;
    Key key;
    Value value;
    if (!params.match(args, nargs, kwnames, a)) return nullptr;
    bool ok;
    if constexpr (std::is_same_v<Key, std::uint32_t>) {
      ok = py::to_u32(a[0], {params.function(), key_name}, key);
    } else {
      ok = py::to_u16(a[0], {params.function(), key_name}, key);
    }
    if (!ok) return nullptr;
    if constexpr (std::is_same_v<Value, bool>) {
      ok = py::to_bool(a[1], {params.function(), "val"}, value);
    } else {
      ok = py::to_f64(a[1], {params.function(), "val"}, value);
    }
    if (!ok) return nullptr;
    WriteGuard<RecordLock> write(sheet_of(self).lock);
    apply(sheet_of(self), key, value);
    return py::new_none();
  });
}

PyObject* set_height_row(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("set_height_row", 2, "row_num", "val");
  return set_dimension<std::uint32_t, double>(self, args, nargs, kw, params, "row_num",
      [](Sheet& s, std::uint32_t r, double v) { row_dimension(s, r).height = v; });
}

PyObject* set_hidden_row(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("set_hidden_row", 2, "row_num", "val");
  return set_dimension<std::uint32_t, bool>(self, args, nargs, kw, params, "row_num",
      [](Sheet& s, std::uint32_t r, bool v) { row_dimension(s, r).hidden = v; });
}

PyObject* set_width_column(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("set_width_column", 2, "col_num", "val");
  return set_dimension<std::uint16_t, double>(self, args, nargs, kw, params, "col_num",
      [](Sheet& s, std::uint16_t c, double v) { column_dimension(s, c).width = v; });
}

PyObject* set_hidden_column(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("set_hidden_column", 2, "col_num", "val");
  return set_dimension<std::uint16_t, bool>(self, args, nargs, kw, params, "col_num",
      [](Sheet& s, std::uint16_t c, bool v) { column_dimension(s, c).hidden = v; });
}

template <class Key, class Read>
PyObject* get_dimension(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames,
                        const py::Params<1>& params, const char* key_name, Read&& read_value) {
  return py::guard([&]() -> PyObject* {
    std::array<PyObject*, 1> a;
    Key key;
    if (!params.match(args, nargs, kwnames, a)) return nullptr;
    bool ok;
    if constexpr (std::is_same_v<Key, std::uint32_t>) {
      ok = py::to_u32(a[0], {params.function(), key_name}, key);
    } else {
      ok = py::to_u16(a[0], {params.function(), key_name}, key);
    }
    if (!ok) return nullptr;
    auto value = [&] {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      return read_value(sheet_of(self), key);
    }();
    if constexpr (std::is_same_v<decltype(value), bool>) {
      return py::new_bool(value);
    } else {
      return PyFloat_FromDouble(value);
    }
  });
}

PyObject* get_height_by_row(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_height_by_row", 1, "row_num");
  return get_dimension<std::uint32_t>(self, args, nargs, kw, params, "row_num", row_height);
}

PyObject* get_hidden_by_row(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_hidden_by_row", 1, "row_num");
  return get_dimension<std::uint32_t>(self, args, nargs, kw, params, "row_num", row_hidden);
}

PyObject* get_width_by_column(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_width_by_column", 1, "col_num");
  return get_dimension<std::uint16_t>(self, args, nargs, kw, params, "col_num", column_width);
}

PyObject* get_hidden_by_column(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kw) {
  static const py::Params params("get_hidden_by_column", 1, "col_num");
  return get_dimension<std::uint16_t>(self, args, nargs, kw, params, "col_num", column_hidden);
}

PyObject* get_cells_by_range(PyObject* self, Args args, Py_ssize_t nargs, PyObject* kwnames) {
  return py::guard([&]() -> PyObject* {
    RangeBounds bounds;
    if (!range_bounds_args(args, nargs, kwnames, bounds)) return nullptr;
    std::vector<CellRef> cells;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      cells = cells_in_range(sheet_of(self), bounds);
    }
    return wrap_list<Cell>(cell_type(), cells);
  });
}

PyObject* repr(PyObject* self) {
  return py::guard([&] {
    std::string text;
    {
      ReadGuard<RecordLock> read(sheet_of(self).lock);
      text = "Sheet (" + sheet_of(self).name + ") cells: " + std::to_string(sheet_of(self).cells.size());
    }
    return py::new_str(text);
  });
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

PyGetSetDef getset[] = {
    {"name", get_name, set_name, nullptr, nullptr},
    {"sheet_state", get_sheet_state, nullptr, nullptr, nullptr},
    {"max_row", get_max_row, nullptr, nullptr, nullptr},
    {"max_column", get_max_column, nullptr, nullptr, nullptr},
    {"cells", get_cells, nullptr, nullptr, nullptr},
    {"merge_cells", get_merge_cells, nullptr, nullptr, nullptr},
    {"comments", get_comments, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

std::vector<PyMethodDef> method_table() {
  std::vector<PyMethodDef> table = {
      {"set_sheet_state", py::as_cfunction(set_sheet_state), kFast, "set_sheet_state($self, state)\n--\n\n"},
      {"add_merge_cells", py::as_cfunction(add_merge_cells), kFast,
       "add_merge_cells($self, start_row, end_row, start_col, end_col)\n--\n\n"},
      {"add_comment", py::as_cfunction(add_comment), kFast, "add_comment($self, row, col, text, author)\n--\n\n"},
      {"cell", py::as_cfunction(cell), kFast, "cell($self, row, col, value=None)\n--\n\n"},
      {"get_value_cell", py::as_cfunction(get_value_cell), kFast, "get_value_cell($self, row, col)\n--\n\n"},
      {"delete_cols", py::as_cfunction(delete_cols), kFast, "delete_cols($self, idx, amount)\n--\n\n"},
      {"delete_rows", py::as_cfunction(delete_rows), kFast, "delete_rows($self, idx, amount)\n--\n\n"},
      {"set_height_row", py::as_cfunction(set_height_row), kFast, "set_height_row($self, row_num, val)\n--\n\n"},
      {"set_hidden_row", py::as_cfunction(set_hidden_row), kFast, "set_hidden_row($self, row_num, val)\n--\n\n"},
      {"set_width_column", py::as_cfunction(set_width_column), kFast, "set_width_column($self, col_num, val)\n--\n\n"},
      {"set_hidden_column", py::as_cfunction(set_hidden_column), kFast,
       "set_hidden_column($self, col_num, val)\n--\n\n"},
      {"get_cells_by_range", py::as_cfunction(get_cells_by_range), kFast,
       "get_cells_by_range($self, start_row=None, end_row=None, start_col=None, end_col=None)\n--\n\n"},
      {"get_height_by_row", py::as_cfunction(get_height_by_row), kFast, "get_height_by_row($self, row_num)\n--\n\n"},
      {"get_hidden_by_row", py::as_cfunction(get_hidden_by_row), kFast, "get_hidden_by_row($self, row_num)\n--\n\n"},
      {"get_width_by_column", py::as_cfunction(get_width_by_column), kFast,
       "get_width_by_column($self, col_num)\n--\n\n"},
      {"get_hidden_by_column", py::as_cfunction(get_hidden_by_column), kFast,
       "get_hidden_by_column($self, col_num)\n--\n\n"},
  };
  for (const PyMethodDef& def : sheet_search_methods()) table.push_back(def);
  table.push_back({nullptr, nullptr, 0, nullptr});
  return table;
}

PyTypeObject* create_type() {
  static std::vector<PyMethodDef> methods = method_table();
  static PyType_Slot slots[] = {
      {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Sheet>)},
      {Py_tp_repr, reinterpret_cast<void*>(repr)},
      {Py_tp_getset, getset},
      {Py_tp_methods, methods.data()},
      {0, nullptr},
  };
  static PyType_Spec type_spec = {
      "tabulon.Sheet", sizeof(Handle<Sheet>), 0,
      Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};
  return reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&type_spec));
}

PyTypeObject* g_type = nullptr;

}  // namespace

bool range_bounds_args(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, RangeBounds& b) {
  static const py::Params params("get_cells_by_range", 0, "start_row", "end_row", "start_col", "end_col");
  std::array<PyObject*, 4> a;
  if (!params.match(args, nargs, kwnames, a)) return false;
  const char* f = params.function();
  auto given = [](PyObject* o) { return o != nullptr && o != Py_None; };
  return (!given(a[0]) || py::to_u32(a[0], {f, "start_row"}, b.start_row)) &&
         (!given(a[1]) || py::to_u32(a[1], {f, "end_row"}, b.end_row)) &&
         (!given(a[2]) || py::to_u16(a[2], {f, "start_col"}, b.start_col)) &&
         (!given(a[3]) || py::to_u16(a[3], {f, "end_col"}, b.end_col));
}

PyTypeObject* sheet_type() {
  if (g_type == nullptr) g_type = create_type();
  return g_type;
}

PyObject* wrap_sheet(SheetRef sheet) { return wrap<Sheet>(sheet_type(), std::move(sheet)); }

SheetRef sheet_record(PyObject* object) {
  if (g_type == nullptr || Py_TYPE(object) != g_type) return {};
  return record_of<Sheet>(object);
}

}  // namespace tabulon::binding
