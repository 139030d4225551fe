#include "dsp/halfband_oversampler.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kHalfLength = HalfbandOversampler::kCentreTap;  // 127 taps each side
constexpr double kM = HalfbandOversampler::kTapCount;         // 255
constexpr double kL = 256.0;

// Both converters look 129 doubled-rate samples back for the centre of their
// filter: 64.5 host-rate samples each.
constexpr int kFilterDelay = 129;
// The stand-in delays: 64 host-rate samples, which is 129 slots back in the
// interpolator's history (two slots per sample) and 64 in the decimator's.
constexpr int kUpDelaySlots = 129;
constexpr int kDownDelaySlots = 64;

// Outputs computed side by side. Each keeps its own sum in the fixed order of
// the taps, so the result is the same as one output after the other; the
// interleaving only hides the latency of the long chains of additions.
constexpr int kLanes = 4;

enum class Window { blackman, hann };

// Windowed half-band sinc, 255 taps. The sinc is zero at every even distance
// from the centre; sin leaves a rounding residue there, which the threshold
// removes so that only the centre and the odd taps remain.
void designTaps(std::array<double, HalfbandOversampler::kTapCount>& taps, Window window, double scale) {
  for (int i = 0; i <= kHalfLength; ++i) {
    double s = 0.5;
    if (i > 0) {
      s = std::sin(i * kPi / 2.0) / (kL * std::sin(i * kPi / kM));
    }
    double w;
    if (i == 0) {
      // Both windows peak at exactly 1. Summed in floating point, the
      // Blackman terms 0.42 + 0.5 + 0.08 fall one unit in the last place
      // short, and the interpolator would no longer pass its input
      // samples through unchanged on the centre phase.
      w = 1.0;
    } else if (window == Window::blackman) {
      w = 0.42 + 0.5 * std::cos(2.0 * kPi * i / kM) + 0.08 * std::cos(4.0 * kPi * i / kM);
    } else {
      w = 0.5 + 0.5 * std::cos(2.0 * kPi * i / kM);
    }
    double t = s * w;
    if (std::fabs(t) < 1e-16) {
      t = 0.0;
    }
    taps[kHalfLength + i] = scale * t;
    taps[kHalfLength - i] = scale * t;
  }
}

// For each lane j: adds h[k] x (the pair of samples k slots either side of
// centres[j]) to y[j], for k = 1, 3, ..., 127 in that order. h points at the
// centre tap; the even taps are zero and skipped.
template <int Lanes>
inline void addOddPairs(const double* h, const double* const* centres, double* y) {
  for (int k = 1; k <= kHalfLength; k += 2) {
    for (int j = 0; j < Lanes; ++j) {
      y[j] = y[j] + h[k] * (centres[j][k] + centres[j][-k]);
    }
  }
}

}  // namespace

HalfbandOversampler::HalfbandOversampler(int flags)
    : flags(flags),
      // 63 for each converter: the effect's own rings make up the rest of the
      // 129 host-rate samples that the pair delays by.
      latencyCount(63 + 63) {
  // The interpolator doubles the taps: every other input is a stuffed zero,
  // so its centre tap of 1.0 passes the input samples themselves.
  designTaps(upTaps, Window::blackman, 2.0);
  designTaps(downTaps, Window::hann, 1.0);
  reset();
}

void HalfbandOversampler::reset() {
  downHistory.fill(0.0);
  upHistory.fill(0.0);
  upOutput.fill(0.0);
  downPos = kStartPos;
  upPos = kStartPos;
}

void HalfbandOversampler::write(std::array<double, 2 * kHistorySize>& history, int pos, double x) {
  history[pos] = x;
  history[pos + kHistorySize] = x;
}

