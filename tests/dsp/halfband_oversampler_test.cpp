#include "dsp/halfband_oversampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kFlags = 0x808;
constexpr int kCentre = HalfbandOversampler::kCentreTap;
constexpr double kPi = 3.141592653589793;

// Reproducible noise in -1..1.
std::vector<double> noise(int count, std::uint32_t seed) {
  std::vector<double> samples(count);
  for (double& s : samples) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
  }
  return samples;
}

// Runs a host-rate signal through the interpolator in chunks of chunk frames.
std::vector<double> upsampled(HalfbandOversampler& os, const std::vector<double>& input, int chunk) {
  std::vector<double> out;
  std::vector<double> buffer(2 * chunk);
  for (std::size_t start = 0; start < input.size(); start += chunk) {
    const int n = static_cast<int>(std::min<std::size_t>(chunk, input.size() - start));
    std::copy(input.begin() + start, input.begin() + start + n, buffer.begin());
    os.upsample(buffer.data(), n);
    out.insert(out.end(), buffer.begin(), buffer.begin() + 2 * n);
  }
  return out;
}

std::vector<double> downsampled(HalfbandOversampler& os, const std::vector<double>& input, int chunk) {
  std::vector<double> out;
  std::vector<double> buffer(chunk);
  for (std::size_t start = 0; start < input.size(); start += chunk) {
    const int n = static_cast<int>(std::min<std::size_t>(chunk, input.size() - start));
    std::copy(input.begin() + start, input.begin() + start + n, buffer.begin());
    os.downsample(buffer.data(), n);
    out.insert(out.end(), buffer.begin(), buffer.begin() + n / 2);
  }
  return out;
}

class HalfbandOversamplerTest : public testing::Test {
 protected:
  HalfbandOversamplerTest() { os.reset(); }
  HalfbandOversampler os{kFlags};
};

TEST_F(HalfbandOversamplerTest, ImpulseThroughTheInterpolatorPeaksWithValueOneAtDoubledRateSample129) {
  std::vector<double> impulse(200, 0.0);
  impulse[0] = 1.0;
  const std::vector<double> out = upsampled(os, impulse, 64);

  EXPECT_EQ(out[129], 1.0);
  for (int n = 0; n < static_cast<int>(out.size()); ++n) {
    const int k = n - 129;
    if (k == 0) {
      continue;
    }
    SCOPED_TRACE(n);
    if (k < -kCentre || k > kCentre || k % 2 == 0) {
      // Outside the 255 taps, and at every even distance of the half band.
      EXPECT_EQ(out[n], 0.0);
    } else {
      EXPECT_EQ(out[n], out[129 - k]);
      EXPECT_EQ(out[n], os.getUpTaps()[kCentre + k]);
      EXPECT_NE(out[n], 0.0);
      EXPECT_LT(std::fabs(out[n]), 1.0);
    }
  }
  EXPECT_EQ(os.getUpTaps()[kCentre], 1.0);
  EXPECT_EQ(os.getDownTaps()[kCentre], 0.5);
}

// An impulse on the even phase meets the decimator's odd taps, one on the odd
// phase only its centre tap: together they trace the whole symmetric tap set,
// centred 129 doubled-rate samples back.
TEST_F(HalfbandOversamplerTest, ImpulseThroughTheDecimatorTracesItsTapsCentred129DoubledRateSamplesBack) {
  for (int phase : {0, 1}) {
    SCOPED_TRACE(phase);
    os.reset();
    std::vector<double> input(400, 0.0);
    input[phase] = 1.0;
    const std::vector<double> out = downsampled(os, input, 128);
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
      const int k = 2 * i - 129 - phase;
      const double expected = (k >= -kCentre && k <= kCentre) ? os.getDownTaps()[kCentre + k] : 0.0;
      EXPECT_EQ(out[i], expected) << i;
    }
    if (phase == 1) {
      EXPECT_EQ(out[65], 0.5);
    }
  }
}

// Magnitude of a symmetric tap set relative to its DC gain, in dB, at a
// fraction of the doubled-rate Nyquist frequency.
double relativeResponseDb(const std::array<double, HalfbandOversampler::kTapCount>& taps, double fraction) {
  auto response = [&taps](double w) {
    double sum = taps[kCentre];
    for (int k = 1; k <= kCentre; ++k) {
      sum += 2.0 * taps[kCentre + k] * std::cos(k * w);
    }
    return sum;
  };
  return 20.0 * std::log10(std::fabs(response(kPi * fraction)) / response(0.0));
}

struct BandCase {
  const char* name;
  bool interpolator;
  double from;  // fractions of the doubled-rate Nyquist frequency
  double to;
  double lowestDb;
  double highestDb;
};

