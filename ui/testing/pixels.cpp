#include "ui/testing/pixels.h"

namespace jyxui::testkit {

bool showsBitmap(const PixelBuffer& picture, const PixelRect& area, const CBitmap& bitmap,
                 const CPoint& source) {
  const int sx = snapCoord(source.x);
  const int sy = snapCoord(source.y);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (picture.pixel(x, y) != bitmap.getPixel(sx + x - area.left, sy + y - area.top)) return false;
  return true;
}

int countPixelsUnlike(const PixelBuffer& picture, const PixelRect& area, CColor color) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (picture.pixel(x, y) != color) ++n;
  return n;
}

std::uint64_t pictureHash(const PixelBuffer& picture) {
  std::uint64_t h = 1469598103934665603ull;
  const std::uint8_t* p = picture.data();
  const std::size_t n = picture.stride() * static_cast<std::size_t>(picture.height());
  for (std::size_t i = 0; i < n; ++i) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace jyxui::testkit
