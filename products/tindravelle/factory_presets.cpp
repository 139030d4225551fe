#include "products/tindravelle/factory_presets.h"

#include <iterator>

#include "presets/factory_bank.h"

namespace tindravelle {
namespace {

// The parameters that differ between the factory programs, in this order:
// Link, Speed, ReleaseMul, Drive, the spare 8, LowAdjust, the spare 10,
// HighAdjust, Knee, Output.
constexpr int kVaryingIndices[] = {3, 4, 5, 6, 8, 9, 10, 11, 12, 13};
constexpr std::size_t kVarying = std::size(kVaryingIndices);

constexpr FactoryProgram<kVarying> kPrograms[kNumPrograms] = {
    {"Default", {1, 1, 0.5f, 0.5f, 0.5f, 0.5f, 1, 0.5f, 0, 0.5f}},
    {"Guitar Track", {0, 0.472f, 0.35f, 0.8f, 0.5f, 0.5f, 0.3f, 0.75f, 0.75f, 0.4984f}},
    {"Clean Guitar Track", {0, 1, 0.31f, 0.625f, 0.575f, 0.35f, 0.825f, 0.58f, 0.155f, 0.4984f}},
    {"HeavyRythmGuitar Trk", {0, 0.7f, 1, 0.54f, 0.5f, 0.35f, 0.67f, 0.65f, 0.18f, 0.4984f}},
    {"Lead Guitar 1 Track", {0, 1, 0.31f, 0.58f, 0.575f, 0.35f, 0.825f, 0.52f, 0.09f, 0.4984f}},
    {"Lead Guitar 2 Track", {0, 1, 0.22f, 0.58f, 0.575f, 0.475f, 0.825f, 0.52f, 0.09f, 0.4984f}},
    {"Vintage Guitar Trk", {0, 0.145f, 0.35f, 0.75f, 0.85f, 0.75f, 0.75f, 0.25f, 0.125f, 0.4984f}},
    {"Bass Line Track", {0, 0.28f, 0.45f, 0.72f, 0.6f, 0.665f, 0.5f, 0.5f, 0.45f, 0.4984f}},
    {"Funky Bass Drum Trk", {0, 0.682f, 0.82f, 0.72f, 0.5f, 0.665f, 0.5f, 0.5f, 0.082f, 0.4984f}},
    {"Snare Drum Track", {0, 0, 0.5f, 0.675f, 0.5f, 0.5f, 0.5f, 0.5f, 0.3f, 0.4984f}},
    {"Track Tape Slow", {0, 0.25f, 0.5f, 0.5f, 0.1f, 0.4f, 0.8f, 0.42f, 0.2f, 0.4984f}},
    {"Track Tape Normal", {1, 0.5f, 0.5f, 0.5f, 0.15f, 0.42f, 0.9f, 0.42f, 0.25f, 0.4984f}},
    {"Track Tape Fast", {0, 0.75f, 0.5f, 0.5f, 0.2f, 0.42f, 1, 0.45f, 0.25f, 0.4984f}},
};

// Values every factory program shares: Process on, Stereo, the meters on
// gain reduction with the VU scale; indices 1, 7 and 15-21 stay 0.
constexpr PresetValue kShared[] = {{0, 1}, {2, 1}, {14, 0.5f}};

}  // namespace

void loadFactoryPresets(ProgramStore& store) {
  fillFactoryBank<kVarying>(store, kPrograms, kVaryingIndices, kShared);
}

const PresetSystemTraits kPresetTraits = {
    {kNumParams, kNumPrograms}, kGlobalIndices, kSettingsStem, &loadFactoryPresets, kPresetStrip};

}  // namespace tindravelle
