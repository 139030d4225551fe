// Both Ostrelvanheim generations as effects: their identity and records, the
// names, labels and displays of their parameters, their parameter rules,
// their delay by sample rate and their meter preferences. What both products
// have runs over the product table (ostrelvanheim_products.h) at each
// product's indices; what one product alone has is a case of that product's
// own (Ostrelvanheim2Effect, FirstGeneration), at its own indices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "presets/meter_preferences.h"
#include "presets/stored_presets.h"
#include "products/ostrelvanheim/product.h"
#include "tests/products/ostrelvanheim_products.h"

namespace {

using rig::FirstGenerationRig;
using rig::Generation;
using rig::Rig;

std::string text(Ostrelvanheim& fx, VstInt32 opcode, VstInt32 index) {
  char buffer[300] = {};
  AEffect* e = fx.getAeffect();
  e->dispatcher(e, opcode, index, 0, buffer, 0.0f);
  return buffer;
}

using OstrelvanheimEffect = rig::GenerationTest;

class Ostrelvanheim2Effect : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

class FirstGeneration : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

// ---- identity and records ----

TEST_P(OstrelvanheimEffect, IdentityTowardsTheHost) {
  const Generation& g = generation();
  Rig r = rig();
  Ostrelvanheim& fx = r.fx();
  AEffect* e = fx.getAeffect();
  EXPECT_EQ(e->uniqueID, g.uniqueId);
  EXPECT_EQ(fx.getPresetId(), g.uniqueId);
  EXPECT_EQ(e->numParams, g.numParams);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1031) << "replacing in 32 and 64 bits, chunks, an editor";
  EXPECT_NE(fx.productEditor(), nullptr) << "the editor object exists without a window";
  EXPECT_EQ(e->initialDelay, g.bands[0].delay);
  EXPECT_EQ(text(fx, effGetEffectName, 0), g.effectName);
  EXPECT_EQ(text(fx, effGetVendorString, 0), "Brenmoorworks");
  EXPECT_EQ(text(fx, effGetProductString, 0), g.productString);
  EXPECT_EQ(e->dispatcher(e, effGetVendorVersion, 0, 0, nullptr, 0), 2500);
  EXPECT_EQ(e->dispatcher(e, effGetPlugCategory, 0, 0, nullptr, 0), 4);
  EXPECT_EQ(e->dispatcher(e, effSetProcessPrecision, 0, 1, nullptr, 0), 1);
  EXPECT_EQ(e->dispatcher(e, effGetTailSize, 0, 0, nullptr, 0), 0);
  char midi[] = "receiveVstMidiEvent";
  EXPECT_EQ(e->dispatcher(e, effCanDo, 0, 0, midi, 0), 0);
  VstPinProperties pin{};
  EXPECT_EQ(e->dispatcher(e, effGetOutputProperties, 1, 0, &pin, 0), 1);
  EXPECT_STREQ(pin.label, "My 2 Out");
  EXPECT_TRUE(fx.isSuspended()) << "the constructor ends suspended";
  EXPECT_EQ(r.engine().editorIsOpen, 0);
  EXPECT_EQ(fx.presetTraits().settingsStem, std::string(g.settingsStem));
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

TEST_F(FirstGeneration, RecordsAndChunkHoldFortyEightValuesPerProgram) {
  FirstGenerationRig r;
  const records::Layout& layout = r.fx().presetTraits().layout;
  EXPECT_EQ(layout.entryBytes(), 216u);
  EXPECT_EQ(layout.presetRecordBytes(), 221u);
  EXPECT_EQ(layout.bankRecordBytes(), 6485u);
  EXPECT_EQ(layout.settingsRecordBytes(), 197u);
  void* data = nullptr;
  EXPECT_EQ(r.fx().getChunk(&data, false), 6512);

  // The settings record carries the editor-only values 48 to 95: the
  // preferences 49 to 54 and the channel mode 65 among them.
  r.set({{50, 0.25f}, {54, 0.0f}, {65, 0.6f}});
  std::vector<std::uint8_t> settings(197, 0);
  presets::writeSettings(r.fx(), settings.data());
  auto valueAt = [&](VstInt32 index) { return records::readFloat(settings.data() + 5 + 4 * (index - 48)); };
  EXPECT_EQ(valueAt(50), 0.25f);
  EXPECT_EQ(valueAt(54), 0.0f);
  EXPECT_EQ(valueAt(65), 0.667f);
  FirstGenerationRig other;
  presets::readSettings(other.fx(), settings.data(), false);
  EXPECT_EQ(other.fx().getParameter(50), 0.25f);
  EXPECT_EQ(other.fx().getParameter(54), 0.0f);
  EXPECT_EQ(other.fx().getParameter(36), 1.0f) << "the channel mode sets L R";
}

// ---- texts ----

TEST_P(OstrelvanheimEffect, NamesAndLabelsOfEveryIndex) {
  const Generation& g = generation();
  // Each row at both products' indices: the second generation's, the first's.
  struct Row {
    VstInt32 indices[2];
    const char* name;
    const char* label;
  };
  std::vector<Row> rows = {
      {{0, 0}, " Process ", ""},
      {{1, 1}, " Mode", ""},
      {{2, 2}, " Mono Stereo", ""},
      {{3, 3}, " Link", ""},
      {{4, 4}, " Drive ", " dB "},
      {{5, 5}, " Knee ", " % "},
      {{6, 6}, " Speed ", " % "},
      {{7, 7}, " Release ", " * "},
      {{8, 8}, " HighAdjust ", " dB "},
      {{9, 9}, " LowAdjust ", " dB "},
      {{10, 10}, " HighFreq ", " Hz "},
      {{11, 11}, " LowFreq ", " Hz "},
      {{12, 12}, " Mix ", " % "},
      {{13, 13}, " Ceiling ", " dB "},
      {{14, 14}, " Output ", " dB "},
      {{15, 15}, " LowSat", " dB "},
      {{16, 16}, " MidSat ", " dB "},
      {{17, 17}, " HighSat ", " dB "},
      {{18, 18}, " LowRel ", " * "},
      {{19, 19}, " MidRel ", " * "},
      {{20, 20}, " HighRel ", " * "},
      {{21, 21}, " Meters ", ""},
      {{22, 22}, " MeterType ", ""},
      {{23, 27}, "-", " ms "},
      {{24, 28}, " FineTune ", " % "},
      {{25, 35}, " MeterScale ", " dB "},
      {{26, 31}, g.fatName, ""},
      {{27, 32}, " Long ", ""},
      {{28, 33}, " Auto ", ""},
      {{29, 34}, " Brickwall ", ""},
      {{30, 36}, " L R ", ""},
      {{43, 49}, " VU Integr ", " ms "},
      {{44, 50}, " VU Refer ", " dBFS "},
      {{45, 51}, " PPM Integr ", " ms "},
      {{46, 52}, " PPM Return ", " ms "},
      {{47, 53}, " OverIndic ", " samples "},
      {{48, 54}, " Knob Mode ", " "},
  };
  for (VstInt32 i : g.unnamed) rows.push_back({{i, i}, "-", "-"});

  Rig r = rig();
  for (const Row& row : rows) {
    const VstInt32 index = row.indices[g.column];
    EXPECT_EQ(text(r.fx(), effGetParamName, index), row.name) << index;
    EXPECT_EQ(text(r.fx(), effGetParamLabel, index), row.label) << index;
  }
}

struct DisplayCase {
  VstInt32 index;
  float value;
  const char* display;
};

// The meter and knob preferences show the same in both generations.
std::vector<DisplayCase> preferenceDisplays(const OstrelvanheimProduct& product) {
  const DisplayCase byMeaning[] = {
      {Meaning::kVuIntegr, 0.5f, "300"},
      {Meaning::kVuRefer, 1.0f, "1.0"},
      {Meaning::kPpmIntegr, 1.0f, "100"},
      {Meaning::kPpmReturn, 0.5f, "1000"},
      {Meaning::kOverIndic, 2.0f / 9.0f, "3.000000"},
      {Meaning::kKnobMode, 1.0f, " Linear "},
      {Meaning::kKnobMode, 0.0f, " Circular "},
  };
  std::vector<DisplayCase> cases;
  for (DisplayCase c : byMeaning) {
    c.index = product.parameters.indexOf(c.index);
    cases.push_back(c);
  }
  return cases;
}

TEST_F(Ostrelvanheim2Effect, DisplaysFollowTheStoredValues) {
  std::vector<DisplayCase> cases = {
      {0, 1.0f, " On "},        {0, 0.49f, " Off "},   {0, 0.5f, " On "},       {1, 1.0f, " MultiBand "},
      {1, 0.0f, " SingleBnd "}, {3, 1.0f, " Linked "}, {3, 0.0f, " Unlinked "}, {4, 1.0f, "24.00"},
      {4, 0.0f, "-24.00"},      {4, 0.5f, "0.00"},     {5, 0.123f, "12.3"},     {6, 1.0f, "100.0"},
      {7, 0.5f, "1.00"},        {7, 1.0f, "4.00"},     {8, 0.75f, "6.00"},      {9, 0.25f, "-6.00"},
      {10, 1.0f, "16000"},      {10, 0.0f, "1000"},    {11, 0.5f, "100.0"},     {11, 1.0f, "400.0"},
      {12, 0.5f, "50.0"},       {13, 0.5f, "0.00"},    {14, 0.4984f, "-0.04"},  {15, 1.0f, "12.00"},
      {18, 1.0f, "16.00"},      {18, 0.0f, "0.06"},    {21, 0.0f, " Pre "},     {21, 0.5f, " GainRed "},
      {21, 1.0f, " Post "},     {22, 1.0f, " PPM "},   {22, 0.0f, " VU "},      {23, 0.5f, "-"},
      {24, 1.0f, "100"},        {25, 1.0f, "-40..+6"}, {25, 0.0f, "-20..+3"},   {26, 1.0f, " FAT "},
      {26, 0.0f, " Off "},      {27, 1.0f, " Long "},  {28, 1.0f, " Auto "},    {29, 1.0f, " BrickWall "},
      {29, 0.0f, " Off "},      {30, 0.0f, " OO-O"},   {31, 0.7f, ""},          {99, 0.5f, ""},
  };
  for (const DisplayCase& c : preferenceDisplays(ostrelvanheim2::kProduct)) cases.push_back(c);
  for (const auto& c : cases) {
    Rig r;
    r.set({{c.index, c.value}});
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, c.index), c.display) << c.index << " = " << c.value;
  }
}

