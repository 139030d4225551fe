#include "presets/preset_editor.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/current_directory.h"
#include "platform/files.h"
#include "platform/text.h"
#include "presets/preset_effect.h"
#include "ui/bitmap.h"
#include "ui/file_selector.h"
#include "ui/font.h"
#include "ui/frame.h"

using namespace jyxui;
using records::kNameBytes;

namespace {

struct RecordFileType {
  const char* description;
  const char* extension;
  const char* loadTitle;
  const char* reversedLoadTitle;
  const char* saveTitle;
};

constexpr RecordFileType kPresetFileType{"JYX Preset", "jyx", "Load preset", "Load preset (endian-reversed)",
                                         "Save preset"};
constexpr RecordFileType kBankFileType{"JYX Bank", "jyb", "Load bank", "Load bank (endian-reversed)",
                                       "Save bank"};

constexpr CColor kNameBackColor = MakeCColor(209, 227, 238);
constexpr CColor kNameTextColor = MakeCColor(36, 36, 32);

std::string programName(CPresetSystemEffect& effect, int program) {
  ProgramStore* store = effect.programStore();
  if (!store) return {};
  const CPresetSystemEffect::StoreScope scope(effect);
  char name[kNameBytes + 1];
  records::nameText(store->name(program), name);
  return name;
}

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect* effect)
    : AEffGUIEditor(effect), settingsStem_(effect ? effect->presetTraits().settingsStem : nullptr) {
  paths_.directory = platform::currentDirectory();
}

CPresetSystemEditor::~CPresetSystemEditor() {
  // Deleted with its window open: the effect is going away, so the window
  // goes first and nothing in it (a name being typed) reaches the effect.
  if (frame) {
    stopIdleTimer();
    forgetControls();
    effect = nullptr;
    CFrame* open = frame;
    frame = nullptr;
    open->close();
  }
  saveCurrentPaths();
}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() const {
  return static_cast<CPresetSystemEffect*>(effect);
}

const presets::PresetStripTraits& CPresetSystemEditor::stripTraits() const {
  static const presets::PresetStripTraits kSecondGeneration{};
  CPresetSystemEffect* fx = presetEffect();
  return fx ? fx->presetTraits().strip : kSecondGeneration;
}

// ---------------------------------------------------------------- window

bool CPresetSystemEditor::open(void* /*ptr*/) {
  CPresetSystemEffect* fx = presetEffect();
  if (!frame || !fx) return false;
  stopIdleTimer();
  // The strip starts from the programs as they stand.
  const CPresetSystemEffect::StoreScope scope(*fx);
  shownChanges_ = fx->programChanges();
  nameFieldBehind_ = false;
  const presets::PresetStripTraits& strip = stripTraits();
  const int programs = fx->presetTraits().layout.numPrograms;
  const VstInt32 current = fx->getCurrentProgram();
  CBitmap* background = new CBitmap(CResourceDescription(strip.backgroundBitmap));

  for (const presets::StripControlSpec& spec : presets::stripControls()) {
    CRect r(spec.left, spec.top + strip.verticalOffset, spec.right, spec.bottom + strip.verticalOffset);
    const int32_t tag = presets::productTag(spec.tag, strip);
    if (spec.kind == presets::StripControlKind::NameField) {
      // Centred on the row, as high as its font and two pixels above and below.
      const CCoord middle = (r.top + r.bottom) / 2;
      const CCoord fontHeight = kNormalFontSmall->getSize();
      r.top = middle - fontHeight / 2 - 2;
      r.bottom = middle + fontHeight / 2 + 2;
      fieldName_ = programName(*fx, current);
      nameEdit = new CTextEdit(r, this, tag, fieldName_.c_str(), background);
      nameEdit->setBackOffset(r.getTopLeft());
      nameEdit->setBackColor(kNameBackColor);
      nameEdit->setFont(kNormalFontSmall);
      nameEdit->setFontColor(kNameTextColor);
      nameEdit->setFrameColor(kNameTextColor);
      nameEdit->setHoriAlign(kCenterText);
      frame->addView(nameEdit);
      continue;
    }
    if (spec.kind == presets::StripControlKind::Menu) {
      programMenu = new COptionMenu(r, this, tag, background, nullptr, 0);
      programMenu->setBackOffset(r.getTopLeft());
      programMenu->setNbItemsPerColumn(strip.menuEntriesPerColumn);
      // Draws nothing itself: the strip's picture shows through, the pop-up
      // marks the current entry.
      programMenu->setStyle(kPopupStyle | kCheckStyle | kNoTextStyle | kNoDrawStyle);
      for (int k = 0; k < programs; ++k) programMenu->addEntry(programName(*fx, k).c_str());
      programMenu->setCurrent(current);
      frame->addView(programMenu);
      continue;
    }
    CBitmap* bitmap = new CBitmap(CResourceDescription(spec.bitmap));
    const CCoord imageHeight = bitmap->getHeight() / spec.images;
    CControl* control = nullptr;
    switch (spec.kind) {
      case presets::StripControlKind::Rocker:
        control = programRocker =
            new CPSRockerSwitch(r, this, tag, imageHeight, bitmap, CPoint(0, 0), kHorizontal);
        break;
      case presets::StripControlKind::SaveLoad: {
        auto* button = new CSaveLoadButton(r, this, tag, imageHeight, bitmap, CPoint(0, 0));
        if (spec.tag == presets::kLoadBankTag) loadBankButton = button;
        if (spec.tag == presets::kSaveBankTag) saveBankButton = button;
        if (spec.tag == presets::kLoadPresetTag) loadPresetButton = button;
        if (spec.tag == presets::kSavePresetTag) savePresetButton = button;
        control = button;
        break;
      }
      default: {
        auto* button = new CPSKickButton(r, this, tag, imageHeight, bitmap, CPoint(0, 0), spec.doubleClick);
        if (spec.tag == presets::kDefaultBankTag) defaultBankButton = button;
        if (spec.tag == presets::kDefaultPresetTag) defaultPresetButton = button;
        if (spec.tag == presets::kRecallATag) recallAButton = button;
        if (spec.tag == presets::kStoreATag) storeAButton = button;
        if (spec.tag == presets::kRecallBTag) recallBButton = button;
        if (spec.tag == presets::kStoreBTag) storeBButton = button;
        control = button;
        break;
      }
    }
    frame->addView(control);
    bitmap->forget();
  }
  background->forget();
  startIdleTimer();
  return true;
}

