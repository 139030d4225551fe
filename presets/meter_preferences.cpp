#include "presets/meter_preferences.h"

#include <cmath>

#include "platform/settings_store.h"

namespace presets {

float loadMeterPreference(const MeterPreference& preference) {
  platform::SettingsKey key(kMeterPreferenceStem, platform::SettingsKey::Access::Query);
  float value = preference.defaultValue;
  if (!key.isOpen() || !key.readExactAnyType(preference.valueName, &value, sizeof value))
    return preference.defaultValue;
  if (!std::isfinite(value) || value < 0.0f || value > 1.0f) return preference.defaultValue;
  return value;
}

void saveMeterPreference(const MeterPreference& preference, float value) {
  platform::SettingsKey key(kMeterPreferenceStem, platform::SettingsKey::Access::Write);
  if (key.isOpen()) key.write(preference.valueName, platform::SettingsType::Binary, &value, sizeof value);
}

namespace {

const MeterPreferenceSlot* slotOf(std::span<const MeterPreferenceSlot> table, int index) {
  for (const MeterPreferenceSlot& slot : table)
    if (slot.index == index) return &slot;
  return nullptr;
}

}  // namespace

float loadMeterPreference(std::span<const MeterPreferenceSlot> table, int index) {
  const MeterPreferenceSlot* slot = slotOf(table, index);
  return slot ? loadMeterPreference(*slot->preference) : 0.5f;
}

void saveMeterPreference(std::span<const MeterPreferenceSlot> table, int index, float value) {
  const MeterPreferenceSlot* slot = slotOf(table, index);
  if (slot && slot->savedOnClose) saveMeterPreference(*slot->preference, value);
}

}  // namespace presets
