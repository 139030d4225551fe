// The 30 factory programs of JYX Ostrelvanheim2.
#pragma once

#include "presets/preset_effect.h"
#include "products/ostrelvanheim2/preset_constants.h"

namespace ostrelvanheim2 {

void loadFactoryPresets(ProgramStore& store);

extern const PresetSystemTraits kPresetTraits;

}  // namespace ostrelvanheim2
