// JYX Tindravelle as an effect: its identity, speaker arrangements and delay
// by sample rate, its parameter texts and derived values, and its meter
// preferences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "platform/settings_store.h"
#include "presets/meter_preferences.h"
#include "products/tindravelle/parameter_indices.h"
#include "tests/products/tindravelle_rig.h"

namespace {

using trackrig::Rig;
using trackrig::Stereo;
using namespace tindravelle;

class TindravelleEffect : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;

  static std::string text(Rig& r, VstInt32 opcode, VstInt32 index) {
    char buffer[300] = {};
    r.effect()->dispatcher(r.effect(), opcode, index, 0, buffer, 0.0f);
    return buffer;
  }
};

TEST_F(TindravelleEffect, IdentityTowardsTheHost) {
  Rig r;
  AEffect* e = r.effect();
  EXPECT_EQ(e->uniqueID, fourCharCode('J', 'y', 'T', 'i'));
  EXPECT_EQ(e->numParams, 22);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1031) << "replacing in both precisions, chunks, an editor";
  EXPECT_EQ(e->initialDelay, 63);
  EXPECT_EQ(text(r, effGetEffectName, 0), "JYX Tindravelle");
  EXPECT_EQ(text(r, effGetVendorString, 0), "Brenmoorworks");
  EXPECT_EQ(e->dispatcher(e, effGetVendorVersion, 0, 0, nullptr, 0), 2500);
  EXPECT_EQ(e->dispatcher(e, effGetPlugCategory, 0, 0, nullptr, 0), 4);
  EXPECT_EQ(e->dispatcher(e, effSetProcessPrecision, 0, 0, nullptr, 0), 1);
  EXPECT_EQ(e->dispatcher(e, effSetProcessPrecision, 0, 1, nullptr, 0), 1);
  EXPECT_EQ(text(r, effGetProgramName, 0), "Default");
  EXPECT_TRUE(r.fx().isSuspended()) << "the constructor ends suspended";
  EXPECT_EQ(r.engine().editorIsOpen, 0);
  EXPECT_EQ(r.engine().meterSource, 1) << "program 0 shows the gain reduction";
  VstPinProperties pin{};
  EXPECT_EQ(e->dispatcher(e, effGetInputProperties, 0, 0, &pin, 0), 1);
  EXPECT_STREQ(pin.label, "My 1 In");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(e->dispatcher(e, effGetOutputProperties, 1, 0, &pin, 0), 1);
  EXPECT_STREQ(pin.label, "My 2 Out");
  EXPECT_EQ(pin.flags, 1);
  EXPECT_EQ(e->dispatcher(e, effGetInputProperties, 2, 0, &pin, 0), 0);
}

TEST_F(TindravelleEffect, ProductStringIsCutToTheHostsBufferWithItsTerminator) {
  const std::string full = "JYX Tindravelle - analog track saturation & compression emulator";
  ASSERT_EQ(full.size(), 64u) << "it does not fit 64 bytes with its terminator";
  Rig r;
  EXPECT_EQ(text(r, effGetProductString, 0), full.substr(0, 63));
  char buffer[80];
  std::memset(buffer, 0x5A, sizeof buffer);
  ASSERT_TRUE(r.fx().getProductString(buffer));
  EXPECT_EQ(std::string(buffer), full.substr(0, 63));
  for (std::size_t i = 64; i < sizeof buffer; ++i)
    EXPECT_EQ(buffer[i], 0x5A) << "written past 64 bytes at " << i;
}

TEST_F(TindravelleEffect, SpeakerArrangementsSetTheStereoFlagsByChannelCount) {
  struct Case {
    int inputs, outputs;
    bool accepted, inputStereo, outputStereo;
  };
  const Case cases[] = {{1, 1, true, false, false}, {1, 2, true, false, true}, {2, 2, true, true, true},
                        {2, 1, false, true, true},  {0, 2, false, true, true}, {6, 6, false, true, true},
                        {2, 8, false, true, true}};
  for (const Case& c : cases) {
    Rig r;
    r.arrange(1, 1);  // start away from the defaults: a refusal sets both back
    EXPECT_EQ(r.arrange(c.inputs, c.outputs), c.accepted) << c.inputs << " in, " << c.outputs << " out";
    EXPECT_EQ(r.fx().inputIsStereo(), c.inputStereo) << c.inputs << " in, " << c.outputs << " out";
    EXPECT_EQ(r.fx().outputIsStereo(), c.outputStereo) << c.inputs << " in, " << c.outputs << " out";
  }
}

