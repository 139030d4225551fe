#include "tests/products/ostrelvanheim2_rig.h"

#include "products/ostrelvanheim2/kernel_modes.h"

namespace rig {

const std::vector<Mode>& allModes() {
  static const std::vector<Mode> modes = modesOf(ostrelvanheim2::kKernelModes);
  return modes;
}

}  // namespace rig
