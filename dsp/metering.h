// What the metering step of every product's kernels shares: the PPM
// ballistics of one kernel call, the VU scale and the over counter.
#pragma once

#include <cmath>

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

// One sample of an over counter: a magnitude at full scale counts one more;
// below it the count starts again, unless it has reached the threshold, where
// it stays until the block loop latches it into the over flag.
inline void advanceOverCount(float& count, double threshold, double magnitude) {
  if (magnitude >= 1.0)
    count = count + 1.0f;
  else if (count < threshold)
    count = 0.0f;
}

// After the last chunk of a host block: a counter that reached the threshold
// raises its channel's over flag for the editor and starts again.
inline void latchOverFlags(float (&counts)[2], float (&flags)[2], double threshold) {
  for (int c = 0; c < 2; ++c) {
    if (counts[c] >= threshold) {
      flags[c] = 1.0f;
      counts[c] = 0.0f;
    }
  }
}
