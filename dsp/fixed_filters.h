// The fixed filters inside every product's kernels: a 15 Hz input high-pass
// (direct form I) and two crossover sections (direct form II), a high-pass at
// the low crossover frequency and a low-pass at the high one. Their
// coefficients live in the effect's engine, designed when a parameter or the
// rate changes; the per-sample steps below run inside the kernels.
#pragma once

// One set of direct-form coefficients: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
struct FilterCoeffs {
  double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// Direct-form-I state of the 15 Hz input high-pass.
struct HighPassState {
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Direct-form-II state of one crossover.
struct CrossoverState {
  double s1 = 0, s2 = 0, last = 0;
};

// The three designs at design rate d. Plain RBJ sections: the high-pass with
// alpha = sin w / 1.4142, the crossovers with Q 0.5 (alpha = sin w). The
// crossover frequencies are held below 0.499 d, where the plain design would
// put a pole outside the unit circle.
struct FixedFilterDesign {
  FilterCoeffs inputHighPass, lowCrossover, highCrossover;
};
FixedFilterDesign designFixedFilters(double d, double lowFreqHz, double highFreqHz);

// One sample through the input high-pass; p is the kernels' alternating offset.
inline double highPass(double x, const FilterCoeffs& c, HighPassState& s, double p) {
  const double u = c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2 + p;
  s.x2 = s.x1;
  s.x1 = x;
  s.y2 = s.y1;
  s.y1 = u;
  return u;
}

// One sample through a crossover section, direct form II; b2 equals b0 for both.
inline double crossover(double u, const FilterCoeffs& c, CrossoverState& s, double p) {
  const double t = u - c.a1 * s.s1 - c.a2 * s.s2 + p;
  const double y = (t + s.s2) * c.b0 + s.s1 * c.b1;
  s.s2 = s.s1;
  s.s1 = t;
  s.last = y;
  return y;
}
