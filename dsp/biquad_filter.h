#pragma once

// One second-order section shared by the detector smoothers and the meter
// integrators of every product. It is a plain record: the engine reads the
// designed coefficients directly, and `tick` runs once per sample on the audio
// thread. Design, setSampleRate and setFrequency belong to the thread that
// changes parameters or the sample rate; the owner keeps them apart from tick.
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

  // A tiny signal of alternating sign, carried through the section so that
  // its state never decays into subnormal numbers on silence.
  static constexpr double kDenormalOffset = 1e-13;

  BiquadFilter(double sampleRate, int type, double frequency, double q, double gainDb);

  // Recomputes the coefficients from the stored fields; the state stays.
  void design();
  // Clears the state; coefficients and offset stay.
  void reset();
  // Rates outside 20000..200000 Hz still serve the design, but the frequency
  // is first limited as if the rate were 44100 Hz.
  void setSampleRate(double rate);
  void setFrequency(double newFrequency);

  // Direct form I. The order of the products and sums is part of the
  // result: every product in the written order, no contraction.
  double tick(double x) {
    if (type == kPass) {
      return x;
    }
    const double e = -denormalOffset;
    denormalOffset = e;
    const double u = x + e;
    const double y = b0 * u + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
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
  double denormalOffset;
  // a0 stays unnormalised (for the one-pole types it is the pole itself);
  // the other five are divided by it.
  double a0;
  double a1;
  double a2;
  double b0;
  double b1;
  double b2;
  // Inputs and outputs as they entered the recursion, offset included.
  double x1;
  double x2;
  double y1;
  double y2;
};
