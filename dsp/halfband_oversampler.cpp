#include "dsp/halfband_oversampler.h"

#include <immintrin.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

#include "dsp/lanes.h"
#include "dsp/processor_features.h"

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

// The filtered phase of neighbouring outputs, for the SSE2 baseline: four
// outputs at a time in two registers, then one at a time. Every output
// keeps its own sum in the order of the taps.
void addOddPairsNarrow(double* y, const double* x, const double* taps, int count) {
  const double* older = x - kOlderPair;
  const double* newer = x - kNewerPair;
  int j = 0;
  for (; j + 4 <= count; j += 4) {
    Pair a = _mm_loadu_pd(y + j), b = _mm_loadu_pd(y + j + 2);
    const double* o = older + j;
    const double* n = newer + j;
    for (int i = 0; i < kOddPairs; ++i) {
      const Pair h = _mm_load_pd(taps + 4 * i);
      a = a + h * (Pair(_mm_loadu_pd(o - i)) + Pair(_mm_loadu_pd(n + i)));
      b = b + h * (Pair(_mm_loadu_pd(o - i + 2)) + Pair(_mm_loadu_pd(n + i + 2)));
    }
    _mm_storeu_pd(y + j, a);
    _mm_storeu_pd(y + j + 2, b);
  }
  for (; j < count; ++j) {
    double sum = y[j];
    for (int i = 0; i < kOddPairs; ++i) sum = sum + taps[4 * i] * (older[j - i] + newer[j + i]);
    y[j] = sum;
  }
}

// The same with AVX, on processors that have it: eight outputs at a time in
// two registers, the rest as above. Only multiplications and additions, as
// above, each rounded on its own.
__attribute__((target("avx"))) void addOddPairsWide(double* y, const double* x, const double* taps,
                                                    int count) {
  const double* older = x - kOlderPair;
  const double* newer = x - kNewerPair;
  int j = 0;
  for (; j + 8 <= count; j += 8) {
    __m256d a = _mm256_loadu_pd(y + j), b = _mm256_loadu_pd(y + j + 4);
    const double* o = older + j;
    const double* n = newer + j;
    for (int i = 0; i < kOddPairs; ++i) {
      const __m256d h = _mm256_load_pd(taps + 4 * i);
      a = _mm256_add_pd(a, _mm256_mul_pd(h, _mm256_add_pd(_mm256_loadu_pd(o - i), _mm256_loadu_pd(n + i))));
      b = _mm256_add_pd(
          b, _mm256_mul_pd(h, _mm256_add_pd(_mm256_loadu_pd(o - i + 4), _mm256_loadu_pd(n + i + 4))));
    }
    _mm256_storeu_pd(y + j, a);
    _mm256_storeu_pd(y + j + 4, b);
  }
  if (j < count) addOddPairsNarrow(y + j, x + j, taps, count - j);
}

// A delay of the line's length, in place, through a line that holds the last
// samples oldest first.
template <std::size_t N>
void delayThrough(std::array<double, N>& line, double* buffer, int count) {
  constexpr int kLength = static_cast<int>(N);
  if (count == kLength) {
    // A whole line's worth (a chunk of the effects): the line and the buffer
    // trade places.
    for (int i = 0; i < kLength; i += 2) {
      const __m128d held = _mm_loadu_pd(line.data() + i);
      _mm_storeu_pd(line.data() + i, _mm_loadu_pd(buffer + i));
      _mm_storeu_pd(buffer + i, held);
    }
    return;
  }
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
      latencyCount(63 + 63),
      wide_(processorHasAvx()) {
  // The interpolator doubles the taps: every other input is a stuffed zero,
  // so its centre tap of 1.0 passes the input samples themselves.
  designTaps(upTaps, Window::blackman, 2.0);
  designTaps(downTaps, Window::hann, 1.0);
  for (int i = 0; i < kOddPairs; ++i) {
    for (int l = 0; l < 4; ++l) {
      upOddTaps[4 * i + l] = upTaps[kCentreTap + 2 * i + 1];
      downOddTaps[4 * i + l] = downTaps[kCentreTap + 2 * i + 1];
    }
  }
  reset();
}

void HalfbandOversampler::wide(bool on) { wide_ = on && processorHasAvx(); }

void HalfbandOversampler::addOddPairs(double* y, const double* x, const std::array<double, 4 * 64>& taps,
                                      int count) const {
  if (wide_)
    addOddPairsWide(y, x, taps.data(), count);
  else
    addOddPairsNarrow(y, x, taps.data(), count);
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
  const double h0 = upTaps[kCentreTap];
  double* line = upLine.data();
  std::copy_n(buffer, count, line + kHistory);
  const double* x = line + kHistory;
  double filtered[kMaxUpsampleCount];
  std::fill_n(filtered, count, 0.0);
  addOddPairs(filtered, x, upOddTaps, count);
  for (int j = 0; j < count; ++j) {
    buffer[2 * j] = filtered[j];
    buffer[2 * j + 1] = h0 * x[j - kNewerPair];
  }
  std::memmove(line, line + count, kHistory * sizeof(double));
}

void HalfbandOversampler::downsample(double* buffer, int count) {
  const double h0 = downTaps[kCentreTap];
  const int outputs = std::max(count, 0) / 2;
  // Output i is the filtered stream at the even input u[2i], 129 slots back:
  // the centre tap on the odd sample 65 pairs back, then the odd taps on the
  // even samples around it. A stretch's inputs go into the lines before its
  // outputs are written, and the outputs never reach the inputs of the
  // stretches still to come.
  for (int done = 0; done < outputs;) {
    const int n = std::min(outputs - done, kMaxUpsampleCount);
    const double* in = buffer + 2 * done;
    double* even = downEvenLine.data();
    double* odd = downOddLine.data();
    for (int i = 0; i < n; ++i) {
      even[kHistory + i] = in[2 * i];
      odd[kHistory + i] = in[2 * i + 1];
    }
    double* out = buffer + done;
    for (int i = 0; i < n; ++i) out[i] = h0 * odd[kHistory + i - kOlderPair];
    addOddPairs(out, even + kHistory, downOddTaps, n);
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