// The text of a number with a fixed count of decimals, rounded half away from
// zero, from the value as the display takes it (single precision). The values
// below keep clear of remainders just under one half, where the display's own
// threshold (0.49999 of the last decimal) would matter.
std::string fixed(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(static_cast<float>(value) * scale) / scale;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
  return buffer;
}

// What the display of each host index of the first generation shows for a
// value v, by the published formulas, with the fine-tune factor f.
std::string expectedDisplay(VstInt32 index, float value, double f) {
  const double v = value;
  const double g = std::sqrt(f);
  auto choose = [&](const char* on, const char* off) { return std::string(value >= 0.5f ? on : off); };
  switch (index) {
    case 0: return choose(" On ", " Off ");
    case 1: return choose(" MultiBand ", " SingleBnd ");
    // The stereo kernels run only above 0.5 (L R below 0.333).
    case 2: return value > 0.5f ? " Stereo " : " Mono ";
    case 3: return choose(" Linked ", " Unlinked ");
    case 4: return fixed((48.0 * v - 24.0) * f, 2);
    case 5:
    case 6:
    case 12: return fixed(100.0 * v, 1);
    case 7: return fixed(0.25 * std::pow(16.0, v), 2);
    case 8:
    case 9: return fixed((24.0 * v - 12.0) * f, 2);
    case 10: return fixed(1000.0 * std::pow(16.0, v), 0);
    case 11: return fixed(2.0 * 12.5 * std::pow(16.0, v), 1);
    case 13:
    case 14: return fixed(g * (24.0 * v - 12.0), 2);
    case 15:
    case 16:
    case 17: return fixed(12.0 * v - 6.0, 2);
    case 18:
    case 19:
    case 20: return fixed(0.25 * std::pow(16.0, v), 2);
    case 21: return value < 0.3333333f ? " Pre " : (value < 0.6666667f ? " GainRed " : " Post ");
    case 22: return choose(" PPM ", " VU ");
    case 27: return "-";
    case 28: {
      const int k = static_cast<int>(3.0f * value + 0.5f);
      return fixed(100.0 * std::pow(0.125, 1.0 - k / 3.0), 0);
    }
    case 31: return "-";
    case 32: return choose(" Long ", " Off ");
    case 33: return choose(" Auto ", " Off ");
    case 34: return choose(" BrickWall ", " Off ");
    case 35: return static_cast<int>(v + 0.5) == 1 ? "-40..+6" : "-20..+3";
    // Program 0 runs stereo, where both channels are processed whatever L R holds.
    case 36: return " OO-O";
    default: return "";  // the spare indices
  }
}

