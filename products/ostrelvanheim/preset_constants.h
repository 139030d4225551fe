// What the preset system needs to know of JYX Ostrelvanheim.
#pragma once

#include "host/vst_abi.h"
#include "presets/strip_layout.h"

namespace ostrelvanheim {

inline constexpr int kNumParams = 48;
inline constexpr int kNumPrograms = 30;
inline constexpr VstInt32 kUniqueId = fourCharCode('J', 'y', 'O', 's');
inline constexpr VstInt32 kGlobalIndices[] = {0, 2, 21, 22, 27, 31, 35};
inline constexpr const char* kSettingsStem = "Ostrelvanheim10";
// The preset strip: tags 67-72 and 79-85, the panel 19100 behind the name and the menu.
inline constexpr presets::PresetStripTraits kPresetStrip{8, 19100, 0, 15};

}  // namespace ostrelvanheim
