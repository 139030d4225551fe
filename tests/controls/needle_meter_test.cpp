// The needle meter: the needle's angle law and its two strokes, the face,
// overlay and lamp where they belong, the lamp's three states, the click.
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

#include "tests/controls/controls_test_support.h"

namespace {

using namespace ctest;

// The left meter of the track editor.
const CRect kMeterRect(49, 34, 194, 127);
const CPoint kPivot(121, 119);
constexpr double kPi = 3.14159265358979323846;

class NeedleMeterTest : public ControlsTest {
 protected:
  COldVuMeter* makeMeter(CControlListener* listener, bool withOverlay = true) {
    CBitmap* face = loadBitmap(kNeedleFace);
    CBitmap* overlay = withOverlay ? new CBitmap(CResourceDescription(kNeedleOverlay)) : nullptr;
    CBitmap* lamp = loadBitmap(kNeedleLampStrip);
    auto* meter = add(new COldVuMeter(kMeterRect, listener, 17, face, overlay, CPoint(160, 109),
                                      CPoint(49, 86), lamp, kPivot, 3.0f, 68.0f, 55.0f, 68.0f));
    face->forget();
    if (overlay) overlay->forget();
    lamp->forget();
    return meter;
  }
  std::vector<LineDrawing> linesOf(const CView* view) const {
    std::vector<LineDrawing> out;
    for (const LineDrawing& l : recorder.lines)
      if (l.view == view) out.push_back(l);
    return out;
  }
  // The lamp image last drawn: 0 over, 1 held, 2 off.
  int lampImage(const COldVuMeter* meter) const {
    for (auto it = recorder.bitmaps.rbegin(); it != recorder.bitmaps.rend(); ++it)
      if (it->view == meter && it->resource.id == kNeedleLampStrip)
        return static_cast<int>(it->source.y / 21);
    return -1;
  }
};

// The needle turns from 150 degrees at rest to 30 degrees at 1.44 by
// 150 - (v / 1.44)^1.2 x 120: its shadow (1 px) lies 3.5 right and 2.5 below
// the needle (2 px, half a pixel off the pivot), both from radius 3 to 68.
TEST_F(NeedleMeterTest, TheNeedleAndItsShadowTurnByTheAngleLaw) {
  struct Case {
    float level;
    double degrees;
    float shown;  // the level kept after the drawing
  };
  const double atOne = 150.0 - std::pow(1.0 / 1.44, 1.2) * 120.0;
  const Case cases[] = {
      {0.0f, 150.0, 0.000001f},  {1.0f, atOne, 1.0f},
      {2.0f, 30.0, 1.44f},       {1.44f, 30.0, 1.44f},
      {-1.0f, 150.0, 0.000001f}, {std::numeric_limits<float>::quiet_NaN(), 150.0, 0.000001f},
  };
  EXPECT_NEAR(atOne, 72.5, 0.05) << "0 dB";
  COldVuMeter* meter = makeMeter(&editor);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    recorder.clear();
    meter->setValue(c.level);
    meter->invalid();
    paint();
    EXPECT_EQ(meter->getValue(), c.shown);
    const std::vector<LineDrawing> lines = linesOf(meter);
    ASSERT_EQ(lines.size(), 2u);
    // At the level shown, exactly; the rest angle of 150 degrees only nearly.
    const double degrees = 150.0 - std::pow(static_cast<double>(c.shown) / 1.44, 1.2) * 120.0;
    EXPECT_NEAR(degrees, c.degrees, 1e-3);
    const double a = degrees * kPi / 180.0;
    struct Expected {
      double dx, dy, width;
      CColor color;
    } strokes[] = {{3.5, 2.5, 1, MakeCColor(120, 120, 125, 70)},
                   {0.5, 0.5, 2, MakeCColor(100, 100, 105, 255)}};
    for (int i = 0; i < 2; ++i) {
      const Expected& e = strokes[i];
      const double x = kPivot.x + e.dx, y = kPivot.y + e.dy;
      EXPECT_NEAR(lines[i].from.x, x + 3 * std::cos(a), 1e-6) << i;
      EXPECT_NEAR(lines[i].from.y, y - 3 * std::sin(a), 1e-6) << i;
      EXPECT_NEAR(lines[i].to.x, x + 68 * std::cos(a), 1e-6) << i;
      EXPECT_NEAR(lines[i].to.y, y - 68 * std::sin(a), 1e-6) << i;
      EXPECT_EQ(lines[i].width, e.width) << i;
      EXPECT_EQ(lines[i].color, e.color) << i;
      EXPECT_TRUE(lines[i].antialias) << i;
    }
  }
}

