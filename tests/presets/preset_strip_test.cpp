// The preset strip of every product on an offscreen frame: its controls and
// their places, the listener rules, the program name handed over from the
// host, the idle timer, and preset and bank files through a scripted dialog.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/current_directory.h"
#include "presets/preset_editor.h"
#include "presets/stored_presets.h"
#include "presets/strip_layout.h"
#include "tests/presets/preset_test_effect.h"
#include "tests/support/file_contents.h"
#include "tests/support/settings_sandbox.h"
#include "tests/ui/ui_test_support.h"

namespace {

using namespace uitest;
using presettest::PresetTestEffect;
using presettest::ProductConstants;
using Bytes = std::vector<std::uint8_t>;
using records::kNameBytes;
namespace fs = std::filesystem;

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// A product editor reduced to the strip: it makes the frame, opens the strip
// on it, and closes the strip before the frame.
class StripEditor : public CPresetSystemEditor {
 public:
  explicit StripEditor(CPresetSystemEffect* fx) : CPresetSystemEditor(fx) { rect = ERect{0, 0, 460, 450}; }
  bool open(void* parent) override {
    AEffEditor::open(parent);
    frame = new CFrame(CRect(0, 0, 450, 460), parent, this);
    return CPresetSystemEditor::open(parent);
  }
  void close() override {
    CPresetSystemEditor::close();
    AEffGUIEditor::close();
  }
  void idle() override {
    ++idles;
    CPresetSystemEditor::idle();
  }
  OffscreenWindow& window() { return *OffscreenWindow::of(frame); }
  int idles = 0;
};

// Test images of the skin's sizes: every image of a film strip its own colour.
void installStripImages() {
  std::vector<testkit::TestImage> images;
  auto strip = [&](int number, int w, int h, int count) {
    images.push_back({number, "", testkit::encodePng(stripPixels(w, h, count))});
  };
  images.push_back({19000, "", testkit::encodePng(gradientPixels(450, 460))});
  images.push_back({19100, "", testkit::encodePng(gradientPixels(450, 460))});
  strip(19997, 31, 14, 5);
  for (int n : {19993, 19994, 19998, 19999, 19991, 19992, 19995, 19996}) strip(n, 12, 14, 3);
  strip(19990, 37, 10, 3);
  strip(19899, 47, 10, 3);
  testkit::installResources(std::move(images));
}

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder + platform::kPathSeparator + name;
}

class PresetStripTest : public ::testing::TestWithParam<ProductConstants> {
 protected:
  void SetUp() override {
    installStripImages();
    startFolder = platform::currentDirectory();
    objects = liveObjectCount();
    windows = livePlatformWindowCount();
    fx = std::make_unique<PresetTestEffect>(host, c());
    editor = new StripEditor(fx.get());
  }
  void TearDown() override {
    fx.reset();
    EXPECT_EQ(liveObjectCount(), objects) << "everything of the window is gone";
    EXPECT_EQ(livePlatformWindowCount(), windows);
    platform::setCurrentDirectory(startFolder);
    testkit::clearResources();
  }

  const ProductConstants& c() const { return GetParam(); }
  int N() const { return c().numParams; }
  int P() const { return c().numPrograms; }
  records::Layout layout() const { return {N(), P()}; }
  int32_t tag(int32_t stripTag) const { return presets::productTag(stripTag, c().strip); }
  // Second-generation strip coordinates moved to this product's row.
  CCoord y(CCoord secondGenerationY) const { return secondGenerationY + c().strip.verticalOffset; }

