// The pieces of the look-ahead peak detector that every product's kernels
// share: the detector floor, the envelope floor, the +0.1 dB detector gain,
// the attack-or-release choice, the clip to full scale, and one detector's
// look-ahead maximum over a kernel call.
#pragma once

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/sliding_maximum.h"

// Added to every detector reading, so silence settles at a small level.
inline constexpr double kDetectorFloor = 0.0009766;
// No envelope falls below this: every gain division stays defined.
inline constexpr double kEnvelopeFloor = 1e-6;
// The detectors see their input 0.1 dB hotter.
inline constexpr double kPlusTenthDb = 1.0115795;

// a when x > y, else b, without a branch: the envelopes' attack or release
// choice changes with the signal from sample to sample.
inline double whenGreater(double x, double y, double a, double b) {
#if defined(__SSE2__)
  const __m128d greater = _mm_cmpgt_sd(_mm_set_sd(x), _mm_set_sd(y));
  return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(greater, _mm_set_sd(a)), _mm_andnot_pd(greater, _mm_set_sd(b))));
#else
  return x > y ? a : b;
#endif
}

// Limits a sample to full scale: above 1 becomes 1, below -1 becomes -1.
inline double clipToFullScale(double x) { return std::min(std::max(x, -1.0), 1.0); }

// One detector's look-ahead maximum for a kernel call: the queue keeps the
// ring's window, and the reader's slot is emptied as it leaves the window.
class DetectorMaximum {
 public:
  void begin(RunQueue& queue, double* ring, int mask, int reader, int writer) {
    queue_ = &queue;
    ring_ = ring;
    mask_ = mask;
    queue_->load(ring_, mask_, reader, writer);
  }
  void push(double v) { queue_->push(v); }
  // The largest value of the window plus the detector floor and the offset.
  double take(int reader, double p) {
    const double x = queue_->front() + kDetectorFloor + p;
    ring_[reader] = 0.0;
    queue_->popFront();
    return x;
  }
  void end(int reader) const { queue_->store(ring_, mask_, reader); }

 private:
  RunQueue* queue_ = nullptr;
  double* ring_ = nullptr;
  int mask_ = 0;
};
