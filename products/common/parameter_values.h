// How every product's parameter model takes a value and writes its texts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/number_format.h"
#include "host/vst_abi.h"

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

// A parameter's name and unit label as the host shows them.
struct ParameterText {
  const char* name;
  const char* label;
};

inline constexpr VstInt32 kSwitchProperties =
    kVstParameterIsSwitch | kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;
inline constexpr VstInt32 kSelectorProperties = kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;

// Fills the properties of a switch or selector with whole steps from 0 to maximum.
inline bool integerProperties(VstParameterProperties* p, VstInt32 flags, VstInt32 maximum) {
  p->flags = flags;
  p->minInteger = 0;
  p->maxInteger = maximum;
  p->stepInteger = 1;
  p->largeStepInteger = 1;
  return true;
}