TEST_F(FirstGeneration, DisplaysOfAllHostParametersFollowTheirFormulas) {
  const float values[] = {0.0f, 0.2f, 0.45f, 0.5f, 0.7f, 1.0f};
  FirstGenerationRig r;
  for (VstInt32 index = 0; index < 48; ++index) {
    for (float v : values) {
      r.fx().selectProgram(0);  // FineTune 1 and L R 0 again
      r.set({{index, v}});
      const double f = index == 28 ? std::pow(0.125, 1.0 - static_cast<int>(3.0f * v + 0.5f) / 3.0) : 1.0;
      EXPECT_EQ(text(r.fx(), effGetParamDisplay, index), expectedDisplay(index, v, f))
          << "index " << index << " = " << v;
    }
  }
}

TEST_F(FirstGeneration, OtherDisplaysReadTheRoutingAndThePreferences) {
  FirstGenerationRig r;
  r.set({{65, 0.6f}});
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 2), " L-R ");
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 36), " R ");
  r.set({{65, 0.1f}});
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 2), " Mono ");
  std::vector<DisplayCase> rows = preferenceDisplays(ostrelvanheim::kProduct);
  for (VstInt32 index : {48, 55, 65}) rows.push_back({index, 0.5f, ""});
  for (const DisplayCase& row : rows) {
    r.set({{row.index, row.value}});
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, row.index), row.display) << row.index;
  }
}

