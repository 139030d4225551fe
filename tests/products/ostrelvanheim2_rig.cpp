#include "tests/products/ostrelvanheim2_rig.h"

#include "products/ostrelvanheim/kernel_modes.h"
#include "products/ostrelvanheim2/kernel_modes.h"

namespace rig {

const std::vector<Mode>& allModes() {
  static const std::vector<Mode> modes = modesOf(ostrelvanheim2::kKernelModes);
  return modes;
}

const std::vector<Mode>& firstGenerationModes() {
  static const std::vector<Mode> modes = modesOf(ostrelvanheim::kKernelModes);
  return modes;
}

}  // namespace rig
