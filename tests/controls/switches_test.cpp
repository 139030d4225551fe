// The buttons' and switches' drawing laws and mouse rules, and the two
// invisible click areas.
#include <utility>

#include "tests/controls/controls_test_support.h"

namespace {

using namespace ctest;

// ---------------------------------------------------------------- on/off button

TEST_F(ControlsTest, OnOffButtonShowsOnFromHalfAndTogglesAsOneGesture) {
  CBitmap* strip = loadBitmap(kButtonStrip);
  auto* button = add(new CMyOnOffButton(CRect(42, 398, 78, 438), &editor, 0, strip));
  strip->forget();
  struct Case {
    float start;
    CButtonState buttons;
    float value;  // after the click
    int image;
    Log log;
  };
  const Case cases[] = {
      {0.0f, kLButton, 1.0f, 1, {"begin 0", "change 0", "end 0"}},
      {1.0f, kLButton, 0.0f, 0, {"begin 0", "change 0", "end 0"}},
      {0.5f, kLButton, 0.0f, 0, {"begin 0", "change 0", "end 0"}},
      {0.49f, kLButton, 1.0f, 1, {"begin 0", "change 0", "end 0"}},
      {1.0f, kRButton, 1.0f, 1, {}},
      {0.49f, kRButton, 0.49f, 0, {}},
      {0.5f, kRButton, 0.5f, 1, {}},
  };
  for (const Case& c : cases) {
    button->setValue(c.start);
    paint();
    editor.clear();
    press(CPoint(60, 420), c.buttons);
    release(CPoint(60, 420), c.buttons);
    paint();
    EXPECT_EQ(button->getValue(), c.value) << c.start;
    EXPECT_EQ(lastSource(button), CPoint(0, c.image * 40)) << c.start;
    EXPECT_EQ(editor.log, c.log) << c.start;
  }
}

// ---------------------------------------------------------------- vertical switch

class VerticalSwitchTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    CBitmap* strip = loadBitmap(kSwitchStrip);
    meters = add(new CMyVerticalSwitch(CRect(206, 28, 246, 78), &editor, 21, 3, 50, 3, strip));
    strip->forget();
  }
  CMyVerticalSwitch* meters = nullptr;
};

// The effect reads the switch as int(3 v): the images change exactly where
// the effect's meter source does.
TEST_F(VerticalSwitchTest, ImagesChangeAtTheEffectsBoundaries) {
  const float third = 1.0f / 3, twoThirds = 2.0f / 3;
  struct Case {
    float value;
    int image;
  };
  const Case cases[] = {
      {0.0f, 0},      {0.34f, 1},
      {0.67f, 2},     {1.0f, 2},
      {0.5f, 1},      {std::nextafter(third, 0.0f), 0},
      {third, 1},     {std::nextafter(twoThirds, 0.0f), 1},
      {twoThirds, 2}, {1.5f, 2},
      {-0.2f, 0},
  };
  for (const Case& c : cases) {
    meters->setValue(c.value);
    paint();
    EXPECT_EQ(lastImage(meters, 50), c.image) << c.value;
    if (c.value >= 0 && c.value <= 1) {
      EXPECT_EQ(std::min(static_cast<int>(3 * c.value), 2), c.image) << "the effect's reading of " << c.value;
    }
  }
}

TEST_F(VerticalSwitchTest, APressPicksTheBandUnderThePointer) {
  struct Case {
    double y;
    float value;
    int image;
  };
  const Case cases[] = {{30, 0.0f, 0}, {44.6, 0.0f, 0}, {45, 0.5f, 1}, {61.7, 1.0f, 2}, {77, 1.0f, 2}};
  for (const Case& c : cases) {
    meters->setValue(0.5f);
    paint();
    editor.clear();
    press(CPoint(220, c.y));
    release(CPoint(220, c.y));
    paint();
    EXPECT_EQ(meters->getValue(), c.value) << c.y;
    EXPECT_EQ(lastImage(meters, 50), c.image) << c.y;
    const Log reported = c.value != 0.5f ? Log{"begin 21", "change 21", "end 21"} : Log{"begin 21", "end 21"};
    EXPECT_EQ(editor.log, reported) << c.y;
  }
}

// ---------------------------------------------------------------- four-way button

class ChannelButtonTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    CBitmap* strip = loadBitmap(kChannelStrip);
    // 51 x 48: quarter widths of 12.75, quarter heights of 12, half height 24.
    button = add(new CMyLRUDButton(CRect(326, 388, 377, 436), &editor, 57, strip));
    strip->forget();
  }
  CMyLRUDButton* button = nullptr;
};

