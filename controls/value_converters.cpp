#include "controls/value_converters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "controls/whole_numbers.h"
#include "dsp/number_format.h"

namespace {

using controls::truncatedInt;

// A level in dB (or dBFS): the whole dB and the first decimal, both cut, not
// rounded. Between -1 and 0 the whole part is 0, so the sign is written apart.
void writeLevel(double a, const char* unit, char* text) {
  const int whole = truncatedInt(a);
  const int tenth = truncatedInt(std::fabs((a - whole) * 10));
  if (a >= 0 || a <= -1)
    std::snprintf(text, kConverterTextBytes, "%d.%d%s", whole, tenth, unit);
  else
    std::snprintf(text, kConverterTextBytes, "-%d.%d%s", whole, tenth, unit);
}

constexpr double kSilence = 0.00000001;

}  // namespace

void percentStringConvert(float value, char* text) {
  const double v = value;
  if (v >= 0.2)
    std::snprintf(text, kConverterTextBytes, "%d%%", truncatedInt(v * 100));
  else
    std::snprintf(text, kConverterTextBytes, "%d.%d%%", truncatedInt(v * 100), truncatedInt(v * 1000) % 10);
}

void dBStringConvert(float value, char* text) {
  if (value <= kSilence) {
    std::snprintf(text, kConverterTextBytes, "-oo dB");
    return;
  }
  writeLevel(20.0 * static_cast<double>(std::log10(value)), "dB", text);
}

void dBFSStringConvert(float value, char* text) {
  if (value <= kSilence) {
    std::snprintf(text, kConverterTextBytes, "-oo dBFS");
    return;
  }
  writeLevel(static_cast<double>(std::log10(value)) / std::log10(2.0) * 6.0, "dBFS", text);
}

void intStringConvert(float value, char* text) {
  std::snprintf(text, kConverterTextBytes, "%d", truncatedInt(value));
}

void ratioStringConvert(float value, char* text) {
  const double v = value;
  std::snprintf(text, kConverterTextBytes, "x%d.%d%d", truncatedInt(v), truncatedInt(v * 10) % 10,
                truncatedInt(v * 100) % 10);
}

void samplesStringConvert(float value, char* text) {
  if (value >= 1)
    std::snprintf(text, kConverterTextBytes, "%dsmps", truncatedInt(value));
  else
    std::snprintf(text, kConverterTextBytes, "0smps");
}

void msStringConvert(float value, char* text) {
  if (value < 0.0001) {
    std::snprintf(text, kConverterTextBytes, "0ms");
    return;
  }
  // The formatter leaves its text alone for values it cannot show; the unit
  // then stands alone instead of following whatever the buffer held.
  text[0] = '\0';
  if (value >= 1000) {
    floatToStringDecimals(static_cast<float>(value * 0.001), 3, text);
    std::strcat(text, "s");
    return;
  }
  const int decimals = value < 1 ? 3 : value < 10 ? 2 : value < 100 ? 1 : 0;
  floatToStringDecimals(value, decimals, text);
  std::strcat(text, "ms");
}