// The texts of the stereo mode and left/right parameters, and the channel
// mode the editor's button shows, name the routing that runs: its output is
// that of the plain setting of the routing named. The stereo kernels run only
// above 0.5, and left/right counts only in the one-channel kernels.
TEST_P(OstrelvanheimEffect, ChannelTextsTellTheRoutingThatRuns) {
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
  for (const auto& c : kCases) {
    SCOPED_TRACE("mono stereo " + std::to_string(c.monoStereo) + ", L R " + std::to_string(c.lr));
    Rig r = rig(), named = rig();
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

// The Meters text names what the meters read, at the thresholds too.
TEST_P(OstrelvanheimEffect, MetersTextTellsWhatTheMetersRead) {
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
  for (const auto& c : kCases) {
    Rig r = rig();
    r.setMeanings({{Meaning::kMeters, c.value}});
    EXPECT_EQ(r.engine().meterSource, c.source) << c.value;
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, r.index(Meaning::kMeters)), c.text) << c.value;
  }
}

TEST_P(OstrelvanheimEffect, PropertiesMarkSwitchesAndSelectors) {
  const Generation& g = generation();
  Rig r = rig();
  AEffect* e = r.fx().getAeffect();
  // At both products' indices: the second generation's, the first's.
  struct Case {
    VstInt32 indices[2], flags, maximum;
  };
  const Case cases[] = {{{0, 0}, 11, 1},   {{1, 1}, 11, 1},   {{2, 2}, 11, 1},   {{3, 3}, 11, 1},
                        {{22, 22}, 11, 1}, {{26, 31}, 11, 1}, {{27, 32}, 11, 1}, {{28, 33}, 11, 1},
                        {{29, 34}, 11, 1}, {{25, 35}, 11, 1}, {{21, 21}, 10, 2}, {{24, 28}, 10, 3}};
  for (const Case& c : cases) {
    const VstInt32 index = c.indices[g.column];
    VstParameterProperties p{};
    ASSERT_EQ(e->dispatcher(e, effGetParameterProperties, index, 0, &p, 0), 1) << index;
    EXPECT_EQ(p.flags, c.flags) << index;
    EXPECT_EQ(p.minInteger, 0) << index;
    EXPECT_EQ(p.maxInteger, c.maximum) << index;
    EXPECT_EQ(p.stepInteger, 1);
    EXPECT_EQ(p.largeStepInteger, 1);
  }
  for (VstInt32 index : g.withoutProperties) {
    VstParameterProperties p{};
    p.flags = 77;
    EXPECT_EQ(e->dispatcher(e, effGetParameterProperties, index, 0, &p, 0), 0) << index;
    EXPECT_EQ(p.flags, 77) << "left untouched";
  }
}

