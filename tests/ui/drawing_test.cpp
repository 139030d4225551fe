// The software renderer: blits, fills, lines and text, and the same pixels on
// every build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/ui/ui_test_support.h"
#include "ui/testing/pixels.h"
#include "ui/text_engine.h"

namespace {

using namespace uitest;
using jyxui::testkit::pictureHash;
using jyxui::testkit::showsBitmap;

const CColor kBack{0, 0, 255, 255};

// The rows and columns holding ink other than the background.
struct Ink {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;  // right, bottom exclusive
  bool empty() const { return right < 0; }
};
Ink inkOf(const PixelBuffer& p, CColor background, PixelRect area) {
  Ink ink;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (p.pixel(x, y) != background) {
        ink.left = std::min(ink.left, x);
        ink.top = std::min(ink.top, y);
        ink.right = std::max(ink.right, x + 1);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
  return ink;
}

TEST(Blit, SnapsDestinationAndSourceToWholePixels) {
  PixelBuffer target(60, 60, kBack);
  CBitmap* picture = bitmapOf(gradientPixels(40, 40));
  testkit::DrawRecorder recorder;
  CDrawContext context(target, &recorder);
  picture->draw(&context, CRect(10.5, 20.4, 20.5, 30.4), CPoint(3.5, 4.4));
  ASSERT_EQ(recorder.bitmaps.size(), 1u);
  EXPECT_EQ(recorder.bitmaps[0].dest, (PixelRect{11, 20, 21, 30}));
  EXPECT_EQ(recorder.bitmaps[0].source, CPoint(4, 4));
  EXPECT_TRUE(showsBitmap(target, PixelRect{11, 20, 21, 30}, *picture, CPoint(4, 4)));
  EXPECT_EQ(target.pixel(10, 25), kBack);
  EXPECT_EQ(target.pixel(21, 25), kBack);
  EXPECT_EQ(target.pixel(15, 30), kBack);
  picture->forget();
}

// A readout at a fractional position shows the page picture taken at the same
// fractional offset: it lands exactly on the pixels it was taken from.
TEST(Blit, APictureCopiedFromAFractionalOffsetLandsWhereItWasTaken) {
  PixelBuffer target(40, 40, kBack);
  CBitmap* page = bitmapOf(gradientPixels(40, 40));
  CDrawContext context(target);
  page->draw(&context, CRect(0, 0, 40, 40));
  const PixelBuffer before = target;
  for (double f : {0.5, 0.25, 0.75, 0.4999}) {
    page->draw(&context, CRect(5 + f, 7 + f, 25 + f, 12 + f), CPoint(5 + f, 7 + f));
    EXPECT_TRUE(target == before) << f;
  }
  page->forget();
}

TEST(Blit, HonoursEachPixelsAlphaAndTheGlobalAlpha) {
  PixelBuffer art(3, 1, CColor{0, 0, 0, 0});
  art.setPixel(0, 0, CColor{255, 0, 0, 128});
  art.setPixel(1, 0, CColor{255, 0, 0, 255});
  CBitmap* bitmap = bitmapOf(art);
  PixelBuffer target(3, 2, kBack);
  CDrawContext context(target);
  bitmap->draw(&context, CRect(0, 0, 3, 1));
  EXPECT_EQ(target.pixel(0, 0), (CColor{128, 0, 127, 255}));
  EXPECT_EQ(target.pixel(1, 0), (CColor{255, 0, 0, 255}));
  EXPECT_EQ(target.pixel(2, 0), kBack) << "transparent pixels leave what is under them";
  bitmap->draw(&context, CRect(0, 1, 3, 2), CPoint(0, 0), 0.5f);
  EXPECT_EQ(target.pixel(1, 1), (CColor{128, 0, 127, 255}));
  bitmap->forget();
}

TEST(Blit, StaysInsideTheClipAndTheBitmap) {
  PixelBuffer target(30, 30, kBack);
  CBitmap* bitmap = bitmapOf(stripPixels(10, 10, 1));
  CDrawContext context(target);
  context.setClipRect(CRect(0, 0, 15, 30));
  // Larger than the bitmap and partly outside the clip.
  bitmap->draw(&context, CRect(5, 5, 25, 25), CPoint(0, 0));
  EXPECT_EQ(inkOf(target, kBack, target.bounds()).right, 15);
  EXPECT_EQ(inkOf(target, kBack, target.bounds()).bottom, 15);
  EXPECT_EQ(target.pixel(14, 14), stripColor(0));
  bitmap->forget();
}

// A blit lays its pixels row by row exactly as one pixel laid at a time does:
// every alpha of the bitmap over opaque, translucent and empty pixels, at
// full and partial coverage, from offsets that leave the bitmap.
TEST(Blit, LaysEveryPixelAsOnePixelAtATimeDoes) {
  PixelBuffer art(256, 3);
  for (int a = 0; a < 256; ++a)
    for (int y = 0; y < 3; ++y)
      art.setPixel(a, y,
                   CColor{static_cast<uint8_t>(a * 7), static_cast<uint8_t>(255 - a), 90,
                          static_cast<uint8_t>(y == 1 ? a : (a * 37) % 256)});
  CBitmap* bitmap = bitmapOf(art);
  const CColor unders[] = {{10, 200, 30, 255}, {200, 10, 90, 128}, {0, 0, 0, 0}};
  const struct {
    float alpha;
    CPoint source;
  } cases[] = {{1.0f, CPoint(0, 0)},
               {0.5f, CPoint(0, 0)},
               {0.2f, CPoint(0, 1)},
               {1.0f, CPoint(-3, -1)},
               {1.0f, CPoint(250, 2)}};
  for (const CColor& under : unders) {
    for (const auto& c : cases) {
      PixelBuffer fast(260, 4, under);
      CDrawContext context(fast);
      context.setClipRect(CRect(1, 0, 259, 4));
      bitmap->draw(&context, CRect(0, 0, 260, 4), c.source, c.alpha);
      PixelBuffer slow(260, 4, under);
      const int coverage = static_cast<int>(std::clamp(c.alpha, 0.0f, 1.0f) * 255.0 + 0.5);
      for (int y = 0; y < 4; ++y)
        for (int x = 1; x < 259; ++x) {
          const int bx = x + static_cast<int>(c.source.x), by = y + static_cast<int>(c.source.y);
          if (bx >= 0 && by >= 0 && bx < 256 && by < 3) slow.blend(x, y, art.pixel(bx, by), coverage);
        }
      EXPECT_TRUE(fast == slow) << "alpha " << c.alpha << " source " << c.source.x << "," << c.source.y
                                << " under alpha " << int(under.alpha);
    }
  }
  bitmap->forget();
}

// Where two parts of a bitmap differ, as a rectangle relative to the parts.
TEST(Blit, TwoPartsOfABitmapDifferWhereTheirPixelsDo) {
  PixelBuffer art = stripPixels(20, 10, 3);
  art.setPixel(4, 3, CColor{1, 2, 3, 255});           // image 0 only
  art.setPixel(16, 17, CColor{1, 2, 3, 255});         // image 1 only
  art.fill(PixelRect{0, 20, 20, 30}, stripColor(0));  // image 2 as image 0 was
  CBitmap* bitmap = bitmapOf(art);
  const struct {
    const char* what;
    CPoint a, b;
    int width, height;
    PixelRect differs;
  } cases[] = {
      {"one part with itself", {0, 0}, {0, 0}, 20, 10, {}},
      {"images of one colour each, apart from a pixel", {0, 0}, {0, 10}, 20, 10, {0, 0, 20, 10}},
      {"the same colour, but for one pixel", {0, 0}, {0, 20}, 20, 10, {4, 3, 5, 4}},
      {"the parts' top-left is taken to whole pixels", {0, 0.4}, {0, 19.6}, 20, 10, {4, 3, 5, 4}},
      {"a part that leaves the bitmap: all of it", {0, 25}, {0, 0}, 20, 10, {0, 0, 20, 10}},
      {"no pixels", {0, 0}, {0, 10}, 0, 10, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(bitmap->differingArea(c.a, c.b, c.width, c.height), c.differs) << c.what;
  bitmap->forget();
}

TEST(Shapes, FillsAndFramesCoverTheirPixelsOnly) {
  PixelBuffer target(12, 10, kBack);
  CDrawContext context(target);
  context.setFrameColor(kRedCColor);
  context.drawRect(CRect(2, 2, 8, 6), kDrawStroked);
  EXPECT_EQ(target.pixel(2, 2), kRedCColor);
  EXPECT_EQ(target.pixel(7, 5), kRedCColor);
  EXPECT_EQ(target.pixel(3, 3), kBack);
  EXPECT_EQ(target.pixel(8, 6), kBack);
  context.setFillColor(kGreenCColor);
  context.drawRect(CRect(9, 0, 11, 3), kDrawFilled);
  EXPECT_EQ(inkOf(target, kBack, PixelRect{9, 0, 12, 10}).bottom, 3);
  EXPECT_EQ(target.pixel(10, 2), kGreenCColor);
}

TEST(Lines, AntiAliasedLinesCoverTheirWidthAndFadeAtTheEdges) {
  PixelBuffer target(20, 12, kBack);
  CDrawContext context(target);
  context.setDrawMode(kAntiAliasing);
  context.setFrameColor(kWhiteCColor);
  context.setLineWidth(1);
  context.drawLine(CPoint(2, 3.5), CPoint(12, 3.5));  // centred on row 3
  EXPECT_EQ(target.pixel(6, 3), kWhiteCColor);
  EXPECT_EQ(target.pixel(6, 2), kBack);
  EXPECT_EQ(target.pixel(6, 4), kBack);
  context.setLineWidth(2);
  context.drawLine(CPoint(2, 8), CPoint(12, 8));  // between rows 7 and 8
  EXPECT_EQ(target.pixel(6, 7), kWhiteCColor);
  EXPECT_EQ(target.pixel(6, 8), kWhiteCColor);
  EXPECT_EQ(target.pixel(6, 9), kBack);
  // Half covered: half way between the two colours.
  PixelBuffer soft(10, 10, kBlackCColor);
  CDrawContext softContext(soft);
  softContext.setDrawMode(kAntiAliasing);
  softContext.setFrameColor(kWhiteCColor);
  softContext.setLineWidth(1);
  softContext.drawLine(CPoint(1, 5), CPoint(9, 5));  // on the border of rows 4 and 5
  EXPECT_EQ(soft.pixel(5, 4).red, 128);
  EXPECT_EQ(soft.pixel(5, 5).red, 128);
}

TEST(Lines, AliasedLinesLeaveNoGapsAndAreOneColour) {
  PixelBuffer target(40, 40, kBack);
  CDrawContext context(target);
  context.setDrawMode(kAliasing);
  context.setFrameColor(kRedCColor);
  context.moveTo(CPoint(2.5, 2.5));
  context.lineTo(CPoint(37.5, 20.5));
  for (int x = 3; x < 37; ++x) {
    int hits = 0;
    for (int y = 0; y < 40; ++y) {
      const CColor c = target.pixel(x, y);
      EXPECT_TRUE(c == kBack || c == kRedCColor);
      hits += c == kRedCColor;
    }
    EXPECT_GE(hits, 1) << "column " << x;
  }
}

// A line weighs only the pixels near it, and each as if every pixel of its
// bounds were weighed: lines at many angles, widths and ends, anti-aliased
// and not, through a clip, against that plain walk over the bounds.
TEST(Lines, OnlyPixelsNearTheLineAreTouchedAndEachAsBefore) {
  auto plainWalk = [](PixelBuffer& target, CPoint a, CPoint b, double width, bool smooth, CColor color,
                      const PixelRect& clip) {
    const double half = width * 0.5;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double ux = dx / length, uy = dy / length;
    const PixelRect box = coverRect(CDrawContext::lineBounds(a, b, width)).intersected(clip);
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) {
        const double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
        const double along = px * ux + py * uy;
        const double across = std::fabs(px * uy - py * ux);
        const double coverage = smooth ? std::clamp(half + 0.5 - across, 0.0, 1.0) *
                                             std::clamp(0.5 + std::min(along, length - along), 0.0, 1.0)
                                       : (across <= half && along >= 0 && along <= length ? 1.0 : 0.0);
        if (coverage > 0)
          target.blend(x, y, color, static_cast<int>(std::clamp(coverage, 0.0, 1.0) * 255.0 + 0.5));
      }
  };
  const CColor color{100, 100, 105, 200};
  const PixelRect clip{3, 2, 117, 95};
  for (double degrees = 0; degrees < 360; degrees += 7.5) {
    for (const double width : {1.0, 2.0, 3.5}) {
      for (const bool smooth : {true, false}) {
        const double a = degrees * 3.14159265358979 / 180;
        const CPoint from(60.3 + 3 * std::cos(a), 50.7 - 3 * std::sin(a));
        const CPoint to(60.3 + 68 * std::cos(a), 50.7 - 68 * std::sin(a));
        PixelBuffer drawn(120, 100, kBack);
        CDrawContext context(drawn);
        context.setClipRect(clip.toRect());
        context.setDrawMode(smooth ? kAntiAliasing : kAliasing);
        context.setLineWidth(width);
        context.setFrameColor(color);
        context.drawLine(from, to);
        PixelBuffer walked(120, 100, kBack);
        plainWalk(walked, from, to, width, smooth, color, clip);
        EXPECT_TRUE(drawn == walked) << degrees << " degrees, width " << width << (smooth ? " smooth" : "");
      }
    }
  }
}

TEST(Lines, TranslucentColoursBlend) {
  PixelBuffer target(10, 10, kBlackCColor);
  CDrawContext context(target);
  context.setDrawMode(kAntiAliasing);
  context.setFrameColor(CColor{120, 120, 125, 70});
  context.setLineWidth(1);
  context.drawLine(CPoint(0, 5.5), CPoint(10, 5.5));
  const CColor c = target.pixel(5, 5);
  EXPECT_EQ(c.red, (120 * 70 + 127) / 255);
  EXPECT_EQ(c.blue, (125 * 70 + 127) / 255);
}

// ---- text ----

struct TextCase {
  CCoord size;
  CRect rect;
};

PixelBuffer textPicture(const char* text, CCoord size, const CRect& rect, CHoriTxtAlign align,
                        bool antialias = true) {
  PixelBuffer target(200, 120, kBlackCColor);
  CDrawContext context(target);
  CFontDesc font("Arial", size);
  context.setFont(&font);
  context.setFontColor(kWhiteCColor);
  context.drawString(text, rect, align, antialias);
  return target;
}

TEST(Text, SizesArePixelsOfTheEmbeddedFont) {
  ASSERT_TRUE(TextEngine::instance().isValid());
  // Liberation Sans: capitals stand 1409/2048 of the size.
  for (CCoord size : {9.0, 12.0, 40.0, 80.0}) {
    const PixelBuffer p = textPicture("H", size, CRect(0, 0, 200, 120), kLeftText);
    const Ink ink = inkOf(p, kBlackCColor, p.bounds());
    EXPECT_NEAR(ink.bottom - ink.top, size * 1409 / 2048, 1.0) << size;
  }
  EXPECT_NEAR(TextEngine::instance().metrics(20).ascent, 20 * 1854 / 2048.0, 1e-3);
  EXPECT_NEAR(TextEngine::instance().metrics(20).descent, 20 * 434 / 2048.0, 1e-3);
}

// The baseline sits at top + (height + ascent - descent) / 2.
TEST(Text, IsCentredVerticallyOnItsBaselineRule) {
  const TextCase cases[] = {{9, CRect(10, 10, 60, 24)},
                            {11, CRect(0, 30.5, 100, 45.5)},
                            {12, CRect(5, 3, 80, 20)},
                            {24, CRect(0, 40, 200, 110)},
                            {9, CRect(20, 70, 80, 80)}};
  for (const TextCase& c : cases) {
    const PixelBuffer p = textPicture("H", c.size, c.rect, kLeftText);
    const FontMetrics m = TextEngine::instance().metrics(c.size);
    const int baseline = snapCoord(c.rect.top + (c.rect.getHeight() + m.ascent - m.descent) / 2);
    const Ink ink = inkOf(p, kBlackCColor, p.bounds());
    ASSERT_FALSE(ink.empty());
    EXPECT_EQ(ink.bottom, baseline) << c.size << " in " << c.rect.top << ".." << c.rect.bottom;
  }
}

TEST(Text, AlignsLeftCentreAndRight) {
  const CRect rect(20, 10, 180, 40);
  const Ink left =
      inkOf(textPicture("Mix 50%", 12, rect, kLeftText), kBlackCColor, PixelRect{0, 0, 200, 120});
  const Ink centre =
      inkOf(textPicture("Mix 50%", 12, rect, kCenterText), kBlackCColor, PixelRect{0, 0, 200, 120});
  const Ink right =
      inkOf(textPicture("Mix 50%", 12, rect, kRightText), kBlackCColor, PixelRect{0, 0, 200, 120});
  EXPECT_GE(left.left, 20);
  EXPECT_LE(left.left, 22);
  EXPECT_NEAR((centre.left + centre.right) / 2.0, 100.0, 1.5);
  EXPECT_LE(right.right, 180);
  EXPECT_GE(right.right, 177);
  EXPECT_EQ(left.right - left.left, right.right - right.left);
}

TEST(Text, IsClippedToItsRectangle) {
  const CRect rect(50, 20, 70, 32);
  const PixelBuffer p = textPicture("a long text that does not fit", 12, rect, kCenterText);
  const Ink ink = inkOf(p, kBlackCColor, p.bounds());
  EXPECT_GE(ink.left, 50);
  EXPECT_LE(ink.right, 70);
  EXPECT_GE(ink.top, 20);
  EXPECT_LE(ink.bottom, 32);
}

TEST(Text, WithoutAntiAliasingHasNoInBetweenPixels) {
  const PixelBuffer p = textPicture("v2.5.0", 9, CRect(0, 0, 100, 20), kLeftText, false);
  int inked = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x) {
      const CColor c = p.pixel(x, y);
      EXPECT_TRUE(c == kBlackCColor || c == kWhiteCColor);
      inked += c == kWhiteCColor;
    }
  EXPECT_GT(inked, 10);
}

TEST(Text, MeasuresAsItDraws) {
  PixelBuffer target(10, 10);
  CDrawContext context(target);
  context.setFont(kNormalFontSmall);
  EXPECT_NEAR(context.getStringWidth("Init"), TextEngine::instance().width("Init", 11), 1e-9);
  EXPECT_GT(context.getStringWidth("WWW"), context.getStringWidth("iii"));
  EXPECT_EQ(context.getStringWidth(""), 0.0);
  // Size 0 keeps the size, style -1 keeps the style.
  context.setFont(kNormalFontVerySmall, 0, -1);
  EXPECT_EQ(context.getFont().getSize(), 9.0);
  context.setFont(nullptr, 14, kBoldFace);
  EXPECT_EQ(context.getFont().getSize(), 14.0);
  EXPECT_EQ(context.getFont().getStyle(), kBoldFace);
}

// Every build (Linux natively, Windows under wine, the sanitizer build) draws
// this scene to the same bytes: the hash is fixed here.
TEST(SamePixels, EveryBuildDrawsTheSameScene) {
  PixelBuffer target(160, 90, CColor{30, 32, 36, 255});
  CDrawContext context(target);
  CBitmap* art = bitmapOf(gradientPixels(64, 64));
  art->draw(&context, CRect(4.5, 4.5, 60.5, 40.5), CPoint(2.5, 3));
  context.setDrawMode(kAntiAliasing);
  context.setLineWidth(2);
  context.setFrameColor(CColor{100, 100, 105, 255});
  context.drawLine(CPoint(121.5, 80.5), CPoint(121.5 + 68 * std::cos(1.2), 80.5 - 68 * std::sin(1.2)));
  context.setLineWidth(1);
  context.setFrameColor(CColor{120, 120, 125, 70});
  context.drawLine(CPoint(90, 85), CPoint(150, 20));
  context.setFillColor(CColor{236, 237, 220, 255});
  context.drawRect(CRect(70, 50, 130, 67), kDrawFilled);
  context.setFont(kNormalFont);
  context.setFontColor(CColor{10, 10, 10, 255});
  context.drawString("-3.00 dB", CRect(70, 50, 130, 67), kCenterText);
  context.setFont(kNormalFontVerySmall);
  context.setFontColor(CColor{170, 170, 170, 255});
  context.drawString("x1.25 \xE2\x82\xAC", CRect(4, 70, 60, 84), kLeftText);
  art->forget();
  EXPECT_EQ(pictureHash(target), 0x9a956d0e1b4f1bb8ull) << std::hex << pictureHash(target);
}

}  // namespace