  void open() {
    ASSERT_TRUE(editor->open(nullptr));
    editor->getFrame()->setDrawObserver(&recorder);
    editor->idle();
  }
  OffscreenWindow& window() { return editor->window(); }
  CControl* control(int32_t stripTag) const {
    CFrame* frame = editor->getFrame();
    for (int32_t i = 0; frame && i < frame->getNbViews(); ++i)
      if (auto* found = dynamic_cast<CControl*>(frame->getView(i)); found && found->getTag() == tag(stripTag))
        return found;
    return nullptr;
  }
  CTextEdit* nameField() const { return dynamic_cast<CTextEdit*>(control(presets::kNameFieldTag)); }
  COptionMenu* menu() const { return dynamic_cast<COptionMenu*>(control(presets::kProgramMenuTag)); }
  CPoint centreOf(int32_t stripTag, CCoord dx = 0) const {
    const CRect& r = control(stripTag)->getViewSize();
    return CPoint((r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2);
  }
  // A click well apart in time from the one before, so it is never a double click.
  void click(int32_t stripTag, CButtonState buttons = kLButton, CCoord dx = 0) {
    window().advanceTime(1000);
    window().click(centreOf(stripTag, dx), buttons);
  }
  void doubleClick(int32_t stripTag, CButtonState modifiers = 0) {
    click(stripTag, kLButton | modifiers);
    window().advanceTime(100);
    window().click(centreOf(stripTag), kLButton | modifiers);
  }

  std::string programName(int program) const {
    char name[25];
    records::nameText(fx->programStore()->name(program), name);
    return name;
  }
  Bytes storeBytes() const {
    const std::uint8_t* p = fx->programStore()->data();
    return Bytes(p, p + layout().storeBytes());
  }
  Bytes entryBytes(int program) const {
    const std::uint8_t* p = fx->programStore()->entry(program);
    return Bytes(p, p + layout().entryBytes());
  }
  void expectShown(int program) {
    EXPECT_EQ(fx->getCurrentProgram(), program);
    EXPECT_EQ(menu()->getCurrentIndex(), program);
    EXPECT_EQ(std::string(nameField()->getText()), programName(program));
    EXPECT_EQ(std::string(menu()->getEntry(program)->getTitle()), programName(program));
  }
  bool applied(int program) const {
    if (fx->calls.size() != static_cast<std::size_t>(N())) return false;
    for (int i = 0; i < N(); ++i)
      if (fx->calls[static_cast<std::size_t>(i)].value != fx->programStore()->value(program, i)) return false;
    return true;
  }

  testsupport::SettingsSandbox sandbox;
  testsupport::TempFolder folder;
  std::string startFolder;
  long objects = 0;
  long windows = 0;
  std::unique_ptr<PresetTestEffect> fx;
  StripEditor* editor = nullptr;
  testkit::DrawRecorder recorder;
};

// ---------------------------------------------------------------- layout

TEST_P(PresetStripTest, ThirteenControlsSitAtTheirPlacesWithTheProductsTags) {
  EXPECT_FALSE(editor->CPresetSystemEditor::open(nullptr)) << "no frame: nothing is built";
  EXPECT_EQ(editor->idleTimerId(), 0u);
  open();
  struct Expected {
    int32_t tag;
    const char* type;
    CRect rect;  // second generation
  };
  // In creation order, which is the drawing order.
  const Expected expected[] = {
      {59, "CTextEdit", CRect(175, 443.5, 292, 458.5)},   {71, "COptionMenu", CRect(293, 444, 305, 458)},
      {60, "CPSRockerSwitch", CRect(313, 444, 344, 458)}, {61, "CSaveLoadButton", CRect(70, 444, 82, 458)},
      {62, "CSaveLoadButton", CRect(20, 444, 32, 458)},   {72, "CPSKickButton", CRect(32, 446, 69, 456)},
      {63, "CSaveLoadButton", CRect(150, 444, 162, 458)}, {64, "CSaveLoadButton", CRect(91, 444, 103, 458)},
      {73, "CPSKickButton", CRect(103, 446, 150, 456)},   {76, "CPSKickButton", CRect(374, 444, 386, 458)},
      {74, "CPSKickButton", CRect(352, 444, 364, 458)},   {77, "CPSKickButton", CRect(417, 444, 429, 458)},
      {75, "CPSKickButton", CRect(395, 444, 407, 458)},
  };
  CFrame* frame = editor->getFrame();
  ASSERT_EQ(frame->getNbViews(), 13);
  for (int32_t i = 0; i < 13; ++i) {
    const Expected& e = expected[i];
    auto* view = dynamic_cast<CControl*>(frame->getView(i));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->getTag(), tag(e.tag)) << e.type << " " << e.tag;
    EXPECT_TRUE(view->isTypeOf(e.type)) << e.tag;
    const CRect r = view->getViewSize();
    EXPECT_EQ(r, CRect(e.rect.left, y(e.rect.top), e.rect.right, y(e.rect.bottom))) << e.tag;
    EXPECT_EQ(view->getListener(), static_cast<CControlListener*>(editor)) << e.tag;
  }
  if (c().strip.verticalOffset != 0) {
    // The track product's row: tops 360 or 362, the name field centred on 367.
    EXPECT_EQ(control(presets::kRockerTag)->getViewSize().top, 360);
    EXPECT_EQ(control(presets::kDefaultBankTag)->getViewSize().bottom, 372);
    EXPECT_EQ(nameField()->getViewSize(), CRect(175, 359.5, 292, 374.5));
  }
  EXPECT_STREQ(nameField()->getText(), programName(0).c_str());
  EXPECT_EQ(nameField()->getFont().getSize(), 11);
  EXPECT_EQ(nameField()->getBackOffset(), nameField()->getViewSize().getTopLeft());
  EXPECT_EQ(nameField()->getBackColor(), MakeCColor(209, 227, 238));
  EXPECT_EQ(nameField()->getFontColor(), MakeCColor(36, 36, 32));
  EXPECT_EQ(nameField()->getBackground()->getResourceDescription().id, c().strip.backgroundBitmap);
  EXPECT_EQ(menu()->getBackground()->getResourceDescription().id, c().strip.backgroundBitmap);
  EXPECT_EQ(menu()->getNbEntries(), P());
  EXPECT_EQ(menu()->getNbItemsPerColumn(), c().strip.menuEntriesPerColumn);
  EXPECT_EQ(menu()->getStyle(), kPopupStyle | kCheckStyle | kNoTextStyle | kNoDrawStyle);
  for (int k = 0; k < P(); ++k) EXPECT_EQ(std::string(menu()->getEntry(k)->getTitle()), programName(k));
  editor->close();
}