void CPresetSystemEditor::close() {
  stopIdleTimer();
  forgetControls();
}

void CPresetSystemEditor::forgetControls() {
  nameEdit = nullptr;
  programMenu = nullptr;
  programRocker = nullptr;
  savePresetButton = loadPresetButton = saveBankButton = loadBankButton = nullptr;
  storeAButton = recallAButton = storeBButton = recallBButton = nullptr;
  defaultPresetButton = defaultBankButton = nullptr;
}

void CPresetSystemEditor::idle() {
  // A store still held (a host loading a chunk right now) is shown at a later
  // idle: the window's thread never waits here for a host thread.
  const CPresetSystemEffect* fx = presetEffect();
  if (fx && (fx->programChanges() != shownChanges_ || nameFieldBehind_))
    showPrograms(CPresetSystemEffect::StoreScope::Wait::No);
  AEffGUIEditor::idle();
}

// ---------------------------------------------------------------- idle timer

void CPresetSystemEditor::startIdleTimer() {
  stopIdleTimer();
  if (frame && frame->getPlatformWindow())
    idleTimer = frame->getPlatformWindow()->setTimer(0, kIdleTimerMs, &editorIdleTimerProc, frame);
}

void CPresetSystemEditor::stopIdleTimer() {
  // The identifier the window gave is the only one that kills the timer. A
  // window already gone took its timers with it.
  if (idleTimer && frame && frame->getPlatformWindow()) frame->getPlatformWindow()->killTimer(idleTimer);
  idleTimer = 0;
}

// The timer belongs to the frame's window: from the frame to its editor, whose
// idle runs; a missing link ends it quietly.
void CPresetSystemEditor::editorIdleTimerProc(void* user, TimerId) {
  auto* timerFrame = static_cast<CFrame*>(user);
  if (!timerFrame) return;
  if (auto* editor = dynamic_cast<AEffEditor*>(timerFrame->getEditor())) editor->idle();
}

// ---------------------------------------------------------------- program names

void CPresetSystemEditor::updateProgramName(const char* /*name*/) {}

void CPresetSystemEditor::showPrograms(CPresetSystemEffect::StoreScope::Wait wait) {
  CPresetSystemEffect* fx = presetEffect();
  const ProgramStore* store = fx ? fx->programStore() : nullptr;
  if (!store || (!programMenu && !nameEdit)) return;
  const CPresetSystemEffect::StoreScope scope(*fx, wait);
  if (!scope.held()) return;
  shownChanges_ = fx->programChanges();
  const int current = fx->getCurrentProgram();
  char name[kNameBytes + 1];
  if (programMenu) {
    for (int k = 0; k < programMenu->getNbEntries(); ++k) {
      CMenuItem* entry = programMenu->getEntry(k);
      if (!entry || k >= store->layout().numPrograms) continue;
      records::nameText(store->name(k), name);
      if (std::strcmp(entry->getTitle(), name) != 0) entry->setTitle(name);
    }
    if (programMenu->getCurrentIndex() != current) programMenu->setCurrent(current);
  }
  nameFieldBehind_ = nameEdit && nameEdit->isEditing();
  if (nameEdit && !nameFieldBehind_) {
    records::nameText(store->name(current), name);
    if (std::strcmp(nameEdit->getText(), name) != 0) nameEdit->setText(name);
    fieldName_ = name;
  }
}