// ---- parameter rules ----

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

TEST_F(FirstGeneration, FineTuneRescalesDriveAdjustmentsCeilingAndOutput) {
  const float fineTunes[] = {0.0f, 1.0f / 3.0f, 2.0f / 3.0f};
  const float values[] = {0.0f, 0.2f, 0.7f, 1.0f};
  for (float ft : fineTunes) {
    const double f = std::pow(0.125, 1.0 - static_cast<int>(3.0f * ft + 0.5f) / 3.0);
    for (float v : values) {
      FirstGenerationRig r;
      // The gains set before FineTune follow it: FineTune re-applies them.
      r.set({{4, v}, {8, v}, {9, v}, {13, v}, {14, v}, {28, ft}});
      for (VstInt32 index : {4, 8, 9, 13, 14})
        EXPECT_EQ(text(r.fx(), effGetParamDisplay, index), expectedDisplay(index, v, f))
            << "index " << index << " = " << v << " at fine tune " << ft;
    }
  }
  FirstGenerationRig r;
  r.set({{28, 0.0f}, {4, 1.0f}, {13, 1.0f}});
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 4), "3.00");
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 13), "4.24");
  EXPECT_DOUBLE_EQ(r.engine().driveGain, std::pow(256.0, 0.125) / std::pow(16.0, 0.125));
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

TEST_F(FirstGeneration, MeterDelayKeepsItsStepsAndPassesAnAutomaticValueAsGiven) {
  FirstGenerationRig r;
  struct Case {
    float given, kept, programs;
    float plain;
  };
  const Case cases[] = {{0.05f, 0.0f, 0.05f, -1.0f},
                        {0.1f, 0.125f, 0.125f, 0.0f},
                        {0.5f, 0.5f, 0.5f, (0.5f - 0.125f) * 1000.0f / 0.875f},
                        {0.0f, 0.0f, 0.0f, -1.0f}};
  for (const Case& c : cases) {
    r.set({{27, c.given}});
    EXPECT_EQ(r.fx().getParameter(27), c.kept) << c.given;
    for (int k = 0; k < 30; ++k) EXPECT_EQ(r.fx().programStore()->value(k, 27), c.programs) << c.given;
    EXPECT_FLOAT_EQ(r.fx().getParameterPlainValue(27), c.plain) << c.given;
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, 27), "-");
  }
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

TEST_F(FirstGeneration, TheOversamplingIndexIsStoredAndGlobalButSwitchesNothing) {
  FirstGenerationRig r(96000.0f);
  r.set({{31, 1.0f}});
  EXPECT_EQ(r.fx().getParameter(31), 1.0f);
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 31), "-");
  for (int k = 0; k < 30; ++k) EXPECT_EQ(r.fx().programStore()->value(k, 31), 1.0f) << k;
  EXPECT_EQ(r.engine().fatOn, 0);
  EXPECT_EQ(r.fx().getParameterPlainValue(31), 0.0f);
  r.setSampleRate(48000.0f);
  r.setSampleRate(96000.0f);
  EXPECT_EQ(r.engine().fatOn, 0);
  EXPECT_EQ(r.delay(), 255);
  EXPECT_EQ(r.engine().lookaheadLength, 115) << "the windows are at the host rate (230 at twice that)";
}

