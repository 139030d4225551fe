// The factory programs of JYX Ostrelvanheim, checked against the published
// preset list written out as text, row by row, and as the effect holds them
// after construction.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "products/ostrelvanheim/factory_presets.h"
#include "products/ostrelvanheim/product.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/products/published_presets.h"
#include "tests/support/settings_sandbox.h"

namespace {

using namespace ostrelvanheim;

// name | Mode Link Drive Knee Speed Release HighAdjust LowAdjust HighFreq LowFreq
//        Ceiling Output LowRel HighRel
const char* const kPublishedRows[] = {
    "Default|0 1 0.5 0 1 0.5 0.5 0.5 1 0.5 0.5 0.5 0.5 0.5",
    "Mastering First Aid|1 1 0.535 0 1 0.5 0.54 0.55 1 0.57 0.5 0.4984 0.5 0.5",
    "Mix First Aid 1|1 1 0.55 0 0.5 0.5 0.75 0.75 0.65 0.65 0.5 0.4984 0.5 0.5",
    "Mix First Aid 2|1 1 0.5 0.1 0.5 0.5 0.65 0.57 0.7 0.65 0.5 0.4984 0.5 0.5",
    "Mix First Aid 3|1 1 0.6 0 1 0.5 0.56 0.57 1 0.57 0.5 0.4984 0.5 0.5",
    "Mix First Aid 4|1 1 0.58 0 0.65 0.5 0.71 0.71 0.65 0.75 0.5 0.4984 0.5 0.5",
    "Mix Extra Pressure|1 1 0.6 0.2 0.6 0.75 0.5 0.5 0.5 0.5 0.48 0.4984 0.5 0.5",
    "Mix Finalize 1|1 1 0.65 0 0.4 0.75 0.5 0.5 0.5 0.5 0.5 0.4984 1 0",
    "Mix Finalize 2|1 1 0.6 0.1 0.25 0.75 0.5 0.5 0.5 0.5 0.5 0.4984 1 0",
    "Mix Finalize 3|1 1 0.55 0.2 0 1 0.5 0.5 0.5 0.5 0.5 0.4984 1 0",
    "Mix liteDriven Tape|1 1 0.5 0.15 0 0 0.485 0.54 1 0.4 0.5 0.4984 1 0",
    "Mix semiDriven Tape|1 1 0.5 0.25 0 0 0.485 0.54 1 0.4 0.5 0.4984 1 0",
    "Mix heavyDriven Tape|1 1 0.5 0.4 0 0 0.485 0.54 1 0.4 0.5 0.4984 1 0",
    "MultiBandLimiter Slow|1 1 0.5 0 1 0.5 0.5 0.5 0.5 0.5 0.5 0.4984 0.5 0.5",
    "MultiBandLimiter Fast|1 1 0.5 0 0.65 0.5 0.5 0.5 0.5 0.5 0.5 0.4984 0.5 0.5",
    "MultiBandCompLim Light|1 1 0.5 0.3 1 1 0.5 0.5 0.5 0.5 0.5 0.4984 0.5 0.5",
    "MultiBandCompLim Med|1 1 0.5 0.5 1 1 0.5 0.5 0.5 0.5 0.5 0.4984 0.5 0.5",
    "MultiBandCompLim Heavy|1 1 0.5 0.75 1 1 0.5 0.5 0.5 0.5 0.5 0.4984 0.5 0.5",
    "Guitar Track|0 0 0.8 0.75 0.472 0.35 0.75 0.5 0.3 0.5 0.3 0.4984 0.5 0.5",
    "Clean Guitar Track|0 0 0.625 0.155 1 0.31 0.58 0.35 0.825 0.575 0.5 0.4984 0.5 0.5",
    "HeavyRythmGuitar Trk|0 0 0.54 0.18 0.7 1 0.65 0.35 0.67 0.5 0.5 0.4984 0.5 0.5",
    "Lead Guitar 1 Track|0 0 0.58 0.09 1 0.31 0.52 0.35 0.825 0.575 0.5 0.4984 0.5 0.5",
    "Lead Guitar 2 Track|0 0 0.58 0.09 1 0.22 0.52 0.475 0.825 0.575 0.5 0.4984 0.5 0.5",
    "Vintage Guitar Trk|0 0 0.75 0.125 0.145 0.35 0.25 0.75 0.75 0.85 0.375 0.4984 0.5 0.5",
    "Bass Line Track|0 0 0.72 0.45 0.28 0.45 0.5 0.665 0.5 0.6 0.5 0.4984 0.5 0.5",
    "Funky Bass Drum Trk|0 0 0.72 0.082 0.682 0.82 0.5 0.665 0.5 0.5 0.28 0.4984 0.5 0.5",
    "Snare Drum Track|0 0 0.675 0.3 0 0.5 0.5 0.5 0.5 0.5 0.5 0.4984 0.5 0.5",
    "Track Tape Slow|0 0 0.5 0.2 0.25 0.5 0.42 0.4 0.8 0.1 0.5 0.4984 0.5 0.5",
    "Track Tape Normal|0 1 0.5 0.25 0.5 0.5 0.42 0.42 0.9 0.15 0.5 0.4984 0.5 0.5",
    "Track Tape Fast|0 0 0.5 0.25 0.75 0.5 0.45 0.42 1 0.2 0.5 0.4984 0.5 0.5",
};
const int kRowColumns[] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 18, 20};

