// The knobs' mouse conventions (one table, run on both knobs) and their
// drawing laws.
#include <cmath>
#include <optional>

#include "tests/controls/controls_test_support.h"

namespace {

using namespace ctest;

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kTag = 5;

enum class Do { Press, PressAgain, Move, Release, Wheel };

// An event at a point relative to the knob's centre; PressAgain comes at once
// after the last press (a double click), Press a second later.
struct Event {
  Do what;
  CPoint at;
  CButtonState buttons = kLButton;
  float distance = 0;                // wheel notches
  std::optional<float> expect = {};  // the value right after the event
};

// The point at this angle (degrees counter-clockwise from the right) and
// radius around the centre. The minimum lies at 225 degrees, the maximum at
// -45; the gap between them is at the bottom.
CPoint polar(double degrees, double radius = 20) {
  const double a = degrees * kPi / 180;
  return CPoint(radius * std::cos(a), -radius * std::sin(a));
}

struct KnobCase {
  const char* what;
  int32_t knobMode;
  float start;
  std::vector<Event> events;
  float value;   // at the end
  Log gestures;  // what reached the editor besides the reports
  int reports;   // -1: not counted
};

const CPoint kCentre(0, 0);

const KnobCase kKnobCases[] = {
    {"Control-click returns to the default once and starts no drag",
     kLinearMode,
     0.9f,
     {{Do::Press, kCentre, kLButton | kControl, 0, 0.5f},
      {Do::Move, CPoint(0, -100), kLButton | kControl, 0, 0.5f},
      {Do::Release, CPoint(0, -100), kLButton | kControl}},
     0.5f,
     {"begin 5", "end 5"},
     1},
    {"Control-click at the default reports nothing",
     kCircularMode,
     0.5f,
     {{Do::Press, polar(0), kLButton | kControl}},
     0.5f,
     {"begin 5", "end 5"},
     0},
    {"a double-click asks the editor for value entry and keeps the value",
     kLinearMode,
     0.3f,
     {{Do::Press, kCentre},
      {Do::Release, kCentre},
      {Do::PressAgain, kCentre, kLButton, 0, 0.3f},
      {Do::Move, CPoint(0, -100), kLButton, 0, 0.3f},
      {Do::Release, CPoint(0, -100)}},
     0.3f,
     {"begin 5", "end 5", "begin 5", "entry 5", "end 5"},
     0},
    {"linear: 300 px up cover the whole range",
     kLinearMode,
     0.0f,
     {{Do::Press, kCentre}, {Do::Move, CPoint(0, -300)}, {Do::Release, CPoint(0, -300)}},
     1.0f,
     {"begin 5", "end 5"},
     1},
    {"linear: 100 px right count half, a sixth of the range",
     kLinearMode,
     0.0f,
     {{Do::Press, kCentre}, {Do::Move, CPoint(100, 0)}, {Do::Release, CPoint(100, 0)}},
     0.1667f,
     {"begin 5", "end 5"},
     1},
    {"linear: up and right add, down stops at the minimum",
     kLinearMode,
     0.5f,
     {{Do::Press, kCentre},
      {Do::Move, CPoint(60, -30), kLButton, 0, 0.7f},
      {Do::Move, CPoint(0, 400), kLButton, 0, 0.0f},
      {Do::Move, CPoint(0, -1000), kLButton, 0, 1.0f},
      {Do::Release, CPoint(0, -1000)}},
     1.0f,
     {"begin 5", "end 5"},
     3},
    {"linear with Shift from the start: 300 px up raise 0.2",
     kLinearMode,
     0.0f,
     {{Do::Press, kCentre, kLButton | kShift},
      {Do::Move, CPoint(0, -300), kLButton | kShift},
      {Do::Release, CPoint(0, -300), kLButton | kShift}},
     0.2f,
     {"begin 5", "end 5"},
     1},
    {"Shift pressed and released mid-drag changes the slope, never the value",
     kLinearMode,
     0.2f,
     {{Do::Press, kCentre},
      {Do::Move, CPoint(0, -150), kLButton, 0, 0.7f},
      {Do::Move, CPoint(0, -150), kLButton | kShift, 0, 0.7f},
      {Do::Move, CPoint(0, -300), kLButton | kShift, 0, 0.8f},
      {Do::Move, CPoint(0, -300), kLButton, 0, 0.8f},
      {Do::Move, CPoint(0, -330), kLButton, 0, 0.9f},
      {Do::Release, CPoint(0, -330)}},
     0.9f,
     {"begin 5", "end 5"},
     -1},
    {"circular: a press takes the pointer's angle",
     kCircularMode,
     0.1f,
     {{Do::Press, polar(90), kLButton, 0, 0.5f},
      {Do::Move, polar(180), kLButton, 0, 1.0f / 6},
      {Do::Release, polar(180)}},
     1.0f / 6,
     {"begin 5", "end 5"},
     2},
    {"circular: across the gap the knob stays at the maximum until back within half the range",
     kCircularMode,
     0.0f,
     {{Do::Press, polar(-30), kLButton, 0, 255.0f / 270},
      {Do::Move, polar(-60), kLButton, 0, 1.0f},
      {Do::Move, polar(-120), kLButton, 0, 1.0f},
      {Do::Move, polar(200), kLButton, 0, 1.0f},
      {Do::Move, polar(0), kLButton, 0, 225.0f / 270},
      {Do::Release, polar(0)}},
     225.0f / 270,
     {"begin 5", "end 5"},
     3},
    {"circular: across the gap the knob stays at the minimum until back within half the range",
     kCircularMode,
     0.5f,
     {{Do::Press, polar(210), kLButton, 0, 15.0f / 270},
      {Do::Move, polar(-120), kLButton, 0, 0.0f},
      {Do::Move, polar(-60), kLButton, 0, 0.0f},
      {Do::Move, polar(-30), kLButton, 0, 0.0f},
      {Do::Move, polar(100), kLButton, 0, 125.0f / 270},
      {Do::Release, polar(100)}},
     125.0f / 270,
     {"begin 5", "end 5"},
     3},
    {"Alt in linear mode drags circularly",
     kLinearMode,
     0.1f,
     {{Do::Press, polar(90), kLButton | kAlt, 0, 0.5f}, {Do::Release, polar(90), kLButton | kAlt}},
     0.5f,
     {"begin 5", "end 5"},
     1},
    {"Alt in circular mode drags linearly",
     kCircularMode,
     0.1f,
     {{Do::Press, polar(90), kLButton | kAlt, 0, 0.1f},
      {Do::Move, polar(90) + CPoint(0, -30), kLButton | kAlt, 0, 0.2f},
      {Do::Release, polar(90), kLButton | kAlt}},
     0.2f,
     {"begin 5", "end 5"},
     1},
    {"wheel: one notch up adds 0.01 as one gesture",
     kCircularMode,
     0.5f,
     {{Do::Wheel, kCentre, 0, 1.0f}},
     0.51f,
     {"begin 5", "end 5"},
     1},
    {"wheel with Shift: 0.001 per notch",
     kCircularMode,
     0.5f,
     {{Do::Wheel, kCentre, kShift, -2.0f}},
     0.498f,
     {"begin 5", "end 5"},
     1},
    {"wheel at the maximum reports nothing",
     kCircularMode,
     1.0f,
     {{Do::Wheel, kCentre, 0, 1.0f}},
     1.0f,
     {},
     0},
    {"wheel at the minimum reports nothing",
     kLinearMode,
     0.0f,
     {{Do::Wheel, kCentre, kShift, -1.0f}},
     0.0f,
     {},
     0},
    {"the right button is not the knob's",
     kCircularMode,
     0.3f,
     {{Do::Press, polar(90), kRButton}, {Do::Move, polar(0), kRButton}, {Do::Release, polar(0), kRButton}},
     0.3f,
     {},
     0},
    {"moving over the knob without a press changes nothing",
     kLinearMode,
     0.3f,
     {{Do::Move, polar(90), 0}, {Do::Move, CPoint(0, -20), kShift}},
     0.3f,
     {},
     0},
};

enum class Kind { Knob2, Knob3 };

class KnobConventions : public ControlsTest, public ::testing::WithParamInterface<Kind> {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    if (GetParam() == Kind::Knob2) {
      CBitmap* strip = loadBitmap(kKnobStrip);
      knob = add(new CAnimKnob2(CRect(100, 100, 160, 150), &editor, kTag, 101, 50, strip));
      strip->forget();
    } else {
      CBitmap* strip = loadBitmap(kDriveStrip);
      knob = add(new CAnimKnob3(CRect(100, 100, 213, 193), &editor, kTag, 101, 113, 93, strip));
      strip->forget();
    }
    knob->setDefaultValue(0.5f);
    const CRect& r = knob->getViewSize();
    centre = CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  void run(const Event& e, const char* what) {
    const CPoint at = centre + e.at;
    switch (e.what) {
      case Do::Press: press(at, e.buttons); break;
      case Do::PressAgain: window().mouseDown(at, e.buttons); break;
      case Do::Move: move(at, e.buttons); break;
      case Do::Release: release(at, e.buttons); break;
      case Do::Wheel: window().wheel(at, e.distance, e.buttons); break;
    }
    // A paint pass after every event, as the window's idle gives: "changed"
    // then means changed since the knob was last drawn.
    paint();
    if (e.expect) {
      EXPECT_NEAR(knob->getValue(), *e.expect, 1e-5) << what;
    }
  }

