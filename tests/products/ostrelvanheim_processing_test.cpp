// The processing of both Ostrelvanheim generations, properties that need no
// stored data: the delay each reports is the delay it has in every mode at
// every rate band; the second generation's default program is a clean
// high-pass, its brickwall holds, both precisions agree and bad input does not
// stay in the effect; the first generation's one-channel routings pass the
// unprocessed channel as it came in, without the output gain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "products/ostrelvanheim/product.h"
#include "tests/products/ostrelvanheim_products.h"
#include "tests/products/processing_properties.h"

namespace {

using rig::Rig;
using rig::Signal;
using rig::Stereo;

using OstrelvanheimProcessing = rig::GenerationTest;

class Ostrelvanheim2Processing : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

class FirstGenerationProcessing : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(OstrelvanheimProcessing, ImpulsePeaksAtTheReportedDelayInEveryModeAndRate) {
  const rig::Generation& g = generation();
  for (float rate : {44100.0f, 48000.0f, 50000.0f, 96000.0f, 100000.0f, 192000.0f}) {
    const int delay = g.bandAt(rate).delay;
    // Without the oversampled path the FAT index changes nothing.
    for (float fat : {0.0f, 1.0f}) {
      for (const rig::Mode& mode : g.modes()) {
        Rig r = rig(rate);
        r.setMeanings({{Meaning::kFat, fat}});
        r.set(mode.settings);
        ASSERT_EQ(r.delay(), delay);
        EXPECT_TRUE(rig::impulseArrivesAfter(r, static_cast<std::size_t>(delay)))
            << mode.name << " at " << rate << " FAT " << fat;
      }
    }
  }
}

TEST_F(Ostrelvanheim2Processing, DefaultProgramWetSignalIsTheHighPassedInputDelayed) {
  const Signal left = rig::noise(6000, 11, 0.25);
  const Signal right = rig::noise(6000, 12, 0.25);
  const Signal hpLeft = rig::highPassed15Hz(left, 44100.0), hpRight = rig::highPassed15Hz(right, 44100.0);
  for (const rig::Mode& mode : rig::allModes()) {
    if (std::string(mode.name) == "bypass") continue;
    Rig r;
    r.set(mode.settings);
    const Stereo out = r.processDouble({left, right}, 256);
    const int d = r.delay();
    // One-channel kernels process the left input (the right one in the R routing).
    const std::string name = mode.name;
    const bool rightProcessed = name.back() == 'R' && name.find("mono") == 0;
    const Signal& processedWet = rightProcessed ? hpRight : hpLeft;
    const Signal& processedOut = rightProcessed ? out.right : out.left;
    double worst = 0.0;
    for (std::size_t i = 0; i + static_cast<std::size_t>(d) < out.left.size(); ++i)
      worst = std::max(worst, std::fabs(processedOut[i + static_cast<std::size_t>(d)] - processedWet[i]));
    EXPECT_LT(worst, 1e-9) << mode.name;
    if (name.find("stereo") == 0) {
      double worstRight = 0.0;
      for (std::size_t i = 0; i + static_cast<std::size_t>(d) < out.right.size(); ++i)
        worstRight = std::max(worstRight, std::fabs(out.right[i + static_cast<std::size_t>(d)] - hpRight[i]));
      EXPECT_LT(worstRight, 1e-9) << mode.name;
    }
  }
}

TEST_F(Ostrelvanheim2Processing, BrickwallKeepsEveryProcessedSampleUnderCeilingTimesOutput) {
  const Signal loud = rig::noise(20000, 3, 3.0);
  const Signal loud2 = rig::noise(20000, 4, 3.0);
  for (float ceilingValue : {0.5f, 0.3f}) {
    for (const rig::Mode& mode : rig::allModes()) {
      if (!mode.bothChannelsProcessed || std::string(mode.name) == "bypass") continue;
      Rig r;
      r.set(mode.settings);
      r.set({{29, 1.0f}, {4, 0.9f}, {13, ceilingValue}, {14, 0.4f}, {12, 1.0f}});
      const double bound = r.engine().ceilingLevel * r.engine().outputGain * (1.0 + 1e-12);
      const Stereo out = r.processDouble({loud, loud2}, 512);
      double peak = 0.0;
      for (std::size_t i = 0; i < out.left.size(); ++i)
        peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
      EXPECT_LE(peak, bound) << mode.name << " ceiling " << ceilingValue;
      EXPECT_GT(peak, 0.5 * bound) << mode.name;
    }
  }
}

TEST_F(Ostrelvanheim2Processing, WithFatTheBlockLoopClampsToTheOutputGain) {
  const Signal loud = rig::noise(20000, 5, 3.0);
  for (float brickwall : {1.0f, 0.0f}) {
    Rig r;
    r.set({{1, 1}, {26, 1}, {29, brickwall}, {4, 1.0f}, {14, 0.45f}});
    const double limit = r.engine().outputGain;
    const Stereo out = r.processDouble({loud, loud}, 512);
    double peak = 0.0;
    for (double v : out.left) peak = std::max(peak, std::fabs(v));
    if (brickwall > 0.5f)
      EXPECT_LE(peak, limit);
    else
      EXPECT_GT(peak, limit) << "without Brickwall nothing clamps";
  }
}

TEST_F(Ostrelvanheim2Processing, BothPrecisionsGiveTheSameResult) {
  for (float fat : {0.0f, 1.0f}) {
    for (const rig::Mode& mode : rig::allModes()) {
      EXPECT_TRUE(rig::precisionsAgree<Rig>([&](Rig& r) {
        r.set({{26, fat}, {4, 0.8f}, {28, 1.0f}});
        r.set(mode.settings);
      })) << mode.name
          << " FAT " << fat;
    }
  }
}

TEST_F(Ostrelvanheim2Processing, SilenceAfterALoudBurstLeavesNoSubnormalValue) {
  Signal burst = rig::noise(100000, 9, 1.5);
  std::fill(burst.begin() + 4000, burst.end(), 0.0);
  for (float fat : {0.0f, 1.0f}) {
    for (const rig::Mode& mode : rig::allModes()) {
      Rig r;
      r.set({{26, fat}, {28, 1.0f}});
      r.set(mode.settings);
      const Stereo out = r.processDouble({burst, burst}, 512);
      for (std::size_t i = 0; i < out.left.size(); ++i) {
        ASSERT_NE(std::fpclassify(out.left[i]), FP_SUBNORMAL) << mode.name << " " << i;
        ASSERT_NE(std::fpclassify(out.right[i]), FP_SUBNORMAL) << mode.name << " " << i;
      }
    }
  }
}

TEST_F(Ostrelvanheim2Processing, NonFiniteInputSamplesAreTakenAsSilence) {
  for (const rig::Mode& mode : rig::allModes()) EXPECT_TRUE(rig::takesNonFiniteInputAsSilence<Rig>(mode));
}

TEST_F(Ostrelvanheim2Processing, NullBuffersProcessNothing) {
  Rig r;
  AEffect* e = r.fx().getAeffect();
  float a[64] = {}, b[64] = {};
  float* channels[2] = {a, b};
  float* nullFirst[2] = {nullptr, b};
  e->processReplacing(e, nullptr, channels, 64);
  e->processReplacing(e, channels, nullptr, 64);
  e->processReplacing(e, nullFirst, channels, 64);
  e->processReplacing(e, channels, nullFirst, 64);
  double* dnull[2] = {nullptr, nullptr};
  e->processDoubleReplacing(e, dnull, dnull, 64);
  SUCCEED();
}

TEST_F(Ostrelvanheim2Processing, UnconnectedSecondPinsShareTheFirstBuffer) {
  const Signal left = rig::impulse(2000, 10, 0.5);
  const Signal right = rig::impulse(2000, 20, 0.5);
  rig::gHost.pinConnected = 1;  // the host reports pin 1 unconnected
  Rig r;
  r.set({{0, 0.0f}});  // bypass: output is the input delayed
  const Stereo out = r.processDouble({left, right}, 128);
  rig::gHost.pinConnected = 0;
  // Input 1 unconnected: the right channel processes the left input; output 1
  // unconnected: output 0 carries the right channel's result.
  EXPECT_EQ(rig::peakIndex(out.left), 10u + 639u);
  EXPECT_EQ(out.right, Signal(out.right.size(), 0.0)) << "output 1 is never written";
}

TEST_F(Ostrelvanheim2Processing, InPlaceProcessingGivesTheSameOutput) {
  const Signal in = rig::noise(3000, 41, 0.8);
  Rig a, b;
  for (Rig* r : {&a, &b}) r->set({{1, 1}, {4, 0.8f}});
  const Stereo separate = a.processDouble({in, in}, 200);
  std::vector<double> l(in), rr(in);
  AEffect* e = b.fx().getAeffect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  for (std::size_t start = 0; start < in.size(); start += 200) {
    double* buffers[2] = {l.data() + start, rr.data() + start};
    e->processDoubleReplacing(e, buffers, buffers,
                              static_cast<VstInt32>(std::min<std::size_t>(200, in.size() - start)));
  }
  EXPECT_EQ(l, separate.left);
  EXPECT_EQ(rr, separate.right);
}

TEST_F(Ostrelvanheim2Processing, RingClearBetweenBlocksKeepsTheNextBlocksInput) {
  Rig r;
  r.set({{0, 0.0f}});  // bypass: the output is the input, delayed
  AEffect* e = r.fx().getAeffect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::vector<double> in(2000, 0.5), out(2000), outR(2000);
  auto block = [&] {
    double* ins[2] = {in.data(), in.data()};
    double* outs[2] = {out.data(), outR.data()};
    e->processDoubleReplacing(e, ins, outs, 2000);
  };
  block();
  r.set({{0, 0.0f}});  // Process again: the rings are cleared
  block();
  // What was in the kernel's latency ring is gone, nothing more: the stand-in
  // delays around the kernel are not rings of the kernel.
  const auto zeros = std::count(out.begin(), out.end(), 0.0);
  EXPECT_EQ(zeros, 511);
  EXPECT_NEAR(out[63], 0.5, 1e-12);
  EXPECT_EQ(out[64], 0.0);
  EXPECT_NEAR(out[575], 0.5, 1e-12);
}

TEST_F(Ostrelvanheim2Processing, OverFlagIsRaisedAfterThresholdManyFullScaleSamples) {
  Rig r;
  CompressorEngine& e = r.engine();
  e.editorIsOpen = 1;
  r.set({{0, 0.0f}, {21, 0.0f}});  // bypass, Pre meters: the counter watches the input
  ASSERT_EQ(e.overThreshold, 3.000000014901161);
  AEffect* fx = r.fx().getAeffect();
  // The kernels see the input 64 samples late (the stand-in for the upsampler).
  auto run = [&](std::initializer_list<double> overs) {
    std::vector<double> block(300, 0.1);
    std::copy(overs.begin(), overs.end(), block.begin() + 10);
    std::vector<double> right = block, ol(block.size()), orr(block.size());
    double* in[2] = {block.data(), right.data()};
    double* out[2] = {ol.data(), orr.data()};
    fx->processDoubleReplacing(fx, in, out, static_cast<VstInt32>(block.size()));
  };
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  run({1.2, 1.2, 1.2});  // three over full scale do not reach 3.0000000149
  EXPECT_EQ(e.overFlags[0], 0.0f);
  EXPECT_EQ(e.overCounts[0], 0.0f) << "a quiet sample resets a count below the threshold";
  run({1.2, 1.2, 1.2, 1.2});
  EXPECT_EQ(e.overFlags[0], 1.0f) << "a count at the threshold holds until the block ends";
  EXPECT_EQ(e.overCounts[0], 0.0f);
  e.editorIsOpen = 0;
  e.overFlags[0] = 0.0f;
  const float level = e.meterLevels[0];
  run({1.2, 1.2, 1.2, 1.2, 1.2});
  EXPECT_EQ(e.overFlags[0], 0.0f) << "no metering while no editor is open";
  EXPECT_EQ(e.meterLevels[0], level);
}

TEST_F(FirstGenerationProcessing, OneChannelRoutingsPassTheOtherChannelWithoutTheOutputGain) {
  const Signal left = rig::noise(6000, 51, 0.6), right = rig::noise(6000, 52, 0.6);
  // Output at +6 dB, Mix 0: the processed channel is its dry input times the
  // output gain (the multiband kernel keeps the unfiltered input as its dry).
  for (const char* kernel : {"multiband", "single band"}) {
    for (float lr : {0.5f, 1.0f}) {
      Rig r(ostrelvanheim::kProduct);
      const bool multiBand = std::string(kernel) == "multiband";
      r.set({{0, 1}, {1, multiBand ? 1.0f : 0.0f}, {2, 0}, {36, lr}, {14, 0.75f}, {12, 0.0f}});
      const double gain = r.engine().outputGain;
      ASSERT_NEAR(gain, std::pow(10.0, 6.0 / 20.0), 0.01);
      const Stereo out = r.processDouble({left, right}, 256);
      const bool leftProcessed = lr < 0.66f;
      const Signal& otherIn = leftProcessed ? right : left;
      const Signal& otherOut = leftProcessed ? out.right : out.left;
      const Signal& processedIn = leftProcessed ? left : right;
      const Signal& processedOut = leftProcessed ? out.left : out.right;
      double worstOther = 0.0, worstProcessed = 0.0;
      for (std::size_t i = 0; i + 127 < left.size(); ++i) {
        // Only the alternating anti-denormal offset of 1e-16 is added (and rounded).
        worstOther = std::max(worstOther, std::fabs(otherOut[i + 127] - otherIn[i]));
        worstProcessed = std::max(worstProcessed, std::fabs(processedOut[i + 127] - gain * processedIn[i]));
      }
      EXPECT_LE(worstOther, 2.5e-16) << kernel << " L R " << lr;
      if (multiBand) {
        EXPECT_LT(worstProcessed, 1e-15) << kernel << " L R " << lr;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Generations, OstrelvanheimProcessing, ::testing::ValuesIn(rig::kGenerations),
                         rig::generationName);

}  // namespace
