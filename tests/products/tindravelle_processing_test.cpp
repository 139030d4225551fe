// Properties of JYX Tindravelle's processing that need no stored data: the
// latency it reports is the latency it has in every mode, speaker arrangement
// and rate; the default program is a clean high-pass; the speaker
// arrangements and the host's pin answers decide which buffers are used; the
// meters count overs only while an editor is open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "products/tindravelle/parameter_indices.h"
#include "tests/products/processing_properties.h"
#include "tests/products/tindravelle_rig.h"

namespace {

using trackrig::Rig;
using trackrig::Signal;
using trackrig::Stereo;
using namespace tindravelle;

class TindravelleProcessing : public ::testing::Test {
 protected:
  void TearDown() override { rig::gHost.pinConnected = 0; }
  testsupport::SettingsSandbox sandbox_;
};

TEST_F(TindravelleProcessing, ImpulsePeaksAtTheReportedDelayInEveryModeArrangementAndRate) {
  struct RateCase {
    float rate;
    int delay;
  };
  for (const RateCase rc : {RateCase{44100.0f, 63}, RateCase{96000.0f, 127}, RateCase{192000.0f, 255}}) {
    for (const trackrig::Arrangement& a : trackrig::kArrangements) {
      for (const rig::Mode& mode : trackrig::allModes()) {
        for (float speed : {0.0f, 1.0f}) {
          Rig r(rc.rate);
          ASSERT_TRUE(r.arrange(a.inputs, a.outputs));
          r.set(mode.settings);
          r.set({{kSpeed, speed}});
          ASSERT_EQ(r.delay(), rc.delay);
          const std::size_t at = 300;
          const Stereo out = r.process({rig::impulse(4096, at, 0.5), rig::impulse(4096, at, 0.5)}, 100);
          const std::size_t expected = at + static_cast<std::size_t>(rc.delay);
          EXPECT_EQ(rig::peakIndex(out.left), expected) << mode.name << ", " << a.name << " at " << rc.rate;
          if (a.outputs == 2) {
            EXPECT_EQ(rig::peakIndex(out.right), expected)
                << mode.name << ", " << a.name << " at " << rc.rate;
          }
        }
      }
    }
  }
}

TEST_F(TindravelleProcessing, BypassDelaysByExactlyTheReportedSamplesWithoutGain) {
  const Signal left = rig::noise(3000, 1, 0.9), right = rig::noise(3000, 2, 0.9);
  Rig r;
  r.set({{kProcess, 0.0f}, {kOutput, 1.0f}, {kDrive, 1.0f}});
  const Stereo out = r.processDouble({left, right}, 256);
  for (std::size_t i = 63; i < out.left.size(); ++i) {
    ASSERT_NEAR(out.left[i], left[i - 63], 1e-15) << i;
    ASSERT_NEAR(out.right[i], right[i - 63], 1e-15) << i;
  }
  for (std::size_t i = 0; i < 63; ++i) ASSERT_EQ(out.left[i], 0.0) << "silence before the delay, " << i;
}

TEST_F(TindravelleProcessing, DefaultProgramLeavesQuietSignalsHighPassedAndDelayed) {
  // Below full scale the envelope stays under 1 and the gain is exactly 1.
  const Signal left = rig::noise(6000, 11, 0.25), right = rig::noise(6000, 12, 0.25);
  for (const rig::Mode& mode : trackrig::allModes()) {
    if (std::string(mode.name) == "bypass") continue;
    Rig r;
    r.set(mode.settings);
    const Stereo out = r.processDouble({left, right}, 256);
    const bool mono = std::string(mode.name) == "mono";
    Signal mean(left.size());
    for (std::size_t i = 0; i < left.size(); ++i) mean[i] = (left[i] + right[i]) * 0.5;
    const Signal wetLeft = rig::highPassed15Hz(mono ? mean : left, 44100.0);
    const Signal wetRight = rig::highPassed15Hz(mono ? mean : right, 44100.0);
    double worst = 0.0;
    for (std::size_t i = 0; i + 63 < out.left.size(); ++i) {
      worst = std::max(worst, std::fabs(out.left[i + 63] - wetLeft[i]));
      worst = std::max(worst, std::fabs(out.right[i + 63] - wetRight[i]));
    }
    EXPECT_LT(worst, 1e-9) << mode.name;
  }
}

TEST_F(TindravelleProcessing, ProcessedOutputNeverExceedsFullScaleTimesTheOutputGain) {
  const Signal loud = rig::noise(20000, 3, 3.0), loud2 = rig::noise(20000, 4, 2.0);
  for (const rig::Mode& mode : trackrig::allModes()) {
    if (std::string(mode.name) == "bypass") continue;
    Rig r;
    r.set(mode.settings);
    r.set({{kDrive, 0.9f}, {kOutput, 0.7f}, {kHighAdjust, 1.0f}, {kKnee, 0.6f}});
    const double bound = r.engine().outputGain;
    const Stereo out = r.processDouble({loud, loud2}, 512);
    double peak = 0.0;
    for (std::size_t i = 0; i < out.left.size(); ++i)
      peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
    EXPECT_LE(peak, bound) << mode.name;
    EXPECT_GT(peak, 0.5 * bound) << mode.name;
  }
}

TEST_F(TindravelleProcessing, SecondInputIsUsedOnlyWhenArrangedAndConnected) {
  // With the second input out of use every kernel but bypass runs mono on the
  // left input: what the right input carries changes nothing.
  const Signal left = rig::noise(2000, 5, 0.3);
  const Signal rights[2] = {rig::noise(2000, 6, 0.3), rig::noise(2000, 7, 0.9)};
  struct Case {
    const char* what;
    int inputs, outputs;
    VstIntPtr pinConnected;
  };
  const Case cases[] = {{"mono in, stereo out", 1, 2, 0},
                        {"mono in, mono out", 1, 1, 0},
                        {"stereo in, second pins unconnected", 2, 2, 1}};
  Signal leftOnly;  // the mono kernel on the left input alone
  for (const Case& c : cases) {
    for (const rig::Mode& mode : trackrig::allModes()) {
      if (std::string(mode.name) == "bypass") continue;
      for (const Signal& right : rights) {
        Rig r;
        ASSERT_TRUE(r.arrange(c.inputs, c.outputs));
        r.set(mode.settings);
        rig::gHost.pinConnected = c.pinConnected;
        const Stereo out = r.processDouble({left, right}, 128);
        rig::gHost.pinConnected = 0;
        if (leftOnly.empty()) leftOnly = out.left;
        EXPECT_EQ(out.left, leftOnly) << c.what << ", " << mode.name;
        if (c.outputs == 2 && c.pinConnected == 0) {
          EXPECT_EQ(out.right, leftOnly) << c.what << ", " << mode.name;
        }
      }
    }
  }
  // Arranged stereo and connected, the mono kernel takes both inputs' mean.
  Rig r;
  r.set({{kStereoMono, 0.0f}});
  EXPECT_NE(r.processDouble({left, rights[0]}, 128).left, leftOnly);
}

TEST_F(TindravelleProcessing, OutputsOutOfUseAreNeverWritten) {
  const Signal in = rig::noise(1000, 7, 0.5);
  struct Case {
    const char* what;
    int inputs, outputs;
    VstIntPtr pinConnected;
  };
  for (const Case c : {Case{"mono in, mono out", 1, 1, 0}, Case{"second output unconnected", 2, 2, 1}}) {
    Rig r;
    ASSERT_TRUE(r.arrange(c.inputs, c.outputs));
    r.set({{kProcess, 0.0f}});
    rig::gHost.pinConnected = c.pinConnected;
    AEffect* e = r.effect();
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<double> l(in), rr(in), ol(in.size()), orr(in.size(), 7.0);
    double* ins[2] = {l.data(), rr.data()};
    double* outs[2] = {ol.data(), orr.data()};
    e->processDoubleReplacing(e, ins, outs, static_cast<VstInt32>(in.size()));
    EXPECT_EQ(orr, std::vector<double>(in.size(), 7.0)) << c.what;
    EXPECT_NEAR(ol[100], in[100 - 63], 1e-15) << c.what;
  }
}

TEST_F(TindravelleProcessing, HostIsAskedForThePinsOncePerBlock) {
  Rig r;
  AEffect* e = r.effect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::vector<float> a(4096, 0.1f), b(4096, 0.1f), oa(4096), ob(4096);
  float* ins[2] = {a.data(), b.data()};
  float* outs[2] = {oa.data(), ob.data()};
  for (float monoStereo : {1.0f, 0.0f}) {
    r.set({{kStereoMono, monoStereo}});
    rig::gHost.pinQueries = 0;
    e->processReplacing(e, ins, outs, 4096);
    EXPECT_EQ(rig::gHost.pinQueries, 2) << "one question for the input, one for the output, per block";
  }
}

TEST_F(TindravelleProcessing, NullSecondBuffersFallBackToTheFirstChannel) {
  Rig r;
  r.set({{kProcess, 0.0f}});
  AEffect* e = r.effect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::vector<double> in = rig::impulse(200, 10, 0.5), out(200, 0.0);
  double* ins[2] = {in.data(), nullptr};
  double* outs[2] = {out.data(), nullptr};
  e->processDoubleReplacing(e, ins, outs, 200);
  EXPECT_EQ(rig::peakIndex(out), 73u);
  double* none[2] = {nullptr, nullptr};
  e->processDoubleReplacing(e, none, outs, 200);
  e->processDoubleReplacing(e, ins, none, 200);
  e->processDoubleReplacing(e, nullptr, nullptr, 200);
}

TEST_F(TindravelleProcessing, MonoKernelLeavesTheRightInputToPlayOutAfterASwitchToStereo) {
  // The mono kernel writes the right input as it came into the right output
  // ring; a switch to a stereo kernel first plays it N samples late on the
  // right output, until the right channel's processed samples arrive.
  const std::size_t frames = 1024;
  Signal left(frames, 0.0), right(frames, 0.0);
  right[500] = 0.5;  // a right impulse during the mono kernel
  Rig r;
  r.set({{kStereoMono, 0.0f}, {kSpeed, 0.0f}});  // A = 3
  AEffect* e = r.effect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::vector<double> ol(frames), orr(frames);
  double* ins[2] = {left.data(), right.data()};
  double* outs[2] = {ol.data(), orr.data()};
  e->processDoubleReplacing(e, ins, outs, 540);
  r.set({{kStereoMono, 1.0f}});
  double* ins2[2] = {left.data() + 540, right.data() + 540};
  double* outs2[2] = {ol.data() + 540, orr.data() + 540};
  e->processDoubleReplacing(e, ins2, outs2, static_cast<VstInt32>(frames - 540));
  EXPECT_EQ(orr[563], 0.5) << "the raw right input, 63 samples late, without any gain";
  EXPECT_NEAR(ol[563], 0.25, 1e-3) << "the left output carries the mono kernel's mean of both inputs";
}

TEST_F(TindravelleProcessing, MetersStayIdleWithoutAnEditorAndCountOversWithOne) {
  Rig r;
  TrackEngine& e = r.engine();
  r.set({{kProcess, 0.0f}, {kMeters, kMetersPost}, {kOverIndic, 2.0f / 9.0f}});
  AEffect* fx = r.effect();
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  auto run = [&](int overs) {
    std::vector<double> block(400, 0.1);
    std::fill(block.begin() + 10, block.begin() + 10 + overs, 1.2);
    std::vector<double> right = block, ol(block.size()), orr(block.size());
    double* in[2] = {block.data(), right.data()};
    double* out[2] = {ol.data(), orr.data()};
    fx->processDoubleReplacing(fx, in, out, static_cast<VstInt32>(block.size()));
  };
  const float level = e.meterLevels[0];
  run(10);
  EXPECT_EQ(e.overFlags[0], 0.0f) << "no metering while no editor is open";
  EXPECT_EQ(e.overCounts[0], 0.0f);
  EXPECT_EQ(e.meterLevels[0], level);

  e.editorIsOpen = 1;
  ASSERT_EQ(e.overThreshold, 3.000000014901161);
  run(3);  // three overs do not reach 3.0000000149
  EXPECT_EQ(e.overFlags[0], 0.0f);
  EXPECT_EQ(e.overCounts[0], 0.0f) << "a quiet sample resets a count below the threshold";
  run(4);
  EXPECT_EQ(e.overFlags[0], 1.0f) << "a count at the threshold holds until the block ends";
  EXPECT_EQ(e.overFlags[1], 1.0f);
  EXPECT_EQ(e.overCounts[0], 0.0f);
  EXPECT_NE(e.meterLevels[0], level);
}

TEST_F(TindravelleProcessing, GainReductionMeterReadsOneWhileBypassedAndBelowOneWhileCompressing) {
  const Signal loud = rig::noise(20000, 8, 2.0);
  for (float scale : {kScaleVu, kScalePpm}) {
    Rig r;
    r.engine().editorIsOpen = 1;
    r.set({{kProcess, 0.0f}, {kMeterScale, scale}});
    r.processDouble({loud, loud}, 512);
    EXPECT_NEAR(r.engine().meterLevels[0], 1.0, 1e-2) << "bypassed, scale " << scale;
    r.set({{kProcess, 1.0f}, {kDrive, 0.9f}});
    r.processDouble({loud, loud}, 512);
    EXPECT_LT(r.engine().meterLevels[0], 0.5) << "compressing, scale " << scale;
  }
}

TEST_F(TindravelleProcessing, SpeedChangesWhileRunningKeepPositionsInsideTheRing) {
  Rig r;
  AEffect* e = r.effect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::vector<float> a(100, 0.3f), b(100, -0.3f), oa(100), ob(100);
  float* ins[2] = {a.data(), b.data()};
  float* outs[2] = {oa.data(), ob.data()};
  for (int k = 0; k < 200; ++k) {
    r.set({{kSpeed, static_cast<float>(k % 11) / 10.0f}});
    e->processReplacing(e, ins, outs, 37 + k % 64);
    const TrackEngine& t = r.engine();
    ASSERT_GE(t.ringWritePos, 0);
    ASSERT_LE(t.ringWritePos, 63);
    ASSERT_GE(t.ringReadPos, 0);
    ASSERT_LE(t.ringReadPos, 63);
  }
  r.set({{kSpeed, 0.4f}});
  EXPECT_EQ(rig::peakIndex(r.process({rig::impulse(2000, 200, 0.5), rig::impulse(2000, 200, 0.5)}, 64).left),
            263u);
}

TEST_F(TindravelleProcessing, BothPrecisionsGiveTheSameResult) {
  for (const rig::Mode& mode : trackrig::allModes()) {
    EXPECT_TRUE(rig::precisionsAgree<Rig>([&](Rig& r) {
      r.set(mode.settings);
      r.set({{kDrive, 0.8f}});
    })) << mode.name;
  }
}

TEST_F(TindravelleProcessing, NonFiniteInputSamplesAreTakenAsSilence) {
  for (const rig::Mode& mode : trackrig::allModes())
    EXPECT_TRUE(rig::takesNonFiniteInputAsSilence<Rig>(mode));
}

TEST_F(TindravelleProcessing, HighShelfStaysStableAtTheLowestRate) {
  // 12 kHz lies above half of 22050 Hz; the design holds it below 0.499 of the rate.
  Rig r(22050.0f);
  r.set({{kHighAdjust, 1.0f}});
  const FilterCoeffs c = r.engine().fixedFilters.current().highCrossover;
  EXPECT_LT(std::fabs(c.a2), 1.0);
  EXPECT_LT(std::fabs(c.a1), 1.0 + c.a2);
  const Signal in = rig::noise(44100, 9, 0.5);
  const Stereo out = r.processDouble({in, in}, 512);
  double peak = 0.0;
  for (double v : out.left) peak = std::max(peak, std::fabs(v));
  EXPECT_LE(peak, 4.0);
  EXPECT_GT(peak, 0.1);
}

}  // namespace
