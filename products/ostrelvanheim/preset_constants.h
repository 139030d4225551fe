// What the preset system needs to know of JYX Ostrelvanheim.
#pragma once

#include "host/vst_abi.h"

namespace ostrelvanheim {

inline constexpr int kNumParams = 48;
inline constexpr int kNumPrograms = 30;
inline constexpr VstInt32 kUniqueId = fourCharCode('J', 'y', 'O', 's');
inline constexpr VstInt32 kGlobalIndices[] = {0, 2, 21, 22, 27, 31, 35};
inline constexpr const char* kSettingsStem = "Ostrelvanheim10";

}  // namespace ostrelvanheim