// The editor's channel button sets the stereo mode and left/right and reads
// the routing back; the envelopes start again only when the routing changes.
TEST_P(OstrelvanheimEffect, ChannelModeSetsTheRoutingItReadsBack) {
  Rig r = rig();
  CompressorEngine& e = r.engine();
  const VstInt32 channelMode = r.index(Meaning::kChannelMode), monoStereo = r.index(Meaning::kMonoStereo),
                 lr = r.index(Meaning::kLR);
  r.set({{channelMode, 0.4f}});
  EXPECT_EQ(r.fx().getParameter(monoStereo), 0.0f);
  EXPECT_EQ(r.fx().getParameter(lr), 0.5f);
  EXPECT_EQ(r.fx().getParameter(channelMode), 0.333f);
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, lr), " L ");
  e.applyPendingRequests();
  e.envelopes[2] = 0.5;
  r.set({{channelMode, 0.405f}});  // 40 either way: no change
  e.applyPendingRequests();
  EXPECT_EQ(e.envelopes[2], 0.5);
  r.set({{channelMode, 0.45f}});
  e.applyPendingRequests();
  EXPECT_EQ(e.envelopes[2], 0.0001);
  struct Mode {
    float value, monoStereo, lr, readBack;
  };
  for (const Mode m :
       {Mode{0.1f, 0, 0, 0}, Mode{0.3f, 0, 0.5f, 0.333f}, Mode{0.6f, 0, 1, 0.667f}, Mode{0.9f, 1, 0, 1}}) {
    r.set({{channelMode, m.value}});
    EXPECT_EQ(e.monoStereoValue, m.monoStereo) << m.value;
    EXPECT_EQ(e.lrValue, m.lr) << m.value;
    EXPECT_EQ(r.fx().getParameter(monoStereo), m.monoStereo) << m.value;
    EXPECT_EQ(r.fx().getParameter(lr), m.lr) << m.value;
    EXPECT_EQ(r.fx().getParameter(channelMode), m.readBack) << m.value;
    EXPECT_EQ(r.fx().programStore()->value(0, lr), 0.0f) << "the selector writes no program";
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

TEST_F(FirstGeneration, BandSaturationAndReleaseHaveTheirOwnScaling) {
  FirstGenerationRig r;
  struct Case {
    VstInt32 index;
    float value;
    double derived;
    const char* display;
  };
  const Case cases[] = {{15, 1.0f, 2.0, "6.00"},  {15, 0.0f, 0.5, "-6.00"}, {17, 0.5f, 1.0, "0.00"},
                        {20, 0.0f, 0.25, "0.25"}, {20, 1.0f, 4.0, "4.00"},  {18, 0.5f, 1.0, "1.00"}};
  for (const Case& c : cases) {
    r.set({{c.index, c.value}});
    const bool saturation = c.index <= 17;
    const int band = saturation ? c.index - 15 : c.index - 18;
    const double derived = saturation ? r.engine().satLevels[band] : r.engine().bandReleaseFactors[band];
    EXPECT_EQ(derived, c.derived) << c.index << " = " << c.value;
    EXPECT_EQ(r.fx().getParameterPlainValue(c.index), static_cast<float>(c.derived));
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, c.index), c.display);
    if (saturation) {
      EXPECT_EQ(r.engine().satInverses[band], 1.0 / c.derived);
    }
  }
}

// A spare host index keeps its value in the current program only; an index
// without a meaning keeps nothing.
TEST_P(OstrelvanheimEffect, SpareIndicesLiveInTheCurrentProgramOnly) {
  Rig r = rig();
  Ostrelvanheim& fx = r.fx();
  for (VstInt32 index : generation().spare) {
    fx.selectProgram(3);
    r.set({{index, 0.75f}});
    EXPECT_EQ(fx.getParameter(index), 0.75f) << index;
    EXPECT_EQ(text(fx, effGetParamDisplay, index), "") << index;
    fx.selectProgram(4);
    EXPECT_EQ(fx.getParameter(index), 0.0f) << index;
    fx.selectProgram(3);
    EXPECT_EQ(fx.getParameter(index), 0.75f) << index;
  }
  for (VstInt32 index : generation().meaningless) {
    r.set({{index, 0.75f}});
    EXPECT_EQ(fx.getParameter(index), 0.0f) << index;
  }
}

// ---- delay and windows ----

