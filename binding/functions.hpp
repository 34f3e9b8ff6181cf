#pragma once
// The module-level functions of tabulon._tabulon.

#include "binding/py.hpp"

namespace tabulon::binding {

extern PyMethodDef version_def;
extern PyMethodDef column_number_to_letter_def;
extern PyMethodDef get_letter_coordinate_def;

}  // namespace tabulon::binding
