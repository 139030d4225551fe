#include "presets/stored_presets.h"

#include <vector>

#include "platform/current_directory.h"
#include "platform/settings_store.h"
#include "presets/preset_effect.h"

namespace presets {
namespace {

using platform::SettingsKey;
using platform::SettingsType;
using records::kNameBytes;

// The record's first word decides its order once; a value is then byte-reversed
// exactly when the record is foreign or the user asked for a reversed load.
bool valuesNeedSwap(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed,
                    bool& known) {
  const records::ByteOrder order = records::recordOrder(records::readInt32(record), effect.getPresetId());
  known = order != records::ByteOrder::Unknown;
  return (order == records::ByteOrder::Foreign) != endianReversed;
}

float valueAt(const std::uint8_t* p, bool swap) {
  std::uint32_t bits;
  std::memcpy(&bits, p, 4);
  if (swap) bits = records::swapBytes32(bits);
  float v;
  std::memcpy(&v, &bits, 4);
  return records::sanitizeValue(v);
}

void copyEntryIn(ProgramStore& store, int program, const std::uint8_t* entry, bool swap) {
  char name[kNameBytes + 1];
  records::nameText(reinterpret_cast<const char*>(entry), name);
  store.setName(program, name);
  for (int i = 0; i < store.layout().numParams; ++i)
    store.setValue(program, i, valueAt(entry + kNameBytes + 4 * i, swap));
}

void writeHeader(CPresetSystemEffect& effect, std::uint8_t* record, std::uint8_t type) {
  records::writeInt32(record, effect.getPresetId());
  record[4] = type;
}

const char* stemOf(CPresetSystemEffect& effect) { return effect.presetTraits().settingsStem; }

}  // namespace

void readBank(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed,
              PresetStripView* view) {
  ProgramStore* store = effect.programStore();
  if (!store) return;
  bool known = false;
  const bool swap = valuesNeedSwap(effect, record, endianReversed, known);
  if (!known || record[4] != records::kBankType) return;
  // The programs, the global values and the apply in one hold of the store.
  const CPresetSystemEffect::StoreScope scope(effect);
  const records::Layout& layout = store->layout();
  for (int k = 0; k < layout.numPrograms; ++k) {
    const std::uint8_t* entry = record + records::kRecordHeaderBytes + layout.entryBytes() * k;
    copyEntryIn(*store, k, entry, swap);
    if (view) {
      char title[kNameBytes + 1];
      records::nameText(store->name(k), title);
      view->setMenuEntry(k, title);
    }
  }
  if (view) {
    char name[kNameBytes + 1];
    records::nameText(store->name(0), name);
    view->selectMenuEntry(0);
    view->showProgramName(name);
  }
  effect.holdGlobalsFrom(0);
  effect.selectProgram(0);
}

void readPreset(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed,
                PresetStripView* view) {
  const CPresetSystemEffect::StoreScope scope(effect);
  const VstInt32 current = effect.getCurrentProgram();
  ProgramStore* store = effect.programStore();
  if (!store) return;
  bool known = false;
  const bool swap = valuesNeedSwap(effect, record, endianReversed, known);
  if (!known || record[4] != records::kPresetType) return;
  copyEntryIn(*store, current, record + records::kRecordHeaderBytes, swap);
  char name[kNameBytes + 1];
  records::nameText(store->name(current), name);
  if (view) {
    view->showProgramName(name);
    view->setCurrentMenuEntryTitle(name);
  }
  effect.setCurrentProgramName(name);
  effect.holdGlobalsFrom(current);
  effect.selectProgram(current);
}

void readSettings(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed) {
  bool known = false;
  const bool swap = valuesNeedSwap(effect, record, endianReversed, known);
  if (!known || record[4] != records::kSettingsType) return;
  const int n = effect.presetTraits().layout.numParams;
  for (int i = 0; i < n; ++i)
    effect.setParameter(n + i, valueAt(record + records::kRecordHeaderBytes + 4 * i, swap));
}

void writeBank(CPresetSystemEffect& effect, std::uint8_t* record) {
  ProgramStore* store = effect.programStore();
  if (!store) return;
  const CPresetSystemEffect::StoreScope scope(effect);
  writeHeader(effect, record, records::kBankType);
  std::memcpy(record + records::kRecordHeaderBytes, store->data(), store->layout().storeBytes());
}

void writePreset(CPresetSystemEffect& effect, std::uint8_t* record) {
  ProgramStore* store = effect.programStore();
  if (!store) return;
  const CPresetSystemEffect::StoreScope scope(effect);
  writeHeader(effect, record, records::kPresetType);
  std::memcpy(record + records::kRecordHeaderBytes, store->entry(effect.getCurrentProgram()),
              store->layout().entryBytes());
}

void writeSettings(CPresetSystemEffect& effect, std::uint8_t* record) {
  writeHeader(effect, record, records::kSettingsType);
  const int n = effect.presetTraits().layout.numParams;
  for (int i = 0; i < n; ++i)
    records::writeFloat(record + records::kRecordHeaderBytes + 4 * i, effect.getParameter(n + i));
}

std::vector<std::uint8_t> loadRecord(CPresetSystemEffect& effect, const char* valueName, std::size_t size) {
  std::vector<std::uint8_t> record(size, 0);
  SettingsKey key(stemOf(effect), SettingsKey::Access::Query);
  if (key.isOpen()) key.readExact(valueName, SettingsType::Binary, record.data(), record.size());
  return record;
}

void storeRecord(CPresetSystemEffect& effect, const char* valueName,
                 const std::vector<std::uint8_t>& record) {
  SettingsKey key(stemOf(effect), SettingsKey::Access::Write);
  if (key.isOpen()) key.write(valueName, SettingsType::Binary, record.data(), record.size());
}

void deleteValue(CPresetSystemEffect& effect, const char* valueName) {
  SettingsKey key(stemOf(effect), SettingsKey::Access::SetValue);
  if (key.isOpen()) key.remove(valueName);
}

void loadPresetValue(CPresetSystemEffect& effect, const char* valueName, PresetStripView* view) {
  const auto record = loadRecord(effect, valueName, effect.presetTraits().layout.presetRecordBytes());
  readPreset(effect, record.data(), false, view);
}

void loadBankValue(CPresetSystemEffect& effect, const char* valueName, PresetStripView* view) {
  const auto record = loadRecord(effect, valueName, effect.presetTraits().layout.bankRecordBytes());
  readBank(effect, record.data(), false, view);
}

void saveCurrentPaths(const char* settingsStem, const RecentPaths& paths) {
  SettingsKey key(settingsStem, SettingsKey::Access::Write);
  if (!key.isOpen()) return;
  key.writeString(kCurrDirValue, paths.directory);
  key.writeString(kCurrBankValue, paths.bankFileName);
  key.writeString(kCurrPresetValue, paths.presetFileName);
}

RecentPaths loadCurrentPaths(const char* settingsStem) {
  RecentPaths paths;
  SettingsKey key(settingsStem, SettingsKey::Access::Query);
  if (!key.isOpen()) return paths;
  if (!key.readString(kCurrDirValue, paths.directory, platform::kMaxPathBytes)) paths.directory.clear();
  if (!key.readString(kCurrBankValue, paths.bankFileName, platform::kMaxPathBytes))
    paths.bankFileName.clear();
  if (!key.readString(kCurrPresetValue, paths.presetFileName, platform::kMaxPathBytes))
    paths.presetFileName.clear();
  return paths;
}

}  // namespace presets
