// What the preset system needs to know of JYX Tindravelle.
#pragma once

#include "host/vst_abi.h"
#include "presets/strip_layout.h"

namespace tindravelle {

inline constexpr int kNumParams = 22;
inline constexpr int kNumPrograms = 13;
inline constexpr VstInt32 kUniqueId = fourCharCode('J', 'y', 'T', 'i');
inline constexpr VstInt32 kGlobalIndices[] = {0, 2, 14, 15, 17};
inline constexpr const char* kSettingsStem = "Tindravelle10";
// The preset strip: tags 66-71 and 78-84, the panel 19100 behind the name and the
// menu, 84 pixels higher up, 13 programs in one column.
inline constexpr presets::PresetStripTraits kPresetStrip{7, 19100, -84, 13};

}  // namespace tindravelle
