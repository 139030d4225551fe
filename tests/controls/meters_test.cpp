// The level meter's law and scale click, the clip lamp's peak hold, and the
// counter's five layouts.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/controls/controls_test_support.h"
#include "ui/testing/pixels.h"

namespace {

using namespace ctest;

// ---------------------------------------------------------------- meter

class MeterTest : public ControlsTest {
 protected:
  CMovieMeter* makeMeter(CControlListener* listener, int32_t mode, const CPoint& offset = CPoint(0, 0)) {
    CBitmap* strip = loadBitmap(kMeterStrip);
    CBitmap* scale = loadBitmap(kMeterScaleStrip);
    auto* meter =
        add(new CMovieMeter(CRect(54, 40, 190, 110), listener, 25, 101, 70, strip, scale, offset, mode));
    strip->forget();
    scale->forget();
    meter->setMin(0);
    meter->setMax(1.44f);
    return meter;
  }
};

TEST_F(MeterTest, EachScaleShowsItsStripByItsLaw) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  struct Case {
    int32_t mode;
    float level;
    int image;
  };
  const Case cases[] = {
      // Silence at image 2, 0 dB (1.0) at 0.635 of the strip in both scales.
      {0, 0.0f, 2},
      {0, 0.1f, 6},
      {0, 0.5f, 29},
      {0, 1.0f, 64},
      {0, 1.44f, 97},
      {0, 2.17f, 100},
      {0, -0.5f, 2},
      // A level that is not finite: not a number shows the empty meter, an
      // infinite one the full meter (nothing undefined on the way).
      {0, kNaN, 2},
      {0, kInfinity, 100},
      {0, -kInfinity, 2},
      {1, kNaN, 2},
      {1, kInfinity, 100},
      // The compressed scale: higher below 1.0, and its end only at 2.17,
      // beyond the meters' maximum of 1.44 (levels are not limited to it).
      {1, 0.0f, 2},
      {1, 0.1f, 17},
      {1, 0.5f, 43},
      {1, 1.0f, 64},
      {1, 1.44f, 79},
      {1, 2.17f, 100},
      {1, -0.5f, 2},
  };
  CMovieMeter* meter = makeMeter(&editor, 0);
  for (const Case& c : cases) {
    meter->setMode(c.mode);
    meter->setValue(c.level);
    paint();
    const auto drawn = recorder.bitmapsOf(meter);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().resource.id, c.mode == 0 ? kMeterStrip : kMeterScaleStrip) << c.level;
    EXPECT_EQ(drawn.back().source, CPoint(0, c.image * 70)) << "mode " << c.mode << " level " << c.level;
    EXPECT_EQ(drawn.back().dest, (PixelRect{54, 40, 190, 110}));
  }
  EXPECT_TRUE(editor.log.empty());
}

TEST_F(MeterTest, TheSourceOffsetShiftsEveryImage) {
  CMovieMeter* meter = makeMeter(&editor, 1, CPoint(3, 7));
  meter->setValue(1.0f);
  paint();
  EXPECT_EQ(lastSource(meter), CPoint(3, 7 + 64 * 70));
}

TEST_F(MeterTest, AClickTogglesTheScaleAndReportsIt) {
  struct Case {
    int32_t modeBefore;
    CButtonState buttons;
    bool withListener;
    int32_t modeAfter;
    Log log;
  };
  const Case cases[] = {
      {0, kLButton, true, 1, {"change 25"}},
      {1, kLButton, true, 0, {"change 25"}},
      {3, kLButton, true, 0, {"change 25"}},
      {-1, kLButton, true, 1, {"change 25"}},
      {0, kRButton, true, 0, {}},
      {0, kLButton, false, 0, {}},
  };
  for (const Case& c : cases) {
    CMovieMeter* meter = makeMeter(c.withListener ? &editor : nullptr, c.modeBefore);
    meter->setValue(0.5f);
    paint();
    editor.clear();
    press(CPoint(100, 70), c.buttons);
    release(CPoint(100, 70), c.buttons);
    EXPECT_EQ(meter->getMode(), c.modeAfter) << c.modeBefore;
    EXPECT_EQ(editor.log, c.log) << c.modeBefore;
    if (!c.log.empty()) {
      EXPECT_EQ(editor.values, std::vector<float>{static_cast<float>(c.modeAfter)});
    }
    // The next idle puts the level back, shown on the new scale.
    meter->setValue(0.5f);
    paint();
    EXPECT_EQ(lastImage(meter, 70), c.modeAfter == 0 ? 29 : 43) << c.modeBefore;
    frame->removeView(meter);
  }
}

