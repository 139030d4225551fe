#include "dsp/halfband_oversampler.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

#include "dsp/lanes.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kHalfLength = HalfbandOversampler::kCentreTap;  // 127 taps each side
constexpr double kM = HalfbandOversampler::kTapCount;         // 255
constexpr double kL = 256.0;

// Both converters look 129 doubled-rate samples back for the centre of their
// filter, 64.5 host-rate samples each. With the samples kept in time order,
// the filtered phase of the interpolator's output for the input at m takes
// the tap pairs at m - 65 - i and m - 64 + i (i = 0..63), the centre phase is
// the input at m - 64; the decimator's output for the pair at m takes its
// even samples at the same places and the odd sample at m - 65.
constexpr int kOlderPair = 65;
constexpr int kNewerPair = 64;
constexpr int kOddPairs = (kHalfLength + 1) / 2;  // 64 non-zero taps either side

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

// The filtered phase of one output (T = double) or of two neighbouring ones
// (T = Pair): y plus h[k] x (the sample k slots older than the centre plus
// the one k slots newer) for k = 1, 3, ..., 127 in that order, each output in
// its own lane. older points at the older sample of the first pair, newer at
// the newer one; h at the centre tap.
template <typename T>
inline T addOddPairs(T y, const double* h, const double* older, const double* newer) {
  for (int i = 0; i < kOddPairs; ++i) {
    if constexpr (sizeof(T) == sizeof(double)) {
      y = y + h[2 * i + 1] * (older[-i] + newer[i]);
    } else {
      const T pair = _mm_loadu_pd(older - i) + _mm_loadu_pd(newer + i);
      y = y + broadcast(h[2 * i + 1]) * pair;
    }
  }
  return y;
}

// A delay of the line's length, in place, through a line that holds the last
// samples oldest first.
template <std::size_t N>
void delayThrough(std::array<double, N>& line, double* buffer, int count) {
  constexpr int kLength = static_cast<int>(N);
  while (count > 0) {
    const int n = std::min(count, kLength);
    double incoming[kLength];
    std::copy_n(buffer, n, incoming);
    std::copy_n(line.begin(), n, buffer);
    std::copy(line.begin() + n, line.end(), line.begin());
    std::copy_n(incoming, n, line.end() - n);
    buffer += n;
    count -= n;
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
  upLine.fill(0.0);
  downEvenLine.fill(0.0);
  downOddLine.fill(0.0);
  upStandIn.fill(0.0);
  downStandIn.fill(0.0);
}

void HalfbandOversampler::upsample(double* buffer, int count) {
  assert(count >= 0 && count <= kMaxUpsampleCount);
  count = std::clamp(count, 0, kMaxUpsampleCount);

  // Each input x is u[n], followed by the stuffed zero u[n + 1]. The stuffed
  // zeros meet only the zero taps, so the filtered phase needs just the odd
  // taps over input samples; the centre phase is the input 64 samples back.
  // The inputs go into the line first, so the outputs may overwrite them.
  const double* h = upTaps.data() + kCentreTap;
  double* line = upLine.data();
  std::copy_n(buffer, count, line + kHistory);
  const double* x = line + kHistory;
  int j = 0;
  for (; j + 2 <= count; j += 2) {
    const Pair y = addOddPairs(broadcast(0.0), h, x + j - kOlderPair, x + j - kNewerPair);
    buffer[2 * j] = y[0];
    buffer[2 * j + 1] = h[0] * x[j - kNewerPair];
    buffer[2 * j + 2] = y[1];
    buffer[2 * j + 3] = h[0] * x[j + 1 - kNewerPair];
  }
  for (; j < count; ++j) {
    buffer[2 * j] = addOddPairs(0.0, h, x + j - kOlderPair, x + j - kNewerPair);
    buffer[2 * j + 1] = h[0] * x[j - kNewerPair];
  }
  std::memmove(line, line + count, kHistory * sizeof(double));
}

void HalfbandOversampler::downsample(double* buffer, int count) {
  const double* h = downTaps.data() + kCentreTap;
  const int outputs = std::max(count, 0) / 2;
  // Output i is the filtered stream at the even input u[2i], 129 slots back.
  // A stretch's inputs go into the lines before its outputs are written, and
  // the outputs never reach the inputs of the stretches still to come.
  for (int done = 0; done < outputs;) {
    const int n = std::min(outputs - done, kMaxUpsampleCount);
    const double* in = buffer + 2 * done;
    double* even = downEvenLine.data();
    double* odd = downOddLine.data();
    for (int i = 0; i < n; ++i) {
      even[kHistory + i] = in[2 * i];
      odd[kHistory + i] = in[2 * i + 1];
    }
    const double* e = even + kHistory;
    const double* o = odd + kHistory;
    double* out = buffer + done;
    int i = 0;
    for (; i + 2 <= n; i += 2) {
      const Pair centre = broadcast(h[0]) * Pair(_mm_loadu_pd(o + i - kOlderPair));
      const Pair y = addOddPairs(centre, h, e + i - kOlderPair, e + i - kNewerPair);
      out[i] = y[0];
      out[i + 1] = y[1];
    }
    for (; i < n; ++i)
      out[i] = addOddPairs(h[0] * o[i - kOlderPair], h, e + i - kOlderPair, e + i - kNewerPair);
    std::memmove(even, even + n, kHistory * sizeof(double));
    std::memmove(odd, odd + n, kHistory * sizeof(double));
    done += n;
  }
}

void HalfbandOversampler::delayInsteadOfUpsample(double* buffer, int count) {
  delayThrough(upStandIn, buffer, count);
}

void HalfbandOversampler::delayInsteadOfDownsample(double* buffer, int count) {
  delayThrough(downStandIn, buffer, count);
}
