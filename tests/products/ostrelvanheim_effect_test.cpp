// JYX Ostrelvanheim, the first generation, as an effect: its identity, the
// names, labels and displays of all its parameters (expected texts worked out
// here from the published formulas), its records, its delay by sample rate,
// its parameter rules and its meter preferences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "presets/meter_preferences.h"
#include "presets/stored_presets.h"
#include "products/ostrelvanheim/product.h"
#include "tests/products/ostrelvanheim2_rig.h"

namespace {

using rig::FirstGenerationRig;
using rig::Rig;

std::string text(Ostrelvanheim& fx, VstInt32 opcode, VstInt32 index) {
  char buffer[300] = {};
  AEffect* e = fx.getAeffect();
  e->dispatcher(e, opcode, index, 0, buffer, 0.0f);
  return buffer;
}

class FirstGeneration : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_F(FirstGeneration, IdentityTowardsTheHost) {
  FirstGenerationRig r;
  Ostrelvanheim& fx = r.fx();
  AEffect* e = fx.getAeffect();
  EXPECT_EQ(e->uniqueID, fourCharCode('J', 'y', 'O', 's'));
  EXPECT_EQ(fx.getPresetId(), fourCharCode('J', 'y', 'O', 's'));
  EXPECT_EQ(e->numParams, 48);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1031) << "replacing in both widths, with an editor";
  EXPECT_EQ(e->initialDelay, 127);
  EXPECT_EQ(text(fx, effGetEffectName, 0), "JYX Ostrelvanheim");
  EXPECT_EQ(text(fx, effGetVendorString, 0), "Brenmoorworks");
  EXPECT_EQ(text(fx, effGetProductString, 0), "JYX Ostrelvanheim - analog saturation & compression emulator");
  EXPECT_EQ(e->dispatcher(e, effGetVendorVersion, 0, 0, nullptr, 0), 2500);
  EXPECT_EQ(e->dispatcher(e, effGetPlugCategory, 0, 0, nullptr, 0), 4);
  VstPinProperties pin{};
  EXPECT_EQ(e->dispatcher(e, effGetOutputProperties, 1, 0, &pin, 0), 1);
  EXPECT_STREQ(pin.label, "My 2 Out");
  EXPECT_TRUE(fx.isSuspended()) << "the constructor ends suspended";
  EXPECT_EQ(fx.presetTraits().settingsStem, std::string("Ostrelvanheim10"));
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

struct NameRow {
  VstInt32 index;
  const char* name;
  const char* label;
};

TEST_F(FirstGeneration, NamesAndLabelsOfEveryIndex) {
  std::vector<NameRow> rows = {
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
      {27, "-", " ms "},
      {28, " FineTune ", " % "},
      {31, "-", ""},
      {32, " Long ", ""},
      {33, " Auto ", ""},
      {34, " Brickwall ", ""},
      {35, " MeterScale ", " dB "},
      {36, " L R ", ""},
      {49, " VU Integr ", " ms "},
      {50, " VU Refer ", " dBFS "},
      {51, " PPM Integr ", " ms "},
      {52, " PPM Return ", " ms "},
      {53, " OverIndic ", " samples "},
      {54, " Knob Mode ", " "},
  };
  // The spare host indices, and indices without an entry.
  for (VstInt32 i : {23, 24, 25, 26, 29, 30, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47})
    rows.push_back({i, "-", "-"});
  for (VstInt32 i : {-1, 48, 55, 56, 57, 60, 64, 65, 66, 1000}) rows.push_back({i, "-", "-"});

  FirstGenerationRig r;
  for (const NameRow& row : rows) {
    EXPECT_EQ(text(r.fx(), effGetParamName, row.index), row.name) << row.index;
    EXPECT_EQ(text(r.fx(), effGetParamLabel, row.index), row.label) << row.index;
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

// What the display of each host index shows for a value v, by the published
// formulas, with the fine-tune factor f.
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

TEST_F(FirstGeneration, OtherDisplaysReadTheRoutingAndThePreferences) {
  FirstGenerationRig r;
  r.set({{65, 0.6f}});
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 2), " L-R ");
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 36), " R ");
  r.set({{65, 0.1f}});
  EXPECT_EQ(text(r.fx(), effGetParamDisplay, 2), " Mono ");
  struct Row {
    VstInt32 index;
    float value;
    const char* display;
  };
  const Row rows[] = {
      {49, 0.5f, "300"},
      {50, 1.0f, "1.0"},
      {51, 1.0f, "100"},
      {52, 0.5f, "1000"},
      {53, 2.0f / 9.0f, "3.000000"},
      {54, 1.0f, " Linear "},
      {54, 0.0f, " Circular "},
      {48, 0.5f, ""},
      {55, 0.5f, ""},
      {65, 0.5f, ""},
  };
  for (const Row& row : rows) {
    r.set({{row.index, row.value}});
    EXPECT_EQ(text(r.fx(), effGetParamDisplay, row.index), row.display) << row.index;
  }
}