TEST_F(TindravelleEffect, SpeakerArrangementGivenOnlyInPartIsRefusedLikeAnyOtherPair) {
  Rig r;
  AEffect* e = r.effect();
  VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  const VstIntPtr monoPtr = reinterpret_cast<VstIntPtr>(&mono);
  struct Case {
    const char* what;
    VstIntPtr input;
    void* output;
  };
  const Case cases[] = {{"no input", 0, &mono}, {"no output", monoPtr, nullptr}, {"neither", 0, nullptr}};
  for (const Case& c : cases) {
    ASSERT_TRUE(r.arrange(1, 1));
    EXPECT_EQ(e->dispatcher(e, effSetSpeakerArrangement, 0, c.input, c.output, 0.0f), 0) << c.what;
    EXPECT_TRUE(r.fx().inputIsStereo()) << c.what;
    EXPECT_TRUE(r.fx().outputIsStereo()) << c.what;
    EXPECT_FALSE(r.fx().setSpeakerArrangement(nullptr, nullptr)) << c.what;
  }
}

TEST_F(TindravelleEffect, DelayFollowsTheSampleRateBandAtTheNextResume) {
  struct Case {
    float hostRate, rate;
    int delay;
  };
  const Case cases[] = {{44100, 44100, 63},
                        {48000, 48000, 63},
                        {49999, 49999, 63},
                        {50000, 50000, 127},
                        {88200, 88200, 127},
                        {96000, 96000, 127},
                        {100000, 100000, 255},
                        {176400, 176400, 255},
                        {192000, 192000, 255},
                        {10000, 22050, 63},
                        {250000, 192000, 255},
                        {std::nanf(""), 44100, 63},
                        {std::numeric_limits<float>::infinity(), 44100, 63}};
  for (const Case& c : cases) {
    Rig r(c.hostRate);
    EXPECT_EQ(r.fx().getSampleRate(), c.rate) << c.hostRate;
    EXPECT_EQ(r.fx().getDelaySamples(), static_cast<float>(c.delay)) << c.hostRate;
    EXPECT_EQ(r.delay(), c.delay) << c.hostRate;
    EXPECT_EQ(r.engine().sampleRate(), c.rate) << c.hostRate;
  }
  Rig r;
  EXPECT_EQ(r.fx().getDelayMs(), static_cast<float>(63.0 * 1000.0 / 44100.0));
  // A rate change alone is stored, and taken up by the next suspend and resume.
  r.setSampleRate(96000.0f);
  EXPECT_EQ(r.delay(), 63);
  EXPECT_EQ(r.engine().sampleRate(), 44100.0f) << "the processing keeps its rate until the resume";
  r.effect()->dispatcher(r.effect(), effMainsChanged, 0, 1, nullptr, 0.0f);
  EXPECT_EQ(r.delay(), 127);
  EXPECT_EQ(r.engine().sampleRate(), 96000.0f);
  r.setSampleRate(19000.0f);
  EXPECT_EQ(r.fx().getDelayMs(), static_cast<float>(63.0 * 1000.0 / 44100.0)) << "below 20000 Hz: 44100";
}

TEST_F(TindravelleEffect, NamesAndLabelsOfEveryIndex) {
  struct Row {
    VstInt32 index;
    const char* name;
    const char* label;
  };
  const Row rows[] = {
      {0, "Process", ""},
      {1, "", ""},
      {2, "Stereo-Mono", ""},
      {3, "Link", ""},
      {4, "Speed", "%"},
      {5, "ReleaseMul", "*"},
      {6, "Drive", "dB"},
      {7, "", ""},
      {8, "", ""},
      {9, "LowAdjust", "dB"},
      {10, "", ""},
      {11, "HighAdjust", "dB"},
      {12, "Knee", "%"},
      {13, "Output", "dB"},
      {14, "Meters", ""},
      {15, "MeterScale", ""},
      {16, " MeterDelay ", ""},
      {17, "", ""},
      {18, "", ""},
      {21, "", ""},
      {22, "", ""},
      {23, "VU Integr", "ms"},
      {24, "VU Refer", "dBFS"},
      {25, "PPM Integr", "ms"},
      {26, "PPM Return", "ms"},
      {27, "OverIndic", " samples "},
      {28, "KnobMode", " "},
      {29, "", ""},
      {57, "", ""},
      {-1, "", ""},
  };
  Rig r;
  for (const Row& row : rows) {
    EXPECT_EQ(text(r, effGetParamName, row.index), row.name) << row.index;
    EXPECT_EQ(text(r, effGetParamLabel, row.index), row.label) << row.index;
  }
}

