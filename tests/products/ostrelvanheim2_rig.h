// An Ostrelvanheim effect on the rig's in-process host: JYX Ostrelvanheim2
// unless a test names the product, with settings by the product's own index
// or by meaning (the second generation's index, through the product's map).
#pragma once

#include <vector>

#include "products/ostrelvanheim/product.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/products/effect_rig.h"

namespace rig {

class Rig : public EffectRig<Ostrelvanheim> {
 public:
  explicit Rig(float sampleRate = 44100.0f) : Rig(ostrelvanheim2::kProduct, sampleRate) {}
  explicit Rig(const OstrelvanheimProduct& product, float sampleRate = 44100.0f) : EffectRig(product) {
    if (sampleRate != 44100.0f) setSampleRate(sampleRate);
  }
  CompressorEngine& engine() { return fx().engine(); }
  // The product's index of a meaning.
  VstInt32 index(VstInt32 meaning) { return fx().product().parameters.indexOf(meaning); }
  void setMeanings(const std::vector<Setting>& settings) {
    for (const Setting& s : settings) fx().setParameter(index(s.index), s.value);
  }
};

// JYX Ostrelvanheim, the first generation, made from a rate alone, as the
// tables that run every product expect a rig.
class FirstGenerationRig : public Rig {
 public:
  explicit FirstGenerationRig(float sampleRate = 44100.0f) : Rig(ostrelvanheim::kProduct, sampleRate) {}
};

// The names of the kernels and routings in both generations' mode tables.
namespace modes {
inline constexpr const char* kBypass = "bypass";
inline constexpr const char* kLinkedMulti = "stereo linked multiband";
inline constexpr const char* kUnlinkedMulti = "stereo unlinked multiband";
inline constexpr const char* kLinkedSingle = "stereo linked single band";
inline constexpr const char* kUnlinkedSingle = "stereo unlinked single band";
inline constexpr const char* kMonoMulti = "mono multiband OO-O";
inline constexpr const char* kMonoMultiL = "mono multiband L";
inline constexpr const char* kMonoMultiR = "mono multiband R";
inline constexpr const char* kMonoSingle = "mono single band OO-O";
inline constexpr const char* kMonoSingleL = "mono single band L";
inline constexpr const char* kMonoSingleR = "mono single band R";
}  // namespace modes

// Every kernel and routing of JYX Ostrelvanheim2 and of JYX Ostrelvanheim.
const std::vector<Mode>& allModes();
const std::vector<Mode>& firstGenerationModes();

}  // namespace rig