TEST_F(FirstGeneration, PropertiesMarkSwitchesAndSelectors) {
  FirstGenerationRig r;
  AEffect* e = r.fx().getAeffect();
  struct Case {
    VstInt32 index, flags, maximum;
  };
  const Case cases[] = {{0, 11, 1},  {1, 11, 1},  {2, 11, 1},  {3, 11, 1},  {22, 11, 1}, {31, 11, 1},
                        {32, 11, 1}, {33, 11, 1}, {34, 11, 1}, {35, 11, 1}, {21, 10, 2}, {28, 10, 3}};
  for (const Case& c : cases) {
    VstParameterProperties p{};
    ASSERT_EQ(e->dispatcher(e, effGetParameterProperties, c.index, 0, &p, 0), 1) << c.index;
    EXPECT_EQ(p.flags, c.flags) << c.index;
    EXPECT_EQ(p.maxInteger, c.maximum) << c.index;
    EXPECT_EQ(p.stepInteger, 1);
    EXPECT_EQ(p.largeStepInteger, 1);
  }
  for (VstInt32 index : {4, 24, 25, 26, 27, 29, 30, 36, 47, 54, 65}) {
    VstParameterProperties p{};
    p.flags = 77;
    EXPECT_EQ(e->dispatcher(e, effGetParameterProperties, index, 0, &p, 0), 0) << index;
    EXPECT_EQ(p.flags, 77) << "left untouched";
  }
}

// ---- parameter rules ----

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

TEST_F(FirstGeneration, GlobalIndicesReachEveryProgramUnlessAProgramIsApplied) {
  FirstGenerationRig r;
  Ostrelvanheim& fx = r.fx();
  const float driveOfNine = fx.programStore()->value(9, 4);
  fx.selectProgram(5);
  const struct {
    VstInt32 index;
    float value;
  } globals[] = {{0, 0.0f}, {2, 0.25f}, {21, 1.0f}, {22, 1.0f}, {27, 0.5f}, {31, 1.0f}, {35, 1.0f}};
  for (const auto& g : globals) r.set({{g.index, g.value}});
  r.set({{4, 0.9f}, {36, 0.5f}});
  for (const auto& g : globals)
    for (int k = 0; k < 30; ++k)
      EXPECT_EQ(fx.programStore()->value(k, g.index), g.value) << g.index << " " << k;
  EXPECT_EQ(fx.programStore()->value(9, 4), driveOfNine) << "Drive is the program's own";
  EXPECT_EQ(fx.programStore()->value(9, 36), 0.0f) << "L R is the program's own";
  fx.selectProgram(9);
  EXPECT_EQ(fx.getParameter(2), 0.25f);
  EXPECT_EQ(fx.getParameter(4), driveOfNine);
}