// The name field shows the strip's picture behind the name, and each button
// its normal image in its own rectangle.
TEST_P(PresetStripTest, StripDrawsFromTheSkinImages) {
  fx->selectProgram(4);
  open();
  window().advanceTime(1000);
  window().mouseMove(CPoint(10, 10));
  editor->getFrame()->invalid();
  recorder.clear();
  editor->idle();
  const auto rocker = recorder.bitmapsOf(control(presets::kRockerTag));
  ASSERT_EQ(rocker.size(), 1u);
  EXPECT_EQ(rocker[0].resource.id, 19997);
  EXPECT_EQ(rocker[0].source, CPoint(0, 0));
  const auto defaultBank = recorder.bitmapsOf(control(presets::kDefaultBankTag));
  ASSERT_EQ(defaultBank.size(), 1u);
  EXPECT_EQ(defaultBank[0].resource.id, 19990);
  EXPECT_EQ(defaultBank[0].dest, snapRect(control(presets::kDefaultBankTag)->getViewSize()));
  const auto name = recorder.bitmapsOf(nameField());
  ASSERT_EQ(name.size(), 1u);
  EXPECT_EQ(name[0].resource.id, c().strip.backgroundBitmap);
  EXPECT_EQ(name[0].source, snapRect(nameField()->getViewSize()).toRect().getTopLeft());
  EXPECT_EQ(recorder.textsOf(nameField()), std::vector<std::string>{programName(4)});
  EXPECT_TRUE(recorder.bitmapsOf(menu()).empty()) << "the menu draws nothing itself";
  // Hovering the store-A button shows its hover image.
  window().mouseMove(centreOf(presets::kStoreATag));
  recorder.clear();
  editor->idle();
  const auto storeA = recorder.bitmapsOf(control(presets::kStoreATag));
  ASSERT_EQ(storeA.size(), 1u);
  EXPECT_EQ(storeA[0].source, CPoint(0, 14));
  editor->close();
}

// ---------------------------------------------------------------- listener

TEST_P(PresetStripTest, RockerStepsThroughTheProgramsAndStaysAtBothEnds) {
  open();
  struct Step {
    int from;
    CCoord side;  // left or right of the rocker's middle
    int to;
  };
  const Step steps[] = {{5, 8, 6}, {6, -8, 5}, {P() - 1, 8, P() - 1}, {0, -8, 0}, {1, -8, 0}};
  for (const Step& s : steps) {
    SCOPED_TRACE(std::to_string(s.from) + (s.side > 0 ? " right" : " left"));
    fx->selectProgram(s.from);
    fx->calls.clear();
    click(presets::kRockerTag, kLButton, s.side);
    expectShown(s.to);
    EXPECT_TRUE(applied(s.to)) << "applied, also when it stays";
  }
  // The right button and the release do nothing.
  fx->calls.clear();
  click(presets::kRockerTag, kRButton, 8);
  EXPECT_TRUE(fx->calls.empty());
  editor->close();
}

TEST_P(PresetStripTest, MenuChoiceAppliesTheProgramAlsoWhenItIsCurrent) {
  fx->selectProgram(2);
  open();
  for (int choice : {2, P() - 1}) {
    SCOPED_TRACE(choice);
    fx->calls.clear();
    window().queueMenuChoice(choice);
    click(presets::kProgramMenuTag);
    expectShown(choice);
    EXPECT_TRUE(applied(choice));
  }
  ASSERT_EQ(window().menuRequests().size(), 2u);
  const PopupMenuRequest& request = window().menuRequests()[0];
  EXPECT_EQ(request.current, 2);
  EXPECT_TRUE(request.checkCurrent);
  EXPECT_TRUE(request.underPointer);
  EXPECT_EQ(request.itemsPerColumn, c().strip.menuEntriesPerColumn);
  ASSERT_EQ(request.titles.size(), static_cast<std::size_t>(P()));
  EXPECT_EQ(request.titles[7], programName(7));
  // Cancelled: nothing.
  fx->calls.clear();
  window().queueMenuCancel();
  click(presets::kProgramMenuTag);
  EXPECT_TRUE(fx->calls.empty());
  editor->close();
}

TEST_P(PresetStripTest, MenuValueNamingNoProgramIsIgnored) {
  fx->selectProgram(3);
  open();
  for (float value : {static_cast<float>(P()), -1.0f, 1000.0f, std::nanf("")}) {
    SCOPED_TRACE(value);
    auto* stray = new CControl(CRect(0, 0, 1, 1), editor, tag(presets::kProgramMenuTag));
    stray->setValue(value);
    fx->calls.clear();
    editor->valueChanged(stray);
    stray->forget();
    EXPECT_TRUE(fx->calls.empty());
    EXPECT_EQ(fx->getCurrentProgram(), 3);
    EXPECT_EQ(menu()->getCurrentIndex(), 3);
  }
  editor->close();
}

