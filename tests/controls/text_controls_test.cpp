// The label, the readout and the field of typed value entry.
#include "host/audioeffectx.h"
#include "tests/controls/controls_test_support.h"

namespace {

using namespace ctest;

TEST_F(ControlsTest, LabelDrawsItsTextSmallBlackAndLeftAligned) {
  static const char kVersion[] = "v2.5.0";
  auto* label = add(new CLabel2(CRect(300, 45, 329, 55), kVersion));
  paint();
  const StringDrawing* text = recorder.lastStringOf(label);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text, "v2.5.0");
  EXPECT_EQ(text->rect, CRect(300, 45, 329, 55));
  EXPECT_EQ(text->fontName, "Arial");
  EXPECT_EQ(text->fontSize, 9);
  EXPECT_EQ(text->fontStyle, kNormalFace);
  EXPECT_EQ(text->color, MakeCColor(0, 0, 0, 255));
  EXPECT_EQ(text->align, kLeftText);
  EXPECT_TRUE(text->antialias);
  EXPECT_EQ(drawingsOf(label), 0) << "no background of its own";
  EXPECT_FALSE(label->isDirty());
}

TEST_F(ControlsTest, ReadoutShowsItsConverterOverThePagePicture) {
  CBitmap* page = loadBitmap(kPagePicture);
  auto* readout = add(new CBackDisplay(CRect(120, 428, 165, 438), page));
  page->forget();
  readout->setBackOffset(CPoint(120, 428));
  readout->setStringConvert(msStringConvert);
  readout->setValue(11.6f);
  paint();
  EXPECT_EQ(recorder.textsOf(readout), (std::vector<std::string>{"11.6ms"}));
  EXPECT_EQ(lastSource(readout), CPoint(120, 428));
  EXPECT_EQ(readout->getTag(), -1);
  EXPECT_EQ(readout->getListener(), nullptr);
  // A plain value beyond any parameter range is kept and shown.
  readout->setValue(3000.0f);
  paint();
  EXPECT_EQ(recorder.textsOf(readout).back(), "3.000s");
}

// ---------------------------------------------------------------- value entry

class ValueFieldTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    field = add(new CMyTextEdit(CRect(151, 281, 207, 298), &editor, 58, "", nullptr));
  }
  // What the editor does to open an entry for a knob.
  void openEntryFor(int32_t tag, const char* text) {
    field->setText(text);
    field->beginEdit();
    frame->setFocusView(field);
    field->activateForTag(tag);
  }
  CMyTextEdit* field = nullptr;
};

TEST_F(ValueFieldTest, TheTypedTextGoesToTheEditorForTheActivatedTag) {
  openEntryFor(4, "0.00");
  EXPECT_TRUE(field->isEditing());
  EXPECT_EQ(field->getTargetTag(), 4);
  EXPECT_EQ(frame->getFocusView(), field);
  window().pressKey(VKEY_BACK);
  window().pressKey(VKEY_BACK);
  window().pressKey(VKEY_BACK);
  window().pressKey(VKEY_BACK);
  window().type("-3");
  window().pressKey(VKEY_RETURN);
  EXPECT_FALSE(field->isEditing());
  EXPECT_EQ(field->getTargetTag(), -1);
  // One gesture, ended before the editor takes the text.
  EXPECT_EQ(editor.log, (Log{"begin 58", "change 58", "end 58", "entered 4 -3"}));
}

TEST_F(ValueFieldTest, ActivationAloneStartsTheGestureAndTakesTheFocus) {
  field->setText("12.5");
  field->activateForTag(10);
  EXPECT_EQ(frame->getFocusView(), field);
  EXPECT_TRUE(field->isEditing());
  press(CPoint(20, 20));  // a click elsewhere ends the entry
  EXPECT_EQ(editor.log, (Log{"begin 58", "change 58", "end 58", "entered 10 12.5"}));
  EXPECT_EQ(field->getTargetTag(), -1);
}

TEST_F(ValueFieldTest, AFocusLossWithoutActivationReportsTagMinusOne) {
  frame->setFocusView(field);  // a click into the field, say
  frame->setFocusView(nullptr);
  EXPECT_EQ(editor.log, (Log{"change 58", "entered -1 "}));
  // A repeated focus loss reports again, for no tag.
  editor.clear();
  field->looseFocus();
  EXPECT_EQ(editor.log, (Log{"entered -1 "}));
}

// The editor takes the field out of its page as soon as the text arrives; the
// field is then alone and idle, and can serve the next entry.
TEST_F(ValueFieldTest, TheEditorMayTakeTheFieldAwayWhenTheTextArrives) {
  editor.onEntered = [&](int32_t, const char*) { frame->removeView(field, false); };
  openEntryFor(7, "1.25");
  window().pressKey(VKEY_RETURN);
  EXPECT_FALSE(field->isAttached());
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(editor.log, (Log{"begin 58", "change 58", "end 58", "entered 7 1.25"}));
  editor.clear();
  editor.onEntered = nullptr;
  frame->addView(field);  // the frame adopts the reference handed back
  openEntryFor(5, "50");
  window().pressKey(VKEY_ESCAPE);
  EXPECT_EQ(editor.log, (Log{"begin 58", "change 58", "end 58", "entered 5 50"}));
}

// ---------------------------------------------------------------- gestures at the host

std::vector<std::string> gHostLog;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterBeginEdit: gHostLog.push_back("begin " + std::to_string(index)); return 1;
    case audioMasterEndEdit: gHostLog.push_back("end " + std::to_string(index)); return 1;
    default: return 0;
  }
}

class HostEffect : public AudioEffectX {
 public:
  HostEffect() : AudioEffectX(recordingHost, 1, 42) {}
  void processReplacing(float**, float**, VstInt32) override {}
};

// The user-interface editor of the effect, which passes gestures to the host.
class HostEditor : public AEffGUIEditor {
 public:
  explicit HostEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}
};

// Gestures of the host's parameters reach it; the value field's (58) and the
// channel-mode button's (57) stay inside the plug-in.
TEST(ValueFieldAtTheHost, OnlyAnnouncedParametersShowTheirGestures) {
  installTestSkin();
  gHostLog.clear();
  HostEffect effect;
  auto* host = new HostEditor(&effect);  // the effect deletes its editor
  StubEditor listener;
  auto* frame = new MyFrame(CRect(0, 0, 450, 460), nullptr, host);
  auto* field = new CMyTextEdit(CRect(151, 281, 207, 298), &listener, 58, "", nullptr);
  CBitmap* strip = loadBitmap(kKnobStrip);
  auto* knob = new CAnimKnob2(CRect(46, 167, 106, 217), &listener, 5, 101, 50, strip);
  CBitmap* channels = loadBitmap(kChannelStrip);
  auto* channel = new CMyLRUDButton(CRect(326, 388, 377, 436), &listener, 57, channels);
  strip->forget();
  channels->forget();
  frame->addView(field);
  frame->addView(knob);
  frame->addView(channel);
  OffscreenWindow& window = *OffscreenWindow::of(frame);

  field->activateForTag(4);
  window.pressKey(VKEY_RETURN);
  window.drag(CPoint(76, 192), CPoint(76, 150));
  window.advanceTime(1000);
  window.drag(CPoint(351, 430), CPoint(330, 410));
  EXPECT_EQ(gHostLog, (std::vector<std::string>{"begin 5", "end 5"}));
  EXPECT_EQ(listener.gestures(), (Log{"entered 4 "}));

  frame->close();
}

}  // namespace
