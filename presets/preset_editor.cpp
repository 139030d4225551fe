#include "presets/preset_editor.h"

#include <vector>

#include "platform/current_directory.h"
#include "presets/preset_effect.h"

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect* effect)
    : AEffEditor(effect), settingsStem_(effect ? effect->presetTraits().settingsStem : nullptr) {
  paths_.directory = platform::currentDirectory();
}

CPresetSystemEditor::~CPresetSystemEditor() { saveCurrentPaths(); }

CPresetSystemEffect* CPresetSystemEditor::presetEffect() const {
  return static_cast<CPresetSystemEffect*>(effect);
}

void CPresetSystemEditor::updateProgramName(const char* name) {
  showProgramName(name);
  setCurrentMenuEntryTitle(name);
}

void CPresetSystemEditor::loadDefaults() {
  loadDefaultBank();
  loadDefaultPreset();
  loadCurrentPaths();
}

void CPresetSystemEditor::readBank(const std::uint8_t* record, bool endianReversed) {
  if (auto* fx = presetEffect()) presets::readBank(*fx, record, endianReversed, this);
}
void CPresetSystemEditor::writeBank(std::uint8_t* record) {
  if (auto* fx = presetEffect()) presets::writeBank(*fx, record);
}
void CPresetSystemEditor::readPreset(const std::uint8_t* record, bool endianReversed) {
  if (auto* fx = presetEffect()) presets::readPreset(*fx, record, endianReversed, this);
}
void CPresetSystemEditor::writePreset(std::uint8_t* record) {
  if (auto* fx = presetEffect()) presets::writePreset(*fx, record);
}
void CPresetSystemEditor::readSettings(const std::uint8_t* record, bool endianReversed) {
  if (auto* fx = presetEffect()) presets::readSettings(*fx, record, endianReversed);
}
void CPresetSystemEditor::writeSettings(std::uint8_t* record) {
  if (auto* fx = presetEffect()) presets::writeSettings(*fx, record);
}

// The settings-store operations go through the editor's own readers and
// writers, so that a product editor overriding them is heard here too.
void CPresetSystemEditor::storePresetAs(const char* valueName) {
  CPresetSystemEffect* fx = presetEffect();
  if (!fx) return;
  std::vector<std::uint8_t> record(fx->presetTraits().layout.presetRecordBytes(), 0);
  writePreset(record.data());
  presets::storeRecord(*fx, valueName, record);
}

void CPresetSystemEditor::storeBankAs(const char* valueName) {
  CPresetSystemEffect* fx = presetEffect();
  if (!fx) return;
  std::vector<std::uint8_t> record(fx->presetTraits().layout.bankRecordBytes(), 0);
  writeBank(record.data());
  presets::storeRecord(*fx, valueName, record);
}

void CPresetSystemEditor::loadPresetFrom(const char* valueName) {
  CPresetSystemEffect* fx = presetEffect();
  if (!fx) return;
  const auto record = presets::loadRecord(*fx, valueName, fx->presetTraits().layout.presetRecordBytes());
  readPreset(record.data(), false);
}

void CPresetSystemEditor::loadBankFrom(const char* valueName) {
  CPresetSystemEffect* fx = presetEffect();
  if (!fx) return;
  const auto record = presets::loadRecord(*fx, valueName, fx->presetTraits().layout.bankRecordBytes());
  readBank(record.data(), false);
}

void CPresetSystemEditor::clearValue(const char* valueName) {
  if (CPresetSystemEffect* fx = presetEffect()) presets::deleteValue(*fx, valueName);
}

void CPresetSystemEditor::storeDefaultPreset() { storePresetAs(presets::kDefaultPresetValue); }
void CPresetSystemEditor::clearDefaultPreset() { clearValue(presets::kDefaultPresetValue); }
void CPresetSystemEditor::loadDefaultPreset() { loadPresetFrom(presets::kDefaultPresetValue); }
void CPresetSystemEditor::storeDefaultBank() { storeBankAs(presets::kDefaultBankValue); }
void CPresetSystemEditor::clearDefaultBank() { clearValue(presets::kDefaultBankValue); }
void CPresetSystemEditor::loadDefaultBank() { loadBankFrom(presets::kDefaultBankValue); }
void CPresetSystemEditor::storeMemoA() { storePresetAs(presets::kMemoAValue); }
void CPresetSystemEditor::storeMemoB() { storePresetAs(presets::kMemoBValue); }
void CPresetSystemEditor::recallMemoA() { loadPresetFrom(presets::kMemoAValue); }
void CPresetSystemEditor::recallMemoB() { loadPresetFrom(presets::kMemoBValue); }

void CPresetSystemEditor::saveCurrentPaths() {
  if (settingsStem_) presets::saveCurrentPaths(settingsStem_, paths_);
}

void CPresetSystemEditor::loadCurrentPaths() {
  if (settingsStem_) paths_ = presets::loadCurrentPaths(settingsStem_);
}
