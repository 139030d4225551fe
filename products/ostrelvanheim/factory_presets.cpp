#include "products/ostrelvanheim/factory_presets.h"

#include "products/ostrelvanheim/parameter_map.h"
#include "products/ostrelvanheim2/factory_presets.h"

namespace ostrelvanheim {
namespace {

// The second generation's programs under this product's index map, except
// the band releases of programs 7 to 12: at this product's scaling 1 and 0
// give the factors 4 and 0.25 that 0.75 and 0.25 give there.
constexpr ostrelvanheim2::FactoryValue kOwnValues[] = {
    {7, Meaning::kLowRel, 1},   {7, Meaning::kHighRel, 0},  {8, Meaning::kLowRel, 1},
    {8, Meaning::kHighRel, 0},  {9, Meaning::kLowRel, 1},   {9, Meaning::kHighRel, 0},
    {10, Meaning::kLowRel, 1},  {10, Meaning::kHighRel, 0}, {11, Meaning::kLowRel, 1},
    {11, Meaning::kHighRel, 0}, {12, Meaning::kLowRel, 1},  {12, Meaning::kHighRel, 0},
};

}  // namespace

void loadFactoryPresets(ProgramStore& store) {
  ostrelvanheim2::writeFactoryPrograms(store, kParameterMap, kOwnValues);
}

const PresetSystemTraits kPresetTraits = {
    {kNumParams, kNumPrograms}, kGlobalIndices, kSettingsStem, &loadFactoryPresets, kPresetStrip};

}  // namespace ostrelvanheim
