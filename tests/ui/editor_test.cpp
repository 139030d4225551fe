// The editor binding on a real effect: the rectangle, gestures to the host,
// knob mode per editor, idle pacing, keys and the wheel from the host, timers,
// file dialogs, and what opening and closing leave behind.
#include <gtest/gtest.h>

#include <memory>

#include "host/audioeffectx.h"
#include "tests/ui/ui_test_support.h"

namespace {

using namespace uitest;
using Log = std::vector<std::string>;

Log gHostLog;
std::function<void()> gOnHostIdle;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterBeginEdit: gHostLog.push_back("begin " + std::to_string(index)); return 1;
    case audioMasterEndEdit: gHostLog.push_back("end " + std::to_string(index)); return 1;
    case audioMasterIdle:
      gHostLog.push_back("idle");
      if (gOnHostIdle) gOnHostIdle();
      return 1;
    default: return 0;
  }
}

class Effect : public AudioEffectX {
 public:
  explicit Effect(VstInt32 params = 42) : AudioEffectX(recordingHost, 1, params) {}
  void processReplacing(float**, float**, VstInt32) override {}
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0) {
    return cEffect.dispatcher(&cEffect, opcode, index, value, ptr, opt);
  }
};

// An editor with one knob, one text field and one menu.
class Editor : public AEffGUIEditor, public CControlListener {
 public:
  explicit Editor(AudioEffect* fx) : AEffGUIEditor(fx) { rect = ERect{0, 0, 100, 200}; }

  bool open(void* parent) override {
    AEffEditor::open(parent);
    frame = new CFrame(CRect(0, 0, 200, 100), parent, this);
    knob = new CAnimKnob(CRect(10, 10, 50, 50), this, 4, 101, 40, nullptr);
    field = new CTextEdit(CRect(60, 10, 150, 26), this, 58, "");
    frame->addView(knob);
    frame->addView(field);
    return true;
  }
  void close() override {
    knob = nullptr;
    field = nullptr;
    AEffGUIEditor::close();
  }
  void idle() override {
    ++idles;
    AEffGUIEditor::idle();
  }
  void valueChanged(CControl* control) override {
    changes.push_back({control->getTag(), control->getValue()});
  }

  OffscreenWindow& window() { return *OffscreenWindow::of(frame); }

  CAnimKnob* knob = nullptr;
  CTextEdit* field = nullptr;
  int idles = 0;
  std::vector<Change> changes;
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gHostLog.clear();
    gOnHostIdle = nullptr;
    objects = liveObjectCount();
    windows = livePlatformWindowCount();
    effect = std::make_unique<Effect>();
    editor = new Editor(effect.get());
  }
  void TearDown() override {
    gOnHostIdle = nullptr;
    effect.reset();  // deletes the editor, closing a frame left open
    EXPECT_EQ(liveObjectCount(), objects);
    EXPECT_EQ(livePlatformWindowCount(), windows);
  }
  long objects = 0;
  long windows = 0;
  std::unique_ptr<Effect> effect;
  Editor* editor = nullptr;
};

TEST_F(EditorTest, HandsOutItsRectangleAndOpensThroughTheHost) {
  EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
  ERect* r = nullptr;
  EXPECT_EQ(effect->dispatch(effEditGetRect, 0, 0, &r), 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->right, 200);
  EXPECT_EQ(r->bottom, 100);
  EXPECT_EQ(effect->dispatch(effEditOpen), 0) << "no parent: refused by the dispatcher";
  editor->open(nullptr);
  ASSERT_NE(editor->getFrame(), nullptr);
  effect->dispatch(effEditIdle);
  EXPECT_EQ(editor->window().presentCount(), 1);
  effect->dispatch(effEditClose);
  EXPECT_EQ(editor->getFrame(), nullptr);
}

