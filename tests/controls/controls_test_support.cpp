#include "tests/controls/controls_test_support.h"

#include <algorithm>

namespace ctest {

namespace {

using uitest::stripColor;
using uitest::stripPixels;

// count images of w x h in columns of perColumn, columnWidth apart.
PixelBuffer columnStrip(int w, int h, int perColumn, int columnWidth, int count) {
  const int columns = (count + perColumn - 1) / perColumn;
  PixelBuffer p((columns - 1) * columnWidth + w, perColumn * h);
  for (int i = 0; i < count; ++i) {
    const int x = i / perColumn * columnWidth, y = i % perColumn * h;
    p.fill(PixelRect{x, y, x + w, y + h}, stripColor(i));
  }
  return p;
}

}  // namespace

void installTestSkin() {
  static const bool installed = [] {
    std::vector<testkit::TestImage> images;
    auto strip = [&](int number, const PixelBuffer& pixels) {
      images.push_back({number, "", testkit::encodePng(pixels)});
    };
    strip(kKnobStrip, stripPixels(60, 50, 101));
    strip(kDriveStrip, columnStrip(113, 93, 10, 113, 101));
    strip(kMeterStrip, stripPixels(136, 70, 101));
    strip(kMeterScaleStrip, stripPixels(136, 70, 101));
    strip(kLampStrip, stripPixels(21, 21, 6));
    strip(kGlyphStrip, stripPixels(9, 17, 18));
    strip(kButtonStrip, stripPixels(36, 40, 2));
    strip(kSwitchStrip, stripPixels(40, 50, 3));
    strip(kChannelStrip, stripPixels(51, 48, 4));
    strip(kPagePicture, uitest::gradientPixels(450, 460));
    strip(kNeedleFace, PixelBuffer(145, 78, kFaceColor));
    strip(kNeedleLampStrip, stripPixels(21, 21, 3));
    PixelBuffer overlay(146, 41, MakeCColor(0, 0, 0, 0));
    overlay.fill(PixelRect{0, 26, 146, 41}, kOverlayColor);
    images.push_back({0, kNeedleOverlay, testkit::encodePng(overlay)});
    testkit::installResources(std::move(images));
    return true;
  }();
  (void)installed;
}

Log StubEditor::gestures() const {
  Log out;
  std::copy_if(log.begin(), log.end(), std::back_inserter(out),
               [](const std::string& entry) { return entry.rfind("change ", 0) != 0; });
  return out;
}

void ControlsTest::SetUp() {
  installTestSkin();
  objectsBefore = liveObjectCount();
  frame = new MyFrame(CRect(0, 0, 450, 460), nullptr, editor.frameEditor());
  frame->setDrawObserver(&recorder);
}

void ControlsTest::TearDown() {
  if (frame) frame->close();
  frame = nullptr;
  EXPECT_EQ(liveObjectCount(), objectsBefore) << "a control or bitmap outlived its frame";
}

CPoint ControlsTest::lastSource(const CView* view) const {
  const auto drawn = recorder.bitmapsOf(view);
  return drawn.empty() ? CPoint(-1, -1) : drawn.back().source;
}

int ControlsTest::lastImage(const CView* view, CCoord imageHeight) const {
  const auto drawn = recorder.bitmapsOf(view);
  return drawn.empty() ? -1 : static_cast<int>(drawn.back().source.y / imageHeight);
}

void ControlsTest::press(const CPoint& where, CButtonState buttons) {
  window().advanceTime(1000);
  window().mouseDown(where, buttons);
}

}  // namespace ctest
