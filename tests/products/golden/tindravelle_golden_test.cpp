// Golden output of JYX Tindravelle: a table of settings, each run on the same
// fixed input as the other products' tables, through the effect as a host
// drives it, compared with the output stored in
// tests/products/golden/data/tindravelle/<case>.bin.
//
// Regenerate the expectations (natively, on Linux only, and only with a reason
// written in the commit):
//   JYX_GOLDEN_REGENERATE=1 build/linux/tests/products/golden/tindravelle_golden_tests
// Print every case's largest deviation even when it passes (to re-measure the
// Windows tolerance under wine):
//   JYX_GOLDEN_REPORT=1 <test program>
//
// The stored form and the tolerance are those of every product's golden
// test (golden_support.h, README.md).
#include <gtest/gtest.h>

#include "products/tindravelle/parameter_indices.h"
#include "tests/products/golden/golden_support.h"
#include "tests/products/tindravelle_rig.h"

namespace {

using golden::GoldenCase;
using namespace tindravelle;

const char* const kBypass = "bypass";
const char* const kLinked = "stereo linked";
const char* const kUnlinked = "stereo unlinked";
const char* const kMono = "mono";

std::vector<GoldenCase> goldenCases() {
  golden::Table t;
  // Every kernel at the default program's values, at each rate band.
  for (const rig::Mode& m : trackrig::allModes()) {
    for (float rate : {44100.0f, 96000.0f, 192000.0f})
      t.add(std::string(m.name) + " " + std::to_string(static_cast<int>(rate / 1000)) + "k", m.name, {},
            rate);
  }

  // The speaker arrangements with one input.
  GoldenCase& monoStereo = t.add("mono in stereo out linked", kLinked, {{kDrive, 0.7f}});
  monoStereo.inputs = 1;
  GoldenCase& monoMono = t.add("mono in mono out unlinked", kUnlinked, {{kDrive, 0.7f}});
  monoMono.inputs = monoMono.outputs = 1;
  t.add("mono from stereo input drive", kMono, {{kDrive, 0.75f}});

  // Both knee shapes: below 0.25 the blended knee, from 0.25 on the rational one.
  for (float knee : {0.1f, 0.2f, 0.25f, 0.6f, 1.0f})
    t.add("stereo linked knee " + std::to_string(knee).substr(0, 4), kLinked,
          {{kKnee, knee}, {kDrive, 0.7f}});

  // Gains, times and the fixed shelving away from their defaults.
  t.add("stereo linked heavy drive", kLinked, {{kDrive, 0.9f}});
  t.add("stereo unlinked light drive", kUnlinked, {{kDrive, 0.2f}});
  t.add("stereo linked speed 0", kLinked, {{kSpeed, 0.0f}, {kDrive, 0.75f}});
  t.add("stereo unlinked speed 0.35 release 1", kUnlinked,
        {{kSpeed, 0.35f}, {kReleaseMul, 1.0f}, {kDrive, 0.7f}});
  t.add("mono release 0", kMono, {{kReleaseMul, 0.0f}, {kSpeed, 0.6f}, {kDrive, 0.7f}});
  t.add("stereo linked shelves up", kLinked, {{kLowAdjust, 1.0f}, {kHighAdjust, 1.0f}});
  t.add("stereo unlinked shelves down output", kUnlinked,
        {{kLowAdjust, 0.0f}, {kHighAdjust, 0.2f}, {kOutput, 0.8f}, {kDrive, 0.65f}});
  t.add("stereo linked shelves 192k", kLinked, {{kLowAdjust, 0.8f}, {kHighAdjust, 0.3f}}, 192000.0f);
  t.add("stereo linked shelves 22k", kLinked, {{kLowAdjust, 0.7f}, {kHighAdjust, 0.9f}}, 22050.0f);

  // Arbitrary values as hosts send them, for the Windows tolerance.
  t.add("arbitrary drive", kLinked, {{kDrive, 0.739184558f}});
  t.add("arbitrary release", kUnlinked, {{kReleaseMul, 0.755728185f}, {kDrive, 0.71f}});
  t.add("arbitrary high adjust", kLinked, {{kHighAdjust, 0.743967116f}, {kDrive, 0.7f}});
  t.add("arbitrary output", kMono, {{kOutput, 0.288707048f}, {kDrive, 0.7f}});

  // Metering with the editor open: VU and PPM, Pre, GainRed and Post.
  for (float scale : {kScaleVu, kScalePpm}) {
    const std::string s = scale > 0.5f ? "PPM " : "VU ";
    t.meters("meters " + s + "Pre stereo unlinked", kUnlinked, {{kMeters, kMetersPre}, {kMeterScale, scale}});
    t.meters("meters " + s + "GainRed stereo linked", kLinked,
             {{kMeters, kMetersGainRed}, {kMeterScale, scale}, {kDrive, 0.75f}});
    t.meters("meters " + s + "Post mono", kMono, {{kMeters, kMetersPost}, {kMeterScale, scale}});
    t.meters("meters " + s + "GainRed bypass", kBypass, {{kMeters, kMetersGainRed}, {kMeterScale, scale}});
    t.meters("meters " + s + "Pre bypass", kBypass, {{kMeters, kMetersPre}, {kMeterScale, scale}});
  }
  t.meters("meters VU Pre references", kLinked,
           {{kMeters, kMetersPre}, {kMeterScale, kScaleVu}, {kVuIntegr, 0.2f}, {kVuRefer, 0.7f}});
  t.meters("meters PPM instant attack OverIndic 1", kUnlinked,
           {{kMeters, kMetersPost},
            {kMeterScale, kScalePpm},
            {kPpmIntegr, 0.0f},
            {kOverIndic, 0.0f},
            {kDrive, 0.8f},
            {kOutput, 1.0f}});
  t.meters("meters PPM return OverIndic 10 96k", kLinked,
           {{kMeters, kMetersPost},
            {kMeterScale, kScalePpm},
            {kPpmReturn, 0.2f},
            {kOverIndic, 1.0f},
            {kOutput, 1.0f}},
           96000.0f);

  // Parameter changes while audio runs.
  t.add("Stereo-Mono switched to stereo mid-run", kMono, {{kSpeed, 0.3f}}).changes = {
      {50.0, {kStereoMono, 1}}};
  t.add("Stereo-Mono switched to mono mid-run", kUnlinked).changes = {{50.0, {kStereoMono, 0}}};
  t.add("Link switched off mid-run", kLinked, {{kDrive, 0.7f}}).changes = {{50.0, {kLink, 0}}};
  t.add("Speed and Drive changed mid-run", kUnlinked).changes = {{40.0, {kSpeed, 0.2f}},
                                                                 {60.0, {kDrive, 0.8f}}};
  t.add("Process switched on mid-run", kBypass).changes = {{30.0, {kProcess, 1}}};
  t.add("Process switched off mid-run", kLinked).changes = {{50.0, {kProcess, 0}}};

  // 32-bit hosts with odd block lengths.
  GoldenCase& odd = t.add("32-bit host blocks of 100 stereo linked", kLinked, {{kDrive, 0.7f}});
  odd.block = 100;
  odd.singlePrecision = true;
  GoldenCase& oddMono = t.add("32-bit host blocks of 333 mono", kMono, {{kDrive, 0.7f}});
  oddMono.block = 333;
  oddMono.singlePrecision = true;

  // Factory programs: realistic combinations.
  t.program("program Guitar Track", 1);
  t.program("program Vintage Guitar Trk", 6);
  t.program("program Bass Line Track", 7);
  t.program("program Snare Drum Track", 9);
  t.program("program Track Tape Normal", 11);
  return std::move(t).cases();
}

class TindravelleGolden : public ::testing::TestWithParam<GoldenCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(TindravelleGolden, OutputMatchesTheStoredExpectation) {
  const GoldenCase& c = GetParam();
  golden::checkAgainstStored(c, golden::runCase<trackrig::Rig>(c, trackrig::allModes()), "data/tindravelle");
}

// The kernels' SSE2 form, which processors without AVX run, gives the same bits.
TEST_P(TindravelleGolden, Sse2KernelsMatchTheStoredExpectation) {
  const GoldenCase& c = GetParam();
  golden::checkAgainstStored(c, golden::runCase<trackrig::Rig>(c, trackrig::allModes(), true),
                             "data/tindravelle");
}

TEST(TindravelleGoldenTable, CaseNamesGiveDistinctFiles) {
  EXPECT_TRUE(golden::distinctFiles(goldenCases()));
}

INSTANTIATE_TEST_SUITE_P(Cases, TindravelleGolden, ::testing::ValuesIn(goldenCases()), golden::testName);

}  // namespace
