// Golden output of JYX Ostrelvanheim2: a table of settings, each run on one
// fixed input through the effect as a host drives it, compared with the
// output stored in tests/products/golden/data/<case>.bin.
//
// Regenerate the expectations (natively, on Linux only, and only with a reason
// written in the commit):
//   JYX_GOLDEN_REGENERATE=1 build/linux/tests/products/golden/ostrelvanheim2_golden_tests
// Print every case's largest deviation even when it passes (to re-measure the
// Windows tolerance under wine):
//   JYX_GOLDEN_REPORT=1 <test program>
//
// What is stored per case: a window of 1024 frames at full resolution (every
// sample, both channels, as float64) where the loud section starts, the sum and
// the sum of squares of every 64-frame block of the whole output per channel,
// and the meter hand-off (meterLevels, overCounts, overFlags) after every host
// block. tests/products/golden/README.md describes the file layout.
//
// Tolerance: natively the output must match bit for bit. The Windows build
// runs under wine, whose sin, cos and pow differ from glibc's by an ulp for
// about one argument in a thousand. Measured at full resolution over this
// table: 85 cases are bit-identical under wine; in the seven "arbitrary ..."
// cases (host values chosen because one of their coefficients differs by an
// ulp) up to 8863 of 11466 samples differ, by at most 1.3e-14 (a Release
// coefficient, whose ulp the envelope carries for the rest of the run; outputs
// peak at 3.3); meter values, over counts and over flags are bit-identical in
// every case. Under wine a sample may therefore move by 3e-14 (absolute), the
// block sums by the bounds that follow from it, and the meter hand-off not at
// all.
#include <gtest/gtest.h>

#include "tests/products/golden/golden_support.h"
#include "tests/products/ostrelvanheim2_rig.h"