TEST_F(MeterTest, SetModeRedrawsWithTheLevelUnchanged) {
  CMovieMeter* meter = makeMeter(&editor, 0);
  meter->setValue(0.1f);
  paint();
  const int before = drawingsOf(meter);
  meter->setMode(1);
  paint();
  EXPECT_EQ(drawingsOf(meter), before + 1);
  EXPECT_EQ(lastImage(meter, 70), 17);
}

// A meter repaints only what its level changes on the screen: nothing while
// the level stays within its image, where two images of its strip differ,
// all of it for the other scale's strip.
TEST_F(MeterTest, PaintsOnlyWhereTheShownImageChanges) {
  // Eleven images of 20 x 10, alike but for a bar in column 2 + image.
  PixelBuffer pixels(20, 110, CColor{30, 40, 50, 255});
  for (int image = 0; image < 11; ++image)
    pixels.fill(PixelRect{2 + image, image * 10 + 2, 3 + image, image * 10 + 8}, CColor{250, 250, 0, 255});
  CBitmap* strip = uitest::bitmapOf(pixels);
  CBitmap* scale = uitest::bitmapOf(pixels);
  auto* meter = add(new CMovieMeter(CRect(100, 50, 120, 60), &editor, 25, 11, 10, strip, scale, CPoint(), 0));
  strip->forget();
  scale->forget();
  paint();  // image 0
  const struct {
    const char* what;
    float level;
    int mode;
    std::vector<PixelRect> sent;  // empty: no paint pass
  } steps[] = {
      {"0.5 shows image 3: columns 2 and 5 differ", 0.5f, 0, {{102, 52, 106, 58}}},
      {"0.51 shows image 3 still", 0.51f, 0, {}},
      {"1.0 shows image 6", 1.0f, 0, {{105, 52, 109, 58}}},
      {"the same image of the other strip", 1.0f, 1, {{100, 50, 120, 60}}},
  };
  for (const auto& step : steps) {
    const std::uint64_t passes = frame->getPaintPassCount();
    if (step.mode != meter->getMode()) meter->setMode(step.mode);
    meter->setValue(step.level);
    paint();
    EXPECT_FALSE(meter->isDirty()) << step.what;
    if (step.sent.empty()) {
      EXPECT_EQ(frame->getPaintPassCount(), passes) << step.what;
      continue;
    }
    EXPECT_EQ(window().lastPresentedRegion().parts(), step.sent) << step.what;
    EXPECT_TRUE(testkit::showsBitmap(window().screen(), PixelRect{100, 50, 120, 60}, *meter->getBackground(),
                                     CPoint(0, lastImage(meter, 10) * 10)))
        << step.what;
  }
}

// A new image drawn by a pass that reaches part of the meter only (another
// view's change painted at once) brings the rest of the meter along in the
// next pass.
TEST_F(MeterTest, ANewImageDrawnInPartReachesTheWholeMeterNext) {
  CMovieMeter* meter = makeMeter(&editor, 0);
  paint();
  meter->setValue(1.0f);
  frame->invalidRect(CRect(160, 100, 180, 120));  // a lamp over the meter's last rows
  frame->updateScreen();
  EXPECT_EQ(frame->getInvalidArea(), (PixelRect{54, 40, 190, 110}));
  paint();
  EXPECT_TRUE(testkit::showsBitmap(window().screen(), PixelRect{54, 40, 190, 110}, *meter->getBackground(),
                                   CPoint(0, 64 * 70)));
}

// ---------------------------------------------------------------- clip lamp

class LampTest : public ControlsTest {
 protected:
  CMovieLED* makeLamp(const CRect& r = CRect(160, 109, 181, 130)) {
    CBitmap* strip = loadBitmap(kLampStrip);
    auto* lamp = add(new CMovieLED(r, &editor, 54, 6, 21, strip, CPoint(0, 0)));
    strip->forget();
    return lamp;
  }
  // One idle of the editor: the over flag to the lamp, then a paint pass.
  int idleWithOver(CMovieLED* lamp, float over) {
    lamp->setValue(over);
    paint();
    return lastImage(lamp, 21);
  }
};

