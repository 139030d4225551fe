// The library controls: values, knobs, readouts, buttons, switches, the option
// menu and the text field.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/ui/ui_test_support.h"
#include "ui/backend/popup_menu_model.h"

namespace {

using namespace uitest;
using Gestures = std::vector<std::string>;

// ---------------------------------------------------------------- values

TEST(ControlValue, IsStoredUnboundedAndOnlyBoundsLimitsIt) {
  struct Case {
    float min, max, value;
    float bounded;
  };
  const Case cases[] = {
      {0, 1, 0.5f, 0.5f},   {0, 1.44f, 2.17f, 1.44f}, {0, 1, 639.0f, 1.0f},
      {0, 1, -0.25f, 0.0f}, {-1, 1, -3.0f, -1.0f},    {0, 16000, 15999.5f, 15999.5f},
  };
  for (const Case& c : cases) {
    CControl control(CRect(0, 0, 10, 10));
    control.setMin(c.min);
    control.setMax(c.max);
    control.setValue(c.value);
    EXPECT_EQ(control.getValue(), c.value);
    control.bounds();
    EXPECT_EQ(control.getValue(), c.bounded);
  }
}

// ---------------------------------------------------------------- knobs

class KnobProbe : public CAnimKnob {
 public:
  using CAnimKnob::CAnimKnob;
  float at(CCoord x, CCoord y) {
    CPoint p(x, y);
    return valueFromPoint(p);
  }
};

// The minimum points down-left (225 degrees), the sweep runs 270 degrees
// clockwise to down-right; in the gap below, each half belongs to its end.
TEST(Knob, ValueFromPointFollowsTheAngleAndSplitsTheGap) {
  KnobProbe knob(CRect(100, 200, 160, 260), nullptr, 1, 101, 60, nullptr);
  struct Case {
    CCoord x, y;
    float value;
  };
  const Case cases[] = {
      {30, 0, 0.5f},    {0, 30, 1.0f / 6}, {60, 30, 5.0f / 6}, {20, 40, 0.0f},
      {40, 40, 1.0f},   {30, 60, 1.0f},    {31, 60, 1.0f},     {29, 60, 0.0f},
      {0, 0, 1.0f / 3}, {60, 0, 2.0f / 3}, {0, 60, 0.0f},      {60, 60, 1.0f},
  };
  for (const Case& c : cases) EXPECT_NEAR(knob.at(c.x, c.y), c.value, 1e-5) << c.x << "," << c.y;
  knob.setMin(-1);
  knob.setMax(1);
  EXPECT_NEAR(knob.at(30, 0), 0.0f, 1e-6);
  EXPECT_NEAR(knob.at(20, 40), -1.0f, 1e-6);
}

class KnobTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    knob = add(new KnobProbe(CRect(40, 40, 100, 100), &listener, 15, 51, 60, nullptr));
    knob->setDefaultValue(0.4f);
  }
  void press(const CPoint& p, CButtonState buttons = kLButton) {
    window().advanceTime(1000);
    window().mouseDown(p, buttons);
  }
  KnobProbe* knob = nullptr;
};

TEST_F(KnobTest, ControlClickReturnsToTheDefaultAsOneGestureWithoutADrag) {
  knob->setValue(0.9f);
  press(CPoint(70, 50), kLButton | kControl);
  window().mouseMove(CPoint(70, 10), kLButton | kControl);
  window().mouseUp(CPoint(70, 10), kLButton | kControl);
  EXPECT_EQ(knob->getValue(), 0.4f);
  EXPECT_EQ(listener.changes, (std::vector<Change>{{15, 0.4f}}));
  EXPECT_EQ(editor.gestures, (Gestures{"begin 15", "end 15"}));
  // At the default already (and drawn so): the gesture, but no report.
  frame->idle();
  listener.changes.clear();
  press(CPoint(70, 50), kLButton | kControl);
  EXPECT_TRUE(listener.changes.empty());
}

