// The factory programs of JYX Ostrelvanheim2, checked against the published
// preset list written out as text, row by row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "products/ostrelvanheim2/factory_presets.h"
#include "tests/products/published_presets.h"

namespace {

using namespace ostrelvanheim2;

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
const int kRowColumns[] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 18, 20};

// Value of every column that is the same in all programs.
float sharedValue(int index) {
  switch (index) {
    case 0:
    case 2:
    case 12:
    case 24:
    case 29: return 1.0f;
    case 15:
    case 16:
    case 17:
    case 19:
    case 21: return 0.5f;
    default: return 0.0f;  // 22, 23, 25-28, 30 and the spare indices
  }
}

class FactoryPresets : public ::testing::Test {
 protected:
  void SetUp() override { loadFactoryPresets(store_); }
  ProgramStore store_{{kNumParams, kNumPrograms}};
};

TEST_F(FactoryPresets, EveryProgramMatchesThePublishedList) {
  expectPublishedPrograms(store_, kPublishedRows, kRowColumns,
                          [](int index, const std::string&) { return sharedValue(index); });
}

TEST_F(FactoryPresets, NamesAreShorterThanTheFieldAndZeroFilled) { expectNamesZeroFilled(store_); }

TEST_F(FactoryPresets, GlobalParametersAreEqualInAllPrograms) {
  for (VstInt32 index : kGlobalIndices)
    for (int k = 1; k < kNumPrograms; ++k) EXPECT_EQ(store_.value(k, index), store_.value(0, index));
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

}  // namespace