TEST_F(LampTest, AnOverDecaysOneImagePerPaintPassDownToTheHeldLevel) {
  CMovieLED* lamp = makeLamp();
  EXPECT_EQ(idleWithOver(lamp, 0), 0);
  // 1.0, 0.8, 0.6, 0.4, then 0.4 held: image 2 of 6 marks a past over.
  const int expected[] = {5, 4, 3, 2, 2, 2, 2};
  std::vector<int> shown;
  shown.push_back(idleWithOver(lamp, 1));
  for (int i = 1; i < 7; ++i) shown.push_back(idleWithOver(lamp, 0));
  EXPECT_EQ(shown, std::vector<int>(std::begin(expected), std::end(expected)));
  EXPECT_NEAR(lamp->getOldValue(), 0.4f, 1e-6) << "the held peak";
  // A new over lights it fully again.
  EXPECT_EQ(idleWithOver(lamp, 1), 5);
  EXPECT_EQ(idleWithOver(lamp, 0), 4);
  EXPECT_TRUE(editor.log.empty());
}

// The peak is held before the lamp level is limited to 1: a flag above 1
// keeps the brightest image for as many more passes.
TEST_F(LampTest, APeakAboveOneIsHeldUnlimited) {
  CMovieLED* lamp = makeLamp();
  std::vector<int> shown;
  shown.push_back(idleWithOver(lamp, 1.4f));
  for (int i = 0; i < 4; ++i) shown.push_back(idleWithOver(lamp, 0));
  EXPECT_EQ(shown, (std::vector<int>{5, 5, 5, 4, 3})) << "1.4, 1.2, 1.0, 0.8, 0.6";
}

TEST_F(LampTest, AClickResetsTheLampThenReportsIt) {
  CMovieLED* lamp = makeLamp();
  idleWithOver(lamp, 1);
  for (int i = 0; i < 5; ++i) idleWithOver(lamp, 0);
  press(CPoint(170, 120));
  release(CPoint(170, 120));
  EXPECT_EQ(editor.log, (Log{"change 54"}));
  EXPECT_EQ(editor.values, std::vector<float>{0.0f}) << "already off when reported";
  EXPECT_EQ(lamp->getOldValue(), 0.0f);
  EXPECT_EQ(idleWithOver(lamp, 0), 0);
  // Other buttons are not the lamp's.
  idleWithOver(lamp, 1);
  editor.clear();
  press(CPoint(170, 120), kRButton);
  EXPECT_TRUE(editor.log.empty());
  EXPECT_EQ(idleWithOver(lamp, 0), 4);
}

TEST_F(LampTest, ResetTurnsTheLampOffAtTheNextPass) {
  CMovieLED* lamp = makeLamp();
  idleWithOver(lamp, 1);
  idleWithOver(lamp, 0);
  lamp->reset();
  paint();
  EXPECT_EQ(lastImage(lamp, 21), 0);
  EXPECT_EQ(idleWithOver(lamp, 0), 0);
  EXPECT_TRUE(editor.log.empty());
}

// The left lamp overlaps the left meter by one row; both change on every idle.
// The lamp still steps once per paint pass, not once per invalidation.
TEST_F(LampTest, OverlappingTheMeterStillStepsOncePerPass) {
  CBitmap* strip = loadBitmap(kMeterStrip);
  CBitmap* scale = loadBitmap(kMeterScaleStrip);
  auto* meter =
      add(new CMovieMeter(CRect(54, 40, 190, 110), &editor, 25, 101, 70, strip, scale, CPoint(), 0));
  strip->forget();
  scale->forget();
  CMovieLED* lamp = makeLamp();
  std::vector<int> shown;
  for (int i = 0; i < 4; ++i) {
    meter->setValue(0.1f * static_cast<float>(i + 1));
    shown.push_back(idleWithOver(lamp, i == 0 ? 1.0f : 0.0f));
  }
  EXPECT_EQ(shown, (std::vector<int>{5, 4, 3, 2}));
}

// ---------------------------------------------------------------- counter

// The glyphs as characters: digits, '.', 'k', '+', '-', '%', 'D' (the dB
// unit), 'H' (the Hz unit), ' ' (blank).
std::string glyphText(const std::vector<BitmapDrawing>& drawn) {
  static const char kChars[] = "0123456789.k+-%DH ";
  std::string text;
  for (const BitmapDrawing& d : drawn) {
    const int glyph = static_cast<int>(d.source.y / 17);
    text += glyph >= 0 && glyph < 18 ? kChars[glyph] : '?';
  }
  return text;
}

