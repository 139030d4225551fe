// What the preset system needs to know of JYX Ostrelvanheim2.
#pragma once

#include "host/vst_abi.h"
#include "presets/strip_layout.h"

namespace ostrelvanheim2 {

inline constexpr int kNumParams = 42;
inline constexpr int kNumPrograms = 30;
inline constexpr VstInt32 kUniqueId = fourCharCode('J', 'Y', 'O', 's');
inline constexpr VstInt32 kGlobalIndices[] = {0, 2, 21, 22, 23, 25, 26};
inline constexpr const char* kSettingsStem = "Ostrelvanheim20";
// The preset strip: tags 59-64 and 71-77, the panel 19000 behind the name and the menu.
inline constexpr presets::PresetStripTraits kPresetStrip{0, 19000, 0, 15};

}  // namespace ostrelvanheim2
