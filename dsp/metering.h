// What the metering step of every product's kernels shares: the meters'
// source, the PPM ballistics of one kernel call, the VU scale and the over
// counter.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>

// What the meters read for a Meters value: 0 the input, 1 the gain
// reduction, 2 the output. The Meters texts and the editors' rest values
// follow the same rule.
inline int meterSourceOf(float metersValue) { return std::min(static_cast<int>(3.0f * metersValue), 2); }

// Peak level to VU reading: sqrt(2) and a 0.8 dB lift.
inline constexpr double kVuScale = 1.4142136 * 1.096;

// The PPM meter's per-sample coefficients at the processing rate: rising at
// the attack rate, falling at the release rate, and the level gain that
// makes up for a short integration.
struct PpmBallistics {
  double attack, release, gain;

  static PpmBallistics at(double rate, double integrationMs, double returnMs, float timeRatio) {
    PpmBallistics b;
    b.attack = integrationMs > 0.05 ? 1.0 - std::pow(0.01, 1.0 / (rate * integrationMs * 0.001)) : 1.0;
    b.release = 1.0 - std::pow(0.01, 1.0 / (rate * returnMs * 0.001));
    b.gain = std::pow(10.0, 0.19 * std::pow(static_cast<double>(timeRatio), 0.6));
    return b;
  }
};

// The ballistics of the last call, computed again only when the rate or a
// meter preference has changed: three pows per call would cost more than the
// metering itself.
class PpmBallisticsCache {
 public:
  const PpmBallistics& at(double rate, double integrationMs, double returnMs, float timeRatio) {
    if (!valid_ || rate != rate_ || integrationMs != integrationMs_ || returnMs != returnMs_ ||
        timeRatio != timeRatio_) {
      ballistics_ = PpmBallistics::at(rate, integrationMs, returnMs, timeRatio);
      rate_ = rate;
      integrationMs_ = integrationMs;
      returnMs_ = returnMs;
      timeRatio_ = timeRatio;
      valid_ = true;
    }
    return ballistics_;
  }

 private:
  bool valid_ = false;
  double rate_ = 0, integrationMs_ = 0, returnMs_ = 0;
  float timeRatio_ = 0;
  PpmBallistics ballistics_{};
};

// One sample of an over counter: a magnitude at full scale counts one more;
// below it the count starts again, unless it has reached the threshold, where
// it stays until the block loop latches it into the over flag.
inline void advanceOverCount(float& count, double threshold, double magnitude) {
  if (magnitude >= 1.0)
    count = count + 1.0f;
  else if (count < threshold)
    count = 0.0f;
}

// The meter hand-off between the audio thread and the editor's thread: the
// audio thread writes each channel's level and raises its over flag, the
// editor reads the levels and takes each flag with one exchange, so an over
// raised between the editor's read and its clear is never lost. The values
// are plain 32-bit fields of the engine, always written and read whole.
inline void publishMeterLevel(float& level, double value) {
  std::atomic_ref<float>(level).store(static_cast<float>(value), std::memory_order_relaxed);
}
inline float meterLevelOf(const float& level) {
  return std::atomic_ref<float>(const_cast<float&>(level)).load(std::memory_order_relaxed);
}
inline void setOverFlag(float& flag, float value) {
  std::atomic_ref<float>(flag).store(value, std::memory_order_relaxed);
}
// The flag as it was, left at 0.
inline float takeOverFlag(float& flag) {
  return std::atomic_ref<float>(flag).exchange(0.0f, std::memory_order_relaxed);
}

// After the last chunk of a host block: a counter that reached the threshold
// raises its channel's over flag for the editor and starts again.
inline void latchOverFlags(float (&counts)[2], float (&flags)[2], double threshold) {
  for (int c = 0; c < 2; ++c) {
    if (counts[c] >= threshold) {
      setOverFlag(flags[c], 1.0f);
      counts[c] = 0.0f;
    }
  }
}
