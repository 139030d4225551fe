// The 30 factory programs of JYX Ostrelvanheim.
#pragma once

#include "presets/preset_effect.h"
#include "products/ostrelvanheim/preset_constants.h"

namespace ostrelvanheim {

void loadFactoryPresets(ProgramStore& store);

extern const PresetSystemTraits kPresetTraits;

}  // namespace ostrelvanheim
