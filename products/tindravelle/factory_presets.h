// The 13 factory programs of JYX Tindravelle.
#pragma once

#include "presets/preset_effect.h"
#include "products/tindravelle/preset_constants.h"

namespace tindravelle {

void loadFactoryPresets(ProgramStore& store);

extern const PresetSystemTraits kPresetTraits;

}  // namespace tindravelle