// ---- expected display texts, from the formulas, without the effect's formatter ----

// A number with that many decimals in at most eight positions (the point and
// the sign counted): where the integer part leaves fewer positions, fewer
// decimals. The table's values lie away from rounding ties.
std::string fixed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string s = buffer;
  if (s.size() > 8) s.resize(8);
  return s;
}

// Gains shown at 6 dB per doubling.
std::string decibels(double gain, int decimals) { return fixed(6.0 * std::log2(gain), decimals); }

struct DisplayCase {
  VstInt32 index;
  float value;
  std::string display;
};

std::vector<DisplayCase> displayCases() {
  std::vector<DisplayCase> cases = {
      {kProcess, 1.0f, "On"},          {kProcess, 0.5f, "On"},        {kProcess, 0.49f, "Off"},
      {kStereoMono, 1.0f, "Stereo"},   {kStereoMono, 0.5f, "Mono"},   {kStereoMono, 0.2f, "Mono"},
      {kLink, 1.0f, "Linked"},         {kLink, 0.0f, "Unlinked"},     {kMeters, 0.0f, "Pre"},
      {kMeters, 0.3333f, "Pre"},       {kMeters, 0.34f, "GainRed"},   {kMeters, 0.6666f, "GainRed"},
      {kMeters, 0.6667f, "Post"},      {kMeters, 1.0f, "Post"},       {kMeterScale, 0.5f, "PPM"},
      {kMeterScale, 0.49f, "VU"},      {kKnobMode, 1.0f, " Linear "}, {kKnobMode, 0.5f, " Linear "},
      {kKnobMode, 0.2f, " Circular "},
  };
  for (VstInt32 index : {1, 7, 8, 10, 16, 17, 18, 21, 22, 29, 40, -2}) cases.push_back({index, 0.7f, ""});
  for (float v : {0.0f, 0.123f, 0.472f, 0.5f, 1.0f}) {
    cases.push_back({kSpeed, v, fixed(100.0 * v, 1)});
    cases.push_back({kKnee, v, fixed(100.0 * v, 1)});
  }
  for (float v : {0.0f, 0.35f, 0.5f, 0.82f, 1.0f})
    cases.push_back({kReleaseMul, v, fixed(0.25 * std::pow(16.0, static_cast<double>(v)), 2)});
  for (float v : {0.0f, 0.2f, 0.5f, 0.675f, 0.8f, 1.0f})
    cases.push_back({kDrive, v, fixed(48.0 * v - 24.0, 2)});
  for (VstInt32 index : {kLowAdjust, kHighAdjust, kOutput})
    for (float v : {0.0f, 0.25f, 0.3f, 0.4984f, 0.5f, 0.665f, 0.75f, 1.0f})
      cases.push_back({index, v, fixed(24.0 * v - 12.0, 2)});
  for (float v : {0.0f, 0.25f, 0.5f, 1.0f})
    cases.push_back({kVuIntegr, v, fixed(30.0 * std::pow(100.0, static_cast<double>(v)), 1)});
  for (float v : {0.0f, 0.41f, 0.7f, 1.0f})
    cases.push_back({kVuRefer, v, decibels(std::pow(0.06125, 1.0 - static_cast<double>(v)), 1)});
  for (float v : {0.0f, 0.3f, 0.5f, 1.0f})
    cases.push_back({kPpmIntegr, v, fixed(std::pow(101.0, static_cast<double>(v)) - 1.0, 3)});
  for (float v : {0.0f, 0.2f, 0.5f, 1.0f})
    cases.push_back({kPpmReturn, v, fixed(100.0 * std::pow(100.0, static_cast<double>(v)), 3)});
  for (int k = 0; k <= 9; ++k) cases.push_back({kOverIndic, k / 9.0f, fixed(k + 1.0, 1)});
  return cases;
}

