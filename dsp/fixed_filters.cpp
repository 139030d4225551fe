#include "dsp/fixed_filters.h"

#include <algorithm>
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
