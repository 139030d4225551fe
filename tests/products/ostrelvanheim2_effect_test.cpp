// JYX Ostrelvanheim2 as an effect: its identity, its parameter texts and
// derived values, its delay by sample rate, its time constants and its meter
// preferences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "platform/settings_store.h"
#include "presets/meter_preferences.h"
#include "tests/products/ostrelvanheim2_rig.h"

namespace {

using rig::Rig;

class Ostrelvanheim2Effect : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;

  static std::string text(Ostrelvanheim& fx, VstInt32 opcode, VstInt32 index) {
    char buffer[300] = {};
    AEffect* e = fx.getAeffect();
    e->dispatcher(e, opcode, index, 0, buffer, 0.0f);
    return buffer;
  }
};

TEST_F(Ostrelvanheim2Effect, IdentityTowardsTheHost) {
  Rig r;
  Ostrelvanheim& fx = r.fx();
  AEffect* e = fx.getAeffect();
  EXPECT_EQ(e->uniqueID, fourCharCode('J', 'Y', 'O', 's'));
  EXPECT_EQ(e->numParams, 42);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1031) << "replacing in 32 and 64 bits, chunks, an editor";
  EXPECT_NE(fx.productEditor(), nullptr) << "the editor object exists without a window";
  EXPECT_EQ(e->initialDelay, 639);
  EXPECT_EQ(text(fx, effGetEffectName, 0), "JYX Ostrelvanheim2");
  EXPECT_EQ(text(fx, effGetVendorString, 0), "Brenmoorworks");
  EXPECT_EQ(text(fx, effGetProductString, 0),
            "JYX Ostrelvanheim2 - analog saturation & compression emulator");
  EXPECT_EQ(e->dispatcher(e, effGetVendorVersion, 0, 0, nullptr, 0), 2500);
  EXPECT_EQ(e->dispatcher(e, effGetPlugCategory, 0, 0, nullptr, 0), 4);
  EXPECT_EQ(e->dispatcher(e, effSetProcessPrecision, 0, 1, nullptr, 0), 1);
  EXPECT_EQ(e->dispatcher(e, effGetTailSize, 0, 0, nullptr, 0), 0);
  char midi[] = "receiveVstMidiEvent";
  EXPECT_EQ(e->dispatcher(e, effCanDo, 0, 0, midi, 0), 0);
  EXPECT_TRUE(fx.isSuspended()) << "the constructor ends suspended";
  EXPECT_EQ(r.engine().editorIsOpen, 0);
}

TEST_F(Ostrelvanheim2Effect, PinPropertiesNameBothPinsAndMarkTheFirstStereo) {
  Rig r;
  AEffect* e = r.fx().getAeffect();
  struct Case {
    VstInt32 opcode, index;
    const char* label;
    VstInt32 flags;
  };
  const Case cases[] = {{effGetInputProperties, 0, "My 1 In", 3},
                        {effGetInputProperties, 1, "My 2 In", 1},
                        {effGetOutputProperties, 0, "My 1 Out", 3},
                        {effGetOutputProperties, 1, "My 2 Out", 1}};
  for (const auto& c : cases) {
    VstPinProperties p{};
    EXPECT_EQ(e->dispatcher(e, c.opcode, c.index, 0, &p, 0), 1);
    EXPECT_STREQ(p.label, c.label);
    EXPECT_EQ(p.flags, c.flags);
  }
  VstPinProperties p{};
  EXPECT_EQ(e->dispatcher(e, effGetInputProperties, 2, 0, &p, 0), 0);
  EXPECT_EQ(e->dispatcher(e, effGetOutputProperties, -1, 0, &p, 0), 0);
}

