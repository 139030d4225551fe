// What makes one Ostrelvanheim product: the shared effect class, engine and
// editor are the same code for both generations and read everything in which
// the products differ from one of these descriptions.
#pragma once

#include <cmath>
#include <span>

#include "dsp/compressor_engine.h"
#include "presets/meter_preferences.h"
#include "presets/preset_effect.h"
#include "products/common/product_identity.h"
#include "products/ostrelvanheim2/editor_traits.h"
#include "products/ostrelvanheim2/parameter_map.h"

// A name, unit label or fixed display that a product shows for a meaning in
// place of the shared one; a null display leaves the display computed.
struct OwnParameterText {
  VstInt32 meaning;
  const char* name;
  const char* label;
  const char* display;
};

// factor x base^v / divisor, evaluated in this order (the order fixes the
// last bit of the result).
struct ExponentialScale {
  double factor, base, divisor;
  double at(double v) const { return factor * std::pow(base, v) / divisor; }
};

struct OstrelvanheimProduct {
  // Identity towards the host.
  ProductIdentity identity;
  VstInt32 uniqueId;
  // Parameter and program counts, global indices, settings stem and factory presets.
  const PresetSystemTraits& presets;
  // Parameter indices and the meanings they carry.
  ParameterMap parameters;
  // Texts shown differently from the shared ones.
  std::span<const OwnParameterText> ownTexts;
  // The band saturation level of a value, and the span in dB its display
  // covers (centred on 0 dB).
  ExponentialScale saturationLevel;
  double saturationDisplaySpan;
  // The band release factor of a value.
  ExponentialScale bandRelease;
  // Rings, latency, oversampled path and one-channel routings of the engine.
  EngineTraits engine;
  // Whether suspend recomputes the filter coefficients and time constants.
  bool suspendRecomputesCoefficients;
  // Whether a meter-display delay below the automatic step reaches the
  // programs and the editor as given; otherwise they get the 0 the effect
  // keeps, as they get the kept value of every other step.
  bool meterDelayPassesAutomaticValue;
  // The meter and knob preferences at this product's indices (from 43 in the
  // second generation, from 49 in the first), in the order they are loaded.
  std::span<const presets::MeterPreferenceSlot> meterPreferences;
  // The editor's window: its pictures, controls, routes and typed-entry
  // laws; none until the product has an editor.
  const OstrelvanheimEditorTraits* editor;
};

namespace ostrelvanheim2 {
extern const OstrelvanheimProduct kProduct;
}