TEST_F(KnobTest, LinearDragsMoveByTravelWithFineStepsOnShift) {
  editor.knobMode = kLinearMode;
  struct Case {
    const char* what;
    CButtonState buttons;
    CPoint to;
    float start, end;
  };
  const Case cases[] = {
      {"300 px up", kLButton, CPoint(70, -230), 0.0f, 1.0f},
      {"150 px up", kLButton, CPoint(70, -80), 0.0f, 0.5f},
      {"100 px right", kLButton, CPoint(170, 70), 0.0f, 100.0f * 0.5f / 300.0f},
      {"with Shift 300 px up", kLButton | kShift, CPoint(70, -230), 0.0f, 0.2f},
      {"down stops at the minimum", kLButton, CPoint(70, 400), 0.5f, 0.0f},
  };
  for (const Case& c : cases) {
    knob->setValue(c.start);
    press(CPoint(70, 70), c.buttons);
    window().mouseMove(c.to, c.buttons);
    window().mouseUp(c.to, c.buttons);
    EXPECT_NEAR(knob->getValue(), c.end, 1e-5) << c.what;
  }
  EXPECT_EQ(editor.gestures.size(), 10u);
}

TEST_F(KnobTest, ShiftChangedMidDragKeepsTheValueAndChangesTheSlope) {
  editor.knobMode = kLinearMode;
  knob->setValue(0);
  press(CPoint(70, 70));
  window().mouseMove(CPoint(70, 10), kLButton);  // 60 px: 0.2
  EXPECT_NEAR(knob->getValue(), 0.2f, 1e-5);
  window().mouseMove(CPoint(70, 10), kLButton | kShift);
  EXPECT_NEAR(knob->getValue(), 0.2f, 1e-5);
  window().mouseMove(CPoint(70, -50), kLButton | kShift);  // 60 px more, fine
  EXPECT_NEAR(knob->getValue(), 0.24f, 1e-5);
  window().mouseUp(CPoint(70, -50), kLButton | kShift);
}

TEST_F(KnobTest, CircularDragsFollowTheAngleAndAltSwapsTheKind) {
  struct Case {
    int32_t mode;
    CButtonState buttons;
    float expected;
  };
  // A press at the top of the knob: 0.5 when circular; no travel when linear.
  const Case cases[] = {{kCircularMode, kLButton, 0.5f},
                        {kLinearMode, kLButton, 0.1f},
                        {kLinearMode, kLButton | kAlt, 0.5f},
                        {kCircularMode, kLButton | kAlt, 0.1f}};
  for (const Case& c : cases) {
    editor.knobMode = c.mode;
    knob->setValue(0.1f);
    press(CPoint(70, 40), c.buttons);
    window().mouseUp(CPoint(70, 40), c.buttons);
    EXPECT_NEAR(knob->getValue(), c.expected, 1e-5) << c.mode << " " << c.buttons;
  }
}

TEST_F(KnobTest, ACircularDragAcrossTheGapStaysAtItsEnd) {
  editor.knobMode = kCircularMode;
  press(CPoint(90, 90));  // down-right: the maximum
  EXPECT_NEAR(knob->getValue(), 1.0f, 1e-5);
  window().mouseMove(CPoint(50, 90), kLButton);  // across to down-left
  EXPECT_EQ(knob->getValue(), 1.0f);
  window().mouseMove(CPoint(40, 70), kLButton);  // left: 1/6, still more than half away
  EXPECT_EQ(knob->getValue(), 1.0f);
  window().mouseMove(CPoint(100, 70), kLButton);  // right: back within reach
  EXPECT_NEAR(knob->getValue(), 5.0f / 6, 1e-5);
  window().mouseUp(CPoint(100, 70), kLButton);
}

TEST_F(KnobTest, TheWheelStepsByTheIncrementAsOneGesturePerStep) {
  knob->setWheelInc(0.1f);
  knob->setValue(0.5f);
  window().wheel(CPoint(70, 70), 1.0f);
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
  window().wheel(CPoint(70, 70), -1.0f, kShift);
  EXPECT_NEAR(knob->getValue(), 0.59f, 1e-6);
  knob->setValue(1.0f);
  knob->setDirty(false);
  window().wheel(CPoint(70, 70), 3.0f);
  EXPECT_EQ(knob->getValue(), 1.0f);
  EXPECT_EQ(listener.changes.size(), 2u) << "at the maximum nothing is reported";
  EXPECT_EQ(editor.gestures, (Gestures{"begin 15", "end 15", "begin 15", "end 15"}));
}

