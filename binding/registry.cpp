#include "binding/registry.hpp"

#include <vector>

#include "binding/functions.hpp"
#include "binding/readable/readable_types.hpp"
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

std::span<const TypeGetter> readable_types() {
  static const TypeGetter types[] = {finder_type, readable_sheet_type, readable_cell_type};
  return types;
}

PyMethodDef* readable_functions() {
  static std::vector<PyMethodDef> table = [] {
    std::vector<PyMethodDef> t{create_finder_def};
    for (const PyMethodDef& def : readable_search_functions()) t.push_back(def);
    t.push_back({nullptr, nullptr, 0, nullptr});
    return t;
  }();
  return table.data();
}

}  // namespace tabulon::binding