// Gestures reach the host for its announced parameters only.
TEST_F(EditorTest, ForwardsGesturesOnlyForAnnouncedParameters) {
  editor->open(nullptr);
  for (int32_t index : {-1, 0, 41, 42, 57, 58, 71}) {
    editor->getFrame()->beginEdit(index);
    editor->getFrame()->endEdit(index);
  }
  EXPECT_EQ(gHostLog, (Log{"begin 0", "end 0", "begin 41", "end 41"}));
  gHostLog.clear();
  editor->window().click(CPoint(30, 10));
  EXPECT_EQ(gHostLog, (Log{"begin 4", "end 4"}));
  editor->close();
}

TEST_F(EditorTest, TwoOpenEditorsKeepTheirOwnKnobModeAndEvents) {
  Effect otherEffect;
  auto* other = new Editor(&otherEffect);
  editor->open(nullptr);
  other->open(nullptr);
  EXPECT_TRUE(editor->setKnobMode(kCircularMode));
  EXPECT_TRUE(other->AEffGUIEditor::setKnobMode(kLinearMode));
  EXPECT_EQ(editor->getFrame()->getKnobMode(), kCircularMode);
  EXPECT_EQ(other->getFrame()->getKnobMode(), kLinearMode);
  // A press at the top of each knob: circular takes the angle, linear waits for travel.
  editor->knob->setValue(0.1f);
  other->knob->setValue(0.1f);
  editor->idle();
  other->idle();
  editor->window().click(CPoint(30, 10));
  other->window().click(CPoint(30, 10));
  EXPECT_NEAR(editor->knob->getValue(), 0.5f, 1e-5);
  EXPECT_NEAR(other->knob->getValue(), 0.1f, 1e-5);
  EXPECT_EQ(editor->changes.size(), 1u);
  EXPECT_TRUE(other->changes.empty());
  other->close();
  editor->close();
}

TEST_F(EditorTest, IdleStuffRunsIdleAndTheHostsIdleAtMostOncePerTenMilliseconds) {
  editor->open(nullptr);
  gOnHostIdle = [this] { editor->idle(); };  // a host that calls back into the editor
  editor->doIdleStuff();
  EXPECT_EQ(editor->idles, 2) << "once itself, once from the host, which finds it busy";
  EXPECT_EQ(gHostLog, (Log{"idle"}));
  editor->doIdleStuff();
  editor->window().advanceTime(9);
  editor->doIdleStuff();
  EXPECT_EQ(gHostLog.size(), 1u);
  editor->window().advanceTime(1);
  editor->doIdleStuff();
  EXPECT_EQ(gHostLog.size(), 2u);
  editor->close();
}

TEST_F(EditorTest, KeysFromTheHostReachTheFieldBeingEdited) {
  editor->open(nullptr);
  EXPECT_EQ(effect->dispatch(effEditKeyDown, 'a'), 0) << "nothing edits: the host keeps the key";
  editor->window().click(CPoint(100, 15));
  ASSERT_TRUE(editor->field->isEditing());
  for (char c : std::string("-3.5")) EXPECT_EQ(effect->dispatch(effEditKeyDown, c), 1);
  EXPECT_EQ(effect->dispatch(effEditKeyDown, 0, VKEY_BACK), 1);
  EXPECT_EQ(effect->dispatch(effEditKeyDown, 0, VKEY_RETURN), 1);
  EXPECT_STREQ(editor->field->getText(), "-3.");
  EXPECT_EQ(editor->changes, (std::vector<Change>{{58, 0.0f}}));
  editor->close();
}

TEST_F(EditorTest, TheHostsWheelGoesToTheViewUnderThePointer) {
  editor->open(nullptr);
  editor->knob->setWheelInc(0.05f);
  editor->knob->setValue(0.5f);
  editor->window().setPointer(CPoint(30, 30));
  EXPECT_TRUE(editor->onWheel(2.0f));
  EXPECT_NEAR(editor->knob->getValue(), 0.6f, 1e-6);
  editor->window().setPointer(CPoint(190, 90));
  EXPECT_FALSE(editor->onWheel(1.0f));
  editor->close();
}