TEST(AnimKnob, DrawsImageFloorOfValueTimesImagesLessOne) {
  struct Case {
    int images;
    float value;
    int image;
  };
  const Case cases[] = {{101, 0.0f, 0},   {101, 0.5f, 50}, {101, 0.999f, 99}, {101, 1.0f, 100},
                        {101, 1.5f, 100}, {101, -0.2f, 0}, {51, 0.5f, 25},    {51, 0.0399f, 1},
                        {3, NAN, 0},      {3, 1e30f, 2}};
  CBitmap* strip = bitmapOf(stripPixels(6, 5, 101));
  for (const Case& c : cases) {
    PixelBuffer target(20, 20);
    testkit::DrawRecorder recorder;
    CDrawContext context(target, &recorder);
    CAnimKnob knob(CRect(2, 3, 8, 8), nullptr, 1, c.images, 5, strip, CPoint(0, 1));
    knob.setValue(c.value);
    knob.draw(&context);
    ASSERT_EQ(recorder.bitmaps.size(), 1u);
    EXPECT_EQ(recorder.bitmaps[0].source, CPoint(0, 1 + 5 * c.image)) << c.images << " " << c.value;
    if (!std::isnan(c.value)) {
      EXPECT_FALSE(knob.isDirty());
    }
  }
  strip->forget();
}

// ---------------------------------------------------------------- readouts

void toMs(float v, char* text) { std::snprintf(text, 256, "%dms", static_cast<int>(v)); }
void tooLong(float, char* text) {
  std::memset(text, 'a', 254);
  std::strcpy(text + 254, "\xE2\x82\xAC");  // a character across the 255-byte bound
}

TEST(ParamDisplay, DrawsThePagePictureOrItsColoursThenTheText) {
  CBitmap* page = bitmapOf(gradientPixels(100, 100));
  struct Case {
    const char* what;
    bool bitmap;
    int32_t style;
    CParamDisplayValueToStringProc convert;
    float value;
    int blits, fills, frames;
    const char* text;  // null: none
  };
  const Case cases[] = {
      {"readout on the page", true, 0, toMs, 639.0f, 1, 0, 0, "639ms"},
      {"no converter", true, 0, nullptr, 0.5f, 1, 0, 0, "0.50"},
      {"colours", false, 0, nullptr, 3000.0f, 0, 1, 1, "3000.00"},
      {"colours without frame", false, kNoFrame, nullptr, 1.0f, 0, 1, 0, "1.00"},
      {"no text", false, kNoTextStyle, nullptr, 1.0f, 0, 1, 1, nullptr},
      {"no drawing", true, kNoDrawStyle, nullptr, 1.0f, 0, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    PixelBuffer target(120, 120);
    testkit::DrawRecorder recorder;
    CDrawContext context(target, &recorder);
    CParamDisplay display(CRect(65, 412 - 400, 95, 426 - 400), c.bitmap ? page : nullptr, c.style);
    display.setBackOffset(CPoint(58, 12));
    display.setStringConvert(c.convert);
    display.setFont(kNormalFontVerySmall);
    display.setFontColor(CColor{170, 170, 170, 255});
    display.setValue(c.value);
    display.draw(&context);
    EXPECT_EQ(static_cast<int>(recorder.bitmaps.size()), c.blits) << c.what;
    if (c.blits) {
      EXPECT_EQ(recorder.bitmaps[0].source, CPoint(58, 12)) << c.what;
    }
    int fills = 0, frames = 0;
    for (const RectDrawing& r : recorder.rects) (r.style == kDrawFilled ? fills : frames)++;
    EXPECT_EQ(fills, c.fills) << c.what;
    EXPECT_EQ(frames, c.frames) << c.what;
    if (c.text) {
      ASSERT_EQ(recorder.strings.size(), 1u) << c.what;
      EXPECT_EQ(recorder.strings[0].text, c.text);
      EXPECT_EQ(recorder.strings[0].fontSize, 9.0);
      EXPECT_EQ(recorder.strings[0].align, kCenterText);
    } else {
      EXPECT_TRUE(recorder.strings.empty()) << c.what;
    }
  }
  page->forget();
}

TEST(ParamDisplay, HoldsAConverterTextToItsBoundAtACharacterBoundary) {
  PixelBuffer target(50, 20);
  testkit::DrawRecorder recorder;
  CDrawContext context(target, &recorder);
  CParamDisplay display(CRect(0, 0, 50, 20));
  display.setStringConvert(tooLong);
  display.draw(&context);
  ASSERT_EQ(recorder.strings.size(), 1u);
  EXPECT_EQ(recorder.strings[0].text, std::string(254, 'a'));
}

TEST_F(FrameTest, AReadoutWhoseValueChangedRedrawsOnTheNextIdle) {
  auto* readout = add(new CParamDisplay(CRect(10, 10, 60, 24)));
  readout->setStringConvert(toMs);
  frame->idle();
  recorder.clear();
  readout->setValue(513.0f);
  frame->idle();
  EXPECT_EQ(recorder.textsOf(readout), (std::vector<std::string>{"513ms"}));
}

// ---------------------------------------------------------------- buttons and switches

TEST_F(FrameTest, AnOnOffButtonFlipsAtOneHalfAsOneGesture) {
  CBitmap* art = bitmapOf(stripPixels(20, 10, 2));
  auto* button = add(new COnOffButton(CRect(10, 10, 30, 20), &listener, 26, art));
  art->forget();
  struct Case {
    float before, after;
  };
  for (const Case& c : {Case{0, 1}, Case{0.49f, 1}, Case{0.5f, 0}, Case{1, 0}}) {
    button->setValue(c.before);
    window().advanceTime(1000);
    window().click(CPoint(15, 15));
    EXPECT_EQ(button->getValue(), c.after) << c.before;
  }
  EXPECT_EQ(editor.gestures.size(), 8u);
  listener.changes.clear();
  CPoint where(15, 15);
  EXPECT_EQ(frame->onMouseDown(where, kRButton), kMouseEventNotHandled);
  EXPECT_TRUE(listener.changes.empty());
  // Off image above, on image below.
  button->setValue(1);
  frame->idle();
  EXPECT_EQ(frame->getPixels().pixel(15, 15), stripColor(1));
}

// A kick button that reports its own press (as the strip's buttons do) and
// leaves moves to the library's kick button.
class ReportingKick : public CKickButton {
 public:
  using CKickButton::CKickButton;
  CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
    value = (buttons & kControl) ? 0.5f : 1.0f;
    listener->valueChanged(this);
    return kMouseEventHandled;
  }
};