TEST_F(ChannelButtonTest, ImagesUpLeftRightDown) {
  const struct {
    float value;
    int image;
  } cases[] = {{0.0f, 0}, {0.24f, 0}, {0.25f, 1}, {0.33f, 1}, {0.5f, 2}, {0.67f, 2}, {0.75f, 3}, {1.0f, 3}};
  for (const auto& c : cases) {
    button->setValue(c.value);
    paint();
    EXPECT_EQ(lastImage(button, 48), c.image) << c.value;
  }
}

// Zones as closed intervals, tested left, right, down, up; a point in none
// keeps the value from before the press (here 0.5).
TEST_F(ChannelButtonTest, APressTakesTheZoneUnderThePointer) {
  struct Case {
    CPoint at;
    float value;
  };
  const Case cases[] = {
      {CPoint(351.5, 430), 1.0f},    // the middle of the lower half: down
      {CPoint(351.5, 392), 0.0f},    // the upper half: up
      {CPoint(326, 400), 0.33f},     // left zone, its corners
      {CPoint(338.75, 424), 0.33f},  // (also inside the down zone: left comes first)
      {CPoint(338.75, 412), 0.33f},  // (and the up zone)
      {CPoint(364.25, 400), 0.67f},  // right zone, its corners
      {CPoint(376.5, 424), 0.67f},
      {CPoint(351.5, 412), 1.0f},  // between down and up: down comes first
      {CPoint(351.5, 411.9), 0.0f},
      {CPoint(338.75, 399.9), 0.0f},  // above the left zone, at the up zone's
                                      // edge
      {CPoint(330, 390), 0.5f},       // the corners belong to no zone
      {CPoint(330, 430), 0.5f},
      {CPoint(372, 399.9), 0.5f},
      {CPoint(338.7, 424.1), 0.5f},
  };
  for (const Case& c : cases) {
    button->setValue(0.5f);
    paint();
    editor.clear();
    press(c.at);
    EXPECT_EQ(button->getValue(), c.value) << c.at.x << "," << c.at.y;
    release(c.at);
    const Log expected = c.value != 0.5f ? Log{"begin 57", "change 57", "end 57"} : Log{"begin 57", "end 57"};
    EXPECT_EQ(editor.log, expected) << c.at.x << "," << c.at.y;
  }
}

TEST_F(ChannelButtonTest, ADragReportsEachZoneChangeOnceAndOutsideRestoresThePress) {
  button->setValue(0.0f);
  paint();
  editor.clear();
  press(CPoint(351.5, 430));                    // down
  move(CPoint(351.5, 432));                     // still down
  move(CPoint(330, 410));                       // left
  move(CPoint(331, 411));                       // still left
  move(CPoint(370, 410));                       // right
  move(CPoint(500, 300));                       // outside: back to the value before the press
  move(CPoint(510, 300));                       // still outside
  move(CPoint(351.5, 430), kLButton | kShift);  // modifiers change nothing
  release(CPoint(351.5, 430));
  EXPECT_EQ(editor.log,
            (Log{"begin 57", "change 57", "change 57", "change 57", "change 57", "change 57", "end 57"}));
  EXPECT_EQ(editor.values, (std::vector<float>{1.0f, 0.33f, 0.67f, 0.0f, 1.0f}));
  // Hovering afterwards changes nothing.
  editor.clear();
  move(CPoint(330, 410), 0);
  EXPECT_TRUE(editor.log.empty());
  EXPECT_EQ(button->getValue(), 1.0f);
  // Nor does another button.
  press(CPoint(330, 410), kRButton);
  release(CPoint(330, 410), kRButton);
  EXPECT_TRUE(editor.log.empty());
}

// ---------------------------------------------------------------- invisible areas

TEST_F(ControlsTest, PageSwitchAlternatesBetweenOneAndZero) {
  auto* pageSwitch = add(new CViewContainerSwitch(CRect(78, 404, 247, 422), &editor, 52));
  struct Case {
    float start;
    CButtonState buttons;
    float value;
    Log log;
  };
  const Case cases[] = {
      {0.0f, kLButton, 1.0f, {"change 52"}},
      {1.0f, kLButton, 0.0f, {"change 52"}},
      {0.5f, kLButton, 0.0f, {"change 52"}},
      {0.0f, kRButton, 0.0f, {}},
  };
  for (const Case& c : cases) {
    pageSwitch->setValue(c.start);
    editor.clear();
    press(CPoint(100, 410), c.buttons);
    release(CPoint(100, 410), c.buttons);
    EXPECT_EQ(pageSwitch->getValue(), c.value) << c.start;
    EXPECT_EQ(editor.log, c.log) << c.start;
  }
  // Two clicks in a row: 1, then 0.
  editor.clear();
  for (int i = 0; i < 2; ++i) {
    press(CPoint(100, 410));
    release(CPoint(100, 410));
  }
  EXPECT_EQ(editor.values, (std::vector<float>{1.0f, 0.0f}));
  paint();
  EXPECT_EQ(drawingsOf(pageSwitch), 0);
  EXPECT_FALSE(pageSwitch->isDirty());
}