// Face, overlay and lamp each at their own place: the face at the meter's
// corner, the overlay (found by its name) and the lamp where they were put.
// The overlay lies over the needle.
TEST_F(NeedleMeterTest, FaceOverlayAndLampLieWhereTheyWerePut) {
  COldVuMeter* meter = makeMeter(&editor);
  EXPECT_EQ(meter->getFaceRect(), CRect(49, 34, 194, 112));
  EXPECT_EQ(meter->getOverlayRect(), CRect(49, 86, 195, 127));
  EXPECT_EQ(meter->getLampRect(), CRect(160, 109, 181, 130));
  // Straight up: 90 degrees at 1.44 x 0.5^(1 / 1.2).
  meter->setValue(static_cast<float>(1.44 * std::pow(0.5, 1 / 1.2)));
  paint();
  const std::vector<BitmapDrawing> drawn = recorder.bitmapsOf(meter);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].resource.id, kNeedleFace);
  EXPECT_EQ(drawn[0].dest, (PixelRect{49, 34, 194, 112}));
  EXPECT_EQ(drawn[1].resource.name, kNeedleOverlay);
  EXPECT_EQ(drawn[1].dest, (PixelRect{49, 86, 195, 127}));
  EXPECT_EQ(drawn[2].resource.id, kNeedleLampStrip);
  EXPECT_EQ(drawn[2].dest, (PixelRect{160, 109, 181, 130}));
  EXPECT_EQ(drawn[2].source, CPoint(0, 42)) << "off";

  const PixelBuffer& screen = frame->getPixels();
  EXPECT_EQ(screen.pixel(121, 70), MakeCColor(100, 100, 105, 255)) << "the needle above the overlay";
  EXPECT_EQ(screen.pixel(121, 115), kOverlayColor) << "the overlay hides the needle's foot";
  EXPECT_EQ(screen.pixel(60, 60), kFaceColor);

  // Without an overlay: the face and the lamp.
  frame->removeView(meter);
  COldVuMeter* bare = makeMeter(&editor, false);
  EXPECT_EQ(bare->getOverlayRect(), CRect());
  recorder.clear();
  paint();
  EXPECT_EQ(recorder.bitmapsOf(bare).size(), 2u);
}

// The lamp latches the end of an over: over while reported, then held until
// a new over or a reset.
TEST_F(NeedleMeterTest, TheLampHoldsAnOverUntilANewOverOrAReset) {
  struct Step {
    const char* what;
    float lamp;  // reported with the levels; NaN: resetLamp instead
    int image;   // 0 over, 1 held, 2 off
  };
  const float kReset = std::numeric_limits<float>::quiet_NaN();
  const Step steps[] = {
      {"at first", 0.0f, 2},    {"over", 1.0f, 0},       {"over ended", 0.0f, 1}, {"still held", 0.0f, 1},
      {"reset", kReset, 2},     {"over again", 1.0f, 0}, {"held", 0.0f, 1},       {"a new over", 0.7f, 0},
      {"a small one", 0.3f, 1}, {"reset", kReset, 2},    {"below over", 0.3f, 2},
  };
  COldVuMeter* meter = makeMeter(&editor);
  meter->setLamp(0.001f);
  for (const Step& s : steps) {
    if (std::isnan(s.lamp))
      meter->resetLamp();
    else
      meter->setLevels(0.5f, s.lamp);
    paint();
    EXPECT_EQ(lampImage(meter), s.image) << s.what;
  }
  EXPECT_EQ(meter->getLamp(), 0.3f);

  // The needle level and the lamp level kept within their bounds.
  meter->setLevels(7.0f, 0.0f);
  EXPECT_EQ(meter->getValue(), 3.0f);
  meter->setLevels(-1.0f, 0.0f);
  EXPECT_EQ(meter->getValue(), 0.000000001f);
  meter->setLamp(9.0f);
  EXPECT_EQ(meter->getLamp(), 3.0f);
  meter->setLamp(-2.0f);
  EXPECT_EQ(meter->getLamp(), 0.000000001f);
  EXPECT_TRUE(editor.log.empty()) << "levels and lamps report nothing";
}