TEST_F(Ostrelvanheim2Effect, NamesAndLabelsOfEveryIndex) {
  Rig r;
  struct Row {
    VstInt32 index;
    const char* name;
    const char* label;
  };
  const Row rows[] = {
      {0, " Process ", ""},
      {1, " Mode", ""},
      {2, " Mono Stereo", ""},
      {3, " Link", ""},
      {4, " Drive ", " dB "},
      {5, " Knee ", " % "},
      {6, " Speed ", " % "},
      {7, " Release ", " * "},
      {8, " HighAdjust ", " dB "},
      {9, " LowAdjust ", " dB "},
      {10, " HighFreq ", " Hz "},
      {11, " LowFreq ", " Hz "},
      {12, " Mix ", " % "},
      {13, " Ceiling ", " dB "},
      {14, " Output ", " dB "},
      {15, " LowSat", " dB "},
      {16, " MidSat ", " dB "},
      {17, " HighSat ", " dB "},
      {18, " LowRel ", " * "},
      {19, " MidRel ", " * "},
      {20, " HighRel ", " * "},
      {21, " Meters ", ""},
      {22, " MeterType ", ""},
      {23, "-", " ms "},
      {24, " FineTune ", " % "},
      {25, " MeterScale ", " dB "},
      {26, " FAT ", ""},
      {27, " Long ", ""},
      {28, " Auto ", ""},
      {29, " Brickwall ", ""},
      {30, " L R ", ""},
      {31, "-", "-"},
      {41, "-", "-"},
      {42, "-", "-"},
      {43, " VU Integr ", " ms "},
      {44, " VU Refer ", " dBFS "},
      {45, " PPM Integr ", " ms "},
      {46, " PPM Return ", " ms "},
      {47, " OverIndic ", " samples "},
      {48, " Knob Mode ", " "},
      {57, "-", "-"},
      {-3, "-", "-"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(text(r.fx(), effGetParamName, row.index), row.name) << row.index;
    EXPECT_EQ(text(r.fx(), effGetParamLabel, row.index), row.label) << row.index;
  }
}

struct DisplayCase {
  VstInt32 index;
  float value;
  const char* display;
};

TEST_F(Ostrelvanheim2Effect, DisplaysFollowTheStoredValues) {
  const DisplayCase cases[] = {
      {0, 1.0f, " On "},        {0, 0.49f, " Off "},
      {0, 0.5f, " On "},        {1, 1.0f, " MultiBand "},
      {1, 0.0f, " SingleBnd "}, {3, 1.0f, " Linked "},
      {3, 0.0f, " Unlinked "},  {4, 1.0f, "24.00"},
      {4, 0.0f, "-24.00"},      {4, 0.5f, "0.00"},
      {5, 0.123f, "12.3"},      {6, 1.0f, "100.0"},
      {7, 0.5f, "1.00"},        {7, 1.0f, "4.00"},
      {8, 0.75f, "6.00"},       {9, 0.25f, "-6.00"},
      {10, 1.0f, "16000"},      {10, 0.0f, "1000"},
      {11, 0.5f, "100.0"},      {11, 1.0f, "400.0"},
      {12, 0.5f, "50.0"},       {13, 0.5f, "0.00"},
      {14, 0.4984f, "-0.04"},   {15, 1.0f, "12.00"},
      {18, 1.0f, "16.00"},      {18, 0.0f, "0.06"},
      {21, 0.0f, " Pre "},      {21, 0.5f, " GainRed "},
      {21, 1.0f, " Post "},     {22, 1.0f, " PPM "},
      {22, 0.0f, " VU "},       {23, 0.5f, "-"},
      {24, 1.0f, "100"},        {25, 1.0f, "-40..+6"},
      {25, 0.0f, "-20..+3"},    {26, 1.0f, " FAT "},
      {26, 0.0f, " Off "},      {27, 1.0f, " Long "},
      {28, 1.0f, " Auto "},     {29, 1.0f, " BrickWall "},
      {29, 0.0f, " Off "},      {30, 0.0f, " OO-O"},
      {31, 0.7f, ""},           {43, 0.5f, "300"},
      {44, 1.0f, "1.0"},        {45, 1.0f, "100"},
      {46, 0.5f, "1000"},       {47, 2.0f / 9.0f, "3.000000"},
      {48, 1.0f, " Linear "},   {48, 0.0f, " Circular "},
      {99, 0.5f, ""},
  };
  for (const auto& c : cases) {
    Rig r;
    r.set({{c.index, c.value}});
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, c.index), c.display) << c.index << " = " << c.value;
  }
}