TEST_P(PresetStripTest, TypedNameIsKeptToTheNameFieldsLengthBetweenCharacters) {
  fx->selectProgram(5);
  open();
  struct Case {
    std::string typed, kept;
  };
  const Case cases[] = {
      {"Thirty characters typed here!!", "Thirty characters typed "},
      // 'a' and twelve two-byte characters: the twelfth does not fit whole.
      {"a\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
       "a\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},
      {"Short", "Short"},
  };
  for (const Case& cs : cases) {
    click(presets::kNameFieldTag);
    ASSERT_TRUE(nameField()->isEditing());
    for (int i = 0; i < 40; ++i) window().pressKey(VKEY_BACK);
    window().type(cs.typed);
    window().pressKey(VKEY_RETURN);
    EXPECT_EQ(std::string(nameField()->getText()), cs.kept);
    EXPECT_EQ(std::string(menu()->getEntry(5)->getTitle()), cs.kept);
    char hostName[32];
    fx->getProgramName(hostName);
    EXPECT_EQ(std::string(hostName), cs.kept);
  }
  EXPECT_EQ(fx->getCurrentProgram(), 5);
  editor->close();
}

TEST_P(PresetStripTest, DefaultButtonsStoreOnADoubleClickAndClearOnACtrlDoubleClick) {
  struct Button {
    int32_t tag;
    const char* value;
    std::size_t size;
  };
  const Button buttons[] = {
      {presets::kDefaultPresetTag, presets::kDefaultPresetValue, layout().presetRecordBytes()},
      {presets::kDefaultBankTag, presets::kDefaultBankValue, layout().bankRecordBytes()}};
  fx->selectProgram(6);
  open();
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.value);
    auto stored = [&] { return presets::loadRecord(*fx, b.value, b.size); };
    const Bytes nothing(b.size, 0);
    click(b.tag);
    EXPECT_EQ(stored(), nothing) << "a single click does nothing";
    doubleClick(b.tag);
    Bytes expected(b.size, 0);
    if (b.tag == presets::kDefaultPresetTag)
      editor->writePreset(expected.data());
    else
      editor->writeBank(expected.data());
    EXPECT_EQ(stored(), expected);
    click(b.tag, kLButton | kControl);
    EXPECT_EQ(stored(), expected) << "a single Ctrl click does nothing either";
    doubleClick(b.tag, kControl);
    EXPECT_EQ(stored(), nothing);
  }
  editor->close();
}

TEST_P(PresetStripTest, MemoriesCarryAProgramToAnotherAndBack) {
  open();
  fx->selectProgram(2);
  click(presets::kStoreATag);
  fx->selectProgram(3);
  click(presets::kStoreBTag);
  const Bytes two = entryBytes(2);
  const Bytes three = entryBytes(3);
  fx->selectProgram(8);
  menu()->setCurrent(8);
  fx->calls.clear();
  click(presets::kRecallATag);
  EXPECT_EQ(entryBytes(8), two);
  expectShown(8);
  EXPECT_TRUE(applied(8));
  click(presets::kRecallBTag);
  EXPECT_EQ(entryBytes(8), three);
  expectShown(8);
  EXPECT_EQ(entryBytes(2), two) << "the stored program itself is untouched";
  editor->close();
}

// ---------------------------------------------------------------- host renames

TEST_P(PresetStripTest, HostRenameWithTheWindowClosedChangesTheProgramOnly) {
  open();
  editor->close();
  char name[] = "Renamed While Closed";
  fx->setProgramName(name);  // the controls of the closed window are gone
  EXPECT_EQ(programName(0), "Renamed While Closed");
  open();
  EXPECT_STREQ(nameField()->getText(), "Renamed While Closed");
  EXPECT_STREQ(menu()->getEntry(0)->getTitle(), "Renamed While Closed");
  editor->close();
}

// A host renaming from its own thread while the window runs: the name waits
// for the window's next idle, and nothing of the window is touched meanwhile.
TEST_P(PresetStripTest, HostRenameFromAnotherThreadIsShownAtTheNextIdle) {
  fx->selectProgram(1);
  open();
  std::atomic<bool> done{false};
  std::thread renaming([&] {
    for (int i = 0; i < 200; ++i) {
      std::string name = "Host " + std::to_string(i);
      fx->setProgramName(name.data());
    }
    done = true;
  });
  while (!done) {
    window().advanceTime(50);
    editor->idle();
  }
  renaming.join();
  editor->idle();
  EXPECT_STREQ(nameField()->getText(), "Host 199");
  std::thread([&] {
    char last[] = "Host Last";
    fx->setProgramName(last);
  }).join();
  EXPECT_STREQ(nameField()->getText(), "Host 199") << "not before the idle";
  editor->idle();
  EXPECT_STREQ(nameField()->getText(), "Host Last");
  EXPECT_STREQ(menu()->getEntry(1)->getTitle(), "Host Last");
  EXPECT_EQ(programName(1), "Host Last");
  editor->close();
}

// A chunk the host loads, or a rename, from its own thread while the window
// is open: the next idle shows the store's names and current program, and a
// program chosen from the menu, before that idle or after it, writes no title
// back, so the host's next chunk still holds every name it loaded.
TEST_P(PresetStripTest, NamesTheHostLoadsWhileTheWindowIsOpenAreShownAndSurviveAMenuChoice) {
  using Names = std::vector<std::string>;
  AEffect* e = fx->getAeffect();
  auto chunkNames = [&] {
    void* data = nullptr;
    e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
    Names names;
    for (int k = 0; k < P(); ++k) {
      char name[kNameBytes + 1];
      records::nameText(static_cast<const char*>(data) + 32 + layout().entryBytes() * k, name);
      names.push_back(name);
    }
    return names;
  };
  struct Case {
    const char* what;
    bool idleFirst;
  };
  const Case cases[] = {{"chunk", false}, {"chunk", true}, {"rename", false}, {"rename", true}};
  open();
  for (const Case& cs : cases) {
    SCOPED_TRACE(std::string(cs.what) + (cs.idleFirst ? ", idle, choice" : ", choice"));
    fx->selectProgram(2);
    editor->idle();
    Names expected = chunkNames();
    int current = 2;
    if (std::string(cs.what) == "chunk") {
      void* data = nullptr;
      e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
      Bytes chunk(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + layout().chunkBytes());
      const std::string stem = cs.idleFirst ? "Project " : "Session ";
      for (int k = 0; k < P(); ++k) {
        expected[static_cast<std::size_t>(k)] = stem + std::to_string(k);
        records::storeName(reinterpret_cast<char*>(chunk.data() + 32 + layout().entryBytes() * k),
                           expected[static_cast<std::size_t>(k)].c_str());
      }
      current = 3;
      records::writeInt32(chunk.data() + 12, current);
      std::thread([&] {
        e->dispatcher(e, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f);
      }).join();
    } else {
      std::string name = cs.idleFirst ? "Renamed, then idle" : "Renamed";
      expected[2] = name;
      std::thread([&] { e->dispatcher(e, effSetProgramName, 0, 0, name.data(), 0.0f); }).join();
    }
    if (cs.idleFirst) {
      editor->idle();
      for (int k = 0; k < P(); ++k)
        EXPECT_EQ(std::string(menu()->getEntry(k)->getTitle()), expected[static_cast<std::size_t>(k)]) << k;
      EXPECT_EQ(menu()->getCurrentIndex(), current);
      EXPECT_EQ(std::string(nameField()->getText()), expected[static_cast<std::size_t>(current)]);
    }
    for (int choice : {current, 6}) {
      window().queueMenuChoice(choice);
      click(presets::kProgramMenuTag);
      EXPECT_EQ(chunkNames(), expected) << "after choosing " << choice;
      expectShown(choice);
    }
  }
  editor->close();
}

