#include "binding/registry.hpp"

#include "binding/functions.hpp"
#include "binding/types.hpp"

namespace tabulon::binding {

std::span<const TypeGetter> main_types() {
  static const TypeGetter types[] = {service_type, book_type, sheet_type, cell_type, comment_type};
  return types;
}

PyMethodDef* main_functions() {
  static PyMethodDef table[] = {
      version_def,
      column_number_to_letter_def,
      get_letter_coordinate_def,
      {nullptr, nullptr, 0, nullptr},
  };
  return table;
}

std::span<const TypeGetter> readable_types() { return {}; }

PyMethodDef* readable_functions() {
  static PyMethodDef table[] = {
      {nullptr, nullptr, 0, nullptr},
  };
  return table;
}

}  // namespace tabulon::binding
