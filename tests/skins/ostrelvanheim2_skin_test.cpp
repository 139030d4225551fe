// The skin embedded in JYX Ostrelvanheim2: every image, and the laws by which
// the editor picks an image for a value.
#include <gtest/gtest.h>

#include <cmath>

#include "products/ostrelvanheim2/editor_layout.h"
#include "skin_checks.h"
#include "skin_expectations.h"

namespace skintest {
namespace {

TEST(Ostrelvanheim2Skin, CarriesEveryImageWithItsSizeAndLayout) {
  expectSkin(with(ostrelvanheim2Images(), presetStripImages()), {19100, 19114, 19134, 19028, 19007});
  EXPECT_EQ(findName("bmp19029.png"), nullptr);
}

TEST(Ostrelvanheim2Skin, KnobPointersStandWhereACircularDragReadsTheirValue) {
  for (int number : {19008, 19010, 19012, 19013, 19024}) {
    SCOPED_TRACE(number);
    Picture p = load(number);
    expectKnobPointers(p, singleColumn(p, 101));
  }
  Picture back = load(19032);
  expectKnobPointers(back, singleColumn(back, 51));
  // The Drive knob: ten images to a column, columns 113 pixels apart.
  expectKnobPointers(load(19009), StripLayout{113, 93, 101, 10, 113});
}

// The meter shows image trunc(100 pos + 0.5) with pos = p 0.617 + 0.018, so
// 0 dB (level 1.0, p = 1 in either scale) falls at 63.5: the scale's 0 dB mark,
// where the red begins, must lie between the needles of images 63 and 64.
TEST(Ostrelvanheim2Skin, MeterZeroDecibelMarkLiesBetweenImages63And64InBothScales) {
  for (int number : {19003, 19004}) {
    SCOPED_TRACE(number);
    Picture p = load(number);
    ASSERT_FALSE(p.empty());
    double red = meterRedStart(p);
    double at63 = meterNeedleAngle(p, 63), at64 = meterNeedleAngle(p, 64);
    EXPECT_NEAR(at63, meterImageAngle(63), 0.2);
    EXPECT_NEAR(at64, meterImageAngle(64), 0.2);
    EXPECT_LE(red, at63 + 0.1);
    EXPECT_GE(red, at64 - 0.1);
    // Silence (image 2) leaves the needle at the left end, left of the scale's first mark.
    EXPECT_GT(meterNeedleAngle(p, 2), meterImageAngle(5));
  }
}

TEST(Ostrelvanheim2Skin, CounterGlyphsKeepTheirInkAboveTheLastRow) { expectCounterGlyphs(load(19021)); }

// A readout shows the page picture taken at its back offset behind its text.
TEST(Ostrelvanheim2Skin, ReadoutAreasArePlain) {
  // Readouts: the rect and two pixels around it. The program name field sits
  // at a half-pixel height, so both rows it may start on.
  expectPlainAreas({
      {19000, 120, 428, 212, 438, 2},  // delay in milliseconds and samples
      {19000, 175, 443, 292, 459, 0},  // program name
      {19002, 55, 221, 198, 235, 2},
      {19002, 253, 221, 396, 235, 2},  // band saturation and release
      {19002, 60, 291, 100, 305, 2},
      {19002, 55, 340, 105, 354, 2},
      {19002, 254, 291, 304, 305, 2},
      {19002, 254, 340, 304, 354, 2},
      {19002, 65, 412, 95, 426, 2},
      {19002, 158, 412, 188, 426, 2},
      {19002, 264, 412, 294, 426, 2},
  });
  // The over-indicator readout shows the patch at (158, 412) in place of its own.
  Picture back = load(19002);
  EXPECT_EQ(colourAt(back, 158, 412), colourAt(back, 65, 412));
}

// After an over the lamp steps down and holds image 2 until it is cleared:
// image 2 must read as lit but dim.
TEST(Ostrelvanheim2Skin, ClipLampBrightensImageByImage) {
  Picture p = load(19026);
  ASSERT_FALSE(p.empty());
  for (int k = 1; k < 6; ++k) EXPECT_GT(meanBrightness(p, 21, k), meanBrightness(p, 21, k - 1) + 3) << k;
  EXPECT_GT(meanBrightness(p, 21, 2), meanBrightness(p, 21, 0) + 15);
  EXPECT_LT(meanBrightness(p, 21, 2), meanBrightness(p, 21, 5) - 25);
}

TEST(Ostrelvanheim2Skin, EveryControlOfTheEditorIsAsLargeAsOneImage) {
  expectControlsFillOneImage(ostrelvanheim2::kEditorTraits.front);
  expectControlsFillOneImage(ostrelvanheim2::kEditorTraits.back);
}

}  // namespace
}  // namespace skintest
