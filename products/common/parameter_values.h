// How every product's parameter model takes a value and writes its texts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/number_format.h"

// The value a parameter takes: NaN counts as 0 and everything is kept within 0..1.
inline float admittedValue(float v) {
  if (std::isnan(v)) return 0.0f;
  return std::clamp(v, 0.0f, 1.0f);
}

// A switch's state, int(v + 0.5) in double precision, so that a value just
// below 0.5 stays off as its display says.
inline int switchState(float v) { return static_cast<int>(static_cast<double>(v) + 0.5); }

// Display and name texts; the host's buffer holds at least nine bytes.
inline void writeText(char* text, const char* s) { std::strcpy(text, s); }

// A number with a fixed count of decimals, taken as a 32-bit float first.
inline void writeNumber(char* text, double value, int decimals) {
  floatToStringDecimals(static_cast<float>(value), decimals, text);
}
