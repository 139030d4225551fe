#include "dsp/biquad_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <complex>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

// The designed transfer function, evaluated from the normalised coefficients.
std::complex<double> response(const BiquadFilter& filter, double hz) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * hz / filter.sampleRate);
  const std::complex<double> z2 = z1 * z1;
  const BiquadFilter::Coefficients k = filter.coefficients();
  return (k.b0 + k.b1 * z1 + k.b2 * z2) / (1.0 + k.a1 * z1 + k.a2 * z2);
}

double gainAt(const BiquadFilter& filter, double hz) { return std::abs(response(filter, hz)); }

double amplitudeOfDb(double db) { return std::pow(10.0, db / 20.0); }

// Q (1 - m) with the warping term of a design: the peak gain of the
// second-order high- and low-pass at their own frequency.
double warpedQ(double q, double f, double fs, double edge, double exponent) {
  return q * (1.0 - std::pow(f / (edge * fs), exponent));
}

struct GainCase {
  const char* name;
  int type;
  double frequency;
  double q;
  double gainDb;
  double dc;
  double atFrequency;
  double nyquist;
};

TEST(BiquadFilter, EachDesignReachesItsGainsAtDcItsFrequencyAndNyquist) {
  const double fs = 44100.0;
  const GainCase cases[] = {
      {"high-pass", 1, 1000.0, 0.707, 0.0, 0.0, warpedQ(0.707, 1000.0, fs, 0.5001, 6.0), 1.0},
      {"high-pass near Nyquist", 1, 20000.0, 2.0, 0.0, 0.0, warpedQ(2.0, 20000.0, fs, 0.5001, 6.0), 1.0},
      {"low shelf boost", 3, 300.0, 0.7, 6.0, amplitudeOfDb(6.0), amplitudeOfDb(3.0), 1.0},
      {"low shelf cut", 3, 300.0, 0.7, -12.0, amplitudeOfDb(-12.0), amplitudeOfDb(-6.0), 1.0},
      {"peaking boost", 4, 2000.0, 1.5, 9.0, 1.0, amplitudeOfDb(9.0), 1.0},
      {"peaking cut", 4, 2000.0, 1.5, -9.0, 1.0, amplitudeOfDb(-9.0), 1.0},
      {"band-pass", 5, 2000.0, 3.0, 0.0, 0.0, 1.0, 0.0},
      {"notch", 6, 5000.0, 3.0, 0.0, 1.0, 0.0, 1.0},
      {"high shelf boost", 7, 8000.0, 0.7, 6.0, 1.0, amplitudeOfDb(3.0), amplitudeOfDb(6.0)},
      {"high shelf cut", 7, 8000.0, 0.7, -12.0, 1.0, amplitudeOfDb(-6.0), amplitudeOfDb(-12.0)},
      {"low-pass", 8, 1000.0, 0.583, 0.0, 1.0, warpedQ(0.583, 1000.0, fs, 0.50001, 8.0), 0.0},
      {"low-pass near Nyquist", 8, 20000.0, 2.0, 0.0, 1.0, warpedQ(2.0, 20000.0, fs, 0.50001, 8.0), 0.0},
      {"all-pass", 10, 3000.0, 0.7, 0.0, 1.0, 1.0, 1.0},
  };
  for (const GainCase& c : cases) {
    SCOPED_TRACE(c.name);
    const BiquadFilter filter(fs, c.type, c.frequency, c.q, c.gainDb);
    EXPECT_NEAR(gainAt(filter, 0.0), c.dc, 1e-9);
    EXPECT_NEAR(gainAt(filter, c.frequency), c.atFrequency, 1e-9);
    EXPECT_NEAR(gainAt(filter, fs / 2.0), c.nyquist, 1e-9);
  }
}

TEST(BiquadFilter, AllPassHasUnityGainAtEveryFrequency) {
  const BiquadFilter filter(48000.0, 10, 1200.0, 0.9, 0.0);
  for (double hz = 0.0; hz <= 24000.0; hz += 250.0) {
    EXPECT_NEAR(gainAt(filter, hz), 1.0, 1e-12) << hz << " Hz";
  }
  EXPECT_DOUBLE_EQ(filter.coefficients().b2, 1.0);
}

