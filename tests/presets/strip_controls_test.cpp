// The preset strip's controls: what each mouse press reports to the listener,
// what the press answers, and which image of the film strip each state shows.
#include "presets/strip_controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "tests/ui/ui_test_support.h"

namespace {

using namespace uitest;

constexpr CCoord kImageHeight = 14;

// Reports as the listener sees them, with the image the control shows while
// the listener runs (a dialog opened from a load button paints meanwhile).
class PaintingListener : public CControlListener {
 public:
  void valueChanged(CControl* control) override {
    values.push_back(control->getValue());
    if (paintDuringReport) paintDuringReport();
  }
  std::vector<float> values;
  std::function<void()> paintDuringReport;
};

class StripControlsTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    strip = bitmapOf(stripPixels(31, static_cast<int>(kImageHeight), 5));
    listening.paintDuringReport = [this] {
      recorder.clear();
      frame->invalid();
      frame->updateScreen();
      imageDuringReport = shownImage();
    };
  }
  void TearDown() override {
    strip->forget();
    FrameTest::TearDown();
  }

  enum class Kind { Kick, DoubleKick, SaveLoad, Rocker };
  CControl* make(Kind kind) {
    const CRect r(40, 40, 71, 54);
    switch (kind) {
      case Kind::Kick:
        return add(new CPSKickButton(r, &listening, 74, kImageHeight, strip, CPoint(0, 0), false));
      case Kind::DoubleKick:
        return add(new CPSKickButton(r, &listening, 73, kImageHeight, strip, CPoint(0, 0), true));
      case Kind::SaveLoad: return add(new CSaveLoadButton(r, &listening, 63, kImageHeight, strip));
      case Kind::Rocker: return add(new CPSRockerSwitch(r, &listening, 60, kImageHeight, strip));
    }
    return nullptr;
  }
  // The image the control drew last, from the film strip's source point.
  int shownImage() const {
    const auto drawn = recorder.bitmapsOf(control);
    if (drawn.empty()) return -1;
    return static_cast<int>(drawn.back().source.y / kImageHeight);
  }
  int paintAndShow() {
    recorder.clear();
    frame->invalid();
    frame->idle();
    return shownImage();
  }

  CBitmap* strip = nullptr;
  CControl* control = nullptr;
  PaintingListener listening;
  std::optional<int> imageDuringReport;
};

const CPoint kLeftHalf(45, 47);
const CPoint kRightHalf(60, 47);

