// The editor object's preset-strip layer: the folder and file names of the
// preset dialogs, the record readers and writers, the defaults and memories in
// the settings store. The editor object lives as long as its effect; these
// operations work whether or not a window is open, and touch the strip only
// while it exists.
#pragma once

#include <cstdint>
#include <string>

#include "host/aeffeditor.h"
#include "presets/stored_presets.h"

class CPresetSystemEffect;

class CPresetSystemEditor : public AEffEditor, protected presets::PresetStripView {
 public:
  explicit CPresetSystemEditor(CPresetSystemEffect* effect);
  // Writes the last-used folder and file names to the settings store.
  ~CPresetSystemEditor() override;

  // The effect tells its editor of every parameter change, also while a
  // program is applied; the product editors follow with their controls.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

  virtual void reservedEditor1() {}
  virtual void reservedEditor2() {}
  // The host renamed the program.
  virtual void updateProgramName(const char* name);
  // Default bank, default preset and the last-used paths, in this order.
  virtual void loadDefaults();
  virtual void readBank(const std::uint8_t* record, bool endianReversed);
  virtual void writeBank(std::uint8_t* record);
  virtual void readPreset(const std::uint8_t* record, bool endianReversed);
  virtual void writePreset(std::uint8_t* record);
  virtual void readSettings(const std::uint8_t* record, bool endianReversed);
  virtual void writeSettings(std::uint8_t* record);

  void storeDefaultPreset();
  void clearDefaultPreset();
  void loadDefaultPreset();
  void storeDefaultBank();
  void clearDefaultBank();
  void loadDefaultBank();
  void storeMemoA();
  void storeMemoB();
  void recallMemoA();
  void recallMemoB();
  void saveCurrentPaths();
  void loadCurrentPaths();

  const std::string& presetDirectory() const { return paths_.directory; }
  const std::string& bankFileName() const { return paths_.bankFileName; }
  const std::string& presetFileName() const { return paths_.presetFileName; }

 protected:
  CPresetSystemEffect* presetEffect() const;
  void storePresetAs(const char* valueName);
  void storeBankAs(const char* valueName);
  void loadPresetFrom(const char* valueName);
  void loadBankFrom(const char* valueName);
  void clearValue(const char* valueName);

  // The strip's controls; there are none until the editor has a window.
  void showProgramName(const char* /*name*/) override {}
  void setMenuEntry(int /*entry*/, const char* /*title*/) override {}
  void selectMenuEntry(int /*entry*/) override {}
  void setCurrentMenuEntryTitle(const char* /*title*/) override {}

  presets::RecentPaths paths_;
  // Kept from construction: the destructor runs after the effect's own layers are gone.
  const char* settingsStem_;
};