// The host renames the program while the user types a name: the typing is
// left alone; given up, with or without an idle between, it leaves the host's
// name; ended with Return, the name typed is the program's.
TEST_P(PresetStripTest, HostRenameWhileANameIsTypedLeavesTheTypingAndTheUsersChoice) {
  struct Case {
    const char* what;
    bool idleBetween;
    VstVirtualKey key;
    const char* kept;
  };
  const Case cases[] = {{"given up after an idle", true, VKEY_ESCAPE, "The host's"},
                        {"given up before an idle", false, VKEY_ESCAPE, "The host's"},
                        {"entered", true, VKEY_RETURN, "Typed"}};
  fx->selectProgram(4);
  open();
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.what);
    click(presets::kNameFieldTag);
    ASSERT_TRUE(nameField()->isEditing());
    for (int i = 0; i < 30; ++i) window().pressKey(VKEY_BACK);
    window().type("Typed");
    std::thread([&] {
      char name[] = "The host's";
      fx->setProgramName(name);
    }).join();
    if (cs.idleBetween) {
      editor->idle();
      EXPECT_EQ(nameField()->getEditText(), "Typed");
      EXPECT_STREQ(menu()->getEntry(4)->getTitle(), "The host's");
    }
    window().pressKey(cs.key);
    editor->idle();
    EXPECT_EQ(programName(4), cs.kept);
    EXPECT_STREQ(nameField()->getText(), cs.kept);
    EXPECT_STREQ(menu()->getEntry(4)->getTitle(), cs.kept);
    char reset[] = "Four";
    fx->setProgramName(reset);
    editor->idle();
  }
  editor->close();
}

// ---------------------------------------------------------------- idle timer

TEST_P(PresetStripTest, IdleTimerRunsEveryFiftyMillisecondsUntilTheStripCloses) {
  open();
  CFrame* frame = editor->getFrame();
  ASSERT_NE(editor->idleTimerId(), 0u);
  EXPECT_EQ(window().timerCount(), 1u);
  // Someone else's timer on the same window outlives the strip's.
  struct Count {
    static void proc(void* user, TimerId) { ++*static_cast<int*>(user); }
  };
  int others = 0;
  window().setTimer(0, 50, &Count::proc, &others);
  const int before = editor->idles;
  window().advanceTime(49);
  frame->idle();
  EXPECT_EQ(editor->idles, before);
  window().advanceTime(1);
  frame->idle();
  EXPECT_EQ(editor->idles, before + 1);
  const TimerId id = editor->idleTimerId();
  // The strip closes first; the frame stays until its editor lets it go.
  editor->CPresetSystemEditor::close();
  EXPECT_EQ(editor->idleTimerId(), 0u);
  EXPECT_FALSE(window().killTimer(id)) << "killed with its own identifier";
  window().advanceTime(100);
  frame->idle();
  EXPECT_EQ(editor->idles, before + 1) << "no timer call after close";
  EXPECT_EQ(others, 2);
  editor->close();
}

// Deleted with the window open and a name being typed: the window goes first
// and nothing reaches the effect being destroyed.
TEST_P(PresetStripTest, EditorDeletedWithTheWindowOpenLeavesNothingBehind) {
  open();
  click(presets::kNameFieldTag);
  window().type("typed");
  fx.reset();
  EXPECT_EQ(liveObjectCount(), objects);
}

// ---------------------------------------------------------------- files