// The Blackman interpolator trades a wider edge for a flatter pass band and
// deeper image rejection; the Hann decimator has the steeper edge.
TEST(HalfbandOversamplerResponse, InterpolatorAndDecimatorMeetTheirPassAndStopBands) {
  const BandCase cases[] = {
      {"interpolator pass band", true, 0.0, 0.48, -0.003, 0.003},
      {"interpolator images", true, 0.52, 1.0, -400.0, -53.0},
      {"decimator pass band", false, 0.0, 0.46, -0.01, 0.01},
      {"decimator edge", false, 0.51, 1.0, -400.0, -30.0},
      {"decimator aliases", false, 0.52, 1.0, -400.0, -46.0},
  };
  const HalfbandOversampler os(kFlags);
  for (const BandCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto& taps = c.interpolator ? os.getUpTaps() : os.getDownTaps();
    double lowest = 1e9;
    double highest = -1e9;
    for (int j = 0; j <= 2000; ++j) {
      const double db = relativeResponseDb(taps, c.from + (c.to - c.from) * j / 2000.0);
      lowest = std::min(lowest, db);
      highest = std::max(highest, db);
    }
    EXPECT_GE(lowest, c.lowestDb);
    EXPECT_LE(highest, c.highestDb);
  }
}

TEST_F(HalfbandOversamplerTest, ConstantInputSettlesAt099609And1InterpolatedAnd099610AfterDecimation) {
  const std::vector<double> ones(1024, 1.0);
  const std::vector<double> up = upsampled(os, ones, 64);
  for (std::size_t n = 2 * 256; n < up.size(); n += 2) {
    EXPECT_NEAR(up[n], 0.99609, 5e-6) << n;
    EXPECT_EQ(up[n + 1], 1.0) << n;
  }
  const std::vector<double> down = downsampled(os, up, 128);
  for (std::size_t i = 512; i < down.size(); ++i) {
    EXPECT_NEAR(down[i], 0.99610, 5e-6) << i;
  }
  double decimatorSum = 0.0;
  for (double tap : os.getDownTaps()) {
    decimatorSum += tap;
  }
  EXPECT_NEAR(decimatorSum, 0.99805, 5e-6);
}

// Both converters delay by 129 doubled-rate samples: 129 host-rate samples
// for the pair, with the small DC loss of the windowed taps.
TEST_F(HalfbandOversamplerTest, SineThroughInterpolatorAndDecimatorReturnsDelayedBy129HostRateSamples) {
  const double fs = 44100.0;
  const double hz = 1000.0;
  std::vector<double> input(4096);
  for (std::size_t n = 0; n < input.size(); ++n) {
    input[n] = std::sin(2.0 * kPi * hz * static_cast<double>(n) / fs);
  }
  const std::vector<double> out = downsampled(os, upsampled(os, input, 64), 128);
  ASSERT_EQ(out.size(), input.size());
  for (std::size_t n = 512; n < out.size(); ++n) {
    EXPECT_NEAR(out[n], 0.9961 * input[n - 129], 2e-3) << n;
  }
}

// Calls of any length, down to a single sample, continue one stream.
TEST(HalfbandOversamplerChunks, ChunkedCallsGiveTheSameSamplesAsOneCall) {
  const std::vector<double> input = noise(512, 7u);
  HalfbandOversampler whole(kFlags);
  const std::vector<double> upWhole = upsampled(whole, input, 512);
  const std::vector<double> downWhole = downsampled(whole, upWhole, static_cast<int>(upWhole.size()));
  for (int chunk : {1, 3, 37, 64}) {
    SCOPED_TRACE(chunk);
    HalfbandOversampler os(kFlags);
    const std::vector<double> up = upsampled(os, input, chunk);
    EXPECT_EQ(up, upWhole);
    EXPECT_EQ(downsampled(os, up, 2 * chunk), downWhole);
  }
}

TEST_F(HalfbandOversamplerTest, ResetForgetsEverySampleSeenBefore) {
  const std::vector<double> input = noise(300, 11u);
  HalfbandOversampler fresh(kFlags);
  const std::vector<double> expectedUp = upsampled(fresh, input, 64);
  const std::vector<double> expectedDown = downsampled(fresh, expectedUp, 128);

  upsampled(os, noise(300, 5u), 64);
  downsampled(os, noise(600, 6u), 128);
  os.delayInsteadOfUpsample(noise(64, 8u).data(), 64);
  os.reset();
  const std::vector<double> up = upsampled(os, input, 64);
  EXPECT_EQ(up, expectedUp);
  EXPECT_EQ(downsampled(os, up, 128), expectedDown);
}

struct DelayCase {
  const char* name;
  bool up;
  bool down;
  int delay;
};

