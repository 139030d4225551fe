#pragma once

#include <atomic>

#include "dsp/design_requests.h"
#include "dsp/lanes.h"

// One second-order section shared by the detector smoothers and the meter
// integrators of every product. `tick` runs once per sample on the audio
// thread.
//
// Thread contract: design, setSampleRate and setFrequency may run on another
// thread while tick runs. A design computes the coefficients into locals and
// publishes the complete set at once: of two sets, it fills the one tick is
// not using and then switches an atomic index, so tick never meets a
// half-designed filter (the set a tick reads is filled again only by the
// design after next, and designs come far apart, at parameter and rate
// changes). A design that meets another one in progress leaves its request to
// it, which designs once more from the stored fields before it ends. The
// stored fields themselves and reset belong to one thread at a time: the
// owner keeps setters from overlapping each other and reset from overlapping
// tick.
class BiquadFilter {
 public:
  // Design types. Any other value designs like kPass (all coefficients 1.0)
  // but still runs the section in tick.
  enum Type : int {
    kPass = 0,
    kHighPass = 1,
    kOnePoleDecay = 2,
    kLowShelf = 3,
    kPeaking = 4,
    kBandPass = 5,
    kNotch = 6,
    kHighShelf = 7,
    kLowPass = 8,
    kOnePoleSmoother = 9,
    kAllPass = 10,
  };

  // a0 stays unnormalised (for the one-pole types it is the pole itself);
  // the other five are divided by it.
  struct Coefficients {
    double a0, a1, a2, b0, b1, b2;
  };

  // A tiny signal of alternating sign, carried through the section so that
  // its state never decays into subnormal numbers on silence.
  static constexpr double kDenormalOffset = 1e-13;

  BiquadFilter(double sampleRate, int type, double frequency, double q, double gainDb);
  BiquadFilter(const BiquadFilter&) = delete;
  BiquadFilter& operator=(const BiquadFilter&) = delete;

  // Recomputes the coefficients from the stored fields; the state stays.
  void design();
  // Clears the state; coefficients and offset stay.
  void reset();
  // Rates outside 20000..200000 Hz still serve the design, but the frequency
  // is first limited as if the rate were 44100 Hz.
  void setSampleRate(double rate);
  void setFrequency(double newFrequency);

  // The coefficients that tick uses now.
  Coefficients coefficients() const {
    const Coefficients& k = sets_[published_.load(std::memory_order_acquire)];
    return {load(k.a0), load(k.a1), load(k.a2), load(k.b0), load(k.b1), load(k.b2)};
  }

  // What tick carries from sample to sample: the last inputs and outputs and
  // the offset's current sign.
  struct State {
    double x1, x2, y1, y2, denormalOffset;
  };
  State state() const { return {x1, x2, y1, y2, load(denormalOffset)}; }
  void setState(const State& s) {
    x1 = s.x1;
    x2 = s.x2;
    y1 = s.y1;
    y2 = s.y2;
    store(denormalOffset, s.denormalOffset);
  }

  // Direct form I. The order of the products and sums is part of the
  // result: every product in the written order, no contraction.
  double tick(double x) {
    if (type == kPass) {
      return x;
    }
    const Coefficients& k = sets_[published_.load(std::memory_order_acquire)];
    const double e = -load(denormalOffset);
    store(denormalOffset, e);
    const double u = x + e;
    const double y = load(k.b0) * u + load(k.b1) * x1 + load(k.b2) * x2 - load(k.a1) * y1 - load(k.a2) * y2;
    x2 = x1;
    x1 = u;
    y2 = y1;
    y1 = y + e;
    return y;
  }

  double sampleRate;
  int type;
  // Lowered in place to 0.499 x sampleRate whenever a design finds it above.
  double frequency;
  double q;
  double gainDb;
  // Flipped by every tick and restarted by every low-pass design, which may
  // run on another thread: both reach it whole, as an atomic value.
  double denormalOffset;
  // Inputs and outputs as they entered the recursion, offset included.
  double x1;
  double x2;
  double y1;
  double y2;

 private:
  // Plain loads and stores on every target we build for; atomic so that a
  // tick reading a set a design has just left never reads a torn number.
  static double load(const double& v) {
    return std::atomic_ref<double>(const_cast<double&>(v)).load(std::memory_order_relaxed);
  }
  static void store(double& v, double x) { std::atomic_ref<double>(v).store(x, std::memory_order_relaxed); }

  Coefficients designed();
  void publish(const Coefficients& c);

  Coefficients sets_[2];
  std::atomic<int> published_{0};
  DesignRequests requests_;
};

// Two records ticked as one for a kernel call, each lane exactly as its
// record's own tick: a detector's fast and slow smoother, or the same
// smoother of both channels. It takes the records' coefficients and state
// when it is made and hands the state back in storeTo(); meanwhile the
// records' owner runs no design and no reset on them. It holds plain values
// only, so a kernel keeps it in registers. A pass-through record (type 0)
// leaves its lane's input, state and offset as they are, as its tick does.
class BiquadPair {
 public:
  BiquadPair(const BiquadFilter& a, const BiquadFilter& b);
  void storeTo(BiquadFilter& a, BiquadFilter& b) const;

  // Whether a lane passes its input through; a kernel picks the tick for a
  // whole call.
  bool anyPassing() const { return anyPassing_; }

  template <bool kPassing>
  Pair tick(Pair x) {
    const Pair e = -offset_;
    const Pair u = x + e;
    const Pair y = b0_ * u + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    if constexpr (!kPassing) {
      offset_ = e;
      x2_ = x1_;
      x1_ = u;
      y2_ = y1_;
      y1_ = y + e;
      return y;
    } else {
      offset_ = keep(offset_, e);
      x2_ = keep(x2_, x1_);
      x1_ = keep(x1_, u);
      y2_ = keep(y2_, y1_);
      y1_ = keep(y1_, y + e);
      return keep(x, y);
    }
  }

 private:
  // The old value in a passing lane, the new one in a filtering lane.
  Pair keep(Pair old, Pair next) const {
    return _mm_or_pd(_mm_and_pd(passing_, old), _mm_andnot_pd(passing_, next));
  }

  Pair b0_, b1_, b2_, a1_, a2_;
  Pair x1_, x2_, y1_, y2_, offset_;
  Pair passing_;
  bool anyPassing_;
};