TEST_F(TindravelleEffect, DisplaysFollowTheFormulasOfEveryParameter) {
  for (const DisplayCase& c : displayCases()) {
    Rig r;
    r.set({{c.index, c.value}});
    EXPECT_EQ(text(r, effGetParamDisplay, c.index), c.display) << "index " << c.index << " = " << c.value;
  }
}

// The Stereo-Mono text, its plain value and what its button shows name the
// kernels that run (the stereo ones only above 0.5): the output is that of
// the plain setting named. The Meters text names what the meters read, at
// the thresholds too.
TEST_F(TindravelleEffect, StereoMonoAndMetersTextsTellWhatRuns) {
  const struct {
    float value;
    const char* text;
    float runsAs;  // the plain setting named, also the button's value
  } kStereoCases[] = {
      {0.5f, "Mono", 0.0f}, {std::nextafter(0.5f, 1.0f), "Stereo", 1.0f}, {0.2f, "Mono", 0.0f}};
  const Stereo in{rig::noise(6000, 81, 1.4), rig::noise(6000, 82, 0.3)};
  for (const auto& c : kStereoCases) {
    SCOPED_TRACE(c.value);
    Rig r, named;
    r.set({{kStereoMono, c.value}});
    named.set({{kStereoMono, c.runsAs}});
    EXPECT_EQ(text(r, effGetParamDisplay, kStereoMono), c.text);
    EXPECT_EQ(r.fx().getParameterPlainValue(kStereoMono), c.runsAs);
    EXPECT_EQ(r.fx().getControlValue(kStereoMono), c.runsAs);
    EXPECT_EQ(r.fx().getParameter(kStereoMono), c.value) << "the host's value stays";
    const Stereo out = r.process(in), expected = named.process(in);
    EXPECT_TRUE(out.left == expected.left && out.right == expected.right) << "it runs other kernels";
  }

  const struct {
    float value;
    int source;
    const char* text;
  } kMetersCases[] = {
      {0.3333333f, 0, "Pre"},
      {std::nextafter(0.3333333f, 1.0f), 1, "GainRed"},
      {0.6666666f, 1, "GainRed"},
      {0.6666667f, 2, "Post"},
  };
  for (const auto& c : kMetersCases) {
    Rig r;
    r.set({{kMeters, c.value}});
    EXPECT_EQ(r.engine().meterSource, c.source) << c.value;
    EXPECT_EQ(text(r, effGetParamDisplay, kMeters), c.text) << c.value;
  }
}

TEST_F(TindravelleEffect, DecibelTextsAreSixPerDoubling) {
  const struct {
    double gain;
    int decimals;
    const char* text;
  } cases[] = {{4.0, 2, "12.00"}, {0.25, 2, "-12.00"}, {16.0, 2, "24.00"}, {1.0, 2, "0.00"},
               {2.0, 1, "6.0"},   {0.0, 2, "-oo"},     {-1.0, 2, "-oo"}};
  for (const auto& c : cases) {
    char text[16] = {};
    dBDisplayString(c.gain, c.decimals, text);
    EXPECT_STREQ(text, c.text) << c.gain;
  }
}

