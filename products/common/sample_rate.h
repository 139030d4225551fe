// The sample rates the effects work at, whatever the host sends.
#pragma once

#include <cmath>

inline constexpr float kMinSampleRate = 22050.0f;
inline constexpr float kMaxSampleRate = 192000.0f;

// As suspend and construction take the host's rate: within 22050..192000, a
// rate that is not a number as 44100.
inline float clampedSampleRate(float rate) {
  if (!std::isfinite(rate)) return 44100.0f;
  if (rate < kMinSampleRate) return kMinSampleRate;
  if (rate > kMaxSampleRate) return kMaxSampleRate;
  return rate;
}

// As resume takes the host's rate: outside 22050..192000, 44100.
inline float sampleRateOrDefault(float rate) {
  return rate >= kMinSampleRate && rate <= kMaxSampleRate ? rate : 44100.0f;
}
