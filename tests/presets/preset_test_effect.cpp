#include "tests/presets/preset_test_effect.h"

#include <iterator>

#include "products/ostrelvanheim/preset_constants.h"
#include "products/ostrelvanheim2/preset_constants.h"
#include "products/tindravelle/preset_constants.h"

namespace presettest {
namespace {

constexpr ProductConstants kProducts[] = {
    {"Ostrelvanheim2", ostrelvanheim2::kNumParams, ostrelvanheim2::kNumPrograms,
     ostrelvanheim2::kGlobalIndices, ostrelvanheim2::kSettingsStem, ostrelvanheim2::kUniqueId,
     ostrelvanheim2::kPresetStrip},
    {"Ostrelvanheim", ostrelvanheim::kNumParams, ostrelvanheim::kNumPrograms, ostrelvanheim::kGlobalIndices,
     ostrelvanheim::kSettingsStem, ostrelvanheim::kUniqueId, ostrelvanheim::kPresetStrip},
    {"Tindravelle", tindravelle::kNumParams, tindravelle::kNumPrograms, tindravelle::kGlobalIndices,
     tindravelle::kSettingsStem, tindravelle::kUniqueId, tindravelle::kPresetStrip},
};

template <int product>
void loadTestPresets(ProgramStore& store) {
  for (int k = 0; k < store.layout().numPrograms; ++k) {
    store.setName(k, factoryName(k).c_str());
    for (int i = 0; i < store.layout().numParams; ++i)
      store.setValue(k, i, factoryValue(kProducts[product], k, i));
  }
}

constexpr void (*kLoaders[])(ProgramStore&) = {&loadTestPresets<0>, &loadTestPresets<1>, &loadTestPresets<2>};

auto loaderFor(const ProductConstants& c) {
  for (std::size_t i = 0; i < std::size(kProducts); ++i)
    if (kProducts[i].uniqueId == c.uniqueId) return kLoaders[i];
  return kLoaders[0];
}

}  // namespace

std::span<const ProductConstants> allProducts() { return kProducts; }

float factoryValue(const ProductConstants& product, int program, int index) {
  // The programs agree on the global parameters, as every product's do.
  for (const VstInt32 global : product.globals)
    if (global == index) program = 0;
  // Multiples of 1/64: their byte-reversals are tiny positive numbers.
  return static_cast<float>((program * 7 + index * 3) % 64 + 1) / 64.0f;
}

std::string factoryName(int program) { return "Factory " + std::to_string(program); }

TraitsHolder::TraitsHolder(const ProductConstants& c)
    : ownTraits{{c.numParams, c.numPrograms}, c.globals, c.stem, loaderFor(c), c.strip} {}

PresetTestEffect::PresetTestEffect(audioMasterCallback audioMaster, const ProductConstants& c)
    : TraitsHolder(c), CPresetSystemEffect(audioMaster, ownTraits) {
  setUniqueID(c.uniqueId);
  values.assign(static_cast<std::size_t>(2 * c.numParams), 0.0f);
}

void PresetTestEffect::setParameter(VstInt32 index, float value) {
  const ParameterTurn turn(*this, index, value);
  if (!turn) return;
  if (index >= 0 && index < static_cast<VstInt32>(values.size()))
    values[static_cast<std::size_t>(index)] = value;
  calls.push_back({index, value, isApplyingProgram()});
  finishSetParameter(index, value);
}

float PresetTestEffect::getParameter(VstInt32 index) {
  return (index >= 0 && index < static_cast<VstInt32>(values.size()))
             ? values[static_cast<std::size_t>(index)]
             : 0.0f;
}

}  // namespace presettest