TEST_F(FrameTest, AKickButtonMovedWhilePressedNeverReports) {
  auto* kick = add(new ReportingKick(CRect(10, 10, 40, 20), &listener, 73, 10, nullptr));
  window().mouseDown(CPoint(20, 15), kLButton | kControl);
  window().mouseMove(CPoint(100, 100), kLButton | kControl);
  window().mouseMove(CPoint(21, 15), kLButton | kControl);
  EXPECT_EQ(kick->getValue(), 0.5f);
  EXPECT_EQ(listener.changes, (std::vector<Change>{{73, 0.5f}}));
  window().mouseUp(CPoint(21, 15), kLButton);
}

TEST_F(FrameTest, TheLibraryKickButtonReportsPressAndReleaseOnly) {
  auto* kick = add(new CKickButton(CRect(10, 10, 40, 20), &listener, 5, 10, nullptr));
  window().mouseDown(CPoint(20, 15));
  window().mouseMove(CPoint(100, 100), kLButton);
  EXPECT_EQ(kick->getValue(), 1.0f);
  window().mouseUp(CPoint(100, 100));
  EXPECT_EQ(listener.changes, (std::vector<Change>{{5, 1.0f}, {5, 0.0f}}));
  EXPECT_EQ(editor.gestures, (Gestures{"begin 5", "end 5"}));
}

