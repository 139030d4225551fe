// The editor layer: a product editor on it is deleted whole through any of its
// parts, and the controls reach its value-entry operations through their
// listener.
#include "tests/controls/controls_test_support.h"

namespace {

using namespace ctest;

class CountedEditor : public StubEditor {
 public:
  explicit CountedEditor(int& deleted) : deleted_(deleted) {}
  ~CountedEditor() override { ++deleted_; }

 private:
  int& deleted_;
};

TEST(EditorLayer, DeletingThroughAnyPartRunsTheWholeDestructor) {
  int deleted = 0;
  {
    AEffEditor* editor = new CountedEditor(deleted);
    delete editor;
  }
  {
    CControlListener* listener = new CountedEditor(deleted);
    delete listener;
  }
  {
    VSTGUIEditorInterface* frameSide = (new CountedEditor(deleted))->frameEditor();
    delete frameSide;
  }
  EXPECT_EQ(deleted, 3);
}

TEST_F(ControlsTest, TheFrameIsAPlainFrameOfTheEditor) {
  EXPECT_TRUE(frame->isTypeOf("CFrame"));
  EXPECT_EQ(frame->getEditor(), editor.frameEditor());
  editor.knobMode = kLinearMode;
  EXPECT_EQ(frame->getKnobMode(), kLinearMode);
  frame->beginEdit(3);
  frame->endEdit(3);
  EXPECT_EQ(editor.log, (Log{"begin 3", "end 3"}));
}

// A listener that is no editor gets the reports, and no value entry is asked
// of anyone.
TEST_F(ControlsTest, ControlsWithAPlainListenerSkipValueEntry) {
  uitest::LogListener plain;
  CBitmap* strip = loadBitmap(kKnobStrip);
  auto* knob = add(new CAnimKnob2(CRect(46, 167, 106, 217), &editor, 5, 101, 50, strip));
  strip->forget();
  knob->setListener(&plain);
  auto* field = add(new CMyTextEdit(CRect(151, 281, 207, 298), &plain, 58, "7", nullptr));
  knob->setValue(0.25f);
  press(CPoint(76, 192));
  release(CPoint(76, 192));
  window().mouseDown(CPoint(76, 192));  // a double click
  field->activateForTag(4);
  frame->setFocusView(nullptr);
  EXPECT_EQ(knob->getValue(), plain.changes.front().value);
  EXPECT_EQ(plain.changes.back().tag, 58);
  EXPECT_EQ(editor.gestures(), (Log{"begin 5", "end 5", "begin 5", "end 5", "begin 58", "end 58"}));
}

}  // namespace