TEST_F(FirstGeneration, SpareIndicesLiveInTheCurrentProgramOnly) {
  FirstGenerationRig r;
  Ostrelvanheim& fx = r.fx();
  for (VstInt32 index : {23, 26, 29, 30, 37, 40, 47}) {
    fx.selectProgram(3);
    r.set({{index, 0.75f}});
    EXPECT_EQ(fx.getParameter(index), 0.75f) << index;
    EXPECT_EQ(text(fx, effGetParamDisplay, index), "") << index;
    fx.selectProgram(4);
    EXPECT_EQ(fx.getParameter(index), 0.0f) << index;
    fx.selectProgram(3);
    EXPECT_EQ(fx.getParameter(index), 0.75f) << index;
  }
  for (VstInt32 index : {48, 55, 60, 66, -1}) {
    r.set({{index, 0.75f}});
    EXPECT_EQ(fx.getParameter(index), 0.0f) << index;
  }
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

TEST_F(FirstGeneration, ChannelModeSetsTheRoutingItReadsBack) {
  FirstGenerationRig r;
  struct Mode {
    float value, monoStereo, lr, readBack;
  };
  for (const Mode m :
       {Mode{0.1f, 0, 0, 0}, Mode{0.3f, 0, 0.5f, 0.333f}, Mode{0.6f, 0, 1, 0.667f}, Mode{0.9f, 1, 0, 1}}) {
    r.set({{65, m.value}});
    EXPECT_EQ(r.fx().getParameter(2), m.monoStereo) << m.value;
    EXPECT_EQ(r.fx().getParameter(36), m.lr) << m.value;
    EXPECT_EQ(r.fx().getParameter(65), m.readBack) << m.value;
    EXPECT_EQ(r.fx().programStore()->value(0, 36), 0.0f) << "the selector writes no program";
  }
}

// ---- delay ----

struct DelayCase {
  float hostRate;
  float rate;
  int lookahead, latency, delay;
};

TEST_F(FirstGeneration, DelayAndRingSizesFollowTheSampleRateBand) {
  const DelayCase cases[] = {
      {44100.0f, 44100.0f, 64, 128, 127},
      {48000.0f, 48000.0f, 64, 128, 127},
      {49999.0f, 49999.0f, 64, 128, 127},
      {50000.0f, 50000.0f, 128, 256, 255},
      {96000.0f, 96000.0f, 128, 256, 255},
      {100000.0f, 100000.0f, 256, 512, 511},
      {192000.0f, 192000.0f, 256, 512, 511},
      {10000.0f, 22050.0f, 64, 128, 127},
      {250000.0f, 192000.0f, 256, 512, 511},
      {std::numeric_limits<float>::quiet_NaN(), 44100.0f, 64, 128, 127},
  };
  for (const DelayCase& c : cases) {
    FirstGenerationRig r(c.hostRate);
    EXPECT_EQ(r.fx().getSampleRate(), c.rate) << c.hostRate;
    EXPECT_EQ(r.fx().getLookaheadRingSize(), c.lookahead) << c.hostRate;
    EXPECT_EQ(r.fx().getLatencyRingSize(), c.latency) << c.hostRate;
    EXPECT_EQ(r.fx().getDelaySamples(), c.delay) << c.hostRate;
    EXPECT_EQ(r.delay(), c.delay) << c.hostRate;
  }
  FirstGenerationRig r;
  EXPECT_FLOAT_EQ(r.fx().getDelayMs(), 127.0f * 1000.0f / 44100.0f);
}

// The delay-ring store holds each product's rings at its own largest sizes:
// sixteen look-ahead regions, then the dry and output regions.
TEST_F(FirstGeneration, TheDelayRingStoreHoldsTheShorterRings) {
  using E = CompressorEngine;
  const struct {
    const OstrelvanheimProduct* product;
    int slots, lookaheadRegion, dryA, dryB, outL, outR;
  } kCases[] = {
      {&ostrelvanheim::kProduct, 6144, 256, 4096, 4608, 5120, 5632},
      {&ostrelvanheim2::kProduct, 24576, 1024, 16384, 18432, 20480, 22528},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.product->identity.effectName);
    Rig r(*c.product);
    const CompressorEngine& e = r.engine();
    EXPECT_EQ(e.delayRingSlots(), c.slots);
    for (int region = E::kSumL; region < E::kDryA; ++region)
      EXPECT_EQ(e.regionStart(static_cast<E::Region>(region)), region * c.lookaheadRegion) << region;
    EXPECT_EQ(e.regionStart(E::kDryA), c.dryA);
    EXPECT_EQ(e.regionStart(E::kDryB), c.dryB);
    EXPECT_EQ(e.regionStart(E::kOutL), c.outL);
    EXPECT_EQ(e.regionStart(E::kOutR), c.outR);
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

// ---- preferences ----

TEST_F(FirstGeneration, EveryMeterPreferenceStartsFromItsOwnDefault) {
  FirstGenerationRig r;
  Ostrelvanheim& fx = r.fx();
  EXPECT_EQ(fx.getParameter(49), 0.5f);
  EXPECT_EQ(fx.getParameter(50), 0.41f);
  EXPECT_EQ(fx.getParameter(51), 0.5f);
  EXPECT_EQ(fx.getParameter(52), 0.5f);
  EXPECT_EQ(fx.getParameter(53), 2.0f / 9.0f);
  EXPECT_EQ(fx.getParameter(54), 1.0f);
  EXPECT_DOUBLE_EQ(fx.getParameterPlainValue(49), 300.0);
  EXPECT_EQ(r.engine().overThreshold, 3.000000014901161);
  EXPECT_EQ(fx.getParameter(43), 0.0f) << "the second generation's preference indices are spare here";
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

}  // namespace