void CPresetSystemEditor::showProgramName(const char* name) {
  if (!nameEdit) return;
  nameEdit->setText(name);
  fieldName_ = name;
}

void CPresetSystemEditor::setMenuEntry(int entry, const char* title) {
  if (!programMenu) return;
  programMenu->setCurrent(entry);
  if (CMenuItem* item = programMenu->getEntry(entry)) item->setTitle(title);
}

void CPresetSystemEditor::selectMenuEntry(int entry) {
  if (programMenu) programMenu->setCurrent(entry);
}

void CPresetSystemEditor::setCurrentMenuEntryTitle(const char* title) {
  if (programMenu)
    if (CMenuItem* item = programMenu->getCurrent()) item->setTitle(title);
}

// ---------------------------------------------------------------- listener

void CPresetSystemEditor::valueChanged(CControl* control) {
  CPresetSystemEffect* fx = presetEffect();
  if (!control || !fx) return;
  const int programs = fx->presetTraits().layout.numPrograms;
  const float value = control->getValue();
  switch (presets::stripTagOf(control->getTag(), stripTraits())) {
    case presets::kNameFieldTag: nameEntered(); break;
    case presets::kRockerTag: {
      // The program's name from the store, shown and given back to it in one
      // hold, so that no host rename meanwhile is undone.
      const CPresetSystemEffect::StoreScope scope(*fx);
      int program = fx->getCurrentProgram();
      if (value > 0)
        program = std::min(program + 1, programs - 1);
      else if (value < 0)
        program = std::max(program - 1, 0);
      else
        break;
      showAndSelectProgram(program, programName(*fx, program).c_str());
      break;
    }
    case presets::kLoadBankTag: loadBankFile(value == 0.5f); break;
    case presets::kSaveBankTag: saveBankFile(); break;
    case presets::kLoadPresetTag: loadPresetFile(value == 0.5f); break;
    case presets::kSavePresetTag: savePresetFile(); break;
    case presets::kProgramMenuTag: {
      // A value that names no program is ignored.
      const float position = value + 0.5f;
      if (!(position >= 0.0f) || position >= static_cast<float>(programs)) break;
      const int program = static_cast<int>(position);
      // The entry's title may be older than the store's name (a host load the
      // idle has not shown yet): it is never written back into the program.
      fx->selectProgram(program);
      showPrograms(CPresetSystemEffect::StoreScope::Wait::Yes);
      break;
    }
    // A double click reports 1.0, a Ctrl double click 0.5.
    case presets::kDefaultBankTag:
      if (value < 0.75f)
        clearDefaultBank();
      else
        storeDefaultBank();
      break;
    case presets::kDefaultPresetTag:
      if (value < 0.75f)
        clearDefaultPreset();
      else
        storeDefaultPreset();
      break;
    case presets::kStoreATag: storeMemoA(); break;
    case presets::kStoreBTag: storeMemoB(); break;
    case presets::kRecallATag: recallMemoA(); break;
    case presets::kRecallBTag: recallMemoB(); break;
    default: break;
  }
}

void CPresetSystemEditor::showAndSelectProgram(int program, const char* name) {
  CPresetSystemEffect* fx = presetEffect();
  if (programMenu) programMenu->setCurrent(program);
  const std::string text = name;
  showProgramName(text.c_str());
  fx->selectProgram(program);
  fx->setCurrentProgramName(text.c_str());
}

void CPresetSystemEditor::nameEntered() {
  if (!nameEdit) return;
  // Held to the name field of the programs, cut between characters.
  std::string name = nameEdit->getText();
  name.resize(platform::utf8PrefixBytes(name, kNameBytes));
  // A name left as the field showed it while the store's names moved on under
  // the typing (a host load or rename, a typing given up) is not the user's:
  // the field shows the store's name again, and nothing is written back.
  CPresetSystemEffect* fx = presetEffect();
  if (name == fieldName_ && (nameFieldBehind_ || fx->programChanges() != shownChanges_)) {
    showPrograms(CPresetSystemEffect::StoreScope::Wait::Yes);
    return;
  }
  showProgramName(name.c_str());
  setCurrentMenuEntryTitle(name.c_str());
  fx->setCurrentProgramName(name.c_str());
}