struct WarpCase {
  const char* name;
  int type;
  double edge;        // fraction of the rate where the warping term reaches 1
  double exponent;    // 0: no warping
  double alphaScale;  // a0 = 1 + alpha, or 2 + 2 alpha for the shelves at 0 dB
  double a0Base;
};

// With 0 dB gain every design's unnormalised a0 is a base plus its alpha
// (beta = 2 alpha for the shelves), which shows the Q the design used.
TEST(BiquadFilter, WarpingTermNarrowsEachDesignsQNearNyquistByItsOwnPower) {
  const double fs = 44100.0;
  const double f = 19000.0;
  const double q = 0.8;
  const WarpCase cases[] = {
      {"high-pass", 1, 0.5001, 6.0, 1.0, 1.0}, {"low shelf", 3, 0.5001, 3.0, 2.0, 2.0},
      {"peaking", 4, 0.5001, 2.8, 1.0, 1.0},   {"band-pass", 5, 0.5001, 2.8, 1.0, 1.0},
      {"notch", 6, 0.5001, 2.8, 1.0, 1.0},     {"high shelf", 7, 0.5001, 3.0, 2.0, 2.0},
      {"low-pass", 8, 0.50001, 8.0, 1.0, 1.0}, {"all-pass", 10, 0.5, 0.0, 1.0, 1.0},
  };
  const double w = 2.0 * kPi * f / fs;
  for (const WarpCase& c : cases) {
    SCOPED_TRACE(c.name);
    const BiquadFilter filter(fs, c.type, f, q, 0.0);
    const double m = c.exponent == 0.0 ? 0.0 : std::pow(f / (c.edge * fs), c.exponent);
    const double alpha = std::sin(w) / (2.0 * q * (1.0 - m));
    EXPECT_NEAR(filter.coefficients().a0, c.a0Base + c.alphaScale * alpha, 1e-12);
  }
}

struct SteadyCase {
  const char* name;
  int type;
  double frequency;
  double gainDb;
  double dc;
  double nyquist;
};

// A constant input and one alternating at Nyquist come out of the recursion
// scaled by the response the design promises.
TEST(BiquadFilter, TickingSteadyDcAndNyquistInputsGivesTheDesignedGains) {
  const SteadyCase cases[] = {
      {"low-pass", 8, 1000.0, 0.0, 1.0, 0.0},
      {"high-pass", 1, 1000.0, 0.0, 0.0, 1.0},
      {"low shelf", 3, 500.0, 6.0, amplitudeOfDb(6.0), 1.0},
      {"high shelf", 7, 5000.0, -12.0, 1.0, amplitudeOfDb(-12.0)},
      {"all-pass", 10, 3000.0, 0.0, 1.0, 1.0},
  };
  for (const SteadyCase& c : cases) {
    SCOPED_TRACE(c.name);
    BiquadFilter dc(44100.0, c.type, c.frequency, 0.7, c.gainDb);
    BiquadFilter nyquist(44100.0, c.type, c.frequency, 0.7, c.gainDb);
    double dcOut = 0.0;
    double nyquistOut = 0.0;
    for (int n = 0; n < 20000; ++n) {
      const double sign = (n % 2 == 0) ? 1.0 : -1.0;
      dcOut = dc.tick(1.0);
      nyquistOut = sign * nyquist.tick(sign);
    }
    EXPECT_NEAR(dcOut, c.dc, 1e-9);
    EXPECT_NEAR(nyquistOut, c.nyquist, 1e-9);
  }
}