TEST_F(FrameTest, AVerticalSwitchTakesTheBandUnderThePointer) {
  CBitmap* art = bitmapOf(stripPixels(40, 50, 3));
  auto* meters = add(new CVerticalSwitch(CRect(100, 20, 140, 70), &listener, 21, 3, 50, 3, art));
  art->forget();
  struct Case {
    CCoord y;
    CButtonState buttons;
    float value;
  };
  const Case cases[] = {{20, kLButton, 0.0f},
                        {36.6, kLButton, 0.0f},
                        {36.7, kLButton, 0.5f},
                        {53.4, kLButton | kControl, 1.0f},
                        {69.9, kLButton, 1.0f}};
  for (const Case& c : cases) {
    meters->setValue(0.5f);
    meters->setDirty(false);
    window().advanceTime(1000);
    window().click(CPoint(120, c.y), c.buttons);
    EXPECT_EQ(meters->getValue(), c.value) << c.y;
  }
  // A drag across the bands reports every change once.
  listener.changes.clear();
  editor.gestures.clear();
  meters->setValue(0);
  meters->setDirty(false);
  window().advanceTime(1000);
  window().drag(CPoint(120, 22), CPoint(120, 68), kLButton, 20);
  EXPECT_EQ(listener.changes, (std::vector<Change>{{21, 0.5f}, {21, 1.0f}}));
  EXPECT_EQ(editor.gestures, (Gestures{"begin 21", "end 21"}));
  // Beyond the switch the nearest band holds.
  window().advanceTime(1000);
  window().mouseDown(CPoint(120, 30));
  window().mouseMove(CPoint(120, 200), kLButton);
  EXPECT_EQ(meters->getValue(), 1.0f);
  window().mouseMove(CPoint(120, -50), kLButton);
  EXPECT_EQ(meters->getValue(), 0.0f);
  window().mouseUp(CPoint(120, -50));
  frame->idle();
  EXPECT_EQ(frame->getPixels().pixel(120, 40), stripColor(0));
  meters->setValue(0.5f);
  frame->idle();
  EXPECT_EQ(frame->getPixels().pixel(120, 40), stripColor(1));
  // Two positions: top band 0, bottom band 1.
  auto* mode = add(new CVerticalSwitch(CRect(150, 20, 165, 49), &listener, 48, 2, 29, 2, nullptr));
  window().advanceTime(1000);
  window().click(CPoint(157, 40));
  EXPECT_EQ(mode->getValue(), 1.0f);
  window().advanceTime(1000);
  window().click(CPoint(157, 25));
  EXPECT_EQ(mode->getValue(), 0.0f);
}

TEST_F(FrameTest, ARockerStepsByItsHalvesAndLeavesTheWheelAlone) {
  auto* rocker = add(new CRockerSwitch(CRect(10, 10, 41, 24), &listener, 60, 14, nullptr));
  window().mouseDown(CPoint(25, 15));
  EXPECT_EQ(rocker->getValue(), -1.0f);
  window().mouseUp(CPoint(25, 15));
  EXPECT_EQ(rocker->getValue(), 0.0f);
  window().advanceTime(1000);
  window().mouseDown(CPoint(25.5, 15));
  EXPECT_EQ(rocker->getValue(), 1.0f);
  window().mouseUp(CPoint(25.5, 15));
  EXPECT_FALSE(frame->onWheel(CPoint(20, 15), 1.0f, 0));
  EXPECT_EQ(rocker->getValue(), 0.0f);
}

// ---------------------------------------------------------------- option menu

class MenuTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    menu = add(new COptionMenu(CRect(150, 130, 162, 144), &listener, 71, nullptr, nullptr,
                               kPopupStyle | kCheckStyle | kNoTextStyle | kNoDrawStyle));
    menu->setNbItemsPerColumn(15);
    for (int i = 0; i < 30; ++i) menu->addEntry(i == 7 ? "-" : ("Program " + std::to_string(i)).c_str());
    menu->setCurrent(3);
  }
  COptionMenu* menu = nullptr;
};

TEST_F(MenuTest, ChoosingTheCurrentEntryReportsItAgainAndCancellingReportsNothing) {
  window().queueMenuChoice(3);
  window().click(CPoint(155, 135));
  EXPECT_EQ(listener.changes, (std::vector<Change>{{71, 3.0f}}));
  window().queueMenuCancel();
  window().advanceTime(1000);
  window().click(CPoint(155, 135));
  window().advanceTime(1000);
  window().click(CPoint(155, 135));  // nothing queued: cancelled too
  EXPECT_EQ(listener.changes.size(), 1u);
  window().queueMenuChoice(7);
  window().advanceTime(1000);
  window().click(CPoint(155, 135));
  EXPECT_EQ(menu->getCurrentIndex(), 7) << "a \"-\" title is an ordinary entry";
  EXPECT_EQ(menu->getValue(), 7.0f);
  EXPECT_STREQ(menu->getCurrent()->getTitle(), "-");
  EXPECT_EQ(listener.changes.back(), (Change{71, 7.0f}));
  EXPECT_EQ(editor.idleStuff, 4) << "the editor's idle ran in every pop-up";
}