void HalfbandOversampler::upsample(double* buffer, int count) {
  assert(count >= 0 && count <= kMaxUpsampleCount);
  count = std::clamp(count, 0, kMaxUpsampleCount);

  const double* h = upTaps.data() + kCentreTap;
  int i = 0;
  // Each input x is u[n], followed by the stuffed zero u[n + 1]. The
  // stuffed zeros meet only the zero taps, so the filtered phase needs just
  // the odd taps over input samples; the centre phase is the input sample
  // 129 slots back. A group's newer samples are all in place before its
  // sums start, and none of them is older than what the sums read.
  for (; i + kLanes <= count; i += kLanes) {
    const double* centres[kLanes];
    double y[kLanes];
    for (int j = 0; j < kLanes; ++j) {
      const int pos = (upPos - 2 * j) & kHistoryMask;
      write(upHistory, pos, buffer[i + j]);
      write(upHistory, (pos - 1) & kHistoryMask, 0.0);
      centres[j] = upHistory.data() + pos + kFilterDelay;
      y[j] = 0.0;
    }
    addOddPairs<kLanes>(h, centres, y);
    for (int j = 0; j < kLanes; ++j) {
      upOutput[2 * (i + j)] = y[j];
      upOutput[2 * (i + j) + 1] = h[0] * centres[j][-1];
    }
    upPos = (upPos - 2 * kLanes) & kHistoryMask;
  }
  for (; i < count; ++i) {
    write(upHistory, upPos, buffer[i]);
    const double* centre = upHistory.data() + upPos + kFilterDelay;
    double y = 0.0;
    addOddPairs<1>(h, &centre, &y);
    upOutput[2 * i] = y;
    upPos = (upPos - 1) & kHistoryMask;
    write(upHistory, upPos, 0.0);
    upOutput[2 * i + 1] = h[0] * upHistory[upPos + kFilterDelay];
    upPos = (upPos - 1) & kHistoryMask;
  }
  std::copy(upOutput.begin(), upOutput.begin() + 2 * count, buffer);
}

void HalfbandOversampler::downsample(double* buffer, int count) {
  const double* h = downTaps.data() + kCentreTap;
  const int outputs = std::max(count, 0) / 2;
  int i = 0;
  // Output i is the filtered stream at the even input u[2i], 129 slots
  // back. A group reads all its input pairs before it writes its outputs,
  // and the outputs never overtake the inputs still to come.
  for (; i + kLanes <= outputs; i += kLanes) {
    const double* centres[kLanes];
    double y[kLanes];
    for (int j = 0; j < kLanes; ++j) {
      const int pos = (downPos - 2 * j) & kHistoryMask;
      write(downHistory, pos, buffer[2 * (i + j)]);
      write(downHistory, (pos - 1) & kHistoryMask, buffer[2 * (i + j) + 1]);
      centres[j] = downHistory.data() + pos + kFilterDelay;
      y[j] = h[0] * centres[j][0];
    }
    addOddPairs<kLanes>(h, centres, y);
    for (int j = 0; j < kLanes; ++j) {
      buffer[i + j] = y[j];
    }
    downPos = (downPos - 2 * kLanes) & kHistoryMask;
  }
  for (; i < outputs; ++i) {
    write(downHistory, downPos, buffer[2 * i]);
    const double* centre = downHistory.data() + downPos + kFilterDelay;
    double y = h[0] * centre[0];
    addOddPairs<1>(h, &centre, &y);
    downPos = (downPos - 1) & kHistoryMask;
    write(downHistory, downPos, buffer[2 * i + 1]);
    downPos = (downPos - 1) & kHistoryMask;
    buffer[i] = y;
  }
}

void HalfbandOversampler::delayInsteadOfUpsample(double* buffer, int count) {
  for (int i = 0; i < count; ++i) {
    const double x = buffer[i];
    // Two slots per sample, as the interpolator's history fills.
    write(upHistory, upPos, x);
    upPos = (upPos - 1) & kHistoryMask;
    write(upHistory, upPos, x);
    const double y = upHistory[upPos + kUpDelaySlots];
    upPos = (upPos - 1) & kHistoryMask;
    buffer[i] = y;
  }
}

void HalfbandOversampler::delayInsteadOfDownsample(double* buffer, int count) {
  for (int i = 0; i < count; ++i) {
    const double x = buffer[i];
    write(downHistory, downPos, x);
    const double y = downHistory[downPos + kDownDelaySlots];
    downPos = (downPos - 1) & kHistoryMask;
    buffer[i] = y;
  }
}
