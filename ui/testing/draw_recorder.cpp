#include "ui/testing/draw_recorder.h"

namespace jyxui::testkit {

void DrawRecorder::clear() {
  bitmaps.clear();
  strings.clear();
  rects.clear();
  lines.clear();
}

std::vector<BitmapDrawing> DrawRecorder::bitmapsInto(const PixelRect& dest) const {
  std::vector<BitmapDrawing> found;
  for (const BitmapDrawing& d : bitmaps)
    if (d.dest == dest) found.push_back(d);
  return found;
}

const BitmapDrawing* DrawRecorder::lastBitmapInto(const PixelRect& dest) const {
  for (auto it = bitmaps.rbegin(); it != bitmaps.rend(); ++it)
    if (it->dest == dest) return &*it;
  return nullptr;
}

std::vector<BitmapDrawing> DrawRecorder::bitmapsOf(const CView* view) const {
  std::vector<BitmapDrawing> found;
  for (const BitmapDrawing& d : bitmaps)
    if (d.view == view) found.push_back(d);
  return found;
}

std::vector<std::string> DrawRecorder::textsOf(const CView* view) const {
  std::vector<std::string> found;
  for (const StringDrawing& d : strings)
    if (d.view == view) found.push_back(d.text);
  return found;
}

const StringDrawing* DrawRecorder::lastStringOf(const CView* view) const {
  for (auto it = strings.rbegin(); it != strings.rend(); ++it)
    if (it->view == view) return &*it;
  return nullptr;
}

}  // namespace jyxui::testkit