TEST_F(MenuTest, ThePopupShowsTheEntriesInColumnsWithTheCurrentOneUnderThePointer) {
  window().queueMenuClick(CPoint(0, 0));
  window().click(CPoint(156, 137));
  ASSERT_EQ(window().menuRequests().size(), 1u);
  const PopupMenuRequest& request = window().menuRequests()[0];
  EXPECT_EQ(request.titles.size(), 30u);
  EXPECT_EQ(request.titles[7], "-");
  EXPECT_EQ(request.current, 3);
  EXPECT_TRUE(request.checkCurrent);
  EXPECT_TRUE(request.underPointer);
  EXPECT_EQ(request.itemsPerColumn, 15);
  EXPECT_EQ(request.pointer, CPoint(156, 137));
  EXPECT_EQ(request.control, CRect(150, 130, 162, 144));
  EXPECT_TRUE(listener.changes.empty()) << "a click on the border chooses nothing";

  PopupMenuModel model(request);
  EXPECT_EQ(model.columns(), 2);
  EXPECT_EQ(model.rowsPerColumn(), 15);
  const PixelRect second = model.entryRect(15);
  EXPECT_EQ(second.top, model.entryRect(0).top);
  EXPECT_GT(second.left, model.entryRect(14).left);
  EXPECT_EQ(model.entryAt(CPoint(second.left + 5, second.top + 5)), 15);
  EXPECT_EQ(model.entryAt(CPoint(model.width() + 5, 5)), -1);
  // The current entry lies under the pointer.
  const CPoint origin = model.placement();
  const PixelRect current = model.entryRect(3);
  EXPECT_TRUE(current.toRect().pointInside(CPoint(156 - origin.x, 137 - origin.y)));
  // The picture: the current entry highlighted at first.
  const PixelBuffer& picture = window().lastMenuPicture();
  EXPECT_EQ(picture.width(), model.width());
  EXPECT_EQ(picture.pixel(current.right - 3, current.top + 2), (CColor{52, 96, 168, 255}));

  window().queueMenuClick(CPoint(second.left + 5, second.top + 5));
  window().advanceTime(1000);
  window().click(CPoint(156, 137));
  EXPECT_EQ(listener.changes, (std::vector<Change>{{71, 15.0f}}));
}

TEST(PopupMenuModel, KeysMoveThroughRowsAndColumnsAndChooseOrCancel) {
  PopupMenuRequest request;
  for (int i = 0; i < 13; ++i) request.titles.push_back(std::to_string(i) + " P");
  request.current = 12;
  request.itemsPerColumn = 5;
  PopupMenuModel model(request);
  EXPECT_EQ(model.columns(), 3);
  auto key = [&](unsigned char virt) {
    VstKeyCode k{};
    k.virt = virt;
    return model.key(k);
  };
  EXPECT_EQ(key(VKEY_LEFT), PopupMenuModel::kNothing);
  EXPECT_EQ(model.highlight(), 7);
  EXPECT_EQ(key(VKEY_DOWN), PopupMenuModel::kNothing);
  EXPECT_EQ(key(VKEY_RIGHT), PopupMenuModel::kNothing);
  EXPECT_EQ(model.highlight(), 8) << "no entry 13: stays";
  EXPECT_EQ(key(VKEY_RETURN), 8);
  EXPECT_EQ(key(VKEY_ESCAPE), PopupMenuModel::kCancelled);
  // Without pop-up style the menu opens below its control.
  request.control = CRect(10, 20, 30, 40);
  EXPECT_EQ(PopupMenuModel(request).placement(), CPoint(10, 40));
}

// ---------------------------------------------------------------- text field

class TextFieldTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    field = add(new CTextEdit(CRect(20, 20, 137, 35), &listener, 59, "Init"));
    field->setFont(kNormalFontSmall);
  }
  void key(unsigned char virt, int32_t character = 0, unsigned char modifier = 0) {
    VstKeyCode k{};
    k.virt = virt;
    k.character = character;
    k.modifier = modifier;
    window().keyDown(k);
  }
  CTextEdit* field = nullptr;
};

