// The factory programs of JYX Tindravelle, checked against the published
// preset list written out as text, row by row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "products/tindravelle/factory_presets.h"
#include "tests/products/published_presets.h"

namespace {

using namespace tindravelle;

// name | Speed ReleaseMul Drive 8 LowAdjust 10 HighAdjust Knee Output
const char* const kPublishedRows[] = {
    "Default|1 0.5 0.5 0.5 0.5 1 0.5 0 0.5",
    "Guitar Track|0.472 0.35 0.8 0.5 0.5 0.3 0.75 0.75 0.4984",
    "Clean Guitar Track|1 0.31 0.625 0.575 0.35 0.825 0.58 0.155 0.4984",
    "HeavyRythmGuitar Trk|0.7 1 0.54 0.5 0.35 0.67 0.65 0.18 0.4984",
    "Lead Guitar 1 Track|1 0.31 0.58 0.575 0.35 0.825 0.52 0.09 0.4984",
    "Lead Guitar 2 Track|1 0.22 0.58 0.575 0.475 0.825 0.52 0.09 0.4984",
    "Vintage Guitar Trk|0.145 0.35 0.75 0.85 0.75 0.75 0.25 0.125 0.4984",
    "Bass Line Track|0.28 0.45 0.72 0.6 0.665 0.5 0.5 0.45 0.4984",
    "Funky Bass Drum Trk|0.682 0.82 0.72 0.5 0.665 0.5 0.5 0.082 0.4984",
    "Snare Drum Track|0 0.5 0.675 0.5 0.5 0.5 0.5 0.3 0.4984",
    "Track Tape Slow|0.25 0.5 0.5 0.1 0.4 0.8 0.42 0.2 0.4984",
    "Track Tape Normal|0.5 0.5 0.5 0.15 0.42 0.9 0.42 0.25 0.4984",
    "Track Tape Fast|0.75 0.5 0.5 0.2 0.42 1 0.45 0.25 0.4984",
};
const int kRowColumns[] = {4, 5, 6, 8, 9, 10, 11, 12, 13};

// The columns the list gives once for all programs: Process on, index 1 off,
// Stereo, index 7 off, Meters on GainRed, 15-21 off; Link on only in
// "Default" and "Track Tape Normal".
float sharedValue(int index, const std::string& name) {
  switch (index) {
    case 0:
    case 2: return 1.0f;
    case 3: return name == "Default" || name == "Track Tape Normal" ? 1.0f : 0.0f;
    case 14: return 0.5f;
    default: return 0.0f;
  }
}

class TindravelleFactoryPresets : public ::testing::Test {
 protected:
  void SetUp() override { loadFactoryPresets(store_); }
  ProgramStore store_{{kNumParams, kNumPrograms}};
};

TEST_F(TindravelleFactoryPresets, EveryProgramMatchesThePublishedList) {
  ASSERT_EQ(kNumParams, 22);
  expectPublishedPrograms(store_, kPublishedRows, kRowColumns, sharedValue);
}

TEST_F(TindravelleFactoryPresets, GlobalParametersAreEqualInAllPrograms) {
  for (VstInt32 index : kGlobalIndices)
    for (int k = 1; k < kNumPrograms; ++k) EXPECT_EQ(store_.value(k, index), store_.value(0, index));
}

}  // namespace
