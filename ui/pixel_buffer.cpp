#include "ui/pixel_buffer.h"

#include <algorithm>
#include <cmath>

namespace jyxui {

PixelRect PixelRect::intersected(const PixelRect& o) const {
  PixelRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
              std::min(bottom, o.bottom)};
  if (r.isEmpty()) return {};
  return r;
}

PixelRect PixelRect::united(const PixelRect& o) const {
  if (o.isEmpty()) return *this;
  if (isEmpty()) return o;
  return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

namespace {
// Coordinates far outside any window are held to a range that fits an int.
CCoord tame(CCoord v) {
  if (!(v == v)) return 0;
  return std::clamp(v, -1.0e7, 1.0e7);
}
}  // namespace

int snapCoord(CCoord v) { return static_cast<int>(std::floor(tame(v) + 0.5)); }

PixelRect snapRect(const CRect& r) {
  return {snapCoord(r.left), snapCoord(r.top), snapCoord(r.right), snapCoord(r.bottom)};
}

PixelRect coverRect(const CRect& r) {
  return {static_cast<int>(std::floor(tame(r.left))), static_cast<int>(std::floor(tame(r.top))),
          static_cast<int>(std::ceil(tame(r.right))), static_cast<int>(std::ceil(tame(r.bottom)))};
}

PixelBuffer::PixelBuffer(int width, int height, CColor fillColor)
    : width_(std::max(0, width)), height_(std::max(0, height)) {
  pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
  fill(fillColor);
}

CColor PixelBuffer::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CColor{0, 0, 0, 0};
  const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  return CColor{p[0], p[1], p[2], p[3]};
}

void PixelBuffer::setPixel(int x, int y, CColor c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  p[0] = c.red;
  p[1] = c.green;
  p[2] = c.blue;
  p[3] = c.alpha;
}

void PixelBuffer::blend(int x, int y, CColor c, int coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  // Integer arithmetic only, so that every build composes the same bytes.
  const unsigned a =
      (static_cast<unsigned>(c.alpha) * static_cast<unsigned>(std::clamp(coverage, 0, 255)) + 127) / 255;
  if (a == 0) return;
  std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  if (a == 255) {
    p[0] = c.red;
    p[1] = c.green;
    p[2] = c.blue;
    p[3] = 255;
    return;
  }
  const unsigned under = static_cast<unsigned>(p[3]) * (255 - a);  // the old pixel's share, x 255
  const unsigned total = a * 255 + under;                          // resulting alpha, x 255
  auto mix = [&](unsigned src, unsigned dst) {
    return static_cast<std::uint8_t>((src * a * 255 + dst * under + total / 2) / total);
  };
  p[0] = mix(c.red, p[0]);
  p[1] = mix(c.green, p[1]);
  p[2] = mix(c.blue, p[2]);
  p[3] = static_cast<std::uint8_t>((total + 127) / 255);
}

void PixelBuffer::fill(CColor c) { fill(bounds(), c); }

void PixelBuffer::fill(const PixelRect& area, CColor c) {
  const PixelRect r = area.intersected(bounds());
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) setPixel(x, y, c);
}

void PixelBuffer::copyBgrx(const PixelRect& area, std::uint8_t* dest, std::size_t destStride) const {
  const PixelRect r = area.intersected(bounds());
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* s = &pixels_[(static_cast<std::size_t>(y) * width_ + r.left) * 4];
    std::uint8_t* d = dest + static_cast<std::size_t>(y - r.top) * destStride;
    for (int x = r.left; x < r.right; ++x, s += 4, d += 4) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = 0;
    }
  }
}

}  // namespace jyxui
