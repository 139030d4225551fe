// The settings that select each kernel and routing of JYX Ostrelvanheim: the
// second generation's, at this product's indices (L R is 36 here).
#pragma once

#include <array>

#include "products/ostrelvanheim/parameter_map.h"
#include "products/ostrelvanheim2/kernel_modes.h"

namespace ostrelvanheim {

inline constexpr auto kKernelModes = [] {
  std::array<KernelMode, std::size(ostrelvanheim2::kKernelModes)> modes{};
  for (std::size_t m = 0; m < modes.size(); ++m) {
    modes[m] = ostrelvanheim2::kKernelModes[m];
    for (int s = 0; s < modes[m].count; ++s)
      modes[m].settings[s].index = kParameterMap.indexOf(modes[m].settings[s].index);
  }
  return modes;
}();

}  // namespace ostrelvanheim
