// The two Ostrelvanheim generations as their tests see them: each product's
// description and what its cases expect where the generations differ. The
// cases both products run are written once over this table; what one
// product alone has stays with that product's own cases.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/products/ostrelvanheim2_rig.h"

namespace rig {

// A value in which a product's published preset list differs from the second
// generation's, in programs first to last.
struct PublishedValue {
  int first, last;
  VstInt32 meaning;
  float value;
};

struct Generation {
  const char* name;  // in test names
  // Its column in the tables written at both products' own indices.
  int column;
  const OstrelvanheimProduct* product;
  const std::vector<Mode>& (*modes)();

  // Identity towards the host, and the stem of the preset system's settings.
  VstInt32 uniqueId;
  int numParams;
  const char* effectName;
  const char* productString;
  const char* settingsStem;

  // Ring sizes and delay in each sample-rate band: below 50 kHz, below
  // 100 kHz, from 100 kHz.
  struct Band {
    int lookaheadRing, latencyRing, delay;
  } bands[3];
  // The delay-ring store: its size, the length of each of the sixteen
  // look-ahead regions, and where the dry and output regions start.
  struct RingStore {
    int slots, lookaheadRegion, dryA, dryB, outL, outR;
  } ringStore;

  // The name of the FAT index: the first generation stores its value but has
  // no oversampled path, and says so.
  const char* fatName;
  // Indices whose name and label are "-": spare ones, ones without a meaning
  // and ones outside the table.
  std::vector<VstInt32> unnamed;
  // Indices of which the host gets no properties.
  std::vector<VstInt32> withoutProperties;
  // Spare host indices, which live in the current program only, and indices
  // without a meaning, which keep nothing.
  std::vector<VstInt32> spare, meaningless;
  // Where the other generation keeps its first meter preference: no
  // preference here.
  VstInt32 otherGenerationsPreference;

  // The published preset list: the values that are this product's own.
  std::vector<PublishedValue> ownPublished;

  // Golden output: the data folder, and what of the shared table the product
  // has: the oversampled path (FAT), the one-channel routings whose
  // unprocessed channel does without the output gain, and band saturation
  // within +-6 dB with band releases from 0.25 to 4.
  const char* goldenFolder;
  bool oversampledPath;
  bool otherChannelWithoutGain;
  bool narrowBandRanges;

  // The product's index of a meaning.
  VstInt32 index(VstInt32 meaning) const { return product->parameters.indexOf(meaning); }
  // The band of a sample rate as the effect takes it.
  const Band& bandAt(float rate) const { return bands[rate < 50000.0f ? 0 : rate < 100000.0f ? 1 : 2]; }
};

extern const Generation kSecondGeneration;  // JYX Ostrelvanheim2
extern const Generation kFirstGeneration;   // JYX Ostrelvanheim
inline const Generation* const kGenerations[] = {&kSecondGeneration, &kFirstGeneration};

// Test names and failure messages show the product.
inline void PrintTo(const Generation* g, std::ostream* os) { *os << g->name; }
inline std::string generationName(const ::testing::TestParamInfo<const Generation*>& info) {
  return info.param->name;
}

// The fixture of a suite over the generations: a settings sandbox, and a rig
// of the generation's product.
class GenerationTest : public ::testing::TestWithParam<const Generation*> {
 protected:
  const Generation& generation() const { return *GetParam(); }
  Rig rig(float sampleRate = 44100.0f) const { return Rig(*GetParam()->product, sampleRate); }

  testsupport::SettingsSandbox sandbox_;
};

}  // namespace rig