// The texts of the stereo mode and left/right parameters, and the channel
// mode the editor's button shows, name the routing that runs: its output is
// that of the plain setting of the routing named. The stereo kernels run only
// above 0.5, and left/right counts only in the one-channel kernels. Both
// generations, at their own indices.
TEST_F(Ostrelvanheim2Effect, ChannelTextsTellTheRoutingThatRuns) {
  const float aboveHalf = std::nextafter(0.5f, 1.0f);
  const struct {
    float monoStereo, lr;
    const char *stereoText, *lrText;
    float channelMode;
    float runsAsMonoStereo, runsAsLr;  // the plain setting of the routing named
  } kCases[] = {
      {0.5f, 0.0f, " Mono ", " OO-O", 0.0f, 0.0f, 0.0f},
      {0.5f, 0.5f, " L-R ", " L ", 0.333f, 0.0f, 0.5f},
      {0.5f, 1.0f, " L-R ", " R ", 0.667f, 0.0f, 1.0f},
      {aboveHalf, 0.0f, " Stereo ", " OO-O", 1.0f, 1.0f, 0.0f},
      {1.0f, 1.0f / 3.0f, " Stereo ", " OO-O", 1.0f, 1.0f, 0.0f},
      {1.0f, 0.5f, " Stereo ", " OO-O", 1.0f, 1.0f, 0.0f},
      {1.0f, 1.0f, " Stereo ", " OO-O", 1.0f, 1.0f, 0.0f},
      {0.0f, 0.333f, " L-R ", " L ", 0.333f, 0.0f, 0.5f},
      {0.0f, 0.66f, " L-R ", " R ", 0.667f, 0.0f, 1.0f},
  };
  const rig::Stereo in{rig::noise(6000, 71, 1.4), rig::noise(6000, 72, 0.3)};
  for (const OstrelvanheimProduct* product : {&ostrelvanheim2::kProduct, &ostrelvanheim::kProduct}) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::string(product->identity.effectName) + ": mono stereo " +
                   std::to_string(c.monoStereo) + ", L R " + std::to_string(c.lr));
      Rig r(*product), named(*product);
      r.setMeanings({{Meaning::kMonoStereo, c.monoStereo}, {Meaning::kLR, c.lr}});
      named.setMeanings({{Meaning::kMonoStereo, c.runsAsMonoStereo}, {Meaning::kLR, c.runsAsLr}});
      EXPECT_EQ(text(r.fx(), effGetParamDisplay, r.index(Meaning::kMonoStereo)), c.stereoText);
      EXPECT_EQ(text(r.fx(), effGetParamDisplay, r.index(Meaning::kLR)), c.lrText);
      EXPECT_EQ(r.fx().getParameter(r.fx().channelModeIndex()), c.channelMode);
      EXPECT_EQ(r.fx().getParameterPlainValue(r.index(Meaning::kMonoStereo)), c.runsAsMonoStereo);
      const rig::Stereo out = r.process(in), expected = named.process(in);
      EXPECT_TRUE(out.left == expected.left && out.right == expected.right) << "it runs another routing";
      EXPECT_EQ(r.fx().getParameter(r.index(Meaning::kMonoStereo)), c.monoStereo) << "the host's value stays";
    }
  }
}

// The Meters text names what the meters read, at the thresholds too.
TEST_F(Ostrelvanheim2Effect, MetersTextTellsWhatTheMetersRead) {
  const struct {
    float value;
    int source;
    const char* text;
  } kCases[] = {
      {0.3333333f, 0, " Pre "},
      {std::nextafter(0.3333333f, 1.0f), 1, " GainRed "},
      {0.6666666f, 1, " GainRed "},
      {0.6666667f, 2, " Post "},
  };
  for (const OstrelvanheimProduct* product : {&ostrelvanheim2::kProduct, &ostrelvanheim::kProduct}) {
    for (const auto& c : kCases) {
      Rig r(*product);
      r.setMeanings({{Meaning::kMeters, c.value}});
      EXPECT_EQ(r.engine().meterSource, c.source) << c.value;
      EXPECT_EQ(text(r.fx(), effGetParamDisplay, r.index(Meaning::kMeters)), c.text) << c.value;
    }
  }
}

