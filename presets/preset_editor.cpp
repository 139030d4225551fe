#include "presets/preset_editor.h"

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

void CPresetSystemEditor::storeDefaultPreset() {
  if (auto* fx = presetEffect()) presets::storePresetValue(*fx, presets::kDefaultPresetValue);
}
void CPresetSystemEditor::clearDefaultPreset() {
  if (auto* fx = presetEffect()) presets::deleteValue(*fx, presets::kDefaultPresetValue);
}
void CPresetSystemEditor::loadDefaultPreset() {
  if (auto* fx = presetEffect()) presets::loadPresetValue(*fx, presets::kDefaultPresetValue, this);
}
void CPresetSystemEditor::storeDefaultBank() {
  if (auto* fx = presetEffect()) presets::storeBankValue(*fx, presets::kDefaultBankValue);
}
void CPresetSystemEditor::clearDefaultBank() {
  if (auto* fx = presetEffect()) presets::deleteValue(*fx, presets::kDefaultBankValue);
}
void CPresetSystemEditor::loadDefaultBank() {
  if (auto* fx = presetEffect()) presets::loadBankValue(*fx, presets::kDefaultBankValue, this);
}
void CPresetSystemEditor::storeMemoA() {
  if (auto* fx = presetEffect()) presets::storePresetValue(*fx, presets::kMemoAValue);
}
void CPresetSystemEditor::storeMemoB() {
  if (auto* fx = presetEffect()) presets::storePresetValue(*fx, presets::kMemoBValue);
}
void CPresetSystemEditor::recallMemoA() {
  if (auto* fx = presetEffect()) presets::loadPresetValue(*fx, presets::kMemoAValue, this);
}
void CPresetSystemEditor::recallMemoB() {
  if (auto* fx = presetEffect()) presets::loadPresetValue(*fx, presets::kMemoBValue, this);
}

void CPresetSystemEditor::saveCurrentPaths() {
  if (settingsStem_) presets::saveCurrentPaths(settingsStem_, paths_);
}

void CPresetSystemEditor::loadCurrentPaths() {
  if (settingsStem_) paths_ = presets::loadCurrentPaths(settingsStem_);
}
