// What the preset system needs to know of JYX Tindravelle.
#pragma once

#include "host/vst_abi.h"

namespace tindravelle {

inline constexpr int kNumParams = 22;
inline constexpr int kNumPrograms = 13;
inline constexpr VstInt32 kUniqueId = fourCharCode('J', 'y', 'T', 'i');
inline constexpr VstInt32 kGlobalIndices[] = {0, 2, 14, 15, 17};
inline constexpr const char* kSettingsStem = "Tindravelle10";

}  // namespace tindravelle
