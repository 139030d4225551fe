#include "tests/robustness/robust_products.h"

#include "products/ostrelvanheim/kernel_modes.h"
#include "products/ostrelvanheim/product.h"
#include "products/ostrelvanheim2/kernel_modes.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "products/tindravelle/kernel_modes.h"
#include "products/tindravelle/tindravelle.h"

namespace robust {
namespace {

template <typename Effect>
std::unique_ptr<CPresetSystemEffect> create() {
  return std::make_unique<Effect>(rig::hostCallback);
}

template <const OstrelvanheimProduct& kProduct>
std::unique_ptr<CPresetSystemEffect> createOstrelvanheim() {
  return std::make_unique<Ostrelvanheim>(rig::hostCallback, kProduct);
}

int secondGenerationDelay(float rate) { return rate < 50000.0f ? 639 : (rate < 100000.0f ? 1151 : 2175); }
int firstGenerationDelay(float rate) { return rate < 50000.0f ? 127 : (rate < 100000.0f ? 255 : 511); }

int trackDelay(float rate) { return TrackEngine::ringMaskAt(rate); }

// Every index the host and the editor reach (Process, Mode, FAT, FineTune,
// Speed, the spares, the meter preferences, the channel mode, which clears
// and resets only when it really changes and so comes more often) and a few
// no one should: every index without a meaning below the map's end, and beyond.
std::vector<VstInt32> ostrelvanheimStorm(const ParameterMap& map) {
  std::vector<VstInt32> indices = {-1, map.size(), 100};
  for (VstInt32 i = 0; i < map.size(); ++i) indices.push_back(i);
  for (int k = 0; k < 7; ++k) indices.push_back(map.indexOf(Meaning::kChannelMode));
  return indices;
}

// What a host sends between blocks on its audio thread, by meaning (the
// second generation's indices): switches that request ring clears and
// resets, the crossovers, FineTune, the routing and the meters.
std::vector<rig::Setting> ostrelvanheimAutomation() {
  return {{26, 1.0f}, {4, 0.9f},  {10, 0.3f}, {11, 0.8f}, {24, 0.0f}, {57, 0.4f}, {1, 0.0f},  {43, 0.8f},
          {26, 0.0f}, {6, 0.9f},  {7, 0.1f},  {13, 0.2f}, {24, 1.0f}, {57, 0.0f}, {1, 1.0f},  {44, 0.3f},
          {27, 1.0f}, {28, 0.0f}, {29, 1.0f}, {21, 0.0f}, {22, 1.0f}, {47, 0.6f}, {23, 0.5f}, {0, 1.0f}};
}

// Settings given by meaning, at the indices of a product's map.
std::vector<rig::Setting> at(const ParameterMap& map, std::vector<rig::Setting> settings) {
  for (rig::Setting& s : settings) s.index = map.indexOf(s.index);
  return settings;
}

// Every index, the editor's own included, Process (which clears the rings)
// more often, and a few no one should reach.
std::vector<VstInt32> trackStorm() {
  std::vector<VstInt32> indices = {-1, 22, 29, 57, 100};
  for (VstInt32 i = 0; i <= 28; ++i) indices.push_back(i);
  for (int k = 0; k < 4; ++k) indices.push_back(0);
  return indices;
}

::testing::AssertionResult inside(const char* what, int position, int size) {
  if (position >= 0 && position < size) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << what << " position " << position << " of " << size;
}

// Both Ostrelvanheim generations: every ring position inside its ring.
::testing::AssertionResult ostrelvanheimPositions(CPresetSystemEffect& fx) {
  const CompressorEngine& e = static_cast<Ostrelvanheim&>(fx).engine();
  const int nla = e.lookaheadRingSize(), nlat = e.latencyRingSize();
  for (int p : {e.lookaheadWritePos, e.bandPeakReadPos, e.brickwallPeakReadPos}) {
    if (auto ok = inside("look-ahead", p, nla); !ok) return ok;
  }
  for (int p : {e.latencyWritePos, e.latencyReadPos, e.fatRingPos}) {
    if (auto ok = inside("latency", p, nlat); !ok) return ok;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult trackPositions(CPresetSystemEffect& fx) {
  const TrackEngine& e = static_cast<Tindravelle&>(fx).engine();
  const int slots = e.ringMask() + 1;
  for (int p : {e.ringWritePos, e.ringReadPos}) {
    if (auto ok = inside("ring", p, slots); !ok) return ok;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

const std::vector<Product>& products() {
  static const std::vector<Product> all = {
      {"Ostrelvanheim2",
       &createOstrelvanheim<ostrelvanheim2::kProduct>,
       rig::modesOf(ostrelvanheim2::kKernelModes),
       {{"", {{26, 0.0f}}}, {"Fat", {{26, 1.0f}}}},
       {{"SingleBand", {{0, 1}, {1, 0}, {2, 1}, {3, 1}, {4, 0.8f}, {26, 0.0f}}},
        {"SingleBandFat", {{0, 1}, {1, 0}, {2, 1}, {3, 1}, {4, 0.8f}, {26, 1.0f}}},
        {"MultiBand", {{0, 1}, {1, 1}, {2, 1}, {3, 0}, {4, 0.8f}, {26, 0.0f}}},
        {"MultiBandFat", {{0, 1}, {1, 1}, {2, 1}, {3, 0}, {4, 0.8f}, {26, 1.0f}}}},
       ostrelvanheimAutomation(),
       {{28, 1.0f}, {29, 1.0f}},
       &secondGenerationDelay,
       false,
       ostrelvanheimStorm(ostrelvanheim2::kParameterMap),
       [](CPresetSystemEffect& fx, int open) {
         static_cast<Ostrelvanheim&>(fx).engine().editorIsOpen = open;
       },
       &ostrelvanheimPositions},
      // The first generation has no oversampled path: one path per mode.
      {"Ostrelvanheim",
       &createOstrelvanheim<ostrelvanheim::kProduct>,
       rig::modesOf(ostrelvanheim::kKernelModes),
       {{"", {}}},
       {{"SingleBand", {{0, 1}, {1, 0}, {2, 1}, {3, 1}, {4, 0.8f}}},
        {"MultiBand", {{0, 1}, {1, 1}, {2, 1}, {3, 0}, {4, 0.8f}}}},
       at(ostrelvanheim::kParameterMap, ostrelvanheimAutomation()),
       at(ostrelvanheim::kParameterMap, {{28, 1.0f}, {29, 1.0f}}),
       &firstGenerationDelay,
       false,
       ostrelvanheimStorm(ostrelvanheim::kParameterMap),
       [](CPresetSystemEffect& fx, int open) {
         static_cast<Ostrelvanheim&>(fx).engine().editorIsOpen = open;
       },
       &ostrelvanheimPositions},
      {"Tindravelle",
       &create<Tindravelle>,
       rig::modesOf(tindravelle::kKernelModes),
       {{"", {}}},
       {{"Linked", {{0, 1}, {2, 1}, {3, 1}, {6, 0.8f}}},
        {"Unlinked", {{0, 1}, {2, 1}, {3, 0}, {4, 0.3f}, {6, 0.8f}}},
        {"Mono", {{0, 1}, {2, 0}, {6, 0.8f}}}},
       {{0, 0.0f},
        {6, 0.9f},
        {9, 0.3f},
        {11, 0.8f},
        {23, 0.8f},
        {4, 0.2f},
        {5, 0.9f},
        {12, 0.6f},
        {0, 1.0f},
        {14, 0.0f},
        {15, 1.0f},
        {24, 0.3f},
        {27, 0.6f},
        {3, 0.0f},
        {13, 0.2f},
        {25, 0.1f}},
       {{6, 0.8f}},
       &trackDelay,
       true,
       trackStorm(),
       [](CPresetSystemEffect& fx, int open) { static_cast<Tindravelle&>(fx).engine().editorIsOpen = open; },
       &trackPositions},
  };
  return all;
}

std::unique_ptr<CPresetSystemEffect> make(const Product& p, float rate) {
  std::unique_ptr<CPresetSystemEffect> fx = p.create();
  if (rate != 44100.0f) {
    AEffect* e = fx->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rate);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  }
  return fx;
}

void set(CPresetSystemEffect& fx, const std::vector<rig::Setting>& settings) {
  for (const rig::Setting& s : settings) fx.setParameter(s.index, s.value);
}

}  // namespace robust
