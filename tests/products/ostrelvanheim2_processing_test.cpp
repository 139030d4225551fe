// Properties of JYX Ostrelvanheim2's processing that need no stored data: the
// latency it reports is the latency it has, the default program is a clean
// high-pass, the brickwall holds, both precisions agree, and bad input does
// not stay in the effect.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/products/ostrelvanheim2_rig.h"
#include "tests/products/processing_properties.h"

namespace {

using rig::Rig;
using rig::Signal;
using rig::Stereo;

class Ostrelvanheim2Processing : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

struct RateCase {
  float rate;
  int delay;
};

TEST_F(Ostrelvanheim2Processing, ImpulsePeaksAtTheReportedDelayInEveryModeAndRate) {
  const RateCase rates[] = {{44100.0f, 639}, {96000.0f, 1151}, {192000.0f, 2175}};
  for (const RateCase& rc : rates) {
    for (float fat : {0.0f, 1.0f}) {
      for (const rig::Mode& mode : rig::allModes()) {
        Rig r(rc.rate);
        r.set({{26, fat}});
        r.set(mode.settings);
        ASSERT_EQ(r.delay(), rc.delay);
        EXPECT_TRUE(rig::impulseArrivesAfter(r, static_cast<std::size_t>(rc.delay)))
            << mode.name << " at " << rc.rate << " FAT " << fat;
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

}  // namespace
