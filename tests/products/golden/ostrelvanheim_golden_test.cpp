#include "tests/products/golden/ostrelvanheim_golden_test.h"

#include <string>
#include <utility>
#include <vector>

namespace golden {
namespace {

using namespace rig::modes;
// The table's settings are by meaning (the second generation's indices);
// each product takes them at its own indices.
using enum Meaning::Value;
using Settings = std::vector<Setting>;

// Meters values: Pre, GainRed, Post; MeterType values: VU, PPM.
constexpr float kPre = 0.0f, kGainRed = 0.5f, kPost = 1.0f, kVu = 0.0f, kPpm = 1.0f;

Settings operator+(Settings a, const Settings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<GoldenCase> atTheProductsIndices(std::vector<GoldenCase> cases, const rig::Generation& g) {
  for (GoldenCase& c : cases) {
    for (Setting& s : c.settings) s.index = g.index(s.index);
    for (Change& change : c.changes) change.setting.index = g.index(change.setting.index);
  }
  return cases;
}

}  // namespace

std::vector<GoldenCase> ostrelvanheimCases(const rig::Generation& g) {
  // A case marked with these runs with FAT on (and says so in its name) on
  // the product with the oversampled path, and as it stands on the other.
  const bool fat = g.oversampledPath;
  const std::string FAT = fat ? " FAT" : "";
  const Settings withFat = fat ? Settings{{kFat, 1}} : Settings{};

  Table t;
  // Every kernel and routing at the default program's values, FAT off and on.
  for (const rig::Mode& m : g.modes()) {
    t.add(std::string(m.name) + " 44k", m.name);
    if (fat) t.add(std::string(m.name) + " FAT 44k", m.name, {{kFat, 1}});
  }

  // Sample-rate bands: ring sizes, design rates, the FAT limit.
  t.add("stereo linked multiband 96k", kLinkedMulti, {}, 96000);
  if (fat) t.add("stereo linked multiband FAT 96k", kLinkedMulti, {{kFat, 1}}, 96000);
  t.add("stereo unlinked single band" + FAT + " 96k", kUnlinkedSingle, withFat, 96000);
  t.add("bypass" + FAT + " 96k", kBypass, withFat, 96000);
  t.add("stereo linked multiband 192k", kLinkedMulti, {}, 192000);
  t.add("stereo linked single band 192k", kLinkedSingle, {}, 192000);
  t.add("mono single band R 192k", kMonoSingleR, {}, 192000);
  t.add("bypass 192k", kBypass, {}, 192000);
  // The FAT index set where it switches nothing: above 100 kHz, or on the
  // product without the oversampled path, where it is only stored.
  if (fat)
    t.add("stereo linked multiband FAT ignored 192k", kLinkedMulti, {{kFat, 1}}, 192000);
  else
    t.add("stereo unlinked multiband oversampling index on 96k", kUnlinkedMulti, {{kFat, 1}}, 96000);

  // Auto and Long release.
  t.add("stereo linked multiband Auto", kLinkedMulti, {{kAuto, 1}});
  t.add("stereo unlinked multiband Auto" + FAT, kUnlinkedMulti, Settings{{kAuto, 1}} + withFat);
  t.add("stereo linked single band Auto", kLinkedSingle, {{kAuto, 1}});
  t.add("stereo unlinked single band Auto", kUnlinkedSingle, {{kAuto, 1}});
  t.add("mono multiband R Auto", kMonoMultiR, {{kAuto, 1}});
  t.add("stereo linked single band Auto Long", kLinkedSingle, {{kAuto, 1}, {kLong, 1}, {kSpeed, 0.5f}});
  t.add("stereo linked multiband Auto Long", kLinkedMulti, {{kAuto, 1}, {kLong, 1}, {kSpeed, 0.6f}});
  t.add("mono single band Auto Long", kMonoSingle, {{kAuto, 1}, {kLong, 1}});
  if (fat)
    t.add("stereo unlinked multiband Auto Brickwall FAT 96k", kUnlinkedMulti,
          {{kAuto, 1}, {kFat, 1}, {kDrive, 0.7f}}, 96000);

  // Brickwall off: the wet signal may exceed full scale, nothing clamps.
  t.add("stereo linked multiband no Brickwall", kLinkedMulti, {{kBrickwall, 0}, {kDrive, 0.75f}});
  t.add("stereo linked single band no Brickwall", kLinkedSingle, {{kBrickwall, 0}, {kDrive, 0.75f}});
  if (fat)
    t.add("stereo unlinked multiband no Brickwall FAT", kUnlinkedMulti,
          {{kBrickwall, 0}, {kFat, 1}, {kOutput, 0.7f}});

  // Both knee shapes: below 0.25 the blended knee, above it the rational one.
  t.add("stereo linked single band knee 0.1", kLinkedSingle, {{kKnee, 0.1f}});
  t.add("stereo linked multiband knee 0.2", kLinkedMulti, {{kKnee, 0.2f}});
  if (fat) t.add("stereo linked single band knee 0.5", kLinkedSingle, {{kKnee, 0.5f}});
  t.add("stereo unlinked multiband knee 1", kUnlinkedMulti, {{kKnee, 1.0f}});
  t.add("mono single band L knee 0.3" + FAT, kMonoSingleL, Settings{{kKnee, 0.3f}} + withFat);

  // Gains, times, shapes and mix away from their defaults.
  t.add("stereo linked multiband heavy drive", kLinkedMulti, {{kDrive, 0.85f}});
  t.add("stereo linked single band light drive", kLinkedSingle, {{kDrive, 0.2f}});
  t.add("stereo linked multiband speed 0", kLinkedMulti, {{kSpeed, 0.0f}});
  t.add("stereo unlinked single band speed 0.35 release 0.9", kUnlinkedSingle,
        {{kSpeed, 0.35f}, {kRelease, 0.9f}});
  if (fat) t.add("stereo linked single band release 0", kLinkedSingle, {{kRelease, 0.0f}, {kSpeed, 0.7f}});
  t.add("stereo linked single band shelves", kLinkedSingle,
        {{kHighAdjust, 0.8f}, {kLowAdjust, 0.2f}, {kHighFreq, 0.4f}, {kLowFreq, 0.7f}});
  t.add("stereo linked multiband crossovers and band gains", kLinkedMulti,
        {{kHighFreq, 0.3f}, {kLowFreq, 0.8f}, {kHighAdjust, 0.65f}, {kLowAdjust, 0.35f}});
  t.add("stereo linked multiband mix 0.3", kLinkedMulti, {{kMix, 0.3f}, {kDrive, 0.7f}});
  t.add("stereo linked single band low ceiling high output", kLinkedSingle,
        {{kCeiling, 0.3f}, {kOutput, 0.7f}});
  if (fat)
    t.add("stereo linked multiband high ceiling FAT", kLinkedMulti,
          {{kCeiling, 0.8f}, {kOutput, 0.45f}, {kFat, 1}});
  t.add("stereo linked multiband fine tune 0", kLinkedMulti,
        {{kFineTune, 0.0f}, {kDrive, 0.9f}, {kCeiling, 0.2f}, {kHighAdjust, 0.9f}});

  // Band saturation and band releases, within +-6 dB and from 0.25 to 4
  // where the product's ranges are the narrow ones (and Drive then at 0.7).
  t.add("stereo unlinked multiband band saturation", kUnlinkedMulti,
        Settings{{kLowSat, 0.8f}, {kMidSat, 0.2f}, {kHighSat, 0.65f}} +
            (g.narrowBandRanges ? Settings{{kDrive, 0.7f}} : Settings{}));
  t.add("stereo linked multiband band releases Auto", kLinkedMulti,
        {{kLowRel, 0.9f}, {kMidRel, 0.1f}, {kHighRel, 0.7f}, {kAuto, 1}});

  // The one-channel routings, on the product whose unprocessed channel keeps
  // its level also with the output gain away from 0 dB.
  if (g.otherChannelWithoutGain) {
    t.add("mono multiband L output 6 dB", kMonoMultiL, {{kOutput, 0.75f}, {kDrive, 0.7f}});
    t.add("mono single band R output -6 dB", kMonoSingleR, {{kOutput, 0.25f}, {kMix, 0.6f}});
  }
  t.add("mono single band L mix 0", kMonoSingleL, {{kMix, 0.0f}});
  t.add("mono multiband OO-O mix 0.6 output", kMonoMulti, {{kMix, 0.6f}, {kOutput, 0.3f}});

  // Arbitrary values as hosts send them. For each of these, wine's sin, cos or
  // pow differs from glibc's by an ulp somewhere in the coefficients, so they
  // are what the Windows tolerance is measured on.
  t.add("arbitrary high adjust", kLinkedMulti, {{kAuto, 1}, {kHighAdjust, 0.743967116f}});
  t.add("arbitrary high sat", kLinkedMulti, {{kAuto, 1}, {kHighSat, 0.670313895f}});
  if (fat) t.add("arbitrary drive FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kDrive, 0.739184558f}});
  t.add("arbitrary release" + FAT, kLinkedMulti,
        Settings{{kAuto, 1}} + withFat + Settings{{kRelease, 0.755728185f}});
  if (fat) {
    t.add("arbitrary high freq FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kHighFreq, 0.640456796f}});
    t.add("arbitrary output FAT", kLinkedMulti, {{kAuto, 1}, {kFat, 1}, {kOutput, 0.288707048f}});
  }
  t.add("arbitrary mid release" + FAT, kLinkedMulti,
        Settings{{kAuto, 1}} + withFat + Settings{{kMidRel, 0.0928453133f}});

  // Metering with the editor open: VU and PPM, Pre, GainRed and Post; the
  // Post meters of the one-channel routings with the output gain away from
  // 0 dB where the unprocessed channel does without it.
  t.meters("meters VU GainRed stereo linked multiband", kLinkedMulti,
           {{kMeters, kGainRed}, {kMeterType, kVu}});
  t.meters("meters VU Pre stereo unlinked single band", kUnlinkedSingle,
           {{kMeters, kPre}, {kMeterType, kVu}, {kVuIntegr, 0.2f}, {kVuRefer, 0.7f}});
  if (g.otherChannelWithoutGain)
    t.meters("meters VU Post mono multiband L output", kMonoMultiL,
             {{kMeters, kPost}, {kMeterType, kVu}, {kOutput, 0.7f}});
  else
    t.meters("meters VU Post mono multiband L", kMonoMultiL, {{kMeters, kPost}, {kMeterType, kVu}});
  t.meters("meters VU GainRed mono single band R 96k", kMonoSingleR,
           {{kMeters, kGainRed}, {kMeterType, kVu}, {kCeiling, 0.4f}}, 96000);
  t.meters("meters PPM Pre stereo linked single band" + FAT, kLinkedSingle,
           Settings{{kMeters, kPre}, {kMeterType, kPpm}} + withFat);
  t.meters("meters PPM GainRed stereo unlinked multiband", kUnlinkedMulti,
           {{kMeters, kGainRed}, {kMeterType, kPpm}, {kPpmIntegr, 0.3f}, {kPpmReturn, 0.2f}});
  if (g.otherChannelWithoutGain)
    t.meters("meters PPM Post mono single band R output", kMonoSingleR,
             {{kMeters, kPost}, {kMeterType, kPpm}, {kBrickwall, 0}, {kDrive, 0.8f}, {kOutput, 0.3f}});
  else
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
  if (fat) t.meters("meters bypass PPM Pre FAT", kBypass, {{kMeters, kPre}, {kMeterType, kPpm}, {kFat, 1}});
  t.meters("meters bypass VU Post OverIndic 10", kBypass,
           {{kMeters, kPost}, {kMeterType, kVu}, {kOverIndic, 1}});

  // Parameter changes while audio runs.
  t.add("Link switched off mid-run multiband", kLinkedMulti).changes = {{50.0, {kLink, 0}}};
  t.add("Mono Stereo switched mid-run single band", kLinkedSingle).changes = {{50.0, {kMonoStereo, 0}}};
  t.add("Speed and Drive changed mid-run single band", kUnlinkedSingle).changes = {{40.0, {kSpeed, 0.2f}},
                                                                                   {60.0, {kDrive, 0.8f}}};
  if (fat) t.add("FAT switched on mid-run multiband", kLinkedMulti).changes = {{40.0, {kFat, 1}}};
  t.add("Process switched on mid-run", kBypass).changes = {{30.0, {kProcess, 1}}};
  t.add("channel mode button mid-run", kLinkedMulti).changes = {{50.0, {kChannelMode, 0.4f}}};

  // 32-bit hosts with odd block lengths; blocks of 333 with FAT where there is
  // one, with Auto on the other product.
  GoldenCase& odd = t.add("32-bit host blocks of 100 stereo linked single band", kLinkedSingle);
  odd.block = 100;
  odd.singlePrecision = true;
  GoldenCase& odd333 = fat ? t.add("32-bit host blocks of 333 multiband FAT", kUnlinkedMulti, {{kFat, 1}})
                           : t.add("32-bit host blocks of 333 multiband", kUnlinkedMulti, {{kAuto, 1}});
  odd333.block = 333;
  odd333.singlePrecision = true;

  // Factory programs: realistic combinations, and a program with values of
  // the product's own where it has them.
  if (!g.ownPublished.empty()) t.program("program Mix Finalize 1", 7);
  t.program("program Guitar Track", 18);
  t.program("program Bass Line Track" + FAT, 24, withFat);
  return atTheProductsIndices(std::move(t).cases(), g);
}

std::vector<ProductCase> productCases(const rig::Generation& g) {
  std::vector<ProductCase> cases;
  for (GoldenCase& c : ostrelvanheimCases(g)) cases.push_back({&g, std::move(c)});
  return cases;
}

void PrintTo(const ProductCase& c, std::ostream* os) { *os << c.golden.name; }

std::string caseName(const ::testing::TestParamInfo<ProductCase>& info) {
  return testName(::testing::TestParamInfo<GoldenCase>(info.param.golden, info.index));
}

void checkCase(const ProductCase& c, bool sse2Only) {
  rig::Rig r(*c.generation->product, c.golden.rate);
  checkAgainstStored(c.golden, runCaseOn(r, c.golden, c.generation->modes(), sse2Only),
                     c.generation->goldenFolder);
}

TEST_P(OstrelvanheimGolden, OutputMatchesTheStoredExpectation) { checkCase(GetParam()); }

TEST_P(OstrelvanheimGoldenTable, CaseNamesGiveDistinctFiles) {
  EXPECT_TRUE(distinctFiles(ostrelvanheimCases(generation())));
}

}  // namespace golden