TEST_F(TindravelleEffect, ParametersDeriveTheirQuantities) {
  Rig r;
  TrackEngine& e = r.engine();
  Tindravelle& fx = r.fx();
  for (VstInt32 index : {kDrive, kLowAdjust, kHighAdjust, kOutput}) r.set({{index, 0.5f}});
  EXPECT_EQ(e.driveGain, 1.0);
  EXPECT_EQ(e.lowAdjustGain, 1.0);
  EXPECT_EQ(e.highAdjustGain, 1.0);
  EXPECT_EQ(e.outputGain, 1.0);
  EXPECT_EQ(e.lowFreqHz, 80.0);
  EXPECT_EQ(e.highFreqHz, 12000.0);
  r.set({{kDrive, 0.0f}, {kOutput, 1.0f}});
  EXPECT_EQ(e.driveGain, 1.0 / 16.0);
  EXPECT_EQ(e.outputGain, 4.0);
  EXPECT_EQ(fx.getParameterPlainValue(kDrive), -24.0f);
  EXPECT_EQ(fx.getParameterPlainValue(kOutput), 12.0f);
  r.set({{kOutput, 0.4984f}});
  EXPECT_NEAR(e.outputGain, std::pow(2.0, -0.0064), 1e-7);

  struct Knee {
    float value;
    int mode;
    double amount;
  };
  for (const Knee k : {Knee{0.2f, 0, 4.0 * 0.2f}, Knee{0.25f, 1, 0.0}, Knee{1.0f, 1, 1.0}}) {
    r.set({{kKnee, k.value}});
    EXPECT_EQ(e.kneeMode, k.mode) << k.value;
    EXPECT_DOUBLE_EQ(e.kneeAmount, k.amount) << k.value;
    EXPECT_EQ(e.curveScale, 1.0) << "full scale maps to full scale";
    EXPECT_EQ(e.ceilingLevel, 1.0);
  }

  struct Meters {
    float value;
    int source;
  };
  for (const Meters m : {Meters{0.0f, 0}, Meters{0.34f, 1}, Meters{0.5f, 1}, Meters{1.0f, 2}}) {
    r.set({{kMeters, m.value}});
    EXPECT_EQ(e.meterSource, m.source) << m.value;
  }

  struct Over {
    float value, stored;
    double threshold;
  };
  for (const Over o :
       {Over{0.5f, 5.0f / 9.0f, 6.000000238418579}, Over{2.0f / 9.0f, 2.0f / 9.0f, 3.000000014901161},
        Over{0.0f, 0.0f, 1.0}, Over{1.0f, 1.0f, 10.0}}) {
    r.set({{kOverIndic, o.value}});
    EXPECT_EQ(fx.getParameter(kOverIndic), o.stored) << o.value;
    EXPECT_EQ(e.overThreshold, o.threshold) << o.value;
  }

  // Speed 0 and 1 at 44100 Hz: windows of 3 and 52 samples.
  r.set({{kSpeed, 0.0f}});
  EXPECT_EQ(e.lookaheadLength, 3);
  r.set({{kSpeed, 1.0f}});
  EXPECT_EQ(e.lookaheadLength, 52);
  EXPECT_EQ(fx.getParameterPlainValue(kMeterDelay), -1.0f);
}

TEST_F(TindravelleEffect, GlobalParametersReachEveryProgramOthersOnlyTheCurrentOne) {
  Rig r;
  Tindravelle& fx = r.fx();
  ProgramStore& store = *fx.programStore();
  fx.selectProgram(4);
  r.set({{kMeterScale, 1.0f}, {kMeterDelay, 0.7f}, {kMeterClick, 1.0f}, {kSpeed, 0.3f}, {8, 0.6f}});
  for (int k = 0; k < 13; ++k) {
    EXPECT_EQ(store.value(k, kMeterScale), 1.0f) << k;
    EXPECT_EQ(store.value(k, kMeterClick), 1.0f) << k;
    EXPECT_EQ(store.value(k, kMeterDelay), k == 4 ? 0.7f : 0.0f) << k;
    EXPECT_EQ(store.value(k, kSpeed) == 0.3f, k == 4) << k;
  }
  EXPECT_EQ(fx.getParameter(8), 0.6f) << "a spare index lives in the current program";
  fx.selectProgram(9);
  EXPECT_EQ(fx.getParameter(kMeterScale), 1.0f) << "a global parameter stays when programs change";
  EXPECT_EQ(fx.getParameter(8), store.value(9, 8));
  r.set({{kNoParameter, 0.8f}, {40, 0.8f}});
  EXPECT_EQ(fx.getParameter(kNoParameter), 0.0f);
  EXPECT_EQ(fx.getParameter(40), 0.0f);
}

TEST_F(TindravelleEffect, ValuesFromOutsideAreKeptWithinZeroToOne) {
  Rig r;
  const struct {
    float given, stored;
  } cases[] = {{std::numeric_limits<float>::quiet_NaN(), 0.0f},
               {-0.5f, 0.0f},
               {1.5f, 1.0f},
               {std::numeric_limits<float>::infinity(), 1.0f}};
  for (const auto& c : cases) {
    r.set({{kDrive, c.given}, {kUnnamedSwitch, c.given}, {kVuIntegr, c.given}});
    EXPECT_EQ(r.fx().getParameter(kDrive), c.stored);
    EXPECT_EQ(r.fx().getParameter(kUnnamedSwitch), c.stored);
    EXPECT_EQ(r.fx().getParameter(kVuIntegr), c.stored);
    EXPECT_TRUE(std::isfinite(r.engine().driveGain));
  }
}

