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
// yet) and updateProgramName, which a host may call from any one thread at a
// time: it only hands the name over, without a lock or an allocation, and
// the window's thread shows it at its next idle.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "presets/records.h"
#include "presets/stored_presets.h"
#include "presets/strip_controls.h"
#include "presets/strip_layout.h"
#include "ui/backend/platform_window.h"
#include "ui/control.h"
#include "ui/gui_editor.h"
#include "ui/option_menu.h"
#include "ui/param_display.h"

class CPresetSystemEffect;

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
  // Shows a program name handed over by updateProgramName, then runs the frame.
  void idle() override;

  virtual void reservedEditor1() {}
  virtual void reservedEditor2() {}
  // The host renamed the current program.
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

  enum class RecordFile { Preset, Bank };
  void loadRecordFile(RecordFile kind, bool endianReversed);
  void saveRecordFile(RecordFile kind);

  void startIdleTimer();
  void stopIdleTimer();
  static void editorIdleTimerProc(void* user, jyxui::TimerId id);
  void showPendingProgramName();
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
  // A name from updateProgramName waiting for the window's thread. The
  // writer makes the sequence odd, writes, and makes it even again; the
  // reader keeps a copy only when the sequence was even and unchanged
  // around it, and tries again at its next idle otherwise.
  class PendingName {
   public:
    void post(int program, const char* name);
    // The name posted since the last take or forget, if one is there whole.
    bool take(int& program, char (&name)[records::kNameBytes + 1]);
    void forget() { taken_ = sequence_.load(std::memory_order_acquire); }

   private:
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<int> program_{0};
    std::array<std::atomic<char>, records::kNameBytes + 1> bytes_{};
    std::uint32_t taken_ = 0;  // the window's thread's own
  };
  PendingName pendingName_;
  // Kept from construction: the destructor runs after the effect's own layers are gone.
  const char* settingsStem_;
};
