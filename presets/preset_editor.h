// The base of every product editor: the preset strip at the bottom of the
// window (name field, program menu, rocker, load and save of preset and bank
// files, default bank and preset, memories A and B), the file and settings
// operations behind it, and the 50 ms timer that runs the editor's idle while
// the window is open.
//
// The editor object lives as long as its effect; the strip's controls exist
// only between open and close, and every operation works whether or not they
// do. A product editor creates its frame, then calls open here; its close
// calls close here before it lets the frame go; its valueChanged calls
// valueChanged here first.
//
// Thread contract: everything runs on the editor window's thread (controls,
// timer, dialogs), except loadDefaults (the effect's constructor, no window
// yet) and updateProgramName, which a host may call from any thread. The
// strip reads the programs only while it holds the effect's program store.
// Whatever a host changes meanwhile (a chunk, a rename) the store counts, and
// the window's next idle shows the store's names and current program afresh.
#pragma once

#include <cstdint>
#include <string>

#include "presets/preset_effect.h"
#include "presets/records.h"
#include "presets/stored_presets.h"
#include "presets/strip_controls.h"
#include "presets/strip_layout.h"
#include "ui/backend/platform_window.h"
#include "ui/control.h"
#include "ui/gui_editor.h"
#include "ui/option_menu.h"
#include "ui/param_display.h"

class CPresetSystemEditor : public jyxui::AEffGUIEditor,
                            public jyxui::CControlListener,
                            protected presets::PresetStripView {
 public:
  explicit CPresetSystemEditor(CPresetSystemEffect* effect);
  // Writes the last-used folder and file names to the settings store.
  ~CPresetSystemEditor() override;

  // Builds the strip on the frame the product editor created and starts the
  // idle timer; false without a frame or an effect.
  bool open(void* ptr) override;
  // Stops the idle timer and forgets the strip's controls; the frame stays
  // for the product editor to close.
  void close() override;
  // Shows the programs afresh when the store changed since, then runs the frame.
  void idle() override;

  virtual void reservedEditor1() {}
  virtual void reservedEditor2() {}
  // The host renamed the current program (any thread): the name is in the
  // store already, and the next idle shows it.
  virtual void updateProgramName(const char* name);
  // Default bank, default preset and the last-used paths, in this order.
  virtual void loadDefaults();
  virtual void readBank(const std::uint8_t* record, bool endianReversed);
  virtual void writeBank(std::uint8_t* record);
  virtual void readPreset(const std::uint8_t* record, bool endianReversed);
  virtual void writePreset(std::uint8_t* record);
  virtual void readSettings(const std::uint8_t* record, bool endianReversed);
  virtual void writeSettings(std::uint8_t* record);

  // The strip's listener; controls of other tags are left alone.
  void valueChanged(jyxui::CControl* control) override;

  // The file dialogs of the load and save buttons.
  void loadPresetFile(bool endianReversed);
  void savePresetFile();
  void loadBankFile(bool endianReversed);
  void saveBankFile();

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

  // The idle timer's identifier while the window is open, else 0.
  jyxui::TimerId idleTimerId() const { return idleTimer; }
  static constexpr std::uint32_t kIdleTimerMs = 50;

 protected:
  CPresetSystemEffect* presetEffect() const;
  const presets::PresetStripTraits& stripTraits() const;
  void storePresetAs(const char* valueName);
  void storeBankAs(const char* valueName);
  void loadPresetFrom(const char* valueName);
  void loadBankFrom(const char* valueName);
  void clearValue(const char* valueName);

  // The strip's controls follow the readers while they exist.
  void showProgramName(const char* name) override;
  void setMenuEntry(int entry, const char* title) override;
  void selectMenuEntry(int entry) override;
  void setCurrentMenuEntryTitle(const char* title) override;

  // Makes program current from the strip: menu entry, name field, effect.
  void showAndSelectProgram(int program, const char* name);
  void nameEntered();
  // The menu's titles and current entry and the name field as the store has
  // them; with Wait::No only when the store is free at once. A name being
  // typed is left alone until the typing ends.
  void showPrograms(CPresetSystemEffect::StoreScope::Wait wait);

  enum class RecordFile { Preset, Bank };
  void loadRecordFile(RecordFile kind, bool endianReversed);
  void saveRecordFile(RecordFile kind);

  void startIdleTimer();
  void stopIdleTimer();
  static void editorIdleTimerProc(void* user, jyxui::TimerId id);
  void forgetControls();

  presets::RecentPaths paths_;
  jyxui::CTextEdit* nameEdit = nullptr;
  jyxui::COptionMenu* programMenu = nullptr;
  CPSRockerSwitch* programRocker = nullptr;
  CSaveLoadButton* savePresetButton = nullptr;
  CSaveLoadButton* loadPresetButton = nullptr;
  CPSKickButton* storeAButton = nullptr;
  CPSKickButton* recallAButton = nullptr;
  CPSKickButton* storeBButton = nullptr;
  CPSKickButton* recallBButton = nullptr;
  CPSKickButton* defaultPresetButton = nullptr;
  CSaveLoadButton* saveBankButton = nullptr;
  CSaveLoadButton* loadBankButton = nullptr;
  CPSKickButton* defaultBankButton = nullptr;
  jyxui::TimerId idleTimer = 0;

 private:
  // The store's count of program changes the strip shows, whether the name
  // field still waits for a typed name to end, and the name it shows.
  std::uint32_t shownChanges_ = 0;
  bool nameFieldBehind_ = false;
  std::string fieldName_;
  // Kept from construction: the destructor runs after the effect's own layers are gone.
  const char* settingsStem_;
};