TEST_P(OstrelvanheimEffect, DelayAndRingSizesFollowTheSampleRateBand) {
  const Generation& g = generation();
  const struct {
    float hostRate, rate;  // the rate the effect takes
  } kCases[] = {
      {44100.0f, 44100.0f},
      {48000.0f, 48000.0f},
      {49999.0f, 49999.0f},
      {50000.0f, 50000.0f},
      {96000.0f, 96000.0f},
      {100000.0f, 100000.0f},
      {192000.0f, 192000.0f},
      {10000.0f, 22050.0f},
      {250000.0f, 192000.0f},
      {std::numeric_limits<float>::quiet_NaN(), 44100.0f},
      {std::numeric_limits<float>::infinity(), 44100.0f},
  };
  for (const auto& c : kCases) {
    const Generation::Band& band = g.bandAt(c.rate);
    Rig r = rig(c.hostRate);
    EXPECT_EQ(r.fx().getSampleRate(), c.rate) << c.hostRate;
    EXPECT_EQ(r.fx().getLookaheadRingSize(), band.lookaheadRing) << c.hostRate;
    EXPECT_EQ(r.fx().getLatencyRingSize(), band.latencyRing) << c.hostRate;
    EXPECT_EQ(r.fx().getDelaySamples(), band.delay) << c.hostRate;
    EXPECT_EQ(r.delay(), band.delay) << c.hostRate;
  }
  Rig r = rig();
  EXPECT_FLOAT_EQ(r.fx().getDelayMs(), static_cast<float>(g.bands[0].delay) * 1000.0f / 44100.0f);
}

