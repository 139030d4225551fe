// Rectangles, reference counting and bounded UTF-8 text.
#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/utf8.h"

namespace {

using namespace uitest;

// Rects that touch share no point: the right and bottom edges are outside.
TEST(Rect, ContainsItsLeftAndTopEdgesButNotItsRightAndBottom) {
  const CRect defaultPreset(103, 446, 150, 456);
  const CRect loadPreset(150, 444, 162, 458);
  struct Case {
    CPoint p;
    bool inDefault;
    bool inLoad;
  };
  const Case cases[] = {
      {{149.999, 450}, true, false},  {{150, 450}, false, true},  {{103, 446}, true, false},
      {{102.999, 446}, false, false}, {{120, 456}, false, false}, {{161.5, 457.9}, false, true},
      {{162, 450}, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(defaultPreset.pointInside(c.p), c.inDefault) << c.p.x << "," << c.p.y;
    EXPECT_EQ(loadPreset.pointInside(c.p), c.inLoad) << c.p.x << "," << c.p.y;
  }
}

TEST(Rect, KeepsFractionalCoordinatesAndIntersects) {
  CRect nameField(175, 443.5, 292, 458.5);
  EXPECT_DOUBLE_EQ(nameField.getHeight(), 15.0);
  EXPECT_TRUE(nameField.pointInside(CPoint(175, 443.5)));
  EXPECT_FALSE(nameField.pointInside(CPoint(175, 443.4)));
  CRect r = nameField;
  r.bound(CRect(200, 450, 400, 500));
  EXPECT_EQ(r, CRect(200, 450, 292, 458.5));
  CRect apart(0, 0, 10, 10);
  EXPECT_TRUE(apart.bound(CRect(10, 0, 20, 10)).isEmpty());
  CRect moved(10, 20, 30, 50);
  moved.moveTo(0, 0);
  EXPECT_EQ(moved, CRect(0, 0, 20, 30));
  EXPECT_EQ(CRect(CPoint(5, 6), CPoint(10, 20)), CRect(5, 6, 15, 26));
}

// addView adopts the caller's reference; removeView(withForget) releases it,
// removeView(without) hands it back.
TEST(ReferenceCounting, ContainersAdoptAndReleaseOrHandBack) {
  const long before = liveObjectCount();
  auto* page = new CViewContainer(CRect(0, 0, 100, 100));
  auto* kept = new CView(CRect(0, 0, 10, 10));
  auto* dropped = new CView(CRect(10, 0, 20, 10));
  EXPECT_TRUE(page->addView(kept));
  EXPECT_TRUE(page->addView(dropped));
  EXPECT_EQ(kept->getNbReference(), 1);

  EXPECT_TRUE(page->removeView(kept, false));
  EXPECT_EQ(kept->getNbReference(), 1) << "the reference went back to the caller";
  EXPECT_TRUE(page->removeView(dropped, true));
  EXPECT_EQ(liveObjectCount(), before + 2) << "the dropped view is gone";
  EXPECT_FALSE(page->removeView(kept, true)) << "not a child any more: left alone";
  EXPECT_EQ(kept->getNbReference(), 1);

  // A view with a parent is refused rather than attached twice.
  EXPECT_TRUE(page->addView(kept));
  auto* other = new CViewContainer(CRect(0, 0, 100, 100));
  EXPECT_FALSE(other->addView(kept));
  other->forget();
  page->forget();
  EXPECT_EQ(liveObjectCount(), before);
}

// The editors release their bitmaps right after creating controls with them.
TEST(ReferenceCounting, ControlsAndContainersHoldTheirBitmaps) {
  const long before = liveObjectCount();
  CBitmap* strip = bitmapOf(stripPixels(4, 4, 3));
  CBitmap* back = bitmapOf(stripPixels(8, 8, 1));
  auto* page = new CViewContainer(CRect(0, 0, 50, 50), nullptr, back);
  auto* knob = new CAnimKnob(CRect(0, 0, 4, 4), nullptr, 1, 3, 4, strip);
  page->addView(knob);
  strip->forget();
  back->forget();
  EXPECT_EQ(strip->getNbReference(), 1);
  EXPECT_EQ(back->getNbReference(), 1);
  EXPECT_TRUE(strip->isLoaded());
  page->forget();
  EXPECT_EQ(liveObjectCount(), before);
}

TEST(Utf8, BoundedTextIsCutAtACharacterBoundary) {
  struct Case {
    std::string text;
    std::size_t bound;
    std::string kept;
  };
  const std::string e = "\xC3\xA9";             // é, 2 bytes
  const std::string euro = "\xE2\x82\xAC";      // €, 3 bytes
  const std::string clef = "\xF0\x9D\x84\x9E";  // 𝄞, 4 bytes
  const Case cases[] = {
      {"abc", 5, "abc"},
      {"abc", 2, "ab"},
      {"a" + e, 2, "a"},
      {"a" + e, 3, "a" + e},
      {euro + euro, 5, euro},
      {euro + euro, 6, euro + euro},
      {"x" + clef, 4, "x"},
      {"x" + clef, 5, "x" + clef},
      {"", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8Cut(c.text, c.bound), c.kept) << c.text << " / " << c.bound;
}

TEST(Utf8, DecodingSurvivesMalformedInput) {
  const std::string text = std::string("A\xC3") + "\xFF" + "\xE2\x82\xAC" + "\xF0\x9D";
  std::vector<char32_t> decoded;
  for (std::size_t i = 0; i < text.size();) decoded.push_back(decodeUtf8(text, i));
  EXPECT_EQ(decoded, (std::vector<char32_t>{U'A', 0xFFFD, 0xFFFD, 0x20AC, 0xFFFD, 0xFFFD}));
  std::string encoded;
  for (char32_t c : {U'a', char32_t(0xE9), char32_t(0x20AC), char32_t(0x1D11E)}) appendUtf8(encoded, c);
  EXPECT_EQ(encoded, "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");
}

}  // namespace

namespace {

using namespace uitest;

// Bitmaps come from the module's table by number or by name; what is not
// there, or does not decode, is not loaded and measures 0 x 0.
TEST(Resources, BitmapsAreFoundByNumberOrNameAndMissingOnesAreNotLoaded) {
  const std::vector<unsigned char> panel = testkit::encodePng(stripPixels(45, 46, 1));
  const std::vector<unsigned char> overlay = testkit::encodePng(stripPixels(146, 41, 1));
  testkit::installResources({{19000, "", panel},
                             {0, "bmp19029.png", overlay},
                             {19005, "", {0x89, 'P', 'N', 'G', 1, 2, 3}},
                             {19006, "", {}}});
  struct Case {
    CResourceDescription resource;
    bool loaded;
    CCoord width, height;
  };
  const Case cases[] = {
      {CResourceDescription(19000), true, 45, 46},
      {CResourceDescription("bmp19029.png"), true, 146, 41},
      {CResourceDescription(19001), false, 0, 0},
      {CResourceDescription("bmp19030.png"), false, 0, 0},
      {CResourceDescription(19005), false, 0, 0},
      {CResourceDescription(19006), false, 0, 0},
      {CResourceDescription(0), false, 0, 0},
      {CResourceDescription(static_cast<const char*>(nullptr)), false, 0, 0},
  };
  for (const Case& c : cases) {
    CBitmap bitmap(c.resource);
    EXPECT_EQ(bitmap.isLoaded(), c.loaded) << c.resource.id << c.resource.name;
    EXPECT_EQ(bitmap.getWidth(), c.width);
    EXPECT_EQ(bitmap.getHeight(), c.height);
  }
  // A missing bitmap draws nothing, also through a control.
  auto* missing = new CBitmap(CResourceDescription(19001));
  PixelBuffer target(20, 20, kBlackCColor);
  CDrawContext context(target);
  CAnimKnob knob(CRect(0, 0, 20, 20), nullptr, 1, missing);
  missing->forget();
  knob.setValue(0.5f);
  knob.draw(&context);
  EXPECT_TRUE(target == PixelBuffer(20, 20, kBlackCColor));
  testkit::clearResources();
}

}  // namespace
