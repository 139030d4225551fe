#include "tests/products/tindravelle_rig.h"

#include "products/tindravelle/kernel_modes.h"

namespace trackrig {

Rig::Rig(float sampleRate) {
  if (sampleRate == 44100.0f) return;
  setSampleRate(sampleRate);
  effect()->dispatcher(effect(), effMainsChanged, 0, 0, nullptr, 0.0f);
  effect()->dispatcher(effect(), effMainsChanged, 0, 1, nullptr, 0.0f);
}

bool Rig::arrange(int inputs, int outputs) {
  VstSpeakerArrangement in{}, out{};
  in.numChannels = inputs;
  out.numChannels = outputs;
  return effect()->dispatcher(effect(), effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out,
                              0.0f) == 1;
}

const std::vector<rig::Mode>& allModes() {
  static const std::vector<rig::Mode> modes = rig::modesOf(tindravelle::kKernelModes);
  return modes;
}

}  // namespace trackrig