TEST_F(Ostrelvanheim2Effect, FineTuneScalesTheDriveRange) {
  Rig r;
  r.set({{4, 1.0f}, {24, 0.0f}});
  EXPECT_FLOAT_EQ(r.fx().getParameterPlainValue(4), 3.0f);
  EXPECT_NEAR(r.engine().driveGain, 1.4142136, 1e-7);
  r.set({{24, 1.0f}});
  EXPECT_EQ(r.fx().getParameterPlainValue(4), 24.0f);
  EXPECT_DOUBLE_EQ(r.engine().driveGain, 16.0);
  const float ranges[] = {3.0f, 6.0f, 12.0f, 24.0f};
  for (int k = 0; k < 4; ++k) {
    r.set({{24, static_cast<float>(k) / 3.0f}});
    EXPECT_NEAR(r.fx().getParameterPlainValue(4), ranges[k], 1e-5) << k;
  }
}

TEST_F(Ostrelvanheim2Effect, SwitchesAndSelectorsDeriveTheirStates) {
  Rig r;
  CompressorEngine& e = r.engine();
  r.set({{21, 1.0f}});
  EXPECT_EQ(e.meterSource, 2);
  r.set({{21, 0.5f}});
  EXPECT_EQ(e.meterSource, 1);
  r.set({{21, 0.33f}});
  EXPECT_EQ(e.meterSource, 0);
  struct Delay {
    float given, stored;
  };
  for (const Delay d : {Delay{0.05f, 0.0f}, Delay{0.1f, 0.125f}, Delay{0.5f, 0.5f}}) {
    r.set({{23, d.given}});
    EXPECT_EQ(r.fx().getParameter(23), d.stored);
    EXPECT_EQ(r.fx().programStore()->value(0, 23), d.stored) << "the programs keep the stored value";
  }
  EXPECT_FLOAT_EQ(r.fx().getParameterPlainValue(23), (0.5f - 0.125f) * 1000.0f / 0.875f);
  r.set({{23, 0.0f}});
  EXPECT_EQ(r.fx().getParameterPlainValue(23), -1.0f);
}

TEST_F(Ostrelvanheim2Effect, FatIsUnavailableAboveOneHundredKilohertz) {
  Rig r(192000.0f);
  r.set({{26, 1.0f}});
  EXPECT_EQ(r.engine().fatOn, 0);
  EXPECT_EQ(r.fx().getParameter(26), 1.0f);
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 26), " FAT ");
}

TEST_F(Ostrelvanheim2Effect, BackBelowOneHundredKilohertzTheStoredFatSwitchIsInForceAgain) {
  // After a stay above 100 kHz the running state follows the stored switch
  // again: the display and the processing (here its look-ahead window, 0.075 ms
  // at the design rate) agree.
  struct Case {
    float fat;
    int fatOn, lookahead;
  };
  for (const Case c : {Case{1.0f, 1, 14}, Case{0.0f, 0, 7}}) {
    SCOPED_TRACE(c.fat);
    Rig r(96000.0f);
    r.set({{6, 0.0f}, {26, c.fat}});
    r.setSampleRate(192000.0f);
    EXPECT_EQ(r.engine().fatOn, 0);
    r.setSampleRate(96000.0f);
    EXPECT_EQ(r.engine().fatOn, c.fatOn);
    EXPECT_EQ(r.fx().getParameterPlainValue(26), static_cast<float>(c.fatOn));
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, 26), c.fatOn ? " FAT " : " Off ");
    EXPECT_EQ(r.engine().lookaheadLength, c.lookahead);
  }
}

