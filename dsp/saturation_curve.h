// The static saturation curve that turns a detector envelope into a gain, its
// inverse and its small-signal gain, shared by every product's kernels. The
// knee has two shapes: below a quarter of its range a blend of the straight
// line and a parabola (mode 0), above it a rational knee (mode 1). Pure
// functions; callable from any thread.
#pragma once

#include <algorithm>

#include "dsp/lanes.h"

// The parabola the curve ends in: 2z - z^2 below 1, full scale from there on.
inline double saturationParabola(double z) { return z < 1.0 ? 2.0 * z - z * z : 1.0; }

// The knee of the static curve as one kernel call reads it: its amount k, its
// mode, and for the rational knee P = 1.4 x 30^(1 - k^(1/8)) with P - 1.
struct KneeShape {
  int mode = 0;
  double k = 0.0, oneMinusK = 1.0, p = 1.0, pMinus1 = 0.0;

  static KneeShape of(double kneeAmount, int kneeMode);

  // The static curve at a curve input I >= 0. The order of every product and
  // sum is part of the result.
  double operator()(double I) const { return at(I); }

  // The same for one input or two (T = double or Pair), without a branch on
  // the values.
  template <typename T>
  T at(T I) const {
    if (mode == 0) return splat<T>(oneMinusK) * minOf(I, splat<T>(1.0)) + splat<T>(k) * parabola(I);
    return parabola(I * splat<T>(p) / (I + splat<T>(pMinus1)));
  }

 private:
  template <typename T>
  static T parabola(T z) {
    const T one = splat<T>(1.0);
    return whereGreater(one, z, splat<T>(2.0) * z - z * z, one);
  }
};

// The knee shape of the last call, computed again only when the knee has
// changed (it takes a pow and three square roots).
class KneeShapeCache {
 public:
  const KneeShape& of(double amount, int mode) {
    if (!valid_ || amount != amount_ || mode != mode_) {
      knee_ = KneeShape::of(amount, mode);
      amount_ = amount;
      mode_ = mode;
      valid_ = true;
    }
    return knee_;
  }

 private:
  bool valid_ = false;
  double amount_ = 0;
  int mode_ = 0;
  KneeShape knee_{};
};

// The knee a Knee parameter value v (0..1) selects: below 0.25 the blended
// knee with amount 4v, from 0.25 on the rational knee with amount (v - 0.25) / 0.75.
struct KneeSetting {
  int mode;
  double amount;
};
inline KneeSetting kneeOf(float v) {
  if (v < 0.25f) return {0, 4.0 * v};
  return {1, (v - 0.25) / 0.75};
}

// The curve input at which the static curve reaches y (y < 1; from 1 on, y itself).
float inverseSaturationCurve(float y, double kneeAmount, int kneeMode);

// The gain of the whole static path for very small signals: the curve's slope
// at curveScale x 1e-6, times the drive gain and the ceiling level.
float smallSignalGain(double curveScale, double kneeAmount, int kneeMode, double driveGain,
                      double ceilingLevel);