TEST_F(EditorTest, DrawPaintsAtOnce) {
  editor->open(nullptr);
  editor->draw(nullptr);
  EXPECT_EQ(editor->getFrame()->getPaintPassCount(), 1u);
  EXPECT_EQ(editor->window().presentCount(), 1);
  editor->close();
}

// ---- timers ----

struct TimerLog {
  Editor* editor = nullptr;
  int calls = 0;
  bool closeOnCall = false;
};

void countAndIdle(void* user, TimerId) {
  auto* log = static_cast<TimerLog*>(user);
  ++log->calls;
  if (log->closeOnCall)
    log->editor->close();
  else
    log->editor->idle();
}

TEST_F(EditorTest, ATimerRunsOnThePumpAndIsKilledByItsOwnIdentifierOnly) {
  editor->open(nullptr);
  IPlatformWindow* w = editor->getFrame()->getPlatformWindow();
  TimerLog log{editor};
  const TimerId id = w->setTimer(0, 50, countAndIdle, &log);
  ASSERT_NE(id, 0u);
  editor->idle();
  EXPECT_EQ(log.calls, 0);
  editor->window().advanceTime(49);
  editor->idle();
  EXPECT_EQ(log.calls, 0);
  editor->window().advanceTime(1);
  editor->idle();
  EXPECT_EQ(log.calls, 1) << "50 ms passed";
  editor->window().advanceTime(500);
  editor->idle();
  EXPECT_EQ(log.calls, 2) << "once per pump, never catching up";
  EXPECT_FALSE(w->killTimer(0)) << "0 was asked for, not given";
  EXPECT_FALSE(w->killTimer(id + 1));
  editor->window().advanceTime(50);
  editor->idle();
  EXPECT_EQ(log.calls, 3);
  EXPECT_TRUE(w->killTimer(id));
  editor->window().advanceTime(50);
  editor->idle();
  EXPECT_EQ(log.calls, 3);
  EXPECT_EQ(editor->window().timerCount(), 0u);
  // A timer asked for under its own identifier keeps it.
  EXPECT_EQ(w->setTimer(7, 50, countAndIdle, &log), 7u);
  EXPECT_TRUE(w->killTimer(7));
  editor->close();
}

