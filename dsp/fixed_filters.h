// The fixed filters inside every product's kernels: a 15 Hz input high-pass
// (direct form I) and two crossover sections (direct form II), a high-pass at
// the low crossover frequency and a low-pass at the high one. Their
// coefficients live in the effect's engine, designed when a parameter or the
// rate changes; the per-sample steps below run inside the kernels.
#pragma once

#include <atomic>

#include "dsp/design_requests.h"
#include "dsp/lanes.h"

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

// The designs as the kernels take them, one complete design per chunk.
//
// Thread contract: publish may run on a parameter thread while a chunk takes
// the current design. Of two sets, a design fills the one that is not
// current and then makes it current. Designs may follow each other as fast as
// a host sends parameter changes, so a chunk may find the set it was copying
// filled again by the design after next: it then copies the current set once
// more, and never waits for a design to end. A set mixed from two designs
// could put a crossover's pole far outside the unit circle. A publish that
// meets another one in progress leaves its request to it, which designs once
// more from the owner's fields before it ends.
class FixedFilterSets {
 public:
  // Publishes design(), a FixedFilterDesign made from the owner's fields.
  template <typename Design>
  void publish(Design design) {
    requests_.run([this, &design] { fill(design()); });
  }

  FixedFilterDesign current() const;

 private:
  void fill(const FixedFilterDesign& d);

  FixedFilterDesign sets_[2];
  // Counts the beginnings and ends of fills: odd while a design fills a set.
  // The current set is sets_[(fills_ / 2) % 2]; a fill writes the other one.
  std::atomic<unsigned> fills_{0};
  DesignRequests requests_;
};

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

// Shelving around the two crossover frequencies: the part below the low one
// scaled by lowAdjustMinus1 + 1, the part above the high one by
// highAdjustMinus1 + 1.
template <typename T>
inline T shelved(T u, T h, T l, T lowAdjustMinus1, T highAdjustMinus1) {
  return u + (u - h) * lowAdjustMinus1 + (u - l) * highAdjustMinus1;
}

// The fixed filters of one kernel call: of one channel (T = double, with the
// L set, whichever channel it is) or of both channels in the lanes of one
// register (T = Pair). The engine's coefficient sets and states are taken
// when it is made and the states handed back in store().
template <typename T>
class FixedFilterLanes {
 public:
  template <typename Engine>
  explicit FixedFilterLanes(const Engine& e) : FixedFilterLanes(e, e.fixedFilters.current()) {}

  // The high-passed input u, and the low crossover's high-pass h and the
  // high crossover's low-pass l of it.
  void run(T x, T p, T& u, T& h, T& l) {
    u = highPass(x, highPass_, highPassState_, p);
    h = crossover(u, lowCrossover_, lowState_, p);
    l = crossover(u, highCrossover_, highState_, p);
  }

  template <typename Engine>
  void store(Engine& e) const {
    for (int c = 0; c < kLaneCount<T>; ++c) {
      e.highPassState[c] = {lane(highPassState_.x1, c), lane(highPassState_.x2, c),
                            lane(highPassState_.y1, c), lane(highPassState_.y2, c)};
      e.lowCrossoverState[c] = {lane(lowState_.s1, c), lane(lowState_.s2, c), lane(lowState_.last, c)};
      e.highCrossoverState[c] = {lane(highState_.s1, c), lane(highState_.s2, c), lane(highState_.last, c)};
    }
  }

 private:
  template <typename Engine>
  FixedFilterLanes(const Engine& e, const FixedFilterDesign& d)
      : highPass_(packed(d.inputHighPass)),
        lowCrossover_(packed(d.lowCrossover)),
        highCrossover_(packed(d.highCrossover)),
        highPassState_(packed(e.highPassState)),
        lowState_(packed(e.lowCrossoverState)),
        highState_(packed(e.highCrossoverState)) {}

  static T of(double l, double r) {
    if constexpr (kLaneCount<T> == 1)
      return l;
    else
      return Pair{l, r};
  }
  // Both channels run the same design.
  static FilterCoeffsOf<T> packed(const FilterCoeffs& c) {
    return {of(c.b0, c.b0), of(c.b1, c.b1), of(c.b2, c.b2), of(c.a1, c.a1), of(c.a2, c.a2)};
  }
  static HighPassStateOf<T> packed(const HighPassState (&h)[2]) {
    return {of(h[0].x1, h[1].x1), of(h[0].x2, h[1].x2), of(h[0].y1, h[1].y1), of(h[0].y2, h[1].y2)};
  }
  static CrossoverStateOf<T> packed(const CrossoverState (&s)[2]) {
    return {of(s[0].s1, s[1].s1), of(s[0].s2, s[1].s2), of(s[0].last, s[1].last)};
  }

  FilterCoeffsOf<T> highPass_, lowCrossover_, highCrossover_;
  HighPassStateOf<T> highPassState_;
  CrossoverStateOf<T> lowState_, highState_;
};