// Value of every index that is the same in all programs.
float sharedValue(int index) {
  switch (index) {
    case 0:
    case 2:
    case 12:
    case 28:
    case 34: return 1.0f;  // Process, Mono Stereo, Mix, FineTune, Brickwall
    case 15:
    case 16:
    case 17:
    case 19:
    case 21: return 0.5f;  // the band saturations, MidRel, Meters
    default: return 0.0f;  // 22-27, 29-33, 35-47
  }
}

class FirstGenerationFactoryPresets : public ::testing::Test {
 protected:
  void SetUp() override { loadFactoryPresets(store_); }
  ProgramStore store_{{kNumParams, kNumPrograms}};
};

TEST_F(FirstGenerationFactoryPresets, EveryProgramMatchesThePublishedList) {
  expectPublishedPrograms(store_, kPublishedRows, kRowColumns,
                          [](int index, const std::string&) { return sharedValue(index); });
}

TEST_F(FirstGenerationFactoryPresets, NamesAreZeroFilledAndGlobalsEqualEverywhere) {
  EXPECT_EQ(std::memcmp(store_.name(0), "Default\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24), 0);
  expectNamesZeroFilled(store_);
  for (VstInt32 index : kGlobalIndices)
    for (int k = 1; k < kNumPrograms; ++k) EXPECT_EQ(store_.value(k, index), store_.value(0, index));
  int trackProgramsLinked = 0;
  for (int k = 18; k < kNumPrograms; ++k) trackProgramsLinked += store_.value(k, 3) == 1.0f;
  EXPECT_EQ(trackProgramsLinked, 1);
  EXPECT_EQ(store_.value(28, 3), 1.0f) << "Track Tape Normal is the linked one";
}

TEST(FirstGenerationFactoryPresetsInTheEffect, ConstructionLeavesTheFactoryBankWithProgramZeroApplied) {
  testsupport::SettingsSandbox sandbox;
  Ostrelvanheim fx([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                      float) -> VstIntPtr { return opcode == audioMasterVersion ? 2400 : 0; },
                   kProduct);
  char name[32] = {};
  ASSERT_TRUE(fx.getProgramNameIndexed(0, 29, name));
  EXPECT_STREQ(name, "Track Tape Fast");
  EXPECT_FALSE(fx.getProgramNameIndexed(0, 30, name));
  const ProgramStore& store = *fx.programStore();
  EXPECT_EQ(store.value(29, 4), 0.5f);
  EXPECT_EQ(store.value(29, 5), 0.25f);
  EXPECT_EQ(store.value(29, 6), 0.75f);
  EXPECT_EQ(store.value(29, 10), 1.0f);
  EXPECT_EQ(store.value(29, 11), 0.2f);
  // Programs 7 to 12 reach the band release factors of the second generation's 0.75 and 0.25.
  fx.selectProgram(7);
  EXPECT_EQ(fx.engine().bandReleaseFactors[0], 4.0);
  EXPECT_EQ(fx.engine().bandReleaseFactors[2], 0.25);
  // Program 0 applied: every parameter reads its value (the spare ones from the program itself).
  fx.selectProgram(0);
  for (VstInt32 i = 0; i < kNumParams; ++i) EXPECT_EQ(fx.getParameter(i), store.value(0, i)) << i;
}

}  // namespace
