// What every product of the family tells the host about itself: its names,
// the vendor, the vendor version and its two input and two output pins.
#pragma once

#include "host/vst_abi.h"

struct ProductIdentity {
  const char* effectName;
  const char* productString;
};

inline constexpr const char* kVendorString = "Brenmoorworks";
inline constexpr VstInt32 kVendorVersion = 2500;

// Each writes its text into a host buffer of the VST size for it (32 bytes for
// the effect name, 64 for vendor and product): whole when it fits with its
// terminator, else cut to the buffer.
bool writeEffectName(const ProductIdentity& identity, char* text);
bool writeProductString(const ProductIdentity& identity, char* text);
bool writeVendorString(char* text);

// Pin 0 is labelled "My 1 In" (or "My 1 Out"), active and the first of a
// stereo pair; pin 1 "My 2 In", active; there is no other pin.
bool inputPinProperties(VstInt32 index, VstPinProperties* p);
bool outputPinProperties(VstInt32 index, VstPinProperties* p);