// The editor answers a page switch by swapping the pages: the switch leaves
// the frame inside its own click, and the next click goes to the other page.
TEST_F(ControlsTest, APageSwitchMayTakeItsOwnPageAway) {
  auto* front = add(new CViewContainer(CRect(0, 0, 450, 444)));
  auto* back = new CViewContainer(CRect(0, 0, 450, 443));
  front->addView(new CViewContainerSwitch(CRect(78, 404, 247, 422), &editor, 52));
  back->addView(new CViewContainerSwitch(CRect(110, 36, 338, 134), &editor, 53));
  CViewContainer* shown = front;
  CViewContainer* hidden = back;
  editor.onChanged = [&](CControl*) {
    frame->addView(hidden);
    frame->removeView(shown, false);
    std::swap(shown, hidden);
  };
  press(CPoint(100, 410));
  release(CPoint(100, 410));
  EXPECT_EQ(shown, back);
  EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
  press(CPoint(200, 100));
  release(CPoint(200, 100));
  EXPECT_EQ(shown, front);
  EXPECT_EQ(editor.log, (Log{"change 52", "change 53"}));
  paint();
  hidden->forget();
}

TEST_F(ControlsTest, ClickAreaReportsItsUnchangedValue) {
  auto* area = add(new CClickRect(CRect(120, 426, 220, 440), &editor, 56));
  area->setValue(0.25f);
  press(CPoint(150, 430));
  release(CPoint(150, 430));
  press(CPoint(150, 430), kRButton);
  EXPECT_EQ(editor.log, (Log{"change 56"}));
  EXPECT_EQ(editor.values, (std::vector<float>{0.25f}));
  area->setListener(nullptr);
  press(CPoint(150, 430));
  EXPECT_EQ(editor.log.size(), 1u);
  paint();
  EXPECT_EQ(drawingsOf(area), 0);
}

// Copies of the display controls and click areas keep their class, state and
// bitmaps; the meter's copy holds its own reference to the scale strip.
TEST_F(ControlsTest, TypesAndCopiesOfTheOwnControls) {
  CBitmap* strip = loadBitmap(kMeterStrip);
  CBitmap* scale = loadBitmap(kMeterScaleStrip);
  CBitmap* lampStrip = loadBitmap(kLampStrip);
  CBitmap* glyphs = loadBitmap(kGlyphStrip);
  CControl* controls[] = {
      new CMovieMeter(CRect(0, 0, 136, 70), &editor, 25, 101, 70, strip, scale, CPoint(), 1),
      new CMovieLED(CRect(0, 0, 21, 21), &editor, 54, 6, 21, lampStrip, CPoint()),
      new CCounter(CRect(0, 0, 55, 16), &editor, 50, 15.32f, 1, 0, 0, 9, 17, glyphs),
      new CViewContainerSwitch(CRect(0, 0, 10, 10), &editor, 52),
      new CClickRect(CRect(0, 0, 10, 10), &editor, 56),
  };
  const char* names[] = {"CMovieMeter", "CMovieLED", "CCounter", "CViewContainerSwitch", "CClickRect"};
  const int scaleReferences = scale->getNbReference();
  for (int i = 0; i < 5; ++i) {
    CControl* c = controls[i];
    for (const char* name : {names[i], "CControl", "CView", "CBaseObject"})
      EXPECT_TRUE(c->isTypeOf(name)) << name;
    EXPECT_FALSE(c->isTypeOf(names[(i + 1) % 5])) << names[i];
    EXPECT_FALSE(c->isTypeOf(nullptr));
    c->setValue(0.75f);
    c->setMax(1.44f);
    auto* copy = dynamic_cast<CControl*>(c->newCopy());
    ASSERT_NE(copy, nullptr) << names[i];
    EXPECT_TRUE(copy->isTypeOf(names[i]));
    EXPECT_EQ(copy->getValue(), 0.75f);
    EXPECT_EQ(copy->getMax(), 1.44f);
    EXPECT_EQ(copy->getTag(), c->getTag());
    EXPECT_EQ(copy->getListener(), c->getListener());
    EXPECT_EQ(copy->getBackground(), c->getBackground());
    if (i == 0) {
      EXPECT_EQ(scale->getNbReference(), scaleReferences + 1);
    }
    copy->forget();
    c->forget();
  }
  EXPECT_EQ(scale->getNbReference(), 1) << "every meter let its scale strip go";
  for (CBitmap* b : {strip, scale, lampStrip, glyphs}) b->forget();
}

}  // namespace