// Each pass paints where the needle was and where it is, the lamp when its
// image changes, nothing when both stay; and leaves what a whole repaint
// of the meter shows.
TEST_F(NeedleMeterTest, PaintsWhereTheNeedleSweptAndTheLampChanged) {
  // Every pixel the two strokes may touch at an angle (the law's own figures).
  auto needleBounds = [](double angle) {
    PixelRect r;
    for (const auto& [dx, dy, width] : {std::tuple{3.5, 2.5, 1.0}, std::tuple{0.5, 0.5, 2.0}}) {
      const CPoint from(kPivot.x + dx + 3 * std::cos(angle), kPivot.y + dy - 3 * std::sin(angle));
      const CPoint to(kPivot.x + dx + 68 * std::cos(angle), kPivot.y + dy - 68 * std::sin(angle));
      r = r.united(coverRect(CDrawContext::lineBounds(from, to, width)));
    }
    return r;
  };
  const PixelRect lamp{160, 109, 181, 130};
  COldVuMeter* meter = makeMeter(&editor);
  meter->setLevels(0.05f, 0.0f);
  paint();
  const struct {
    const char* what;
    float level, lamp;
    bool needle, lampChanges;
  } steps[] = {
      {"both stay", 0.05f, 0.0f, false, false},
      {"the needle moves", 0.2f, 0.0f, true, false},
      {"an over: the lamp alone", 0.2f, 1.0f, false, true},
      {"both change", 0.1f, 0.0f, true, true},
      {"held and still", 0.1f, 0.0f, false, false},
  };
  float shownLevel = 0.05f;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    const std::uint64_t passes = frame->getPaintPassCount();
    const long sentBefore = window().presentedPixels();
    meter->setLevels(step.level, step.lamp);
    paint();
    if (!step.needle && !step.lampChanges) {
      EXPECT_EQ(frame->getPaintPassCount(), passes);
      continue;
    }
    PixelRegion expected;
    if (step.needle) {
      expected.add(needleBounds(COldVuMeter::needleAngle(shownLevel)));
      expected.add(needleBounds(COldVuMeter::needleAngle(step.level)));
    }
    if (step.lampChanges) expected.add(lamp);
    const PixelRect sent = window().lastPresentedRegion().bounds();
    EXPECT_EQ(sent, expected.bounds());
    // Both at once are one part: the meter is drawn once in a pass.
    if (!(step.needle && step.lampChanges)) {
      EXPECT_LT(window().presentedPixels() - sentBefore, 145 * 93 / 4) << "far less than the meter";
    }
    shownLevel = step.level;
    // What a whole repaint of the meter shows.
    const PixelBuffer painted = window().screen();
    meter->invalid();
    paint();
    EXPECT_TRUE(window().screen() == painted);
  }
}

TEST_F(NeedleMeterTest, ALeftClickReportsToTheListener) {
  struct Case {
    CButtonState buttons;
    bool withListener;
    Log log;
  };
  const Case cases[] = {
      {kLButton, true, {"change 17"}},
      {kRButton, true, {}},
      {kLButton, false, {}},
  };
  for (const Case& c : cases) {
    editor.clear();
    COldVuMeter* meter = makeMeter(c.withListener ? &editor : nullptr);
    meter->setValue(0.8f);
    CPoint where(120, 60);
    EXPECT_EQ(meter->onMouseDown(where, c.buttons),
              c.log.empty() ? kMouseEventNotHandled : kMouseEventHandled);
    EXPECT_EQ(editor.log, c.log) << c.buttons;
    EXPECT_EQ(meter->getValue(), 0.8f) << "the click changes no level";
    frame->removeView(meter);
  }
}

// A copy holds its own references: it still draws after the original is gone.
TEST_F(NeedleMeterTest, ACopyHoldsItsOwnBitmaps) {
  COldVuMeter* meter = makeMeter(&editor);
  meter->setLevels(1.0f, 1.0f);
  auto* copy = static_cast<COldVuMeter*>(meter->newCopy());
  frame->removeView(meter);
  add(copy);
  paint();
  EXPECT_TRUE(copy->isTypeOf("COldVuMeter"));
  EXPECT_TRUE(copy->isTypeOf("CControl"));
  EXPECT_FALSE(copy->isTypeOf("CMovieMeter"));
  EXPECT_EQ(copy->getValue(), 1.0f);
  EXPECT_EQ(lampImage(copy), 0);
  EXPECT_EQ(recorder.bitmapsOf(copy).size(), 3u);
}

}  // namespace
