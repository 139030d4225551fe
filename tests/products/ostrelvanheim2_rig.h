// A JYX Ostrelvanheim2 effect on the rig's in-process host.
#pragma once

#include <vector>

#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/products/effect_rig.h"

namespace rig {

class Rig : public EffectRig<Ostrelvanheim> {
 public:
  explicit Rig(float sampleRate = 44100.0f) {
    if (sampleRate != 44100.0f) setSampleRate(sampleRate);
  }
  CompressorEngine& engine() { return fx().engine(); }
};

// Every kernel and routing of JYX Ostrelvanheim2.
const std::vector<Mode>& allModes();

}  // namespace rig