  CEditorKnob* knob = nullptr;
  CPoint centre;
};

TEST_P(KnobConventions, GesturesGiveTheirValuesReportsAndEdits) {
  for (const KnobCase& c : kKnobCases) {
    editor.knobMode = c.knobMode;
    knob->setValue(c.start);
    paint();
    editor.clear();
    for (const Event& e : c.events) run(e, c.what);
    EXPECT_NEAR(knob->getValue(), c.value, 1e-4) << c.what;
    EXPECT_EQ(editor.gestures(), c.gestures) << c.what;
    if (c.reports >= 0) {
      EXPECT_EQ(editor.reports(), c.reports) << c.what;
    }
    if (!editor.values.empty()) {
      EXPECT_EQ(editor.values.back(), knob->getValue()) << c.what;
    }
  }
}

TEST_P(KnobConventions, WithoutAListenerTheKnobTakesNoPress) {
  knob->setListener(nullptr);
  knob->setValue(0.3f);
  press(centre + polar(90));
  release(centre + polar(90));
  window().mouseDown(centre + polar(90));  // a double click
  EXPECT_EQ(knob->getValue(), 0.3f);
  EXPECT_TRUE(editor.log.empty());
}

INSTANTIATE_TEST_SUITE_P(BothKnobs, KnobConventions, ::testing::Values(Kind::Knob2, Kind::Knob3),
                         [](const auto& info) { return info.param == Kind::Knob2 ? "Knob2" : "Knob3"; });

// ---------------------------------------------------------------- drawing

class KnobDrawing : public ControlsTest {};

TEST_F(KnobDrawing, Knob2ShowsImageFloorOfValueTimesHundred) {
  CBitmap* strip = loadBitmap(kKnobStrip);
  auto* knob = add(new CAnimKnob2(CRect(46, 167, 106, 217), &editor, 5, 101, 50, strip));
  strip->forget();
  const struct {
    float value;
    int image;
  } cases[] = {{0.0f, 0}, {0.005f, 0}, {0.0101f, 1}, {0.5f, 50}, {0.999f, 99}, {1.0f, 100}};
  for (const auto& c : cases) {
    knob->setValue(c.value);
    paint();
    EXPECT_EQ(lastImage(knob, 50), c.image) << c.value;
  }
}

// 101 images of 93 px, ten to a column, columns 113 px apart.
TEST_F(KnobDrawing, Knob3WalksDownEachColumnAndOnAtTheTopOfTheNext) {
  CBitmap* strip = loadBitmap(kDriveStrip);
  ASSERT_EQ(strip->getHeight(), 930);
  auto* knob = add(new CAnimKnob3(CRect(122, 162, 235, 255), &editor, 4, 101, 113, 93, strip));
  strip->forget();
  const struct {
    float value;
    CPoint source;
  } cases[] = {
      {0.0f, CPoint(0, 0)},       {-0.2f, CPoint(0, 0)},       {0.01f, CPoint(0, 93)},
      {0.09f, CPoint(0, 837)},    {0.1f, CPoint(113, 0)},      {0.5f, CPoint(565, 0)},
      {0.555f, CPoint(565, 465)}, {0.999f, CPoint(1017, 837)}, {1.0f, CPoint(1130, 0)},
      {1.5f, CPoint(1130, 0)},
  };
  for (const auto& c : cases) {
    knob->setValue(c.value);
    paint();
    EXPECT_EQ(lastSource(knob), c.source) << c.value;
    const BitmapDrawing drawn = recorder.bitmapsOf(knob).back();
    EXPECT_EQ(drawn.dest, (PixelRect{122, 162, 235, 255}));
    EXPECT_EQ(drawn.resource.id, kDriveStrip);
  }
  // The picture is that image's: its own colour all over the knob.
  knob->setValue(0.5f);
  paint();
  EXPECT_EQ(frame->getPixels().pixel(180, 200), uitest::stripColor(50));
}

TEST_F(KnobDrawing, Knob3WithoutABitmapDrawsNothing) {
  auto* knob = add(new CAnimKnob3(CRect(122, 162, 235, 255), &editor, 4, 101, 113, 93, nullptr));
  knob->setValue(0.5f);
  paint();
  EXPECT_EQ(drawingsOf(knob), 0);
  EXPECT_FALSE(knob->isDirty());
}

}  // namespace
