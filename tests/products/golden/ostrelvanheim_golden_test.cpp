// Golden output of JYX Ostrelvanheim, the first generation: a table of
// settings, each run on the same fixed input as the second generation's
// cases, compared with the output stored in
// tests/products/golden/data/ostrelvanheim/<case>.bin. The table covers what
// is this product's own: every kernel and routing on its shorter rings at
// every rate band, the unprocessed channel of the one-channel routings
// without the output gain (also on its Post meter), its band saturation and
// release scaling, its factory programs, and the rest of the second
// generation's table without the oversampled path.
//
// Regenerate the expectations (natively, on Linux only, and only with a reason
// written in the commit):
//   JYX_GOLDEN_REGENERATE=1 build/linux/tests/products/golden/ostrelvanheim_golden_tests
// Print every case's largest deviation even when it passes:
//   JYX_GOLDEN_REPORT=1 <test program>
//
// Tolerance: as for every product (golden_support.h). Measured
// under wine over this table: 71 of the 72 cases are bit-identical; in
// "arbitrary high adjust" samples move by at most 1.8e-14; the meter hand-off
// is bit-identical in every case.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "products/ostrelvanheim/parameter_map.h"
#include "tests/products/golden/golden_support.h"
#include "tests/products/ostrelvanheim2_rig.h"