// A preset file is one preset record: the identifier, the type byte 0x21 and
// the program as stored, its name first.
TEST_P(PresetStripTest, PresetSavedFromOneProgramLoadsIntoAnother) {
  fx->selectProgram(12);
  char twelve[] = "Twelve";
  fx->setProgramName(twelve);
  fx->setParameter(1, 0.3125f);
  open();
  const std::string dir = folder.path() + platform::kPathSeparator;
  const std::string path = joinPath(folder.path(), "twelve.jyx");
  window().queueFileDialogAnswer({joinPath(folder.path(), "twelve")});
  click(presets::kSavePresetTag);
  const Bytes file = testsupport::fileContent(path);
  ASSERT_EQ(file.size(), layout().presetRecordBytes());
  EXPECT_EQ(records::readInt32(file.data()), c().uniqueId);
  EXPECT_EQ(file[4], 0x21);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 5), 6), "Twelve");
  for (int b = 11; b < 29; ++b) EXPECT_EQ(file[static_cast<std::size_t>(b)], 0) << "name padding " << b;
  for (int i = 0; i < N(); ++i)
    EXPECT_EQ(records::readFloat(file.data() + 29 + 4 * i), fx->programStore()->value(12, i)) << i;
  EXPECT_EQ(records::readFloat(file.data() + 29 + 4), 0.3125f);
  ASSERT_EQ(window().fileDialogRequests().size(), 1u);
  const FileDialogRequest save = window().fileDialogRequests()[0];
  EXPECT_EQ(save.kind, FileDialogRequest::Kind::SaveFile);
  EXPECT_EQ(save.title, "Save preset");
  ASSERT_EQ(save.types.size(), 1u);
  EXPECT_EQ(save.types[0].description, "JYX Preset");
  EXPECT_EQ(save.types[0].extension, "jyx");
  EXPECT_EQ(save.defaultType, 0);
  EXPECT_EQ(editor->presetDirectory(), dir);
  EXPECT_EQ(editor->presetFileName(), "twelve.jyx");
  EXPECT_EQ(platform::currentDirectory(), dir);

  window().queueMenuChoice(3);
  click(presets::kProgramMenuTag);
  fx->calls.clear();
  window().queueFileDialogAnswer({path});
  click(presets::kLoadPresetTag);
  EXPECT_EQ(entryBytes(3), Bytes(file.begin() + 5, file.end()));
  expectShown(3);
  EXPECT_TRUE(applied(3));
  const FileDialogRequest load = window().fileDialogRequests()[1];
  EXPECT_EQ(load.kind, FileDialogRequest::Kind::OpenFile);
  EXPECT_EQ(load.title, "Load preset");
  EXPECT_EQ(load.initialDirectory, dir);
  EXPECT_FALSE(load.allowMultiple);
  ASSERT_EQ(load.types.size(), 1u);
  EXPECT_EQ(load.types[0].extension, "jyx");

  // The next save opens in that folder and offers that name.
  window().queueFileDialogCancel();
  click(presets::kSavePresetTag);
  EXPECT_EQ(window().fileDialogRequests()[2].initialDirectory, dir);
  EXPECT_EQ(window().fileDialogRequests()[2].defaultSaveName, "twelve.jyx");
  editor->close();
}

TEST_P(PresetStripTest, BankSavedAndLoadedBringsBackEveryProgram) {
  open();
  const std::string path = joinPath(folder.path(), "all.jyb");
  window().queueFileDialogAnswer({path});
  click(presets::kSaveBankTag);
  const Bytes saved = storeBytes();
  const Bytes file = testsupport::fileContent(path);
  ASSERT_EQ(file.size(), layout().bankRecordBytes());
  EXPECT_EQ(records::readInt32(file.data()), c().uniqueId);
  EXPECT_EQ(file[4], 0x37);
  EXPECT_EQ(Bytes(file.begin() + 5, file.end()), saved);
  EXPECT_EQ(window().fileDialogRequests()[0].title, "Save bank");
  EXPECT_EQ(window().fileDialogRequests()[0].types[0].description, "JYX Bank");
  EXPECT_EQ(window().fileDialogRequests()[0].types[0].extension, "jyb");

  for (int k = 0; k < P(); ++k) fx->programStore()->setName(k, "changed");
  window().queueMenuChoice(4);
  click(presets::kProgramMenuTag);
  window().queueFileDialogAnswer({path});
  click(presets::kLoadBankTag);
  EXPECT_EQ(storeBytes(), saved);
  expectShown(0);
  for (int k = 0; k < P(); ++k) EXPECT_EQ(std::string(menu()->getEntry(k)->getTitle()), programName(k));
  EXPECT_EQ(window().fileDialogRequests()[1].title, "Load bank");
  EXPECT_EQ(editor->bankFileName(), "all.jyb");
  editor->close();
}

TEST_P(PresetStripTest, CancelledDialogsChangeNothing) {
  open();
  const Bytes store = storeBytes();
  const std::string cwd = platform::currentDirectory();
  const std::string dir = editor->presetDirectory();
  for (int32_t button :
       {presets::kLoadPresetTag, presets::kSavePresetTag, presets::kLoadBankTag, presets::kSaveBankTag}) {
    for (CButtonState buttons : {kLButton, kRButton}) {
      window().queueFileDialogCancel();
      click(button, buttons);
    }
  }
  EXPECT_EQ(window().fileDialogRequests().size(), 8u);
  EXPECT_EQ(storeBytes(), store);
  EXPECT_TRUE(fx->calls.empty());
  EXPECT_EQ(platform::currentDirectory(), cwd);
  EXPECT_EQ(editor->presetDirectory(), dir);
  EXPECT_EQ(editor->presetFileName(), "");
  EXPECT_EQ(editor->bankFileName(), "");
  EXPECT_TRUE(fs::is_empty(folder.path()));
  editor->close();
}

