// Shared pieces of the tests of the editors' own controls: a stub editor that
// records every call the controls make on it, a test skin of the editors'
// bitmap sizes, and an offscreen frame of the editor's size.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "tests/ui/ui_test_support.h"

namespace ctest {

using namespace jyxui;
using Log = std::vector<std::string>;

// Test bitmaps of the editors' sizes; every image of a strip has its own colour.
inline constexpr int kKnobStrip = 19008;        // 60 x 5050: 101 images of 50
inline constexpr int kDriveStrip = 19009;       // 1243 x 930: 101 images of 113 x 93, ten to a column
inline constexpr int kMeterStrip = 19003;       // 136 x 7070: 101 images of 70, scale mode 0
inline constexpr int kMeterScaleStrip = 19004;  // the same for scale mode 1
inline constexpr int kLampStrip = 19026;        // 21 x 126: 6 images of 21
inline constexpr int kGlyphStrip = 19021;       // 9 x 306: 18 glyphs of 17
inline constexpr int kButtonStrip = 19014;      // 36 x 80: 2 images of 40
inline constexpr int kSwitchStrip = 19005;      // 40 x 150: 3 images of 50
inline constexpr int kChannelStrip = 19016;     // 51 x 192: 4 images of 48
inline constexpr int kPagePicture = 19000;      // 450 x 460
// The needle meter's: a face of one colour (145 x 78), an overlay clear in
// its upper 26 rows and opaque below (146 x 41), a lamp strip of three
// images of 21 (over, held, off; a number of its own beside the clip lamp's).
inline constexpr int kNeedleFace = 19028;
inline constexpr const char* kNeedleOverlay = "bmp19029.png";
inline constexpr int kNeedleLampStrip = 19027;
inline constexpr CColor kFaceColor = MakeCColor(240, 220, 160, 255);
inline constexpr CColor kOverlayColor = MakeCColor(40, 44, 42, 255);

// Puts the test skin into the resource table (once per program).
void installTestSkin();

// A bitmap of the test skin; the caller holds one reference.
inline CBitmap* loadBitmap(int number) { return new CBitmap(CResourceDescription(number)); }

// A product editor that records what reaches it: reports ("change <tag>"),
// gestures ("begin <tag>", "end <tag>"), value entry ("entry <tag>") and typed
// values ("entered <tag> <text>"), in order.
class StubEditor : public CMyPresetSystemEditor {
 public:
  StubEditor() : CMyPresetSystemEditor(nullptr) {}

  void valueChanged(CControl* control) override {
    log.push_back("change " + std::to_string(control->getTag()));
    values.push_back(control->getValue());
    if (onChanged) onChanged(control);
  }
  void openValueEntry(int32_t tag) override { log.push_back("entry " + std::to_string(tag)); }
  void valueEntered(int32_t tag, const char* text) override {
    log.push_back("entered " + std::to_string(tag) + " " + text);
    if (onEntered) onEntered(tag, text);
  }
  int32_t getKnobMode() const override { return knobMode; }
  void beginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
  void endEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }

  VSTGUIEditorInterface* frameEditor() { return this; }
  // The log without the reports.
  Log gestures() const;
  int reports() const { return static_cast<int>(values.size()); }
  void clear() {
    log.clear();
    values.clear();
  }

  int32_t knobMode = kCircularMode;
  Log log;
  std::vector<float> values;  // the value of each report, at the time of the report
  std::function<void(CControl*)> onChanged;
  std::function<void(int32_t, const char*)> onEntered;
};

// An offscreen MyFrame of the second-generation editor's size, the stub as its
// editor and every control's listener, a recorder of what is drawn; nothing
// may be left alive after the frame closes.
class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  OffscreenWindow& window() { return *OffscreenWindow::of(frame); }
  template <typename V>
  V* add(V* view) {
    frame->addView(view);
    return view;
  }
  // Runs the frame's idle: one paint pass over what changed.
  void paint() { frame->idle(); }
  // The source point of the last image drawn for the view.
  CPoint lastSource(const CView* view) const;
  // The image index of the last drawing of the view (source y / image height).
  int lastImage(const CView* view, CCoord imageHeight) const;
  int drawingsOf(const CView* view) const { return static_cast<int>(recorder.bitmapsOf(view).size()); }
  // A press a second after the last one (never a double click), and the rest.
  void press(const CPoint& where, CButtonState buttons = kLButton);
  void move(const CPoint& where, CButtonState buttons = kLButton) { window().mouseMove(where, buttons); }
  void release(const CPoint& where, CButtonState buttons = kLButton) { window().mouseUp(where, buttons); }

  StubEditor editor;
  testkit::DrawRecorder recorder;
  MyFrame* frame = nullptr;
  long objectsBefore = 0;
};

}  // namespace ctest