class CounterTest : public ControlsTest {
 protected:
  CCounter* makeCounter(float value = 15.32f, int32_t mode = 1) {
    CBitmap* glyphs = loadBitmap(kGlyphStrip);
    auto* counter =
        add(new CCounter(CRect(152, 281, 207, 297), &editor, 50, value, mode, 152, 281, 9, 17, glyphs));
    glyphs->forget();
    return counter;
  }
  std::string shown(CCounter* counter) {
    recorder.clear();
    paint();
    return glyphText(recorder.bitmapsOf(counter));
  }
};

TEST_F(CounterTest, EveryLayoutShowsItsGlyphs) {
  struct Case {
    int32_t mode;
    float value;
    const char* glyphs;
  };
  const Case cases[] = {
      {0, 15.32f, "      "},
      // dB: sign beyond 0.01 of the rounded value; one decimal from 10 up.
      {1, 15.32f, "+15.3D"},
      {1, -15.32f, "-15.3D"},
      {1, -6.0f, "-6.00D"},
      {1, 0.004f, " 0.00D"},
      {1, 0.005f, "+0.01D"},
      {1, -0.005f, "-0.01D"},
      {1, 9.996f, "+10.0D"},
      {1, 24.0f, "+24.0D"},
      {1, 123.0f, "+ 3.0D"},
      // Hz: tenths below 1000, tens with the k from there.
      {2, 400.0f, "400.0H"},
      {2, 12.5f, " 12.5H"},
      {2, 5.0f, "  5.0H"},
      {2, 0.05f, "  0.1H"},
      {2, 999.96f, " 1k00H"},
      {2, 1000.0f, " 1k00H"},
      {2, 12340.0f, "12k34H"},
      {2, 12345.0f, "12k35H"},
      {2, 16000.0f, "16k00H"},
      // Percent: one decimal, leading zeros blank, no sign.
      {3, 57.5f, " 57.5%"},
      {3, 0.4f, "  0.4%"},
      {3, 0.7f, "  0.7%"},
      {3, 100.0f, "100.0%"},
      {3, -57.5f, " 57.5%"},
      // Any other layout: two decimals, no sign, no unit.
      {4, 1.25f, "  1.25"},
      {4, 123.456f, "123.46"},
      {4, 10.0f, " 10.00"},
      {7, 0.125f, "  0.13"},
      {-1, 0.5f, "  0.50"},
  };
  CCounter* counter = makeCounter();
  for (const Case& c : cases) {
    counter->setValueAndMode(c.value, c.mode);
    EXPECT_EQ(shown(counter), c.glyphs) << "mode " << c.mode << " value " << c.value;
  }
}

TEST_F(CounterTest, GlyphsSitSideBySideFromTheGlyphOrigin) {
  CCounter* counter = makeCounter();
  EXPECT_EQ(shown(counter), "+15.3D") << "the constructor's value and layout";
  const auto drawn = recorder.bitmapsOf(counter);
  ASSERT_EQ(drawn.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(drawn[i].dest, (PixelRect{152 + 9 * i, 281, 161 + 9 * i, 298}));
    EXPECT_EQ(drawn[i].clip.bottom, 297) << "the counter's rectangle cuts the glyph's last row";
  }
}

TEST_F(CounterTest, ValuesAreShownAsGivenAndNeverBreakTheLayout) {
  CCounter* counter = makeCounter();
  counter->setMax(1);
  counter->setValueAndMode(16000.0f, 2);
  EXPECT_EQ(counter->getValue(), 16000.0f) << "not limited by setValue";
  EXPECT_EQ(shown(counter), "16k00H");
  for (float huge : {1e30f, -1e30f, INFINITY, NAN}) {
    for (int32_t mode : {1, 2, 3, 4}) {
      counter->setValueAndMode(huge, mode);
      const std::string text = shown(counter);
      EXPECT_EQ(text.size(), 6u);
      EXPECT_EQ(text.find('?'), std::string::npos) << huge << " in mode " << mode;
    }
  }
}

TEST_F(CounterTest, SetValueAndModeRedrawsEvenForTheSameValue) {
  CCounter* counter = makeCounter(50.0f, 3);
  EXPECT_EQ(shown(counter), " 50.0%");
  counter->setValueAndMode(50.0f, 0);
  EXPECT_EQ(shown(counter), "      ");
}

}  // namespace