TEST_F(EditorTest, TimersDieWithTheWindowAndNoneReachesAClosedEditor) {
  TimerLog log{editor};
  editor->open(nullptr);
  editor->getFrame()->getPlatformWindow()->setTimer(0, 50, countAndIdle, &log);
  editor->close();
  EXPECT_EQ(livePlatformWindowCount(), windows);
  editor->idle();  // a host idle after the close: nothing runs
  EXPECT_EQ(log.calls, 0);
  // A timer whose call closes the editor.
  editor->open(nullptr);
  log.closeOnCall = true;
  editor->getFrame()->getPlatformWindow()->setTimer(0, 50, countAndIdle, &log);
  editor->getFrame()->getPlatformWindow()->setTimer(0, 50, countAndIdle, &log);
  editor->window().advanceTime(60);
  editor->idle();
  EXPECT_EQ(log.calls, 1) << "the second timer died with the window";
  EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(EditorTest, OpenAndCloseLeaveNothingBehind) {
  for (int round = 0; round < 3; ++round) {
    editor->open(nullptr);
    editor->window().click(CPoint(100, 15));  // editing when closed
    editor->idle();
    editor->close();
    EXPECT_EQ(liveObjectCount(), objects) << round;
    EXPECT_EQ(livePlatformWindowCount(), windows) << round;
  }
  // Deleted while open: the frame goes with it.
  editor->open(nullptr);
  effect.reset();
  EXPECT_EQ(liveObjectCount(), objects);
}

// A control whose report closes the editor (a host closing the window from
// inside the listener): the press unwinds without touching what is gone.
TEST_F(EditorTest, ClosingFromInsideAControlsReportIsSafe) {
  class ClosingListener : public CControlListener {
   public:
    explicit ClosingListener(Editor* e) : editor(e) {}
    void valueChanged(CControl*) override { editor->close(); }
    Editor* editor;
  };
  ClosingListener closer(editor);
  editor->open(nullptr);
  editor->knob->setListener(&closer);
  OffscreenWindow& w = editor->window();
  CFrame* frame = editor->getFrame();
  frame->remember();  // keeps the frame object readable after its close
  w.drag(CPoint(30, 10), CPoint(30, 60));
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_EQ(frame->getNbViews(), 0);
  EXPECT_EQ(frame->getPlatformWindow(), nullptr);
  frame->idle();
  frame->forget();
}

// ---- file dialogs ----

TEST_F(EditorTest, FileSelectorsRunThroughTheWindowAndKeepTheIdleGoing) {
  EXPECT_EQ(CNewFileSelector::create(nullptr, CNewFileSelector::kSelectFile), nullptr);
  editor->open(nullptr);
  OffscreenWindow& w = editor->window();
  w.queueFileDialogAnswer({"/presets/Warm.jyx"});
  w.queueFileDialogCancel();
  w.queueFileDialogAnswer({"/presets/Bright"});
  w.queueFileDialogAnswer({"/presets/Dark.jyx", "/presets/Other.jyx"});

  CNewFileSelector* load = CNewFileSelector::create(editor->getFrame(), CNewFileSelector::kSelectFile);
  ASSERT_NE(load, nullptr);
  load->setTitle("Load preset (endian-reversed)");
  load->setInitialDirectory("/presets/");
  load->addFileExtension(CFileExtension("JYX Preset", "jyx"));
  load->setAllowMultiFileSelection(false);
  EXPECT_TRUE(load->runModal());
  ASSERT_EQ(load->getNumSelectedFiles(), 1);
  EXPECT_STREQ(load->getSelectedFile(0), "/presets/Warm.jyx");
  EXPECT_EQ(load->getSelectedFile(1), nullptr);
  EXPECT_FALSE(load->runModal()) << "cancelled";
  EXPECT_EQ(load->getNumSelectedFiles(), 0);
  load->forget();

  CNewFileSelector* save = CNewFileSelector::create(editor->getFrame(), CNewFileSelector::kSelectSaveFile);
  save->setTitle("Save bank");
  save->setDefaultSaveName("Session");
  save->setDefaultExtension(CFileExtension("JYX Bank", "jyb"));
  EXPECT_TRUE(save->runModal());
  EXPECT_STREQ(save->getSelectedFile(0), "/presets/Bright.jyb") << "the default extension is added";
  EXPECT_TRUE(save->runModal());
  EXPECT_EQ(save->getNumSelectedFiles(), 1) << "one file unless more are allowed";
  EXPECT_STREQ(save->getSelectedFile(0), "/presets/Dark.jyx");
  save->forget();

  ASSERT_EQ(w.fileDialogRequests().size(), 4u);
  const FileDialogRequest& first = w.fileDialogRequests()[0];
  EXPECT_EQ(first.kind, FileDialogRequest::Kind::OpenFile);
  EXPECT_EQ(first.title, "Load preset (endian-reversed)");
  EXPECT_EQ(first.initialDirectory, "/presets/");
  ASSERT_EQ(first.types.size(), 1u);
  EXPECT_EQ(first.types[0].description, "JYX Preset");
  EXPECT_EQ(first.types[0].extension, "jyx");
  const FileDialogRequest& third = w.fileDialogRequests()[2];
  EXPECT_EQ(third.kind, FileDialogRequest::Kind::SaveFile);
  EXPECT_EQ(third.defaultSaveName, "Session");
  EXPECT_EQ(third.defaultType, 0);
  EXPECT_GE(std::count(gHostLog.begin(), gHostLog.end(), "idle"), 1)
      << "the host's idle ran during the dialogs";
  editor->close();
}

}  // namespace