// The delay-ring store holds each product's rings at its own largest sizes:
// sixteen look-ahead regions, then the dry and output regions.
TEST_P(OstrelvanheimEffect, TheDelayRingStoreHoldsTheProductsOwnRings) {
  using E = CompressorEngine;
  const Generation::RingStore& c = generation().ringStore;
  Rig r = rig();
  const CompressorEngine& e = r.engine();
  EXPECT_EQ(e.delayRingSlots(), c.slots);
  for (int region = E::kSumL; region < E::kDryA; ++region)
    EXPECT_EQ(e.regionStart(static_cast<E::Region>(region)), region * c.lookaheadRegion) << region;
  EXPECT_EQ(e.regionStart(E::kDryA), c.dryA);
  EXPECT_EQ(e.regionStart(E::kDryB), c.dryB);
  EXPECT_EQ(e.regionStart(E::kOutL), c.outL);
  EXPECT_EQ(e.regionStart(E::kOutR), c.outR);
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

TEST_F(FirstGeneration, LookaheadWindowsFitTheShorterRingsAtEveryRateAndSpeed) {
  const float rates[] = {22050.0f, 44100.0f, 49999.0f, 50000.0f, 96000.0f, 99999.0f, 100000.0f, 192000.0f};
  for (float rate : rates) {
    for (float speed : {0.0f, 0.5f, 1.0f}) {
      FirstGenerationRig r(rate);
      r.set({{6, speed}, {1, 1.0f}});
      const int nla = static_cast<int>(r.fx().getLookaheadRingSize());
      const int nlat = static_cast<int>(r.fx().getLatencyRingSize());
      const int A = r.engine().lookaheadLength, B = r.engine().brickwallLookahead;
      EXPECT_LE(A + 2, nla) << rate << " " << speed;
      EXPECT_LE(B + 2, nla) << rate << " " << speed;
      EXPECT_LT(A + B + 3, nlat) << rate << " " << speed;
    }
  }
  FirstGenerationRig r;
  r.set({{6, 1.0f}});
  EXPECT_EQ(r.engine().lookaheadLength, 52);
  EXPECT_EQ(r.engine().brickwallLookahead, 52);
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

// ---- programs ----

// A global value reaches every program and stays over program changes; a
// program's own value is its own, and applying a program writes nothing back.
TEST_P(OstrelvanheimEffect, GlobalIndicesReachEveryProgramUnlessAProgramIsApplied) {
  Rig r = rig();
  Ostrelvanheim& fx = r.fx();
  const VstInt32 drive = r.index(Meaning::kDrive), lr = r.index(Meaning::kLR),
                 monoStereo = r.index(Meaning::kMonoStereo);
  const float driveOfNine = fx.programStore()->value(9, drive);
  fx.selectProgram(5);
  const std::vector<rig::Setting> globals = {
      {r.index(Meaning::kProcess), 0.0f},    {monoStereo, 0.25f},
      {r.index(Meaning::kMeters), 1.0f},     {r.index(Meaning::kMeterType), 1.0f},
      {r.index(Meaning::kMeterDelay), 0.5f}, {r.index(Meaning::kFat), 1.0f},
      {r.index(Meaning::kMeterScale), 1.0f}};
  r.set(globals);
  r.set({{drive, 0.9f}, {lr, 0.5f}});
  for (const rig::Setting& g : globals)
    for (int k = 0; k < 30; ++k)
      EXPECT_EQ(fx.programStore()->value(k, g.index), g.value) << g.index << " " << k;
  EXPECT_EQ(fx.programStore()->value(9, drive), driveOfNine) << "Drive is the program's own";
  EXPECT_EQ(fx.programStore()->value(9, lr), 0.0f) << "L R is the program's own";
  fx.selectProgram(9);
  EXPECT_EQ(fx.getParameter(monoStereo), 0.25f);
  EXPECT_EQ(fx.getParameter(drive), driveOfNine);
  fx.selectProgram(5);
  EXPECT_EQ(fx.getParameter(drive), 0.9f);
  EXPECT_EQ(fx.programStore()->value(9, drive), driveOfNine) << "applying a program writes nothing back";
}

// ---- preferences ----

TEST_P(OstrelvanheimEffect, EveryMeterPreferenceStartsFromItsOwnDefault) {
  Rig r = rig();
  Ostrelvanheim& fx = r.fx();
  EXPECT_EQ(fx.getParameter(r.index(Meaning::kVuIntegr)), 0.5f);
  EXPECT_EQ(fx.getParameter(r.index(Meaning::kVuRefer)), 0.41f);
  EXPECT_EQ(fx.getParameter(r.index(Meaning::kPpmIntegr)), 0.5f);
  EXPECT_EQ(fx.getParameter(r.index(Meaning::kPpmReturn)), 0.5f);
  EXPECT_EQ(fx.getParameter(r.index(Meaning::kOverIndic)), 2.0f / 9.0f);
  EXPECT_EQ(fx.getParameter(r.index(Meaning::kKnobMode)), 1.0f);
  EXPECT_DOUBLE_EQ(fx.getParameterPlainValue(r.index(Meaning::kVuIntegr)), 300.0);
  EXPECT_FLOAT_EQ(fx.getParameterPlainValue(r.index(Meaning::kPpmReturn)), 1000.0f);
  EXPECT_NEAR(fx.getParameterPlainValue(r.index(Meaning::kPpmIntegr)), 9.0499f, 1e-4);
  EXPECT_EQ(r.engine().overThreshold, 3.000000014901161);
  EXPECT_EQ(fx.getParameter(generation().otherGenerationsPreference), 0.0f)
      << "the other generation's preference indices hold no preference here";
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

TEST_F(FirstGeneration, BothGenerationsShareTheMeterPreferences) {
  {
    FirstGenerationRig first;
    first.set({{49, 0.25f}, {50, 0.75f}, {53, 1.0f}, {54, 0.0f}});
  }
  {
    Rig second;
    EXPECT_EQ(second.fx().getParameter(43), 0.25f);
    EXPECT_EQ(second.fx().getParameter(44), 0.75f);
    EXPECT_EQ(second.fx().getParameter(47), 1.0f);
    EXPECT_EQ(second.fx().getParameter(48), 0.0f);
    second.set({{45, 0.125f}, {48, 1.0f}});
  }
  FirstGenerationRig next;
  EXPECT_EQ(next.fx().getParameter(49), 0.25f);
  EXPECT_EQ(next.fx().getParameter(51), 0.125f);
  EXPECT_EQ(next.fx().getParameter(54), 1.0f);
  EXPECT_EQ(text(next.fx(), effGetParamDisplay, 54), " Linear ");
  // The preset system keeps its own values under the product's own stem.
  platform::SettingsKey own(ostrelvanheim::kProduct.presets.settingsStem,
                            platform::SettingsKey::Access::Query);
  float v = 0.0f;
  EXPECT_FALSE(own.isOpen() && own.readExactAnyType("knobmode", &v, sizeof v));
}

INSTANTIATE_TEST_SUITE_P(Generations, OstrelvanheimEffect, ::testing::ValuesIn(rig::kGenerations),
                         rig::generationName);

}  // namespace