TEST(HalfbandOversamplerDelays, PassThroughDelaysAreExactly64SamplesEachAnd128Together) {
  const DelayCase cases[] = {
      {"interpolator stand-in", true, false, 64},
      {"decimator stand-in", false, true, 64},
      {"both in a row", true, true, 128},
  };
  const std::vector<double> input = noise(1000, 3u);
  for (const DelayCase& c : cases) {
    SCOPED_TRACE(c.name);
    HalfbandOversampler os(kFlags);
    os.reset();
    std::vector<double> out = input;
    for (std::size_t start = 0; start < out.size(); start += 64) {
      const int n = static_cast<int>(std::min<std::size_t>(64, out.size() - start));
      if (c.up) {
        os.delayInsteadOfUpsample(out.data() + start, n);
      }
      if (c.down) {
        os.delayInsteadOfDownsample(out.data() + start, n);
      }
    }
    for (int n = 0; n < static_cast<int>(out.size()); ++n) {
      EXPECT_EQ(out[n], n < c.delay ? 0.0 : input[n - c.delay]) << n;
    }
  }
}

TEST_F(HalfbandOversamplerTest, OddCountToDownsampleIgnoresTheLastSample) {
  const std::vector<double> input = noise(256, 9u);
  HalfbandOversampler even(kFlags);
  std::vector<double> evenBuffer(input.begin(), input.begin() + 126);
  even.downsample(evenBuffer.data(), 126);

  std::vector<double> oddBuffer(input.begin(), input.begin() + 127);
  os.downsample(oddBuffer.data(), 127);
  EXPECT_TRUE(std::equal(oddBuffer.begin(), oddBuffer.begin() + 63, evenBuffer.begin()));
  // Nothing past the outputs changes, and the history never saw the sample.
  EXPECT_TRUE(std::equal(oddBuffer.begin() + 63, oddBuffer.end(), input.begin() + 63));
  std::vector<double> nextEven(input.begin() + 126, input.end());
  std::vector<double> nextOdd = nextEven;
  even.downsample(nextEven.data(), static_cast<int>(nextEven.size()));
  os.downsample(nextOdd.data(), static_cast<int>(nextOdd.size()));
  EXPECT_EQ(nextOdd, nextEven);
}

TEST_F(HalfbandOversamplerTest, UpsampleOfMoreThan512SamplesIsRefusedAndNeverWritesPast1024) {
  const double untouched = 12345.0;
  std::vector<double> buffer(2 * 600, untouched);
  const std::vector<double> input = noise(600, 4u);
  std::copy(input.begin(), input.end(), buffer.begin());
  EXPECT_DEBUG_DEATH(os.upsample(buffer.data(), 600), "");
#ifdef NDEBUG
  // A release build processes the first 512 and leaves the rest alone.
  HalfbandOversampler reference(kFlags);
  std::vector<double> expected(input.begin(), input.begin() + 512);
  expected.resize(1024);
  reference.upsample(expected.data(), 512);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
  for (std::size_t n = 1024; n < buffer.size(); ++n) {
    EXPECT_EQ(buffer[n], untouched) << n;
  }
#endif
}

TEST(HalfbandOversamplerFlags, EveryFlagWordBuildsThe0x808PairWith126SamplesOfLatency) {
  const HalfbandOversampler reference(0x808);
  EXPECT_EQ(reference.getLatency(), 126);
  for (int flags : {0, 0x008, 0x800, 0x404, -1}) {
    SCOPED_TRACE(flags);
    const HalfbandOversampler os(flags);
    EXPECT_EQ(os.getFlags(), flags);
    EXPECT_EQ(os.getLatency(), 126);
    EXPECT_EQ(os.getUpTaps(), reference.getUpTaps());
    EXPECT_EQ(os.getDownTaps(), reference.getDownTaps());
  }
}

}  // namespace

TEST(HalfbandOversamplerRegisters, WideAndNarrowRegistersGiveTheSameSamples) {
  // The AVX form runs where the processor has it; both must give the same
  // bits, in chunks of every size and with the odd outputs done one by one.
  HalfbandOversampler wide(kFlags), narrow(kFlags);
  wide.wide(true);
  narrow.wide(false);
  ASSERT_FALSE(narrow.isWide());
  if (!wide.isWide()) GTEST_SKIP() << "this processor has no AVX";
  const std::vector<double> input = noise(4000, 11u);
  std::size_t start = 0;
  for (int chunk = 1; start + chunk <= input.size(); start += chunk, chunk = chunk % 97 + 1) {
    std::vector<double> a(2 * chunk), b(2 * chunk);
    std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(start), chunk, a.begin());
    b = a;
    wide.upsample(a.data(), chunk);
    narrow.upsample(b.data(), chunk);
    ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0)
        << "upsampled chunk of " << chunk;
    wide.downsample(a.data(), 2 * chunk);
    narrow.downsample(b.data(), 2 * chunk);
    ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0)
        << "downsampled chunk of " << chunk;
  }
}
