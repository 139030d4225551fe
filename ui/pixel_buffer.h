// The picture of a frame: 8-bit RGBA pixels, row after row, top row first.
// Every drawing of the layer lands here; a window back end only copies it to
// the screen, and tests read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/base.h"

namespace jyxui {

// A rectangle of whole pixels: left <= x < right, top <= y < bottom.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool isEmpty() const { return right <= left || bottom <= top; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  PixelRect intersected(const PixelRect& o) const;
  PixelRect united(const PixelRect& o) const;
  CRect toRect() const { return CRect(left, top, right, bottom); }
  bool operator==(const PixelRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Areas of whole pixels: parts that never overlap, such as what a paint pass
// paints again and sends to the window. A rectangle added joins every part it
// overlaps, and a part it lies flush against along a whole edge, into their
// bounding rectangle; past kMaxParts the two parts whose bounding rectangle
// adds the least area are joined.
class PixelRegion {
 public:
  static constexpr std::size_t kMaxParts = 8;

  PixelRegion() = default;
  explicit PixelRegion(const PixelRect& r) { add(r); }

  void add(const PixelRect& r);
  // Parts a and b and what their bounding rectangle then overlaps become one.
  void join(std::size_t a, std::size_t b);
  void clear() { parts_.clear(); }
  void swap(PixelRegion& o) { parts_.swap(o.parts_); }

  bool isEmpty() const { return parts_.empty(); }
  const std::vector<PixelRect>& parts() const { return parts_; }
  PixelRect bounds() const;
  long area() const;

 private:
  std::vector<PixelRect> parts_;
};

// Each edge to its nearest whole pixel (halves go up): how blits, fills and
// clips place fractional rectangles, so a picture copied from a fractional
// offset lands on the same pixels it was taken from.
int snapCoord(CCoord v);
PixelRect snapRect(const CRect& r);
// The smallest rectangle of whole pixels covering r.
PixelRect coverRect(const CRect& r);

class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(int width, int height, CColor fill = kBlackCColor);

  int width() const { return width_; }
  int height() const { return height_; }
  PixelRect bounds() const { return {0, 0, width_, height_}; }
  std::size_t stride() const { return static_cast<std::size_t>(width_) * 4; }
  const std::uint8_t* data() const { return pixels_.data(); }
  std::uint8_t* data() { return pixels_.data(); }

  // Outside the buffer: transparent black.
  CColor pixel(int x, int y) const;
  void setPixel(int x, int y, CColor c);
  // Lays c over the pixel with c's alpha scaled by coverage (0..255).
  void blend(int x, int y, CColor c, int coverage = 255);
  // Lays count straight RGBA pixels over the row from (x, y), each as blend
  // lays it; the row must lie inside the buffer.
  void blendRow(int x, int y, const std::uint8_t* rgba, int count, int coverage = 255);
  void fill(CColor c);
  void fill(const PixelRect& area, CColor c);
  // The area of another buffer of the same size, copied in place.
  void copyFrom(const PixelBuffer& source, const PixelRect& area);

  // The area as 32-bit words of blue, green, red and a zero byte, the layout
  // of an X11 ZPixmap of depth 24 and of a Windows top-down DIB.
  void copyBgrx(const PixelRect& area, std::uint8_t* dest, std::size_t destStride) const;

  bool operator==(const PixelBuffer& o) const {
    return width_ == o.width_ && height_ == o.height_ && pixels_ == o.pixels_;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace jyxui
