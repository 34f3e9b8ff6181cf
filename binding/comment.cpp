// Comment: a live handle on one comment record of a sheet.

#include "binding/handle.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {
namespace {

Comment& comment_of(PyObject* self) { return *record_of<Comment>(self); }

template <std::string Comment::*Field>
PyObject* get_text(PyObject* self, void*) {
  return py::guard([&] {
    const Comment& comment = comment_of(self);
    std::string text;
    {
      ReadGuard<TinyRwLock> guard(comment.lock);
      text = comment.*Field;
    }
    return py::new_str(text);
  });
}

template <std::string Comment::*Field>
int set_text(PyObject* self, PyObject* value, void* closure) {
  const char* attribute = static_cast<const char*>(closure);
  return py::guard_status([&] {
    std::string_view text;
    if (py::refuse_delete(value, attribute) || !py::to_str(value, {attribute, "value"}, text)) {
      return -1;
    }
    std::string replacement(text);
    Comment& comment = comment_of(self);
    WriteGuard<TinyRwLock> guard(comment.lock);
    (comment.*Field).swap(replacement);
    return 0;
  });
}

PyObject* row(PyObject* self, void*) { return PyLong_FromUnsignedLong(comment_of(self).row); }
PyObject* column(PyObject* self, void*) {
  return PyLong_FromUnsignedLong(comment_of(self).column);
}
PyObject* coordinate(PyObject* self, void*) {
  const Comment& c = comment_of(self);
  return Py_BuildValue("(kk)", static_cast<unsigned long>(c.row),
                       static_cast<unsigned long>(c.column));
}

PyGetSetDef getset[] = {
    {"author", get_text<&Comment::author>, set_text<&Comment::author>, nullptr,
     const_cast<char*>("author")},
    {"text", get_text<&Comment::text>, set_text<&Comment::text>, nullptr,
     const_cast<char*>("text")},
    {"coordinate", coordinate, nullptr, nullptr, nullptr},
    {"row", row, nullptr, nullptr, nullptr},
    {"column", column, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(handle_dealloc<Comment>)},
    {Py_tp_getset, getset},
    {0, nullptr},
};

PyType_Spec type_spec = {
    "tabulon.Comment", sizeof(Handle<Comment>), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};

py::LazyType type(&type_spec);

}  // namespace

PyTypeObject* comment_type() { return type.get(); }

PyObject* wrap_comment(CommentRef comment) {
  return wrap<Comment>(comment_type(), std::move(comment));
}

}  // namespace tabulon::binding
