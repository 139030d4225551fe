// The pieces of the look-ahead peak detector that every product's kernels
// share: the detector floor, the envelope floor, the +0.1 dB detector gain and
// the clip to full scale.
#pragma once

#include "dsp/lanes.h"

// Added to every detector reading, so silence settles at a small level.
inline constexpr double kDetectorFloor = 0.0009766;
// No envelope falls below this: every gain division stays defined.
inline constexpr double kEnvelopeFloor = 1e-6;
// The detectors see their input 0.1 dB hotter.
inline constexpr double kPlusTenthDb = 1.0115795;

// Limits a sample (or two) to full scale: above 1 becomes 1, below -1 becomes -1.
template <typename T>
inline T clipToFullScale(T x) {
  return minOf(maxOf(x, splat<T>(-1.0)), splat<T>(1.0));
}
