#pragma once
// What the module body registers, in registration order. Each class file provides the
// getter of its lazily created type; registry.cpp lists them in their final order.

#include <span>

#include "binding/py.hpp"

namespace tabulon::binding {

using TypeGetter = PyTypeObject* (*)();

// Service, Book, Sheet, Cell, Comment.
std::span<const TypeGetter> main_types();
// version, column_number_to_letter, get_letter_coordinate (null-terminated table).
PyMethodDef* main_functions();
// Finder, ReadableSheet, ReadableCell.
std::span<const TypeGetter> readable_types();
// create_finder and the fifteen find_* functions (null-terminated table).
PyMethodDef* readable_functions();

}  // namespace tabulon::binding
