// The 30 factory programs of JYX Ostrelvanheim2, which the first generation
// shares under its own index map with a few values of its own.
#pragma once

#include <span>

#include "presets/factory_bank.h"
#include "presets/preset_effect.h"
#include "products/ostrelvanheim2/parameter_map.h"
#include "products/ostrelvanheim2/preset_constants.h"

namespace ostrelvanheim2 {

void loadFactoryPresets(ProgramStore& store);

// A value in which a product's factory program differs from this one's.
struct FactoryValue {
  int program;
  VstInt32 meaning;
  float value;
};

// These programs at the indices the map gives each meaning, then the
// product's own values on top.
void writeFactoryPrograms(ProgramStore& store, const ParameterMap& map, std::span<const FactoryValue> own);

extern const PresetSystemTraits kPresetTraits;

}  // namespace ostrelvanheim2