namespace {

using golden::GoldenCase;
using rig::Setting;
using namespace rig::modes;

// ---- parameter indices: the meanings, which are this product's indices ----

using enum Meaning::Value;

// Meters values: Pre, GainRed, Post; MeterType values: VU, PPM.
constexpr float kPre = 0.0f, kGainRed = 0.5f, kPost = 1.0f, kVu = 0.0f, kPpm = 1.0f;

// ---- the case table ----

std::vector<GoldenCase> goldenCases() {
  golden::Table t;
  // Every kernel and routing at the default program's values, FAT off and on.
  for (const rig::Mode& m : rig::allModes()) {
    t.add(std::string(m.name) + " 44k", m.name);
    t.add(std::string(m.name) + " FAT 44k", m.name, {{kFat, 1}});
  }

  // Sample-rate bands: ring sizes, design rates, the FAT limit.
  t.add("stereo linked multiband 96k", kLinkedMulti, {}, 96000);
  t.add("stereo linked multiband FAT 96k", kLinkedMulti, {{kFat, 1}}, 96000);
  t.add("stereo unlinked single band FAT 96k", kUnlinkedSingle, {{kFat, 1}}, 96000);
  t.add("bypass FAT 96k", kBypass, {{kFat, 1}}, 96000);
  t.add("stereo linked multiband 192k", kLinkedMulti, {}, 192000);
  t.add("stereo linked single band 192k", kLinkedSingle, {}, 192000);
  t.add("mono single band R 192k", kMonoSingleR, {}, 192000);
  t.add("bypass 192k", kBypass, {}, 192000);
  t.add("stereo linked multiband FAT ignored 192k", kLinkedMulti, {{kFat, 1}}, 192000);

  // Auto and Long release.
  t.add("stereo linked multiband Auto", kLinkedMulti, {{kAuto, 1}});
  t.add("stereo unlinked multiband Auto FAT", kUnlinkedMulti, {{kAuto, 1}, {kFat, 1}});
  t.add("stereo linked single band Auto", kLinkedSingle, {{kAuto, 1}});
  t.add("stereo unlinked single band Auto", kUnlinkedSingle, {{kAuto, 1}});
  t.add("mono multiband R Auto", kMonoMultiR, {{kAuto, 1}});
  t.add("stereo linked single band Auto Long", kLinkedSingle, {{kAuto, 1}, {kLong, 1}, {kSpeed, 0.5f}});
  t.add("stereo linked multiband Auto Long", kLinkedMulti, {{kAuto, 1}, {kLong, 1}, {kSpeed, 0.6f}});
  t.add("mono single band Auto Long", kMonoSingle, {{kAuto, 1}, {kLong, 1}});
  t.add("stereo unlinked multiband Auto Brickwall FAT 96k", kUnlinkedMulti,
        {{kAuto, 1}, {kFat, 1}, {kDrive, 0.7f}}, 96000);

  // Brickwall off: the wet signal may exceed full scale, nothing clamps.
  t.add("stereo linked multiband no Brickwall", kLinkedMulti, {{kBrickwall, 0}, {kDrive, 0.75f}});
  t.add("stereo linked single band no Brickwall", kLinkedSingle, {{kBrickwall, 0}, {kDrive, 0.75f}});
  t.add("stereo unlinked multiband no Brickwall FAT", kUnlinkedMulti,
        {{kBrickwall, 0}, {kFat, 1}, {kOutput, 0.7f}});

  // Both knee shapes: below 0.25 the blended knee, above it the rational one.
  t.add("stereo linked single band knee 0.1", kLinkedSingle, {{kKnee, 0.1f}});
  t.add("stereo linked multiband knee 0.2", kLinkedMulti, {{kKnee, 0.2f}});
  t.add("stereo linked single band knee 0.5", kLinkedSingle, {{kKnee, 0.5f}});
  t.add("stereo unlinked multiband knee 1", kUnlinkedMulti, {{kKnee, 1.0f}});
  t.add("mono single band L knee 0.3 FAT", kMonoSingleL, {{kKnee, 0.3f}, {kFat, 1}});

  // Gains, times, shapes and mix away from their defaults.
  t.add("stereo linked multiband heavy drive", kLinkedMulti, {{kDrive, 0.85f}});
  t.add("stereo linked single band light drive", kLinkedSingle, {{kDrive, 0.2f}});
  t.add("stereo linked multiband speed 0", kLinkedMulti, {{kSpeed, 0.0f}});
  t.add("stereo unlinked single band speed 0.35 release 0.9", kUnlinkedSingle,
        {{kSpeed, 0.35f}, {kRelease, 0.9f}});
  t.add("stereo linked single band release 0", kLinkedSingle, {{kRelease, 0.0f}, {kSpeed, 0.7f}});
  t.add("stereo linked single band shelves", kLinkedSingle,
        {{kHighAdjust, 0.8f}, {kLowAdjust, 0.2f}, {kHighFreq, 0.4f}, {kLowFreq, 0.7f}});
  t.add("stereo linked multiband crossovers and band gains", kLinkedMulti,
        {{kHighFreq, 0.3f}, {kLowFreq, 0.8f}, {kHighAdjust, 0.65f}, {kLowAdjust, 0.35f}});
  t.add("stereo unlinked multiband band saturation", kUnlinkedMulti,
        {{kLowSat, 0.8f}, {kMidSat, 0.2f}, {kHighSat, 0.65f}});
  t.add("stereo linked multiband band releases Auto", kLinkedMulti,
        {{kLowRel, 0.9f}, {kMidRel, 0.1f}, {kHighRel, 0.7f}, {kAuto, 1}});
  t.add("stereo linked multiband mix 0.3", kLinkedMulti, {{kMix, 0.3f}, {kDrive, 0.7f}});
  t.add("mono single band L mix 0", kMonoSingleL, {{kMix, 0.0f}});
  t.add("mono multiband OO-O mix 0.6 output", kMonoMulti, {{kMix, 0.6f}, {kOutput, 0.3f}});
  t.add("stereo linked single band low ceiling high output", kLinkedSingle,
        {{kCeiling, 0.3f}, {kOutput, 0.7f}});
  t.add("stereo linked multiband high ceiling FAT", kLinkedMulti,
        {{kCeiling, 0.8f}, {kOutput, 0.45f}, {kFat, 1}});
  t.add("stereo linked multiband fine tune 0", kLinkedMulti,
        {{kFineTune, 0.0f}, {kDrive, 0.9f}, {kCeiling, 0.2f}, {kHighAdjust, 0.9f}});

  // Arbitrary values as hosts send them. For each of these, wine's sin, cos or
  // pow differs from glibc's by an ulp somewhere in the coefficients, so they
  // are what the Windows tolerance is measured on.
  t.add("arbitrary high adjust", kLinkedMulti, {{kAuto, 1}, {kHighAdjust, 0.743967116f}});
  t.add("arbitrary high sat", kLinkedMulti, {{kAuto, 1}, {kHighSat, 0.670313895f}});
  t.add("arbitrary drive FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kDrive, 0.739184558f}});
  t.add("arbitrary release FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kRelease, 0.755728185f}});
  t.add("arbitrary high freq FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kHighFreq, 0.640456796f}});
  t.add("arbitrary output FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kOutput, 0.288707048f}});
  t.add("arbitrary mid release FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kMidRel, 0.0928453133f}});

  // Metering with the editor open: VU and PPM, Pre, GainRed and Post.
  t.meters("meters VU GainRed stereo linked multiband", kLinkedMulti,
           {{kMeters, kGainRed}, {kMeterType, kVu}});
  t.meters("meters VU Pre stereo unlinked single band", kUnlinkedSingle,
           {{kMeters, kPre}, {kMeterType, kVu}, {kVuIntegr, 0.2f}, {kVuRefer, 0.7f}});
  t.meters("meters VU Post mono multiband L", kMonoMultiL, {{kMeters, kPost}, {kMeterType, kVu}});
  t.meters("meters VU GainRed mono single band R 96k", kMonoSingleR,
           {{kMeters, kGainRed}, {kMeterType, kVu}, {kCeiling, 0.4f}}, 96000);
  t.meters("meters PPM Pre stereo linked single band FAT", kLinkedSingle,
           {{kMeters, kPre}, {kMeterType, kPpm}, {kFat, 1}});
  t.meters("meters PPM GainRed stereo unlinked multiband", kUnlinkedMulti,
           {{kMeters, kGainRed}, {kMeterType, kPpm}, {kPpmIntegr, 0.3f}, {kPpmReturn, 0.2f}});
  t.meters("meters PPM Post mono single band OO-O", kMonoSingle,
           {{kMeters, kPost}, {kMeterType, kPpm}, {kBrickwall, 0}, {kDrive, 0.8f}});
  t.meters("meters PPM instant attack OverIndic 1", kUnlinkedMulti,
           {{kMeters, kPost},
            {kMeterType, kPpm},
            {kPpmIntegr, 0.0f},
            {kOverIndic, 0.0f},
            {kBrickwall, 0},
            {kDrive, 0.8f}});
  t.meters("meters bypass VU GainRed", kBypass, {{kMeters, kGainRed}, {kMeterType, kVu}});
  t.meters("meters bypass PPM GainRed", kBypass, {{kMeters, kGainRed}, {kMeterType, kPpm}});
  t.meters("meters bypass PPM Pre FAT", kBypass, {{kMeters, kPre}, {kMeterType, kPpm}, {kFat, 1}});
  t.meters("meters bypass VU Post OverIndic 10", kBypass,
           {{kMeters, kPost}, {kMeterType, kVu}, {kOverIndic, 1}});

  // Parameter changes while audio runs.
  t.add("Link switched off mid-run multiband", kLinkedMulti).changes = {{50.0, {kLink, 0}}};
  t.add("Mono Stereo switched mid-run single band", kLinkedSingle).changes = {{50.0, {kMonoStereo, 0}}};
  t.add("Speed and Drive changed mid-run single band", kUnlinkedSingle).changes = {{40.0, {kSpeed, 0.2f}},
                                                                                   {60.0, {kDrive, 0.8f}}};
  t.add("FAT switched on mid-run multiband", kLinkedMulti).changes = {{40.0, {kFat, 1}}};
  t.add("Process switched on mid-run", kBypass).changes = {{30.0, {kProcess, 1}}};
  t.add("channel mode button mid-run", kLinkedMulti).changes = {{50.0, {kChannelMode, 0.4f}}};

  // 32-bit hosts with odd block lengths.
  GoldenCase& odd = t.add("32-bit host blocks of 100 stereo linked single band", kLinkedSingle);
  odd.block = 100;
  odd.singlePrecision = true;
  GoldenCase& oddFat = t.add("32-bit host blocks of 333 multiband FAT", kUnlinkedMulti, {{kFat, 1}});
  oddFat.block = 333;
  oddFat.singlePrecision = true;

  // Factory programs: realistic combinations.
  t.program("program Guitar Track", 18);
  t.program("program Bass Line Track FAT", 24, {{kFat, 1}});
  return std::move(t).cases();
}

// ---- the test ----

class Ostrelvanheim2Golden : public ::testing::TestWithParam<GoldenCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(Ostrelvanheim2Golden, OutputMatchesTheStoredExpectation) {
  const GoldenCase& c = GetParam();
  golden::checkAgainstStored(c, golden::runCase<rig::Rig>(c, rig::allModes()), "data");
}

// The kernels' SSE2 form, which processors without AVX run, gives the same bits.
TEST_P(Ostrelvanheim2Golden, Sse2KernelsMatchTheStoredExpectation) {
  const GoldenCase& c = GetParam();
  golden::checkAgainstStored(c, golden::runCase<rig::Rig>(c, rig::allModes(), true), "data");
}

TEST(Ostrelvanheim2GoldenTable, CaseNamesGiveDistinctFiles) {
  EXPECT_TRUE(golden::distinctFiles(goldenCases()));
}

INSTANTIATE_TEST_SUITE_P(Cases, Ostrelvanheim2Golden, ::testing::ValuesIn(goldenCases()), golden::testName);

}  // namespace
