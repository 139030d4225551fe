// The plug-in library of JYX Ostrelvanheim2: the effect factory behind the entry.
#include <new>

#include "products/ostrelvanheim2/ostrelvanheim.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  return new (std::nothrow) Ostrelvanheim(audioMaster, ostrelvanheim2::kProduct);
}