// A right click loads the values byte-reversed; a file from the other byte
// order is recognised by its identifier, so a right click on it reads the
// values as they stand.
TEST_P(PresetStripTest, RightClickLoadsTheValuesByteReversed) {
  const auto reversed = [](float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    bits = records::swapBytes32(bits);
    std::memcpy(&v, &bits, 4);
    return v;
  };
  open();
  const std::string presetPath = joinPath(folder.path(), "four.jyx");
  fx->selectProgram(4);
  std::vector<float> four;
  for (int i = 0; i < N(); ++i) four.push_back(fx->programStore()->value(4, i));
  window().queueFileDialogAnswer({presetPath});
  click(presets::kSavePresetTag);
  window().queueMenuChoice(6);
  click(presets::kProgramMenuTag);
  window().queueFileDialogAnswer({presetPath});
  click(presets::kLoadPresetTag, kRButton);
  EXPECT_EQ(window().fileDialogRequests().back().title, "Load preset (endian-reversed)");
  EXPECT_EQ(programName(6), programName(4)) << "names are not reversed";
  for (int i = 0; i < N(); ++i) EXPECT_EQ(fx->programStore()->value(6, i), reversed(four[i])) << i;

  // The same preset written in the other byte order.
  Bytes foreign = testsupport::fileContent(presetPath);
  records::swapBytes32(foreign.data());
  for (int i = 0; i < N(); ++i) records::swapBytes32(foreign.data() + 29 + 4 * i);
  testsupport::writeFileContent(presetPath, foreign);
  window().queueMenuChoice(7);
  click(presets::kProgramMenuTag);
  window().queueFileDialogAnswer({presetPath});
  click(presets::kLoadPresetTag, kRButton);
  for (int i = 0; i < N(); ++i) EXPECT_EQ(fx->programStore()->value(7, i), reversed(four[i])) << i;

  const std::string bankPath = joinPath(folder.path(), "bank.jyb");
  window().queueFileDialogAnswer({bankPath});
  click(presets::kSaveBankTag);
  const Bytes before = storeBytes();
  window().queueFileDialogAnswer({bankPath});
  click(presets::kLoadBankTag, kRButton);
  EXPECT_EQ(window().fileDialogRequests().back().title, "Load bank (endian-reversed)");
  const records::Layout l = layout();
  for (int k = 0; k < P(); ++k)
    for (int i = 0; i < N(); ++i)
      ASSERT_EQ(fx->programStore()->value(k, i),
                reversed(records::readFloat(before.data() + l.entryBytes() * k + 24 + 4 * i)))
          << k << " " << i;
  editor->close();
}

TEST_P(PresetStripTest, FilesOfAnotherProductKindOrLengthAreIgnored) {
  open();
  Bytes bank(layout().bankRecordBytes(), 0);
  editor->writeBank(bank.data());
  Bytes preset(layout().presetRecordBytes(), 0);
  editor->writePreset(preset.data());
  const ProductConstants& other =
      presettest::allProducts()[c().uniqueId == presettest::allProducts()[0].uniqueId];
  const records::Layout otherLayout{other.numParams, other.numPrograms};
  Bytes otherBank(otherLayout.bankRecordBytes(), 0);
  records::writeInt32(otherBank.data(), other.uniqueId);
  otherBank[4] = records::kBankType;
  struct Case {
    const char* what;
    int32_t button;
    Bytes content;  // empty: no file at all
  };
  Bytes otherId = bank;
  records::writeInt32(otherId.data(), fourCharCode('Z', 'Z', 'Z', 'Z'));
  Bytes longer = bank;
  longer.push_back(0);
  Bytes shorter(bank.begin(), bank.end() - 1);
  Bytes longerPreset = preset;
  longerPreset.push_back(0x21);
  const Case cases[] = {
      {"bank of another product's identifier", presets::kLoadBankTag, otherId},
      {"bank one byte longer", presets::kLoadBankTag, longer},
      {"bank one byte shorter", presets::kLoadBankTag, shorter},
      {"another product's bank", presets::kLoadBankTag, otherBank},
      {"a preset given as a bank", presets::kLoadBankTag, preset},
      {"a bank given as a preset", presets::kLoadPresetTag, bank},
      {"preset one byte longer", presets::kLoadPresetTag, longerPreset},
      {"no file", presets::kLoadPresetTag, {}},
  };
  for (int k = 0; k < P(); ++k) fx->programStore()->setName(k, "kept");
  const Bytes store = storeBytes();
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.what);
    const std::string path = joinPath(folder.path(), "file");
    fs::remove(fs::u8path(path));
    if (!cs.content.empty()) testsupport::writeFileContent(path, cs.content);
    fx->calls.clear();
    window().queueFileDialogAnswer({path});
    click(cs.button);
    EXPECT_EQ(storeBytes(), store);
    EXPECT_TRUE(fx->calls.empty());
  }
  editor->close();
}

