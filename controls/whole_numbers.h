// Whole numbers taken from display values. A readout or the counter may be
// handed any float (a value set from outside, a level far beyond the scale);
// converting it must never leave the range of int.
#pragma once

#include <climits>

namespace controls {

// The value truncated towards zero, held to the range of int; NaN gives 0.
inline int truncatedInt(double value) {
  if (!(value == value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace controls
