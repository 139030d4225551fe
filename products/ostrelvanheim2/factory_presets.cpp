#include "products/ostrelvanheim2/factory_presets.h"

#include <iterator>

#include "presets/factory_bank.h"

namespace ostrelvanheim2 {
namespace {

// The parameters that differ between the factory programs, in this order:
// Mode, Link, Drive, Knee, Speed, Release, HighAdjust, LowAdjust, HighFreq,
// LowFreq, Ceiling, Output, LowRel, HighRel. Indices here are meanings.
constexpr int kVaryingIndices[] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 18, 20};
constexpr std::size_t kVarying = std::size(kVaryingIndices);

constexpr FactoryProgram<kVarying> kPrograms[kNumPrograms] = {
    {"Default", {0, 1, 0.5f, 0, 1, 0.5f, 0.5f, 0.5f, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"Mastering First Aid", {1, 1, 0.535f, 0, 1, 0.5f, 0.54f, 0.55f, 1, 0.57f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Mix First Aid 1", {1, 1, 0.55f, 0, 0.5f, 0.5f, 0.75f, 0.75f, 0.65f, 0.65f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Mix First Aid 2", {1, 1, 0.5f, 0.1f, 0.5f, 0.5f, 0.65f, 0.57f, 0.7f, 0.65f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Mix First Aid 3", {1, 1, 0.6f, 0, 1, 0.5f, 0.56f, 0.57f, 1, 0.57f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Mix First Aid 4", {1, 1, 0.58f, 0, 0.65f, 0.5f, 0.71f, 0.71f, 0.65f, 0.75f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Mix Extra Pressure",
     {1, 1, 0.6f, 0.2f, 0.6f, 0.75f, 0.5f, 0.5f, 0.5f, 0.5f, 0.48f, 0.4984f, 0.5f, 0.5f}},
    {"Mix Finalize 1", {1, 1, 0.65f, 0, 0.4f, 0.75f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.75f, 0.25f}},
    {"Mix Finalize 2", {1, 1, 0.6f, 0.1f, 0.25f, 0.75f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.75f, 0.25f}},
    {"Mix Finalize 3", {1, 1, 0.55f, 0.2f, 0, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.75f, 0.25f}},
    {"Mix liteDriven Tape", {1, 1, 0.5f, 0.15f, 0, 0, 0.485f, 0.54f, 1, 0.4f, 0.5f, 0.4984f, 0.75f, 0.25f}},
    {"Mix semiDriven Tape", {1, 1, 0.5f, 0.25f, 0, 0, 0.485f, 0.54f, 1, 0.4f, 0.5f, 0.4984f, 0.75f, 0.25f}},
    {"Mix heavyDriven Tape", {1, 1, 0.5f, 0.4f, 0, 0, 0.485f, 0.54f, 1, 0.4f, 0.5f, 0.4984f, 0.75f, 0.25f}},
    {"MultiBandLimiter Slow", {1, 1, 0.5f, 0, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"MultiBandLimiter Fast",
     {1, 1, 0.5f, 0, 0.65f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"MultiBandCompLim Light", {1, 1, 0.5f, 0.3f, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"MultiBandCompLim Med", {1, 1, 0.5f, 0.5f, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"MultiBandCompLim Heavy", {1, 1, 0.5f, 0.75f, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Guitar Track", {0, 0, 0.8f, 0.75f, 0.472f, 0.35f, 0.75f, 0.5f, 0.3f, 0.5f, 0.3f, 0.4984f, 0.5f, 0.5f}},
    {"Clean Guitar Track",
     {0, 0, 0.625f, 0.155f, 1, 0.31f, 0.58f, 0.35f, 0.825f, 0.575f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"HeavyRythmGuitar Trk",
     {0, 0, 0.54f, 0.18f, 0.7f, 1, 0.65f, 0.35f, 0.67f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Lead Guitar 1 Track",
     {0, 0, 0.58f, 0.09f, 1, 0.31f, 0.52f, 0.35f, 0.825f, 0.575f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Lead Guitar 2 Track",
     {0, 0, 0.58f, 0.09f, 1, 0.22f, 0.52f, 0.475f, 0.825f, 0.575f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Vintage Guitar Trk",
     {0, 0, 0.75f, 0.125f, 0.145f, 0.35f, 0.25f, 0.75f, 0.75f, 0.85f, 0.375f, 0.4984f, 0.5f, 0.5f}},
    {"Bass Line Track",
     {0, 0, 0.72f, 0.45f, 0.28f, 0.45f, 0.5f, 0.665f, 0.5f, 0.6f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Funky Bass Drum Trk",
     {0, 0, 0.72f, 0.082f, 0.682f, 0.82f, 0.5f, 0.665f, 0.5f, 0.5f, 0.28f, 0.4984f, 0.5f, 0.5f}},
    {"Snare Drum Track", {0, 0, 0.675f, 0.3f, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Track Tape Slow", {0, 0, 0.5f, 0.2f, 0.25f, 0.5f, 0.42f, 0.4f, 0.8f, 0.1f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Track Tape Normal",
     {0, 1, 0.5f, 0.25f, 0.5f, 0.5f, 0.42f, 0.42f, 0.9f, 0.15f, 0.5f, 0.4984f, 0.5f, 0.5f}},
    {"Track Tape Fast", {0, 0, 0.5f, 0.25f, 0.75f, 0.5f, 0.45f, 0.42f, 1, 0.2f, 0.5f, 0.4984f, 0.5f, 0.5f}},
};

// Values every factory program shares, by meaning; the spare indices stay 0.
constexpr PresetValue kShared[] = {
    {0, 1},     {2, 1},  {12, 1}, {24, 1}, {29, 1}, {15, 0.5f}, {16, 0.5f}, {17, 0.5f}, {19, 0.5f},
    {21, 0.5f}, {22, 0}, {23, 0}, {25, 0}, {26, 0}, {27, 0},    {28, 0},    {30, 0},
};

}  // namespace

void writeFactoryPrograms(ProgramStore& store, const ParameterMap& map, std::span<const FactoryValue> own) {
  if (!store.data()) return;
  int varying[kVarying];
  for (std::size_t c = 0; c < kVarying; ++c) varying[c] = map.indexOf(kVaryingIndices[c]);
  PresetValue shared[std::size(kShared)];
  for (std::size_t c = 0; c < std::size(kShared); ++c)
    shared[c] = {map.indexOf(kShared[c].index), kShared[c].value};
  fillFactoryBank<kVarying>(store, kPrograms, varying, shared);
  for (const FactoryValue& v : own) store.setValue(v.program, map.indexOf(v.meaning), v.value);
}

void loadFactoryPresets(ProgramStore& store) { writeFactoryPrograms(store, kParameterMap, {}); }

const PresetSystemTraits kPresetTraits = {
    {kNumParams, kNumPrograms}, kGlobalIndices, kSettingsStem, &loadFactoryPresets, kPresetStrip};

}  // namespace ostrelvanheim2