TEST(BiquadFilter, PassTypeReturnsEveryInputUnchangedAndKeepsOffsetAndState) {
  BiquadFilter filter(44100.0, 0, 1000.0, 0.7, 0.0);
  const BiquadFilter::Coefficients k = filter.coefficients();
  for (double c : {k.a0, k.a1, k.a2, k.b0, k.b1, k.b2}) {
    EXPECT_EQ(c, 1.0);
  }
  const double inputs[] = {0.0, 0.5, -1e300, 4.9e-324, -0.0, std::numeric_limits<double>::infinity()};
  for (double x : inputs) {
    const double y = filter.tick(x);
    EXPECT_EQ(std::signbit(y), std::signbit(x));
    EXPECT_EQ(y, x);
  }
  EXPECT_TRUE(std::isnan(filter.tick(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(filter.denormalOffset, 1e-13);
  EXPECT_EQ(filter.x1, 0.0);
  EXPECT_EQ(filter.y1, 0.0);
}

TEST(BiquadFilter, OnePoleTypesSetOnlyThePoleAndTheSmoothersGain) {
  const double fs = 48000.0;
  const double f = 120.0;
  const BiquadFilter decay(fs, 2, f, 0.7, 0.0);
  const BiquadFilter smoother(fs, 9, f, 0.7, 0.0);
  // The pole decays to 0.005 over fs / f samples.
  const BiquadFilter::Coefficients d = decay.coefficients(), s = smoother.coefficients();
  EXPECT_NEAR(std::pow(d.a0, fs / f), 0.005, 1e-12);
  EXPECT_EQ(s.a0, d.a0);
  EXPECT_EQ(s.a1, (s.a0 + 1.0) / 2.0);
  for (double c : {d.a1, d.a2, d.b0, d.b1, d.b2, s.a2, s.b0, s.b1, s.b2}) {
    EXPECT_EQ(c, 1.0);
  }
}

TEST(BiquadFilter, FrequencyAboveCeilingIsLoweredInPlaceToPoint499OfTheRate) {
  BiquadFilter filter(44100.0, 8, 30000.0, 0.583, 0.0);
  EXPECT_EQ(filter.frequency, 0.499 * 44100.0);
  EXPECT_NEAR(filter.frequency, 22005.9, 1e-9);

  filter.setFrequency(40000.0);
  EXPECT_EQ(filter.frequency, 0.499 * 44100.0);

  // Raising the rate does not bring the clamped frequency back.
  filter.setSampleRate(96000.0);
  EXPECT_EQ(filter.frequency, 0.499 * 44100.0);
  filter.setFrequency(40000.0);
  EXPECT_EQ(filter.frequency, 40000.0);

  const BiquadFilter atCeiling(44100.0, 8, 0.499 * 44100.0, 0.583, 0.0);
  const BiquadFilter::Coefficients k = atCeiling.coefficients();
  for (double c : {filter.coefficients().a1, k.a1, k.a2, k.b0}) {
    EXPECT_TRUE(std::isfinite(c));
  }
}

struct RateCase {
  double constructionRate;
  double frequency;
  double newRate;
  double expectedFrequency;
};

// Rates outside 20000..200000 Hz limit the frequency as if they were 44100 Hz,
// and the design then runs at the rate as given (with its own ceiling).
TEST(BiquadFilter, SetSampleRateLimitsTheFrequencyAs44100HzOutsideTheUsualRates) {
  const RateCase cases[] = {
      {250000.0, 100000.0, 300000.0, 0.499 * 44100.0},  {250000.0, 100000.0, 200001.0, 0.499 * 44100.0},
      {250000.0, 100000.0, 200000.0, 0.499 * 200000.0}, {250000.0, 100000.0, 19999.0, 0.499 * 19999.0},
      {96000.0, 40000.0, 44100.0, 0.499 * 44100.0},     {96000.0, 40000.0, 192000.0, 40000.0},
      {25000.0, 30000.0, 300000.0, 0.499 * 25000.0},
  };
  for (const RateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.constructionRate << " -> " << c.newRate);
    BiquadFilter filter(c.constructionRate, 8, c.frequency, 0.583, 0.0);
    filter.setSampleRate(c.newRate);
    EXPECT_EQ(filter.sampleRate, c.newRate);
    EXPECT_EQ(filter.frequency, c.expectedFrequency);
    const BiquadFilter fresh(c.newRate, 8, c.expectedFrequency, 0.583, 0.0);
    const BiquadFilter::Coefficients got = filter.coefficients(), want = fresh.coefficients();
    EXPECT_EQ(got.a0, want.a0);
    EXPECT_EQ(got.a1, want.a1);
    EXPECT_EQ(got.a2, want.a2);
    EXPECT_EQ(got.b0, want.b0);
    EXPECT_EQ(got.b1, want.b1);
    EXPECT_EQ(got.b2, want.b2);
  }
}

TEST(BiquadFilter, OffsetFlipsSignOnEveryTickAndRestartsWithEachLowPassDesign) {
  BiquadFilter filter(44100.0, 8, 2.0, 0.583, 0.0);
  const BiquadFilter::Coefficients k = filter.coefficients();
  const double first = filter.tick(0.0);
  EXPECT_EQ(first, -1e-13 * k.b0);
  EXPECT_EQ(filter.denormalOffset, -1e-13);
  EXPECT_EQ(filter.x1, -1e-13);
  EXPECT_EQ(filter.y1, first + -1e-13);

  const double second = filter.tick(0.0);
  EXPECT_EQ(filter.denormalOffset, 1e-13);
  EXPECT_EQ(second, k.b0 * 1e-13 + k.b1 * -1e-13 + k.b2 * 0.0 - k.a1 * (first + -1e-13) - k.a2 * 0.0);

  filter.tick(0.0);
  EXPECT_EQ(filter.denormalOffset, -1e-13);
  filter.setFrequency(3.0);
  EXPECT_EQ(filter.denormalOffset, 1e-13);

  BiquadFilter highPass(44100.0, 1, 15.0, 0.7, 0.0);
  highPass.tick(0.0);
  highPass.setFrequency(20.0);
  EXPECT_EQ(highPass.denormalOffset, -1e-13);
}

TEST(BiquadFilter, SilenceAfterABurstNeverLeavesSubnormalNumbers) {
  for (int type : {1, 4, 8}) {
    SCOPED_TRACE(type);
    BiquadFilter filter(44100.0, type, 15000.0, 0.7, -6.0);
    filter.tick(1.0);
    for (int n = 0; n < 200000; ++n) {
      const double y = filter.tick(0.0);
      ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << n;
      ASSERT_NE(std::fpclassify(filter.y1), FP_SUBNORMAL) << n;
      ASSERT_NE(std::fpclassify(filter.y2), FP_SUBNORMAL) << n;
    }
  }
}

TEST(BiquadFilter, RedesignKeepsTheStateAndResetClearsOnlyTheState) {
  BiquadFilter filter(44100.0, 8, 200.0, 0.5, 0.0);
  for (int n = 0; n < 10; ++n) {
    filter.tick(0.25 * n);
  }
  const double x1 = filter.x1, x2 = filter.x2, y1 = filter.y1, y2 = filter.y2;
  filter.setFrequency(400.0);
  filter.setSampleRate(48000.0);
  filter.design();
  EXPECT_EQ(filter.x1, x1);
  EXPECT_EQ(filter.x2, x2);
  EXPECT_EQ(filter.y1, y1);
  EXPECT_EQ(filter.y2, y2);

  filter.tick(1.0);
  const double offset = filter.denormalOffset;
  const double b0 = filter.coefficients().b0;
  filter.reset();
  EXPECT_EQ(filter.x1, 0.0);
  EXPECT_EQ(filter.x2, 0.0);
  EXPECT_EQ(filter.y1, 0.0);
  EXPECT_EQ(filter.y2, 0.0);
  EXPECT_EQ(filter.denormalOffset, offset);
  EXPECT_EQ(filter.coefficients().b0, b0);
}

TEST(BiquadFilter, ATickWhileAnotherThreadRedesignsNeverMeetsAHalfDesignedFilter) {
  // At DC every complete low-pass design passes 1.0 unchanged, so a constant
  // input keeps the output at 1.0 through any change of complete designs; a
  // set caught halfway (some coefficients divided by a0, some not, or mixed
  // from two designs) moves it at once.
  BiquadFilter filter(44100.0, BiquadFilter::kLowPass, 30.0, 0.583, 0.0);
  for (int n = 0; n < 200000; ++n) filter.tick(1.0);
  std::atomic<long> ticks{0};
  std::atomic<bool> done{false};
  double worst = 0.0;
  std::thread audio([&] {
    while (!done.load()) {
      worst = std::max(worst, std::fabs(filter.tick(1.0) - 1.0));
      ticks.fetch_add(1);
    }
  });
  for (int k = 0; k < 5000; ++k) {
    filter.setFrequency(k % 2 ? 30.0 : 15000.0);
    // Designs come far apart, as parameter and rate changes do: a tick that
    // began before this design ends long before the next one starts.
    const long seen = ticks.load();
    while (ticks.load() < seen + 32) std::this_thread::yield();
  }
  done = true;
  audio.join();
  EXPECT_LT(worst, 1e-6);
}

}  // namespace
