// The factory programs of both Ostrelvanheim generations, checked against
// their published preset lists written out as text, row by row, and the
// first generation's as the effect holds them after construction. The two
// lists are one but for the values the product table gives as the first
// generation's own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "products/ostrelvanheim/factory_presets.h"
#include "products/ostrelvanheim/product.h"
#include "products/ostrelvanheim2/factory_presets.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/products/ostrelvanheim_products.h"
#include "tests/products/published_presets.h"
#include "tests/support/settings_sandbox.h"

namespace {

using rig::Generation;

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
    "Mix Finalize 1|1 1 0.65 0 0.4 0.75 0.5 0.5 0.5 0.5 0.5 0.4984 0.75 0.25",
    "Mix Finalize 2|1 1 0.6 0.1 0.25 0.75 0.5 0.5 0.5 0.5 0.5 0.4984 0.75 0.25",
    "Mix Finalize 3|1 1 0.55 0.2 0 1 0.5 0.5 0.5 0.5 0.5 0.4984 0.75 0.25",
    "Mix liteDriven Tape|1 1 0.5 0.15 0 0 0.485 0.54 1 0.4 0.5 0.4984 0.75 0.25",
    "Mix semiDriven Tape|1 1 0.5 0.25 0 0 0.485 0.54 1 0.4 0.5 0.4984 0.75 0.25",
    "Mix heavyDriven Tape|1 1 0.5 0.4 0 0 0.485 0.54 1 0.4 0.5 0.4984 0.75 0.25",
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
// The columns by meaning, which are also their indices in both products.
const int kRowColumns[] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 18, 20};

// Value of every index that is the same in all programs.
float sharedValue(const Generation& g, int index) {
  switch (g.product->parameters.meaningOf(index)) {
    case Meaning::kProcess:
    case Meaning::kMonoStereo:
    case Meaning::kMix:
    case Meaning::kFineTune:
    case Meaning::kBrickwall: return 1.0f;
    case Meaning::kLowSat:
    case Meaning::kMidSat:
    case Meaning::kHighSat:
    case Meaning::kMidRel:
    case Meaning::kMeters: return 0.5f;
    default: return 0.0f;  // the other switches and selectors, and the spare indices
  }
}

// A program store with a product's factory programs.
class FactoryBank : public ::testing::Test {
 protected:
  explicit FactoryBank(const Generation& g) : store_(g.product->presets.layout) {
    g.product->presets.loadFactoryPresets(store_);
  }
  ProgramStore store_;
};

class OstrelvanheimFactoryPresets : public FactoryBank,
                                    public ::testing::WithParamInterface<const Generation*> {
 protected:
  OstrelvanheimFactoryPresets() : FactoryBank(*GetParam()) {}
};

class FactoryPresets : public FactoryBank {
 protected:
  FactoryPresets() : FactoryBank(rig::kSecondGeneration) {}
};

class FirstGenerationFactoryPresets : public FactoryBank {
 protected:
  FirstGenerationFactoryPresets() : FactoryBank(rig::kFirstGeneration) {}
};

TEST_P(OstrelvanheimFactoryPresets, EveryProgramMatchesThePublishedList) {
  const Generation& g = *GetParam();
  std::vector<OwnProgramValue> own;
  for (const rig::PublishedValue& v : g.ownPublished)
    for (int program = v.first; program <= v.last; ++program)
      own.push_back({program, g.index(v.meaning), v.value});
  expectPublishedPrograms(
      store_, kPublishedRows, kRowColumns,
      [&](int index, const std::string&) { return sharedValue(g, index); }, own);
}

TEST_P(OstrelvanheimFactoryPresets, NamesAreShorterThanTheFieldAndZeroFilled) {
  expectNamesZeroFilled(store_);
}

TEST_P(OstrelvanheimFactoryPresets, GlobalParametersAreEqualInAllPrograms) {
  for (VstInt32 index : GetParam()->product->presets.globalIndices)
    for (int k = 1; k < store_.layout().numPrograms; ++k)
      EXPECT_EQ(store_.value(k, index), store_.value(0, index)) << index << " " << k;
}

TEST_F(FactoryPresets, DefaultProgramIsSingleBandLinkedAtUnityOutput) {
  EXPECT_STREQ(store_.name(0), "Default");
  EXPECT_EQ(store_.value(0, 1), 0.0f);
  EXPECT_EQ(store_.value(0, 3), 1.0f);
  EXPECT_EQ(store_.value(0, 14), 0.5f);
  EXPECT_STREQ(store_.name(1), "Mastering First Aid");
  EXPECT_EQ(store_.value(1, 14), 0.4984f);
  EXPECT_STREQ(store_.name(29), "Track Tape Fast");
}

TEST_F(FirstGenerationFactoryPresets,
       TheDefaultNameIsZeroFilledAndTrackTapeNormalIsTheOneLinkedTrackProgram) {
  EXPECT_EQ(std::memcmp(store_.name(0), "Default\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24), 0);
  int trackProgramsLinked = 0;
  for (int k = 18; k < ostrelvanheim::kNumPrograms; ++k) trackProgramsLinked += store_.value(k, 3) == 1.0f;
  EXPECT_EQ(trackProgramsLinked, 1);
  EXPECT_EQ(store_.value(28, 3), 1.0f) << "Track Tape Normal is the linked one";
}

TEST(FirstGenerationFactoryPresetsInTheEffect, ConstructionLeavesTheFactoryBankWithProgramZeroApplied) {
  testsupport::SettingsSandbox sandbox;
  Ostrelvanheim fx([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                      float) -> VstIntPtr { return opcode == audioMasterVersion ? 2400 : 0; },
                   ostrelvanheim::kProduct);
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
  for (VstInt32 i = 0; i < ostrelvanheim::kNumParams; ++i)
    EXPECT_EQ(fx.getParameter(i), store.value(0, i)) << i;
}

INSTANTIATE_TEST_SUITE_P(Generations, OstrelvanheimFactoryPresets, ::testing::ValuesIn(rig::kGenerations),
                         rig::generationName);

}  // namespace
