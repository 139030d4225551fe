#include "dsp/fixed_filters.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Second-order sections from cos w and alpha, divided by their unnormalised
// a0 = 1 + alpha.
FilterCoeffs highPassSection(double c, double alpha) {
  const double h = 1.0 / (1.0 + alpha);
  FilterCoeffs f;
  f.b0 = (1.0 + c) * 0.5 * h;
  f.b2 = f.b0;
  f.b1 = -(1.0 + c) * h;
  f.a1 = -2.0 * c * h;
  f.a2 = (1.0 - alpha) * h;
  return f;
}

FilterCoeffs lowPassSection(double c, double alpha) {
  const double h = 1.0 / (1.0 + alpha);
  FilterCoeffs f;
  f.b0 = (1.0 - c) * 0.5 * h;
  f.b2 = f.b0;
  f.b1 = (1.0 - c) * h;
  f.a1 = -2.0 * c * h;
  f.a2 = (1.0 - alpha) * h;
  return f;
}

}  // namespace

FixedFilterDesign designFixedFilters(double d, double lowFreqHz, double highFreqHz) {
  FixedFilterDesign f;
  // 15 Hz input high-pass.
  {
    const double w = 94.24777960769379 / d;
    const double alpha = std::sin(w) / 1.4142;
    f.inputHighPass = highPassSection(std::cos(w), alpha);
  }
  const double limit = 0.499 * d;
  // High crossover: low-pass at highFreqHz.
  {
    const double w = std::min(highFreqHz, limit) * kTwoPi / d;
    f.highCrossover = lowPassSection(std::cos(w), std::sin(w));
  }
  // Low crossover: high-pass at lowFreqHz.
  {
    const double w = std::min(lowFreqHz, limit) * kTwoPi / d;
    f.lowCrossover = highPassSection(std::cos(w), std::sin(w));
  }
  return f;
}

namespace {

// Plain loads and stores on every target we build for; atomic so that a chunk
// copying a set a design has just begun to fill never reads a torn number.
double load(const double& v) {
  return std::atomic_ref<double>(const_cast<double&>(v)).load(std::memory_order_relaxed);
}
void store(double& v, double x) { std::atomic_ref<double>(v).store(x, std::memory_order_relaxed); }

FilterCoeffs loaded(const FilterCoeffs& c) {
  return {load(c.b0), load(c.b1), load(c.b2), load(c.a1), load(c.a2)};
}

void stored(FilterCoeffs& to, const FilterCoeffs& c) {
  store(to.b0, c.b0);
  store(to.b1, c.b1);
  store(to.b2, c.b2);
  store(to.a1, c.a1);
  store(to.a2, c.a2);
}

}  // namespace

void FixedFilterSets::fill(const FixedFilterDesign& d) {
  // Publishes never overlap here, so this thread alone moves the count now.
  const unsigned ended = fills_.load(std::memory_order_relaxed);
  fills_.store(ended + 1, std::memory_order_release);
  std::atomic_thread_fence(std::memory_order_release);
  FixedFilterDesign& set = sets_[((ended >> 1) + 1) & 1];
  stored(set.inputHighPass, d.inputHighPass);
  stored(set.lowCrossover, d.lowCrossover);
  stored(set.highCrossover, d.highCrossover);
  fills_.store(ended + 2, std::memory_order_release);
}

FixedFilterDesign FixedFilterSets::current() const {
  for (;;) {
    const unsigned begun = fills_.load(std::memory_order_acquire);
    const FixedFilterDesign& set = sets_[(begun >> 1) & 1];
    const FixedFilterDesign d{loaded(set.inputHighPass), loaded(set.lowCrossover), loaded(set.highCrossover)};
    std::atomic_thread_fence(std::memory_order_acquire);
    // The set copied is filled again only by the fill after next: as long as
    // that one has not begun, every value copied belongs to one design.
    if (fills_.load(std::memory_order_relaxed) - (begun & ~1u) <= 2) return d;
  }
}