TEST_F(Ostrelvanheim2Effect, ChannelModeSetsRoutingAndClearsOnlyOnARealChange) {
  Rig r;
  CompressorEngine& e = r.engine();
  r.set({{57, 0.4f}});
  EXPECT_EQ(r.fx().getParameter(2), 0.0f);
  EXPECT_EQ(r.fx().getParameter(30), 0.5f);
  EXPECT_EQ(r.fx().getParameter(57), 0.333f);
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 30), " L ");
  e.applyPendingRequests();
  e.envelopes[2] = 0.5;
  r.set({{57, 0.405f}});  // 40 either way: no change
  e.applyPendingRequests();
  EXPECT_EQ(e.envelopes[2], 0.5);
  r.set({{57, 0.45f}});
  e.applyPendingRequests();
  EXPECT_EQ(e.envelopes[2], 0.0001);
  struct Mode {
    float value, monoStereo, lr, readBack;
  };
  for (const Mode m :
       {Mode{0.1f, 0, 0, 0}, Mode{0.3f, 0, 0.5f, 0.333f}, Mode{0.6f, 0, 1, 0.667f}, Mode{0.9f, 1, 0, 1}}) {
    r.set({{57, m.value}});
    EXPECT_EQ(e.monoStereoValue, m.monoStereo);
    EXPECT_EQ(e.lrValue, m.lr);
    EXPECT_EQ(r.fx().getParameter(57), m.readBack);
  }
}

TEST_F(Ostrelvanheim2Effect, OverIndicatorThresholdsAreBuiltFromTheQuantisedValue) {
  Rig r;
  const double expected[] = {1.0,
                             2.0000000074505806,
                             3.000000014901161,
                             4.000000089406967,
                             5.000000029802322,
                             6.000000238418579,
                             7.000000178813934,
                             8.00000011920929,
                             9.000000059604645,
                             10.0};
  for (int k = 0; k < 10; ++k) {
    r.set({{47, static_cast<float>(k) / 9.0f + 0.01f}});
    EXPECT_EQ(r.engine().overThreshold, expected[k]) << k;
  }
}

TEST_F(Ostrelvanheim2Effect, ValuesFromOutsideAreKeptWithinZeroToOne) {
  Rig r;
  struct Case {
    float given, stored;
  };
  const Case cases[] = {{std::numeric_limits<float>::quiet_NaN(), 0.0f},
                        {-0.5f, 0.0f},
                        {1.5f, 1.0f},
                        {std::numeric_limits<float>::infinity(), 1.0f},
                        {0.25f, 0.25f}};
  for (const Case& c : cases) {
    r.set({{4, c.given}, {12, c.given}});
    EXPECT_EQ(r.fx().getParameter(4), c.stored);
    EXPECT_EQ(r.fx().programStore()->value(0, 12), c.stored);
    EXPECT_TRUE(std::isfinite(r.engine().driveGain));
  }
}

TEST_F(Ostrelvanheim2Effect, PropertiesMarkSwitchesAndSelectors) {
  Rig r;
  AEffect* e = r.fx().getAeffect();
  struct Case {
    VstInt32 index, flags, maximum;
  };
  const Case cases[] = {{0, 11, 1}, {3, 11, 1}, {22, 11, 1}, {29, 11, 1}, {21, 10, 2}, {24, 10, 3}};
  for (const Case& c : cases) {
    VstParameterProperties p{};
    ASSERT_EQ(e->dispatcher(e, effGetParameterProperties, c.index, 0, &p, 0), 1) << c.index;
    EXPECT_EQ(p.flags, c.flags);
    EXPECT_EQ(p.minInteger, 0);
    EXPECT_EQ(p.maxInteger, c.maximum);
    EXPECT_EQ(p.stepInteger, 1);
    EXPECT_EQ(p.largeStepInteger, 1);
  }
  for (VstInt32 index : {4, 23, 30, 41}) {
    VstParameterProperties p{};
    p.flags = 77;
    EXPECT_EQ(e->dispatcher(e, effGetParameterProperties, index, 0, &p, 0), 0);
    EXPECT_EQ(p.flags, 77) << "left untouched";
  }
}

TEST_F(Ostrelvanheim2Effect, IndicesWithoutACaseOnlyReachTheCommonSteps) {
  Rig r;
  r.set({{35, 0.75f}});
  EXPECT_EQ(r.fx().getParameter(35), 0.75f) << "spare host indices live in the program";
  r.set({{50, 0.75f}});
  EXPECT_EQ(r.fx().getParameter(50), 0.0f);
}

struct DelayCase {
  float hostRate;
  float rate;
  int lookahead, latency, delay;
};

