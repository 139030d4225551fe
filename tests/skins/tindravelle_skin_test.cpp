// The skin embedded in JYX Tindravelle.
#include <gtest/gtest.h>

#include "products/tindravelle/editor_layout.h"
#include "skin_checks.h"
#include "skin_expectations.h"

namespace skintest {
namespace {

TEST(TindravelleSkin, CarriesEveryImageWithItsSizeAndLayout) {
  std::vector<Expected> images = {
      {19100, nullptr, 450, 377, 1},   {19002, nullptr, 450, 360, 1},  {19014, nullptr, 42, 98, 2},
      {19016, nullptr, 40, 98, 2},     {19017, nullptr, 40, 98, 2},    {19006, nullptr, 38, 94, 2},
      {19005, nullptr, 41, 150, 3},    {19007, nullptr, 62, 2542, 41}, {19008, nullptr, 62, 2542, 41},
      {19009, nullptr, 114, 5586, 49}, {19011, nullptr, 62, 3038, 49}, {19013, nullptr, 62, 3038, 49},
      {19022, nullptr, 62, 3038, 49},  {19024, nullptr, 62, 1550, 25}, {19028, nullptr, 145, 78, 1},
      {0, "bmp19029.png", 146, 41, 1}, {19026, nullptr, 21, 63, 3},    {19021, nullptr, 9, 306, 18},
      {19032, nullptr, 38, 1887, 51}};
  expectSkin(with(images, presetStripImages()),
             {19000, 19003, 19004, 19010, 19012, 19015, 19033, 19034, 19035});
}

TEST(TindravelleSkin, KnobPointersStandWhereACircularDragReadsTheirValue) {
  struct Case {
    int number, images;
  } cases[] = {{19007, 41}, {19008, 41}, {19009, 49}, {19011, 49},
               {19013, 49}, {19022, 49}, {19024, 25}, {19032, 51}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    Picture p = load(c.number);
    expectKnobPointers(p, singleColumn(p, c.images));
  }
}

TEST(TindravelleSkin, CounterGlyphsKeepTheirInkAboveTheLastRow) { expectCounterGlyphs(load(19021)); }

// The back readouts take their picture two pixels above their rects, so the
// areas must be plain over both.
TEST(TindravelleSkin, ReadoutAreasArePlain) {
  // The rect from its picture's top, and two pixels around; the program name
  // field (centred on row 367) on both rows it may start on.
  expectPlainAreas({
      {19100, 120, 343, 212, 353, 2},  // delay in milliseconds and samples
      {19100, 175, 359, 292, 375, 0},  // program name
      {19002, 55, 200, 105, 214, 2},
      {19002, 55, 251, 105, 265, 2},
      {19002, 255, 200, 305, 214, 2},
      {19002, 255, 251, 305, 265, 2},
      {19002, 65, 329, 95, 343, 2},
  });
}

// The window is 376 rows high: the panel's last row never shows, so it is plain.
TEST(TindravelleSkin, PanelRowBelowTheWindowIsPlain) {
  Picture p = load(19100);
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(plainDifference(p, 0, 376, 450, 377), "");
}

// The lamp's rect reaches three rows below the meter's, which clips it: the
// art keeps to rows 0-17 of each image.
TEST(TindravelleSkin, OverLampKeepsToTheRowsTheMeterShows) {
  Picture p = load(19026);
  ASSERT_FALSE(p.empty());
  for (int k = 0; k < 3; ++k)
    for (int y = 18; y < 21; ++y)
      for (int x = 0; x < 21; ++x)
        EXPECT_EQ(p.at(x, k * 21 + y)[3], 0) << "image " << k << " (" << x << "," << y << ")";
  EXPECT_GT(meanBrightness(p, 21, 0), meanBrightness(p, 21, 1) + 15) << "over brighter than held";
  EXPECT_GT(meanBrightness(p, 21, 1), meanBrightness(p, 21, 2) + 15) << "held brighter than off";
}

// The overlay lies over the needle: clear above its hood and bezel.
TEST(TindravelleSkin, NeedleOverlayLetsTheNeedleShow) {
  Picture p = load("bmp19029.png");
  ASSERT_FALSE(p.empty());
  int clear = 0, total = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < p.width; ++x, ++total) clear += p.at(x, y)[3] < 48;
  EXPECT_GT(clear, total * 8 / 10);
  // One column wider than the meter, which clips it: that column is clear.
  for (int y = 0; y < p.height; ++y) EXPECT_EQ(p.at(145, y)[3], 0) << "row " << y;
}

TEST(TindravelleSkin, EveryControlOfTheEditorIsAsLargeAsOneImage) {
  expectControlsFillOneImage(tindravelle::editor::kFront);
  expectControlsFillOneImage(tindravelle::editor::kBack);
}

}  // namespace
}  // namespace skintest
