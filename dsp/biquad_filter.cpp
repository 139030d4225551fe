#include "dsp/biquad_filter.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kClampRatio = 0.499;

// Near Nyquist the bilinear design turns sharper than its analogue model; the
// warping term m grows towards 1 there and the designs use Q (1 - m) instead.
double warp(double f, double fs, double edge, double exponent) { return std::pow(f / (edge * fs), exponent); }

}  // namespace

BiquadFilter::BiquadFilter(double sampleRate, int type, double frequency, double q, double gainDb)
    : sampleRate(sampleRate),
      type(type),
      frequency(frequency),
      q(q),
      gainDb(gainDb),
      denormalOffset(kDenormalOffset),
      x1(0.0),
      x2(0.0),
      y1(0.0),
      y2(0.0),
      sets_{{1.0, 1.0, 1.0, 1.0, 1.0, 1.0}, {1.0, 1.0, 1.0, 1.0, 1.0, 1.0}} {
  design();
}

void BiquadFilter::design() {
  requests_.run([this] { publish(designed()); });
}

void BiquadFilter::publish(const Coefficients& c) {
  const int next = 1 - published_.load();
  Coefficients& set = sets_[next];
  store(set.a0, c.a0);
  store(set.a1, c.a1);
  store(set.a2, c.a2);
  store(set.b0, c.b0);
  store(set.b1, c.b1);
  store(set.b2, c.b2);
  published_.store(next, std::memory_order_release);
}

BiquadFilter::Coefficients BiquadFilter::designed() {
  // With all six at 1.0 the numerator equals the denominator: the section
  // passes its input for every type that sets nothing.
  double a0 = 1.0, a1 = 1.0, a2 = 1.0, b0 = 1.0, b1 = 1.0, b2 = 1.0;

  const double fs = sampleRate;
  if (frequency > kClampRatio * fs) {
    frequency = kClampRatio * fs;
  }
  const double f = frequency;
  const double Q = q;
  const double w = kTwoPi * f / fs;
  const double c = std::cos(w);
  const double s = std::sin(w);

  switch (type) {
    case kHighPass: {
      const double m = warp(f, fs, 0.5001, 6.0);
      const double alpha = s / (2.0 * Q * (1.0 - m));
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = (1.0 + c) / 2.0;
      b1 = -(1.0 + c);
      b2 = (1.0 + c) / 2.0;
      break;
    }
    case kOnePoleDecay: a0 = std::pow(0.005, f / fs); return {a0, a1, a2, b0, b1, b2};
    case kLowShelf: {
      const double m = warp(f, fs, 0.5001, 3.0);
      const double A = std::pow(10.0, gainDb / 40.0);
      const double beta = std::sqrt(A) * s / (Q * (1.0 - m));
      a0 = (A + 1.0) + (A - 1.0) * c + beta;
      a1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
      a2 = (A + 1.0) + (A - 1.0) * c - beta;
      b0 = A * ((A + 1.0) - (A - 1.0) * c + beta);
      b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
      b2 = A * ((A + 1.0) - (A - 1.0) * c - beta);
      break;
    }
    case kPeaking: {
      const double m = warp(f, fs, 0.5001, 2.8);
      const double A = std::pow(10.0, gainDb / 40.0);
      const double alpha = s / (2.0 * Q * (1.0 - m));
      a0 = 1.0 + alpha / A;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha / A;
      b0 = 1.0 + alpha * A;
      b1 = -2.0 * c;
      b2 = 1.0 - alpha * A;
      break;
    }
    case kBandPass: {
      const double m = warp(f, fs, 0.5001, 2.8);
      const double alpha = s / (2.0 * Q * (1.0 - m));
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
    }
    case kNotch: {
      const double m = warp(f, fs, 0.5001, 2.8);
      const double alpha = s / (2.0 * Q * (1.0 - m));
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = 1.0;
      b1 = -2.0 * c;
      b2 = 1.0;
      break;
    }
    case kHighShelf: {
      const double m = warp(f, fs, 0.5001, 3.0);
      const double A = std::pow(10.0, gainDb / 40.0);
      const double beta = std::sqrt(A) * s / (Q * (1.0 - m));
      a0 = (A + 1.0) - (A - 1.0) * c + beta;
      a1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
      a2 = (A + 1.0) - (A - 1.0) * c - beta;
      b0 = A * ((A + 1.0) + (A - 1.0) * c + beta);
      b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
      b2 = A * ((A + 1.0) + (A - 1.0) * c - beta);
      break;
    }
    case kLowPass: {
      // Every low-pass design starts its offset afresh, so that the meter
      // integrators and smoothers agree after a redesign.
      store(denormalOffset, kDenormalOffset);
      const double m = warp(f, fs, 0.50001, 8.0);
      const double alpha = s / (2.0 * Q * (1.0 - m));
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = (1.0 - c) / 2.0;
      b1 = 1.0 - c;
      b2 = (1.0 - c) / 2.0;
      break;
    }
    case kOnePoleSmoother: {
      const double p = std::pow(0.005, f / fs);
      a0 = p;
      a1 = (p + 1.0) / 2.0;
      return {a0, a1, a2, b0, b1, b2};
    }
    case kAllPass: {
      const double alpha = s / (2.0 * Q);
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      b0 = 1.0 - alpha;
      b1 = -2.0 * c;
      b2 = 1.0 + alpha;
      break;
    }
    default: return {a0, a1, a2, b0, b1, b2};
  }

  return {a0, a1 / a0, a2 / a0, b0 / a0, b1 / a0, b2 / a0};
}

void BiquadFilter::reset() {
  x1 = 0.0;
  x2 = 0.0;
  y1 = 0.0;
  y2 = 0.0;
}

void BiquadFilter::setSampleRate(double rate) {
  sampleRate = rate;
  const double limitRate = (rate < 20000.0 || rate > 200000.0) ? 44100.0 : rate;
  if (frequency > kClampRatio * limitRate) {
    frequency = kClampRatio * limitRate;
  }
  design();
}

void BiquadFilter::setFrequency(double newFrequency) {
  frequency = newFrequency;
  design();
}

BiquadPair::BiquadPair(const BiquadFilter& a, const BiquadFilter& b) {
  const BiquadFilter::Coefficients ka = a.coefficients(), kb = b.coefficients();
  b0_ = pairOf(ka.b0, kb.b0);
  b1_ = pairOf(ka.b1, kb.b1);
  b2_ = pairOf(ka.b2, kb.b2);
  a1_ = pairOf(ka.a1, kb.a1);
  a2_ = pairOf(ka.a2, kb.a2);
  const BiquadFilter::State sa = a.state(), sb = b.state();
  x1_ = pairOf(sa.x1, sb.x1);
  x2_ = pairOf(sa.x2, sb.x2);
  y1_ = pairOf(sa.y1, sb.y1);
  y2_ = pairOf(sa.y2, sb.y2);
  offset_ = pairOf(sa.denormalOffset, sb.denormalOffset);
  const bool passA = a.type == BiquadFilter::kPass, passB = b.type == BiquadFilter::kPass;
  passing_ = _mm_castsi128_pd(_mm_set_epi64x(passB ? -1 : 0, passA ? -1 : 0));
  anyPassing_ = passA || passB;
}

void BiquadPair::storeTo(BiquadFilter& a, BiquadFilter& b) const {
  a.setState({x1_[0], x2_[0], y1_[0], y2_[0], offset_[0]});
  b.setState({x1_[1], x2_[1], y1_[1], y2_[1], offset_[1]});
}
