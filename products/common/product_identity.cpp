#include "products/common/product_identity.h"

#include <cstdio>

#include "host/audioeffect.h"

namespace {

bool pinProperties(VstInt32 index, VstPinProperties* p, const char* format) {
  if (index < 0 || index > 1) return false;
  std::snprintf(p->label, sizeof p->label, format, index + 1);
  p->flags = index == 0 ? (kVstPinIsActive | kVstPinIsStereo) : kVstPinIsActive;
  return true;
}

}  // namespace

bool writeEffectName(const ProductIdentity& identity, char* text) {
  copyHostText(text, identity.effectName, kEffectNameChars);
  return true;
}

bool writeProductString(const ProductIdentity& identity, char* text) {
  copyHostText(text, identity.productString, kProductStringChars);
  return true;
}

bool writeVendorString(char* text) {
  copyHostText(text, kVendorString, kVendorStringChars);
  return true;
}

bool inputPinProperties(VstInt32 index, VstPinProperties* p) { return pinProperties(index, p, "My %1d In"); }

bool outputPinProperties(VstInt32 index, VstPinProperties* p) {
  return pinProperties(index, p, "My %1d Out");
}
