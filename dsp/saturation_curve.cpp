#include "dsp/saturation_curve.h"

#include <cmath>

namespace {

// k^(1/8) as three square roots, as every user of the knee takes it.
double eighthRoot(double k) { return std::sqrt(std::sqrt(std::sqrt(k))); }

}  // namespace

KneeShape KneeShape::of(double kneeAmount, int kneeMode) {
  KneeShape s;
  s.mode = kneeMode;
  s.k = kneeAmount;
  s.p = 1.4 * std::pow(30.0, 1.0 - eighthRoot(kneeAmount));
  s.pMinus1 = s.p - 1.0;
  s.oneMinusK = 1.0 - s.k;
  return s;
}

float inverseSaturationCurve(float y, double kneeAmount, int kneeMode) {
  if (kneeMode == 0) {
    const double k = static_cast<float>(kneeAmount);
    if (y < 1.0f && k > 0.0) {
      const double yy = y;
      return static_cast<float>(
          ((1.0 - k) + 2.0 * k -
           std::sqrt(4.0 * k * (1.0 - k) + (1.0 - k) * (1.0 - k) + 4.0 * k * k - 4.0 * yy * k)) /
          (2.0 * k));
    }
    return y;
  }
  if (kneeMode == 1) {
    if (y < 1.0f) {
      const double p = static_cast<float>(1.4 * std::pow(30.0, 1.0 - eighthRoot(kneeAmount)));
      const double s = std::sqrt(1.0 - static_cast<double>(y));
      const double t = 1.0 - s;
      return static_cast<float>((p - 1.0) * t / (p - t));
    }
    return y;
  }
  return y;
}

float smallSignalGain(double curveScale, double kneeAmount, int kneeMode, double driveGain,
                      double ceilingLevel) {
  const double c = curveScale * 0.000001;
  double g;
  if (kneeMode == 0) {
    if (c >= 1.0) {
      g = 1000000.0;
    } else {
      const double k = kneeAmount;
      g = ((1.0 - k) * c + k * (2.0 * c - c * c)) / 0.000001;
    }
  } else if (kneeMode == 1) {
    const double p = 1.4 * std::pow(30.0, 1.0 - eighthRoot(kneeAmount));
    const double j = c * p / (p - 1.0 + c);
    g = j >= 1.0 ? 1000000.0 : (2.0 * j - j * j) / 0.000001;
  } else {
    g = 0.0;
  }
  return static_cast<float>(g * driveGain * ceilingLevel);
}
