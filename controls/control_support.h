// What the editors' own controls share: type names and copies (newCopy),
// which carry the state a control holds beyond its constructor's arguments.
#pragma once

#include <cstring>

#include "ui/jyxui.h"

namespace controls {

inline bool isNamed(const char* name, const char* own) { return name && std::strcmp(name, own) == 0; }

// Value, old value, range, default, wheel step, back offset and mouse state.
void copyControlState(const jyxui::CControl& from, jyxui::CControl& to);

}  // namespace controls