// ---------------------------------------------------------------- files

void CPresetSystemEditor::loadPresetFile(bool endianReversed) {
  loadRecordFile(RecordFile::Preset, endianReversed);
}
void CPresetSystemEditor::savePresetFile() { saveRecordFile(RecordFile::Preset); }
void CPresetSystemEditor::loadBankFile(bool endianReversed) {
  loadRecordFile(RecordFile::Bank, endianReversed);
}
void CPresetSystemEditor::saveBankFile() { saveRecordFile(RecordFile::Bank); }

namespace {

// Remembers the folder and name of the file the user chose (unless either
// is longer than the platform's paths, when the remembered ones stay) and
// makes its folder the process's current one.
void useChosenFile(const std::string& path, std::string& directory, std::string& fileName) {
  std::string folder;
  std::string name;
  if (!platform::splitPath(path, folder, name)) return;
  if (folder.size() <= platform::kMaxPathBytes && name.size() <= platform::kMaxPathBytes) {
    directory = folder;
    fileName = name;
  }
  platform::setCurrentDirectory(folder);
}

// Runs a dialog and answers the one file chosen, empty when the user cancelled.
std::string runFileDialog(CNewFileSelector* selector) {
  std::string chosen;
  if (selector->runModal() && selector->getNumSelectedFiles() == 1) chosen = selector->getSelectedFile(0);
  selector->forget();
  return chosen;
}

}  // namespace

void CPresetSystemEditor::loadRecordFile(RecordFile kind, bool endianReversed) {
  CPresetSystemEffect* fx = presetEffect();
  if (!frame || !fx) return;
  const RecordFileType& type = kind == RecordFile::Preset ? kPresetFileType : kBankFileType;
  CNewFileSelector* selector = CNewFileSelector::create(frame, CNewFileSelector::kSelectFile);
  if (!selector) return;
  selector->setTitle(endianReversed ? type.reversedLoadTitle : type.loadTitle);
  selector->setInitialDirectory(paths_.directory.c_str());
  selector->addFileExtension(CFileExtension(type.description, type.extension));
  selector->setAllowMultiFileSelection(false);
  const std::string chosen = runFileDialog(selector);
  if (chosen.empty()) return;

  std::string& fileName = kind == RecordFile::Preset ? paths_.presetFileName : paths_.bankFileName;
  const std::string path = platform::absolutePath(chosen);
  useChosenFile(path, paths_.directory, fileName);
  const records::Layout& layout = fx->presetTraits().layout;
  std::vector<std::uint8_t> record(
      kind == RecordFile::Preset ? layout.presetRecordBytes() : layout.bankRecordBytes(), 0);
  // A file that cannot be read, or is shorter or longer than its record, is
  // ignored like a record of another product.
  if (platform::readFileExactly(path, record.data(), record.size())) {
    if (kind == RecordFile::Preset)
      readPreset(record.data(), endianReversed);
    else
      readBank(record.data(), endianReversed);
  }
  if (frame) frame->invalid();
}

void CPresetSystemEditor::saveRecordFile(RecordFile kind) {
  CPresetSystemEffect* fx = presetEffect();
  if (!frame || !fx) return;
  const RecordFileType& type = kind == RecordFile::Preset ? kPresetFileType : kBankFileType;
  std::string& fileName = kind == RecordFile::Preset ? paths_.presetFileName : paths_.bankFileName;
  CNewFileSelector* selector = CNewFileSelector::create(frame, CNewFileSelector::kSelectSaveFile);
  if (!selector) return;
  selector->setTitle(type.saveTitle);
  selector->setInitialDirectory(paths_.directory.c_str());
  selector->setDefaultSaveName(fileName.c_str());
  selector->setDefaultExtension(CFileExtension(type.description, type.extension));
  const std::string chosen = runFileDialog(selector);
  if (chosen.empty()) return;

  const std::string path = platform::absolutePath(chosen);
  const records::Layout& layout = fx->presetTraits().layout;
  std::vector<std::uint8_t> record(
      kind == RecordFile::Preset ? layout.presetRecordBytes() : layout.bankRecordBytes(), 0);
  if (kind == RecordFile::Preset)
    writePreset(record.data());
  else
    writeBank(record.data());
  // A failed save leaves the file that was there as it was and nothing
  // remembered or moved, as if it had not been tried; nothing is shown.
  if (platform::replaceFile(path, record.data(), record.size()))
    useChosenFile(path, paths_.directory, fileName);
}

// ---------------------------------------------------------------- records

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

// ---------------------------------------------------------------- settings store

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
