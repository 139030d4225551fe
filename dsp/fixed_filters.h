// The fixed filters inside every product's kernels: a 15 Hz input high-pass
// (direct form I) and two crossover sections (direct form II), a high-pass at
// the low crossover frequency and a low-pass at the high one. Their
// coefficients live in the effect's engine, designed when a parameter or the
// rate changes; the per-sample steps below run inside the kernels.
#pragma once

// The per-sample steps work on one channel (T = double) or on two channels at
// once (T a vector of two doubles, each lane computed exactly as one channel).

// One set of direct-form coefficients: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
template <typename T>
struct FilterCoeffsOf {
  T b0{}, b1{}, b2{}, a1{}, a2{};
};
using FilterCoeffs = FilterCoeffsOf<double>;

// Direct-form-I state of the 15 Hz input high-pass.
template <typename T>
struct HighPassStateOf {
  T x1{}, x2{}, y1{}, y2{};
};
using HighPassState = HighPassStateOf<double>;

// Direct-form-II state of one crossover.
template <typename T>
struct CrossoverStateOf {
  T s1{}, s2{}, last{};
};
using CrossoverState = CrossoverStateOf<double>;

// The three designs at design rate d. Plain RBJ sections: the high-pass with
// alpha = sin w / 1.4142, the crossovers with Q 0.5 (alpha = sin w). The
// crossover frequencies are held below 0.499 d, where the plain design would
// put a pole outside the unit circle.
struct FixedFilterDesign {
  FilterCoeffs inputHighPass, lowCrossover, highCrossover;
};
FixedFilterDesign designFixedFilters(double d, double lowFreqHz, double highFreqHz);

// One sample through the input high-pass; p is the kernels' alternating offset.
template <typename T>
inline T highPass(T x, const FilterCoeffsOf<T>& c, HighPassStateOf<T>& s, T p) {
  const T u = c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2 + p;
  s.x2 = s.x1;
  s.x1 = x;
  s.y2 = s.y1;
  s.y1 = u;
  return u;
}

// One sample through a crossover section, direct form II; b2 equals b0 for both.
template <typename T>
inline T crossover(T u, const FilterCoeffsOf<T>& c, CrossoverStateOf<T>& s, T p) {
  const T t = u - c.a1 * s.s1 - c.a2 * s.s2 + p;
  const T y = (t + s.s2) * c.b0 + s.s1 * c.b1;
  s.s2 = s.s1;
  s.s1 = t;
  s.last = y;
  return y;
}
