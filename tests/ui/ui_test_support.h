// Shared pieces of the user-interface tests: test images, a listener and an
// editor that log what reaches them, and an offscreen frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/backend/offscreen.h"
#include "ui/jyxui.h"
#include "ui/testing/draw_recorder.h"
#include "ui/testing/png.h"
#include "ui/testing/test_resources.h"

namespace uitest {

using namespace jyxui;

// The colour of image i of a test film strip: every image distinct.
inline CColor stripColor(int i) {
  return CColor{static_cast<uint8_t>(10 + 7 * i), static_cast<uint8_t>(200 - 3 * i),
                static_cast<uint8_t>(i * 2), 255};
}

// A film strip of count images of w x h, image i filled with stripColor(i).
inline PixelBuffer stripPixels(int w, int h, int count) {
  PixelBuffer p(w, h * count);
  for (int i = 0; i < count; ++i) p.fill(PixelRect{0, i * h, w, (i + 1) * h}, stripColor(i));
  return p;
}

// A picture where every pixel is unique: red = x, green = y.
inline PixelBuffer gradientPixels(int w, int h) {
  PixelBuffer p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.setPixel(x, y, CColor{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 77, 255});
  return p;
}

inline CBitmap* bitmapOf(const PixelBuffer& p) {
  const std::vector<unsigned char> png = testkit::encodePng(p);
  return new CBitmap(png.data(), png.size());
}

struct Change {
  int32_t tag;
  float value;
  bool operator==(const Change& o) const { return tag == o.tag && value == o.value; }
};

class LogListener : public CControlListener {
 public:
  void valueChanged(CControl* control) override {
    changes.push_back({control->getTag(), control->getValue()});
  }
  std::vector<Change> changes;
};

// The editor side of a frame: logs gestures, keeps a knob mode.
class LogEditor : public VSTGUIEditorInterface {
 public:
  int32_t getKnobMode() const override { return knobMode; }
  void beginEdit(int32_t index) override { gestures.push_back("begin " + std::to_string(index)); }
  void endEdit(int32_t index) override { gestures.push_back("end " + std::to_string(index)); }
  void doIdleStuff() override { ++idleStuff; }
  void setFrame(CFrame* f) { frame = f; }

  int32_t knobMode = kCircularMode;
  std::vector<std::string> gestures;
  int idleStuff = 0;
};

// A view that logs the presses and the wheel that reach it.
class LogMouseView : public CView {
 public:
  explicit LogMouseView(const CRect& r) : CView(r) {}
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    downs.push_back({where, buttons});
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  bool onWheel(const CPoint&, const float& distance, const CButtonState&) override {
    wheel += distance;
    return true;
  }
  std::vector<std::pair<CPoint, CButtonState>> downs;
  float wheel = 0;
};

// An offscreen frame of 200 x 150 for one test; closed at the end.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CFrame(CRect(0, 0, 200, 150), nullptr, &editor);
    editor.setFrame(frame);
    frame->setDrawObserver(&recorder);
  }
  void TearDown() override {
    if (frame) frame->close();
    frame = nullptr;
  }
  OffscreenWindow& window() { return *OffscreenWindow::of(frame); }
  // Adds a view to the frame (adopting the reference) and answers it.
  template <typename V>
  V* add(V* view) {
    frame->addView(view);
    return view;
  }

  LogEditor editor;
  LogListener listener;
  testkit::DrawRecorder recorder;
  CFrame* frame = nullptr;
};

}  // namespace uitest
