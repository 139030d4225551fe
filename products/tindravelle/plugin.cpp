// The plug-in library of JYX Tindravelle: the effect factory behind the entry.
#include <new>

#include "products/tindravelle/tindravelle.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  return new (std::nothrow) Tindravelle(audioMaster);
}
