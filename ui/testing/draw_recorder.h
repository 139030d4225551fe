// Test support: records what a frame or a draw context drew, so that tests
// can check which image of which bitmap and which text went where.
#pragma once

#include <string>
#include <vector>

#include "ui/draw_context.h"

namespace jyxui::testkit {

class DrawRecorder : public DrawObserver {
 public:
  void bitmapDrawn(const BitmapDrawing& d) override { bitmaps.push_back(d); }
  void stringDrawn(const StringDrawing& d) override { strings.push_back(d); }
  void rectDrawn(const RectDrawing& d) override { rects.push_back(d); }
  void lineDrawn(const LineDrawing& d) override { lines.push_back(d); }
  void clear();

  // The blits whose destination is exactly this rectangle (frame pixels).
  std::vector<BitmapDrawing> bitmapsInto(const PixelRect& dest) const;
  const BitmapDrawing* lastBitmapInto(const PixelRect& dest) const;
  // The blits made while drawing this view.
  std::vector<BitmapDrawing> bitmapsOf(const CView* view) const;
  // The texts drawn while drawing this view, in order.
  std::vector<std::string> textsOf(const CView* view) const;
  const StringDrawing* lastStringOf(const CView* view) const;

  std::vector<BitmapDrawing> bitmaps;
  std::vector<StringDrawing> strings;
  std::vector<RectDrawing> rects;
  std::vector<LineDrawing> lines;
};

}  // namespace jyxui::testkit