TEST_F(TindravelleEffect, PropertiesMarkSwitchesAndTheMeterSelector) {
  Rig r;
  AEffect* e = r.effect();
  const struct {
    VstInt32 index, flags, maximum;
  } cases[] = {{0, 11, 1}, {1, 11, 1}, {2, 11, 1}, {3, 11, 1}, {15, 11, 1}, {17, 11, 1}, {14, 10, 2}};
  for (const auto& c : cases) {
    VstParameterProperties p{};
    ASSERT_EQ(e->dispatcher(e, effGetParameterProperties, c.index, 0, &p, 0), 1) << c.index;
    EXPECT_EQ(p.flags, c.flags) << c.index;
    EXPECT_EQ(p.minInteger, 0);
    EXPECT_EQ(p.maxInteger, c.maximum) << c.index;
    EXPECT_EQ(p.stepInteger, 1);
    EXPECT_EQ(p.largeStepInteger, 1);
  }
  for (VstInt32 index : {4, 13, 16, 21, 23, 28}) {
    VstParameterProperties p{};
    p.flags = 77;
    EXPECT_EQ(e->dispatcher(e, effGetParameterProperties, index, 0, &p, 0), 0) << index;
    EXPECT_EQ(p.flags, 77) << "left untouched";
  }
}

float stored(const char* name) {
  platform::SettingsKey key(presets::kMeterPreferenceStem, platform::SettingsKey::Access::Query);
  float v = -1.0f;
  return key.readExact(name, platform::SettingsType::Binary, &v, 4) ? v : -1.0f;
}

void store(const char* name, float v) {
  platform::SettingsKey(presets::kMeterPreferenceStem, platform::SettingsKey::Access::Write)
      .write(name, platform::SettingsType::Binary, &v, 4);
}

TEST_F(TindravelleEffect, MeterPreferencesStartFromTheirDefaults) {
  Rig r;
  Tindravelle& fx = r.fx();
  EXPECT_EQ(fx.getParameter(kVuIntegr), 0.5f);
  EXPECT_EQ(fx.getParameter(kVuRefer), 0.41f);
  EXPECT_EQ(fx.getParameter(kPpmIntegr), 0.5f);
  EXPECT_EQ(fx.getParameter(kPpmReturn), 0.5f);
  EXPECT_EQ(fx.getParameter(kOverIndic), 2.0f / 9.0f);
  EXPECT_EQ(fx.getParameter(kKnobMode), 1.0f);
  EXPECT_DOUBLE_EQ(fx.getParameterPlainValue(kVuIntegr), 300.0);
  EXPECT_EQ(r.engine().overThreshold, 3.000000014901161);
  EXPECT_EQ(stored("vuintegration"), -1.0f) << "nothing is written while the effect lives";
}

TEST_F(TindravelleEffect, MeterPreferencesAreSharedButTheKnobModeIsOnlyRead) {
  store("knobmode", 0.0f);  // as the second generation left it
  store("ppmreturn", 0.25f);
  {
    Rig r;
    EXPECT_EQ(r.fx().getParameter(kKnobMode), 0.0f);
    EXPECT_EQ(r.fx().getParameter(kPpmReturn), 0.25f);
    r.set({{kKnobMode, 1.0f}, {kVuIntegr, 0.75f}, {kOverIndic, 0.5f}});
  }
  EXPECT_EQ(stored("knobmode"), 0.0f) << "the track effect never writes the knob mode";
  EXPECT_EQ(stored("vuintegration"), 0.75f);
  EXPECT_EQ(stored("vureference"), 0.41f);
  EXPECT_EQ(stored("ppmintegration"), 0.5f);
  EXPECT_EQ(stored("ppmreturn"), 0.25f);
  EXPECT_EQ(stored("overcounter"), 5.0f / 9.0f);
  Rig next;
  EXPECT_EQ(next.fx().getParameter(kVuIntegr), 0.75f);
}

}  // namespace