namespace {

using golden::GoldenCase;
using namespace rig::modes;
// The table's settings are by meaning (the second generation's indices);
// each case takes them at this product's indices.
using enum Meaning::Value;

// Meters values: Pre, GainRed, Post; MeterType values: VU, PPM.
constexpr float kPre = 0.0f, kGainRed = 0.5f, kPost = 1.0f, kVu = 0.0f, kPpm = 1.0f;

std::vector<GoldenCase> atThisProductsIndices(std::vector<GoldenCase> cases) {
  for (GoldenCase& c : cases) {
    for (rig::Setting& s : c.settings) s.index = ostrelvanheim::kParameterMap.indexOf(s.index);
    for (golden::Change& change : c.changes)
      change.setting.index = ostrelvanheim::kParameterMap.indexOf(change.setting.index);
  }
  return cases;
}

std::vector<GoldenCase> goldenCases() {
  golden::Table t;
  // Every kernel and routing at the default program's values.
  for (const rig::Mode& m : rig::firstGenerationModes()) t.add(std::string(m.name) + " 44k", m.name);

  // Sample-rate bands: ring sizes and design rates; the oversampling index
  // is stored but switches nothing.
  t.add("stereo linked multiband 96k", kLinkedMulti, {}, 96000);
  t.add("stereo unlinked single band 96k", kUnlinkedSingle, {}, 96000);
  t.add("bypass 96k", kBypass, {}, 96000);
  t.add("stereo linked multiband 192k", kLinkedMulti, {}, 192000);
  t.add("stereo linked single band 192k", kLinkedSingle, {}, 192000);
  t.add("mono single band R 192k", kMonoSingleR, {}, 192000);
  t.add("bypass 192k", kBypass, {}, 192000);
  t.add("stereo unlinked multiband oversampling index on 96k", kUnlinkedMulti, {{kFat, 1}}, 96000);

  // Auto and Long release.
  t.add("stereo linked multiband Auto", kLinkedMulti, {{kAuto, 1}});
  t.add("stereo unlinked multiband Auto", kUnlinkedMulti, {{kAuto, 1}});
  t.add("stereo linked single band Auto", kLinkedSingle, {{kAuto, 1}});
  t.add("stereo unlinked single band Auto", kUnlinkedSingle, {{kAuto, 1}});
  t.add("mono multiband R Auto", kMonoMultiR, {{kAuto, 1}});
  t.add("stereo linked single band Auto Long", kLinkedSingle, {{kAuto, 1}, {kLong, 1}, {kSpeed, 0.5f}});
  t.add("stereo linked multiband Auto Long", kLinkedMulti, {{kAuto, 1}, {kLong, 1}, {kSpeed, 0.6f}});
  t.add("mono single band Auto Long", kMonoSingle, {{kAuto, 1}, {kLong, 1}});

  // Brickwall off: the wet signal may exceed full scale, nothing clamps.
  t.add("stereo linked multiband no Brickwall", kLinkedMulti, {{kBrickwall, 0}, {kDrive, 0.75f}});
  t.add("stereo linked single band no Brickwall", kLinkedSingle, {{kBrickwall, 0}, {kDrive, 0.75f}});

  // Both knee shapes.
  t.add("stereo linked single band knee 0.1", kLinkedSingle, {{kKnee, 0.1f}});
  t.add("stereo linked multiband knee 0.2", kLinkedMulti, {{kKnee, 0.2f}});
  t.add("stereo unlinked multiband knee 1", kUnlinkedMulti, {{kKnee, 1.0f}});
  t.add("mono single band L knee 0.3", kMonoSingleL, {{kKnee, 0.3f}});

  // Gains, times, shapes and mix away from their defaults.
  t.add("stereo linked multiband heavy drive", kLinkedMulti, {{kDrive, 0.85f}});
  t.add("stereo linked single band light drive", kLinkedSingle, {{kDrive, 0.2f}});
  t.add("stereo linked multiband speed 0", kLinkedMulti, {{kSpeed, 0.0f}});
  t.add("stereo unlinked single band speed 0.35 release 0.9", kUnlinkedSingle,
        {{kSpeed, 0.35f}, {kRelease, 0.9f}});
  t.add("stereo linked single band shelves", kLinkedSingle,
        {{kHighAdjust, 0.8f}, {kLowAdjust, 0.2f}, {kHighFreq, 0.4f}, {kLowFreq, 0.7f}});
  t.add("stereo linked multiband crossovers and band gains", kLinkedMulti,
        {{kHighFreq, 0.3f}, {kLowFreq, 0.8f}, {kHighAdjust, 0.65f}, {kLowAdjust, 0.35f}});
  t.add("stereo linked multiband mix 0.3", kLinkedMulti, {{kMix, 0.3f}, {kDrive, 0.7f}});
  t.add("stereo linked single band low ceiling high output", kLinkedSingle,
        {{kCeiling, 0.3f}, {kOutput, 0.7f}});
  t.add("stereo linked multiband fine tune 0", kLinkedMulti,
        {{kFineTune, 0.0f}, {kDrive, 0.9f}, {kCeiling, 0.2f}, {kHighAdjust, 0.9f}});

  // Band saturation within +-6 dB and band releases from 0.25 to 4.
  t.add("stereo unlinked multiband band saturation", kUnlinkedMulti,
        {{kLowSat, 0.8f}, {kMidSat, 0.2f}, {kHighSat, 0.65f}, {kDrive, 0.7f}});
  t.add("stereo linked multiband band releases Auto", kLinkedMulti,
        {{kLowRel, 0.9f}, {kMidRel, 0.1f}, {kHighRel, 0.7f}, {kAuto, 1}});

  // The one-channel routings: the unprocessed channel keeps its level.
  t.add("mono multiband L output 6 dB", kMonoMultiL, {{kOutput, 0.75f}, {kDrive, 0.7f}});
  t.add("mono single band R output -6 dB", kMonoSingleR, {{kOutput, 0.25f}, {kMix, 0.6f}});
  t.add("mono single band L mix 0", kMonoSingleL, {{kMix, 0.0f}});
  t.add("mono multiband OO-O mix 0.6 output", kMonoMulti, {{kMix, 0.6f}, {kOutput, 0.3f}});

  // Arbitrary values as hosts send them.
  t.add("arbitrary high adjust", kLinkedMulti, {{kAuto, 1}, {kHighAdjust, 0.743967116f}});
  t.add("arbitrary high sat", kLinkedMulti, {{kAuto, 1}, {kHighSat, 0.670313895f}});
  t.add("arbitrary release", kLinkedMulti, {{kAuto, 1}, {kRelease, 0.755728185f}});
  t.add("arbitrary mid release", kLinkedMulti, {{kAuto, 1}, {kMidRel, 0.0928453133f}});

  // Metering with the editor open: VU and PPM, Pre, GainRed and Post.
  t.meters("meters VU GainRed stereo linked multiband", kLinkedMulti,
           {{kMeters, kGainRed}, {kMeterType, kVu}});
  t.meters("meters VU Pre stereo unlinked single band", kUnlinkedSingle,
           {{kMeters, kPre}, {kMeterType, kVu}, {kVuIntegr, 0.2f}, {kVuRefer, 0.7f}});
  t.meters("meters VU Post mono multiband L output", kMonoMultiL,
           {{kMeters, kPost}, {kMeterType, kVu}, {kOutput, 0.7f}});
  t.meters("meters VU GainRed mono single band R 96k", kMonoSingleR,
           {{kMeters, kGainRed}, {kMeterType, kVu}, {kCeiling, 0.4f}}, 96000);
  t.meters("meters PPM Pre stereo linked single band", kLinkedSingle, {{kMeters, kPre}, {kMeterType, kPpm}});
  t.meters("meters PPM GainRed stereo unlinked multiband", kUnlinkedMulti,
           {{kMeters, kGainRed}, {kMeterType, kPpm}, {kPpmIntegr, 0.3f}, {kPpmReturn, 0.2f}});
  t.meters("meters PPM Post mono single band R output", kMonoSingleR,
           {{kMeters, kPost}, {kMeterType, kPpm}, {kBrickwall, 0}, {kDrive, 0.8f}, {kOutput, 0.3f}});
  t.meters("meters PPM instant attack OverIndic 1", kUnlinkedMulti,
           {{kMeters, kPost},
            {kMeterType, kPpm},
            {kPpmIntegr, 0.0f},
            {kOverIndic, 0.0f},
            {kBrickwall, 0},
            {kDrive, 0.8f}});
  t.meters("meters bypass VU GainRed", kBypass, {{kMeters, kGainRed}, {kMeterType, kVu}});
  t.meters("meters bypass PPM GainRed", kBypass, {{kMeters, kGainRed}, {kMeterType, kPpm}});
  t.meters("meters bypass VU Post OverIndic 10", kBypass,
           {{kMeters, kPost}, {kMeterType, kVu}, {kOverIndic, 1}});

  // Parameter changes while audio runs.
  t.add("Link switched off mid-run multiband", kLinkedMulti).changes = {{50.0, {kLink, 0}}};
  t.add("Mono Stereo switched mid-run single band", kLinkedSingle).changes = {{50.0, {kMonoStereo, 0}}};
  t.add("Speed and Drive changed mid-run single band", kUnlinkedSingle).changes = {{40.0, {kSpeed, 0.2f}},
                                                                                   {60.0, {kDrive, 0.8f}}};
  t.add("Process switched on mid-run", kBypass).changes = {{30.0, {kProcess, 1}}};
  t.add("channel mode button mid-run", kLinkedMulti).changes = {{50.0, {kChannelMode, 0.4f}}};

  // 32-bit hosts with odd block lengths.
  GoldenCase& odd = t.add("32-bit host blocks of 100 stereo linked single band", kLinkedSingle);
  odd.block = 100;
  odd.singlePrecision = true;
  GoldenCase& odd333 = t.add("32-bit host blocks of 333 multiband", kUnlinkedMulti, {{kAuto, 1}});
  odd333.block = 333;
  odd333.singlePrecision = true;

  // Factory programs, among them one with this product's own band releases.
  t.program("program Mix Finalize 1", 7);
  t.program("program Guitar Track", 18);
  t.program("program Bass Line Track", 24);
  return atThisProductsIndices(std::move(t).cases());
}

class OstrelvanheimGolden : public ::testing::TestWithParam<GoldenCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(OstrelvanheimGolden, OutputMatchesTheStoredExpectation) {
  const GoldenCase& c = GetParam();
  golden::checkAgainstStored(c, golden::runCase<rig::FirstGenerationRig>(c, rig::firstGenerationModes()),
                             "data/ostrelvanheim");
}

TEST(OstrelvanheimGoldenTable, CaseNamesGiveDistinctFiles) {
  EXPECT_TRUE(golden::distinctFiles(goldenCases()));
}

INSTANTIATE_TEST_SUITE_P(Cases, OstrelvanheimGolden, ::testing::ValuesIn(goldenCases()), golden::testName);

}  // namespace