TEST_F(Ostrelvanheim2Effect, DelayAndRingSizesFollowTheSampleRateBand) {
  const DelayCase cases[] = {
      {44100.0f, 44100.0f, 256, 512, 639},
      {49999.0f, 49999.0f, 256, 512, 639},
      {50000.0f, 50000.0f, 512, 1024, 1151},
      {96000.0f, 96000.0f, 512, 1024, 1151},
      {100000.0f, 100000.0f, 1024, 2048, 2175},
      {192000.0f, 192000.0f, 1024, 2048, 2175},
      {10000.0f, 22050.0f, 256, 512, 639},
      {250000.0f, 192000.0f, 1024, 2048, 2175},
      {std::numeric_limits<float>::quiet_NaN(), 44100.0f, 256, 512, 639},
      {std::numeric_limits<float>::infinity(), 44100.0f, 256, 512, 639},
  };
  for (const DelayCase& c : cases) {
    Rig r(c.hostRate);
    EXPECT_EQ(r.fx().getSampleRate(), c.rate) << c.hostRate;
    EXPECT_EQ(r.fx().getLookaheadRingSize(), c.lookahead) << c.hostRate;
    EXPECT_EQ(r.fx().getLatencyRingSize(), c.latency) << c.hostRate;
    EXPECT_EQ(r.delay(), c.delay) << c.hostRate;
  }
  Rig r;
  EXPECT_FLOAT_EQ(r.fx().getDelayMs(), 14.489796f);
}

struct WindowCase {
  float rate;
  float fat;
  float speed;
  int A, B;
};

TEST_F(Ostrelvanheim2Effect, LookaheadWindowsFollowSpeedAndTheDesignRate) {
  const WindowCase cases[] = {{44100, 0, 0, 3, 9},
                              {44100, 0, 1, 52, 52},
                              {44100, 1, 0, 6, 19},
                              {96000, 1, 1, 230, 230},
                              {120000, 1, 0, 9, 27}};
  for (const WindowCase& c : cases) {
    Rig r(c.rate);
    r.set({{26, c.fat}, {6, c.speed}});
    EXPECT_EQ(r.engine().lookaheadLength, c.A) << c.rate << " " << c.fat << " " << c.speed;
    EXPECT_EQ(r.engine().brickwallLookahead, c.B) << c.rate << " " << c.fat << " " << c.speed;
  }
}

TEST_F(Ostrelvanheim2Effect, LongMakesEveryReleaseSeventeenTimesSlower) {
  Rig r;
  r.set({{6, 0.5f}, {7, 0.5f}, {27, 0.0f}});
  CompressorEngine& e = r.engine();
  const double shortRelease = e.bandReleaseCoeffs[1];
  const double shortBrickwall = e.brickwallReleaseCoeff;
  r.set({{27, 1.0f}});
  // 1 - 0.05^(1/n): the step count n grows seventeen-fold.
  const double nShort = std::log(0.05) / std::log(1.0 - shortRelease);
  const double nLong = std::log(0.05) / std::log(1.0 - e.bandReleaseCoeffs[1]);
  EXPECT_NEAR(nLong / nShort, 17.0, 1e-6);
  EXPECT_NE(e.brickwallReleaseCoeff, shortBrickwall);
}

TEST_F(Ostrelvanheim2Effect, CrossoversStayStableAtLowDesignRates) {
  // HighFreq at 16 kHz above half of a 22050 Hz design rate.
  Rig r(22050.0f);
  r.set({{1, 1.0f}, {10, 1.0f}});
  const FilterCoeffs c = r.engine().fixedFilters.current().highCrossover;
  // Poles inside the unit circle: |a2| < 1 and |a1| < 1 + a2.
  EXPECT_LT(std::fabs(c.a2), 1.0);
  EXPECT_LT(std::fabs(c.a1), 1.0 + c.a2);
}