TEST_P(PresetStripTest, ReadOnlyPresetFileLoads) {
  open();
  const std::string path = joinPath(folder.path(), "locked.jyx");
  fx->selectProgram(9);
  window().queueFileDialogAnswer({path});
  click(presets::kSavePresetTag);
  fs::permissions(fs::u8path(path), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  window().queueMenuChoice(1);
  click(presets::kProgramMenuTag);
  window().queueFileDialogAnswer({path});
  click(presets::kLoadPresetTag);
  EXPECT_EQ(entryBytes(1), entryBytes(9));
  fs::permissions(fs::u8path(path), fs::perms::owner_all);
  editor->close();
}

// Folder and file names of any characters, and folders longer than 256
// bytes, are used and remembered whole.
TEST_P(PresetStripTest, FilesTravelThroughFoldersOfAnyNameAndLength) {
  std::string snowmen;
  for (int i = 0; i < 60; ++i) snowmen += "\xE2\x98\x83";
  struct Case {
    std::string subfolder, name;
  };
  const Case cases[] = {
      {"Pr\xC3\xA9r\xC3\xA9glages \xE2\x98\x83",
       "\xC3\x9Cn\xC3\xAF"
       "c\xC3\xB8"
       "d\xC3\xA9.jyb"},
      {snowmen + platform::kPathSeparator + snowmen, "deep.jyb"},
  };
  open();
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    const std::string dir = joinPath(folder.path(), cs.subfolder);
    ASSERT_TRUE(fs::create_directories(fs::u8path(dir)));
    ASSERT_GT(dir.size() + 1, cs.subfolder.size());
    const std::string path = joinPath(dir, cs.name);
    window().queueFileDialogAnswer({path});
    click(presets::kSaveBankTag);
    const Bytes saved = storeBytes();
    EXPECT_EQ(testsupport::fileContent(path).size(), layout().bankRecordBytes());
    EXPECT_EQ(editor->presetDirectory(), dir + platform::kPathSeparator);
    EXPECT_EQ(editor->bankFileName(), cs.name);
    EXPECT_EQ(platform::currentDirectory(), dir + platform::kPathSeparator);
    fx->programStore()->setName(2, "changed");
    window().queueFileDialogAnswer({path});
    click(presets::kLoadBankTag);
    EXPECT_EQ(storeBytes(), saved);
  }
  editor->close();
}

// A save that fails (its folder is gone, a folder stands at its name) leaves
// everything as it was: the remembered folder and names, the current
// directory, and what is stored of them when the editor goes.
TEST_P(PresetStripTest, FailedSaveRemembersNothing) {
  open();
  const std::string dir = folder.path() + platform::kPathSeparator;
  window().queueFileDialogAnswer({joinPath(folder.path(), "p.jyx")});
  click(presets::kSavePresetTag);
  window().queueFileDialogAnswer({joinPath(folder.path(), "b.jyb")});
  click(presets::kSaveBankTag);
  testsupport::TempFolder other;
  const std::string standing = joinPath(other.path(), "standing.jyx");
  ASSERT_TRUE(fs::create_directory(fs::u8path(standing)));
  testsupport::writeFileContent(joinPath(standing, "inside"), {1});
  for (const std::string& path : {joinPath(joinPath(other.path(), "gone"), "lost.jyx"), standing}) {
    for (int32_t button : {presets::kSavePresetTag, presets::kSaveBankTag}) {
      SCOPED_TRACE(path + (button == presets::kSavePresetTag ? " preset" : " bank"));
      window().queueFileDialogAnswer({path});
      click(button);
      EXPECT_EQ(editor->presetDirectory(), dir);
      EXPECT_EQ(editor->presetFileName(), "p.jyx");
      EXPECT_EQ(editor->bankFileName(), "b.jyb");
      EXPECT_EQ(platform::currentDirectory(), dir);
    }
  }
  EXPECT_EQ(testsupport::fileContent(joinPath(standing, "inside")), Bytes{1});
  EXPECT_FALSE(fs::exists(fs::u8path(joinPath(other.path(), "gone"))));
  editor->close();
  fx.reset();
  const presets::RecentPaths stored = presets::loadCurrentPaths(c().stem);
  EXPECT_EQ(stored.directory, dir);
  EXPECT_EQ(stored.presetFileName, "p.jyx");
  EXPECT_EQ(stored.bankFileName, "b.jyb");
}

// A bare name is a file in the current folder.
TEST_P(PresetStripTest, BareNameIsAFileInTheCurrentFolder) {
  open();
  platform::setCurrentDirectory(folder.path());
  window().queueFileDialogAnswer({"bare"});
  click(presets::kSavePresetTag);
  EXPECT_EQ(testsupport::fileContent(joinPath(folder.path(), "bare.jyx")).size(),
            layout().presetRecordBytes());
  EXPECT_EQ(editor->presetDirectory(), folder.path() + platform::kPathSeparator);
  EXPECT_EQ(editor->presetFileName(), "bare.jyx");
  editor->close();
}

TEST_P(PresetStripTest, LastUsedFolderAndNamesAreStoredWhenTheEditorGoes) {
  open();
  window().queueFileDialogAnswer({joinPath(folder.path(), "p.jyx")});
  click(presets::kSavePresetTag);
  window().queueFileDialogAnswer({joinPath(folder.path(), "b.jyb")});
  click(presets::kSaveBankTag);
  editor->close();
  fx.reset();
  const presets::RecentPaths stored = presets::loadCurrentPaths(c().stem);
  EXPECT_EQ(stored.directory, folder.path() + platform::kPathSeparator);
  EXPECT_EQ(stored.presetFileName, "p.jyx");
  EXPECT_EQ(stored.bankFileName, "b.jyb");
}

INSTANTIATE_TEST_SUITE_P(AllProducts, PresetStripTest, ::testing::ValuesIn(presettest::allProducts()),
                         [](const auto& info) { return std::string(info.param.product); });

}  // namespace
