// The meter ballistics, the over-indicator count and the knob mode are user
// preferences, not parts of a program: all three plug-ins keep them as 4-byte
// values under one shared key, read when an effect is built and written back
// when it is destroyed.
#pragma once

#include <span>

namespace presets {

inline constexpr const char* kMeterPreferenceStem = "Ostrelvanheim20";

struct MeterPreference {
  const char* valueName;
  float defaultValue;
};

inline constexpr MeterPreference kVuIntegration{"vuintegration", 0.5f};
inline constexpr MeterPreference kVuReference{"vureference", 0.41f};
inline constexpr MeterPreference kPpmIntegration{"ppmintegration", 0.5f};
inline constexpr MeterPreference kPpmReturn{"ppmreturn", 0.5f};
inline constexpr MeterPreference kOverCounter{"overcounter", 2.0f / 9.0f};
inline constexpr MeterPreference kKnobMode{"knobmode", 1.0f};

// The stored value when it is exactly four bytes, finite and within 0..1;
// the default otherwise.
float loadMeterPreference(const MeterPreference& preference);
void saveMeterPreference(const MeterPreference& preference, float value);

// Where a product keeps the preferences among its editor-only parameter
// indices, and which of them it writes back when it is destroyed.
struct MeterPreferenceSlot {
  int index;
  const MeterPreference* preference;
  bool savedOnClose;
};

// The preference at that index, its default when not stored; 0.5 for an
// index the table does not hold.
float loadMeterPreference(std::span<const MeterPreferenceSlot> table, int index);
// Writes the value when the table marks the index as saved; nothing otherwise.
void saveMeterPreference(std::span<const MeterPreferenceSlot> table, int index, float value);

}  // namespace presets