TEST_F(Ostrelvanheim2Effect, SaturationCurveInverseAndSmallSignalGain) {
  Rig r;
  CompressorEngine& e = r.engine();
  r.set({{5, 0.0f}});
  EXPECT_EQ(r.fx().inverseSaturationCurve(0.7f), 0.7f) << "no knee: the inverse is the identity";
  EXPECT_EQ(r.fx().inverseSaturationCurve(1.5f), 1.5f);
  r.set({{5, 0.8f}});
  EXPECT_EQ(r.fx().inverseSaturationCurve(1.0f), 1.0f);
  e.curveScale = 2000000.0;
  EXPECT_FLOAT_EQ(r.fx().smallSignalGain(), static_cast<float>(1000000.0 * e.driveGain * e.ceilingLevel));
}

TEST_F(Ostrelvanheim2Effect, GlobalParametersFollowProgramChangesOthersDoNot) {
  Rig r;
  Ostrelvanheim& fx = r.fx();
  const float driveOfNine = fx.programStore()->value(9, 4);
  fx.selectProgram(5);
  fx.setParameter(2, 0.25f);  // Mono Stereo: global
  fx.setParameter(4, 0.9f);   // Drive: per program
  fx.selectProgram(9);
  EXPECT_EQ(fx.getParameter(2), 0.25f);
  EXPECT_EQ(fx.getParameter(4), driveOfNine);
  fx.selectProgram(5);
  EXPECT_EQ(fx.getParameter(4), 0.9f);
  EXPECT_EQ(fx.programStore()->value(9, 4), driveOfNine) << "applying a program writes nothing back";
}

TEST_F(Ostrelvanheim2Effect, MeterPreferencesStartFromTheirDefaults) {
  Rig r;
  Ostrelvanheim& fx = r.fx();
  EXPECT_EQ(fx.getParameter(43), 0.5f);
  EXPECT_EQ(fx.getParameter(44), 0.41f);
  EXPECT_EQ(fx.getParameter(45), 0.5f);
  EXPECT_EQ(fx.getParameter(46), 0.5f);
  EXPECT_EQ(fx.getParameter(47), 2.0f / 9.0f);
  EXPECT_EQ(fx.getParameter(48), 1.0f);
  EXPECT_DOUBLE_EQ(fx.getParameterPlainValue(43), 300.0);
  EXPECT_FLOAT_EQ(fx.getParameterPlainValue(46), 1000.0f);
  EXPECT_NEAR(fx.getParameterPlainValue(45), 9.0499f, 1e-4);
  EXPECT_EQ(r.engine().overThreshold, 3.000000014901161);
}

TEST_F(Ostrelvanheim2Effect, MeterPreferencesAreWrittenAtDestructionAndReadBack) {
  {
    Rig r;
    r.set({{48, 0.0f}, {43, 0.25f}});
  }
  platform::SettingsKey key(presets::kMeterPreferenceStem, platform::SettingsKey::Access::Query);
  for (const char* name :
       {"vuintegration", "vureference", "ppmintegration", "ppmreturn", "overcounter", "knobmode"}) {
    float v = -1.0f;
    EXPECT_TRUE(key.readExact(name, platform::SettingsType::Binary, &v, 4)) << name;
  }
  Rig next;
  EXPECT_EQ(next.fx().getParameter(48), 0.0f);
  EXPECT_EQ(text(next.fx(), effGetParamDisplay, 48), " Circular ");
  EXPECT_EQ(next.fx().getParameter(43), 0.25f);
}

TEST_F(Ostrelvanheim2Effect, DamagedMeterPreferencesFallBackToTheDefault) {
  struct Stored {
    const char* what;
    std::vector<unsigned char> bytes;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float two = 2.0f;
  std::vector<unsigned char> nanBytes(4), twoBytes(4);
  std::memcpy(nanBytes.data(), &nan, 4);
  std::memcpy(twoBytes.data(), &two, 4);
  const Stored cases[] = {{"five bytes", {0, 0, 0, 0, 0}},
                          {"three bytes", {0, 0, 0}},
                          {"NaN", nanBytes},
                          {"above one", twoBytes}};
  for (const Stored& s : cases) {
    platform::SettingsKey(presets::kMeterPreferenceStem, platform::SettingsKey::Access::Write)
        .write("knobmode", platform::SettingsType::Binary, s.bytes.data(), s.bytes.size());
    EXPECT_EQ(presets::loadMeterPreference(presets::kKnobMode), 1.0f) << s.what;
  }
}

}  // namespace