TEST_F(TextFieldTest, TypedTextIsTakenWhenTheEditingEndsAndReportedOnce) {
  struct Case {
    const char* what;
    std::vector<VstKeyCode> keys;
    const char* text;
  };
  auto chars = [](const char* s) {
    std::vector<VstKeyCode> keys;
    for (; *s; ++s) keys.push_back(VstKeyCode{*s, 0, 0});
    return keys;
  };
  auto with = [](std::vector<VstKeyCode> keys, std::vector<VstKeyCode> more) {
    keys.insert(keys.end(), more.begin(), more.end());
    return keys;
  };
  const VstKeyCode back{0, VKEY_BACK, 0}, left{0, VKEY_LEFT, 0}, home{0, VKEY_HOME, 0},
      del{0, VKEY_DELETE, 0};
  const VstKeyCode ret{0, VKEY_RETURN, 0}, enter{0, VKEY_ENTER, 0}, tab{0, VKEY_TAB, 0},
      esc{0, VKEY_ESCAPE, 0};
  const Case cases[] = {
      {"typed and Return", with(chars(" A"), {ret}), "Init A"},
      {"Enter", with(chars("1"), {enter}), "Init1"},
      {"Tab", with(chars("2"), {tab}), "Init2"},
      {"Backspace", with(chars("xy"), {back, ret}), "Initx"},
      {"Home and Delete", {home, del, del, ret}, "it"},
      {"Left and insert", with({left, left}, with(chars("-"), {ret})), "In-it"},
      {"Escape puts the old text back", with(chars("zzz"), {esc}), "Init"},
      {"numeric pad", {{0, VKEY_SUBTRACT, 0}, {0, VKEY_NUMPAD3, 0}, {0, VKEY_DECIMAL, 0}, ret}, "Init-3."},
      {"carriage return as a character", with(chars("!"), {{13, 0, 0}}), "Init!"},
  };
  for (const Case& c : cases) {
    field->setText("Init");
    listener.changes.clear();
    frame->setFocusView(field);
    ASSERT_TRUE(field->isEditing());
    for (const VstKeyCode& k : c.keys) window().keyDown(k);
    EXPECT_FALSE(field->isEditing()) << c.what;
    EXPECT_STREQ(field->getText(), c.text) << c.what;
    EXPECT_EQ(listener.changes.size(), 1u) << c.what;
    EXPECT_EQ(frame->getFocusView(), nullptr) << c.what;
  }
  // Not editing: a focus loss does nothing.
  listener.changes.clear();
  field->looseFocus();
  EXPECT_TRUE(listener.changes.empty());
}

TEST_F(TextFieldTest, KeysGoToTheFieldOnlyWhileItEdits) {
  VstKeyCode a{'a', 0, 0};
  EXPECT_FALSE(window().keyDown(a));
  field->takeFocus();  // directly, not through the frame
  EXPECT_EQ(frame->getFocusView(), field);
  EXPECT_TRUE(window().keyDown(a));
  VstKeyCode copy{'c', 0, MODIFIER_CONTROL};
  EXPECT_FALSE(window().keyDown(copy)) << "shortcuts stay the host's";
  EXPECT_EQ(field->getEditText(), "Inita");
}

TEST_F(TextFieldTest, TextIsHeldTo255BytesAtACharacterBoundary) {
  const std::string euro = "\xE2\x82\xAC";
  std::string long30(30, 'n');
  field->setText(long30.c_str());
  EXPECT_EQ(std::string(field->getText()), long30) << "a 30-character name fits";
  std::string over = std::string(253, 'a') + euro;
  field->setText(over.c_str());
  EXPECT_EQ(std::string(field->getText()), std::string(253, 'a'));
  frame->setFocusView(field);
  window().type("b" + euro + "c");
  EXPECT_EQ(field->getEditText(), std::string(253, 'a') + "bc") << "the euro sign no longer fits";
  key(VKEY_BACK);
  key(VKEY_BACK);
  key(VKEY_BACK);
  window().type(euro);
  EXPECT_EQ(field->getEditText(), std::string(252, 'a') + euro);
  key(VKEY_LEFT);
  key(VKEY_BACK);
  key(VKEY_RETURN);
  EXPECT_EQ(std::string(field->getText()), std::string(251, 'a') + euro);
}

TEST_F(TextFieldTest, EditingShowsTheBackColourTheTextAndACaret) {
  field->setBackColor(CColor{209, 227, 238, 255});
  field->setFontColor(CColor{36, 36, 32, 255});
  frame->idle();
  window().click(CPoint(30, 25));
  recorder.clear();
  frame->idle();
  ASSERT_NE(recorder.lastStringOf(field), nullptr);
  EXPECT_EQ(recorder.lastStringOf(field)->text, "Init");
  ASSERT_EQ(recorder.lines.size(), 1u);
  const LineDrawing& caret = recorder.lines[0];
  EXPECT_EQ(caret.from.x, caret.to.x);
  EXPECT_GT(caret.from.x, 60);
  EXPECT_LT(caret.from.x, 100) << "after the centred text";
  EXPECT_EQ(frame->getPixels().pixel(22, 22), (CColor{209, 227, 238, 255}));
}

}  // namespace
