#include "binding/sheet_search.hpp"

namespace tabulon::binding {

std::span<const PyMethodDef> sheet_search_methods() { return {}; }

}  // namespace tabulon::binding