TEST_F(StripControlsTest, EachPressReportsWhatTheStripNeedsAndShowsItsImage) {
  struct Case {
    const char* what;
    Kind kind;
    CPoint where;
    CButtonState buttons;
    std::optional<float> reported;  // nothing: no report
    CMouseEventResult result;
    int imageWhilePressed;  // after the press (for the save/load button: during the report)
  };
  const CButtonState L = kLButton, R = kRButton, M = kMButton, DC = kDoubleClick;
  const Case cases[] = {
      {"kick: left click", Kind::Kick, kLeftHalf, L, 1.0f, kMouseEventHandled, 2},
      {"kick: Ctrl click is still a click", Kind::Kick, kLeftHalf, L | kControl, 1.0f, kMouseEventHandled, 2},
      {"kick: a double click counts as a click", Kind::Kick, kLeftHalf, L | DC, 1.0f, kMouseEventHandled, 2},
      {"kick: right click", Kind::Kick, kLeftHalf, R, std::nullopt,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 0},
      {"double kick: first click", Kind::DoubleKick, kLeftHalf, L, std::nullopt,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 0},
      {"double kick: double click", Kind::DoubleKick, kLeftHalf, L | DC, 1.0f, kMouseEventHandled, 2},
      {"double kick: Ctrl double click", Kind::DoubleKick, kLeftHalf, L | DC | kControl, 0.5f,
       kMouseEventHandled, 2},
      {"double kick: right double click", Kind::DoubleKick, kLeftHalf, R | DC, std::nullopt,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 0},
      {"save/load: left click", Kind::SaveLoad, kLeftHalf, L, 1.0f,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 2},
      {"save/load: right click", Kind::SaveLoad, kLeftHalf, R, 0.5f,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 2},
      {"save/load: right click with Shift", Kind::SaveLoad, kLeftHalf, R | kShift, 1.0f,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 2},
      {"save/load: right click with Ctrl", Kind::SaveLoad, kLeftHalf, R | kControl, 1.0f,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 2},
      {"save/load: quick second right click", Kind::SaveLoad, kLeftHalf, R | DC, 0.5f,
       kMouseDownEventHandledButDontNeedMovedOrUpEvents, 2},
      {"save/load: middle button", Kind::SaveLoad, kLeftHalf, M, std::nullopt, kMouseEventNotHandled, 0},
      {"rocker: left half", Kind::Rocker, kLeftHalf, L, -1.0f, kMouseEventHandled, 3},
      {"rocker: right half", Kind::Rocker, kRightHalf, L, 1.0f, kMouseEventHandled, 4},
      {"rocker: left half with Ctrl", Kind::Rocker, kLeftHalf, L | kControl, -1.0f, kMouseEventHandled, 3},
      {"rocker: right button", Kind::Rocker, kRightHalf, R, std::nullopt, kMouseEventNotHandled, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    control = make(c.kind);
    listening.values.clear();
    imageDuringReport.reset();
    CPoint where = c.where;
    EXPECT_EQ(control->onMouseDown(where, c.buttons), c.result);
    if (c.reported) {
      ASSERT_EQ(listening.values.size(), 1u);
      EXPECT_EQ(listening.values[0], *c.reported);
    } else {
      EXPECT_TRUE(listening.values.empty());
    }
    if (c.kind == Kind::SaveLoad) {
      // Pressed only while its report runs.
      if (c.reported) {
        EXPECT_EQ(imageDuringReport, c.imageWhilePressed);
      }
      EXPECT_EQ(control->getValue(), 0.0f);
      EXPECT_EQ(paintAndShow(), 0);
    } else {
      EXPECT_EQ(paintAndShow(), c.imageWhilePressed);
    }
    if (c.result == kMouseEventHandled) {
      EXPECT_EQ(control->onMouseUp(where, c.buttons & ~kMouseButtons), kMouseEventHandled);
      EXPECT_EQ(listening.values.size(), 1u) << "the release reports nothing";
      EXPECT_EQ(control->getValue(), 0.0f);
      EXPECT_EQ(paintAndShow(), 0);
    }
    frame->removeView(control);
  }
}

TEST_F(StripControlsTest, ASaveLoadButtonWithoutListenerLeavesThePressAlone) {
  control = add(new CSaveLoadButton(CRect(40, 40, 71, 54), nullptr, 63, kImageHeight, strip));
  CPoint where = kLeftHalf;
  EXPECT_EQ(control->onMouseDown(where, kLButton), kMouseEventNotHandled);
}

TEST_F(StripControlsTest, ButtonsShowTheHoverImageAndKeepItThroughAPress) {
  for (Kind kind : {Kind::Kick, Kind::SaveLoad}) {
    SCOPED_TRACE(kind == Kind::Kick ? "kick" : "save/load");
    control = make(kind);
    EXPECT_EQ(paintAndShow(), 0);
    window().mouseMove(kLeftHalf);
    EXPECT_EQ(paintAndShow(), 1);
    window().mouseDown(kLeftHalf);
    if (kind == Kind::Kick) {
      EXPECT_EQ(paintAndShow(), 2);
    }
    window().mouseMove(CPoint(120, 120), kLButton);  // dragged away while pressed
    window().mouseUp(CPoint(120, 120));
    window().mouseMove(kLeftHalf);
    EXPECT_EQ(paintAndShow(), 1);
    window().mouseMove(CPoint(120, 120));
    EXPECT_EQ(paintAndShow(), 0);
    EXPECT_EQ(listening.values.size(), 1u) << "a drag while pressed reports nothing";
    listening.values.clear();
    frame->removeView(control);
  }
}

TEST_F(StripControlsTest, RockerShowsTheHalfUnderThePointerAndKeepsThePressedHalf) {
  control = make(Kind::Rocker);
  auto* rocker = static_cast<CPSRockerSwitch*>(control);
  window().mouseMove(kLeftHalf);
  EXPECT_EQ(paintAndShow(), 1);
  window().mouseMove(kRightHalf);
  EXPECT_EQ(rocker->getHoverSide(), 1);
  EXPECT_EQ(paintAndShow(), 2);
  window().mouseDown(kRightHalf);
  EXPECT_EQ(paintAndShow(), 4);
  // Across to the left half with the button held: neither hover nor value move.
  window().mouseMove(kLeftHalf, kLButton);
  EXPECT_EQ(rocker->getHoverSide(), 1);
  EXPECT_EQ(paintAndShow(), 4);
  window().mouseUp(kLeftHalf);
  EXPECT_EQ(paintAndShow(), 2);
  window().mouseMove(kLeftHalf);
  EXPECT_EQ(paintAndShow(), 1);
  window().mouseLeave();
  EXPECT_EQ(rocker->getHoverSide(), 0);
  EXPECT_EQ(paintAndShow(), 0);
  EXPECT_EQ(listening.values, std::vector<float>{1.0f});
}

// The images come from the film strip at the button's own offset, and a
// control without a bitmap draws nothing.
TEST_F(StripControlsTest, ButtonsDrawFromTheirOffsetIntoTheirRectangle) {
  control = add(
      new CPSKickButton(CRect(10, 20, 22, 34), &listening, 75, kImageHeight, strip, CPoint(5, 14), false));
  window().mouseMove(CPoint(15, 25));
  paintAndShow();
  const auto drawn = recorder.bitmapsOf(control);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back().source, CPoint(5, 28)) << "hover image, below the offset";
  EXPECT_EQ(drawn.back().dest, (PixelRect{10, 20, 22, 34}));
  EXPECT_EQ(drawn.back().alpha, 1.0f);
  control = add(new CPSRockerSwitch(CRect(100, 20, 131, 34), &listening, 60, kImageHeight, nullptr));
  EXPECT_EQ(paintAndShow(), -1);
}

}  // namespace
