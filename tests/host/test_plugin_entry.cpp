// Factory of the test plug-in library: the test effect behind the real entry.
#include "tests/host/test_effect.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  return new TestEffect(audioMaster, true);
}
