#include "ui/pixel_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// ---- regions ----

namespace {

long areaOf(const PixelRect& r) { return r.isEmpty() ? 0 : static_cast<long>(r.width()) * r.height(); }

bool overlaps(const PixelRect& a, const PixelRect& b) { return !a.intersected(b).isEmpty(); }

// Side by side along a whole edge: their bounding rectangle is both and nothing more.
bool flush(const PixelRect& a, const PixelRect& b) { return areaOf(a.united(b)) == areaOf(a) + areaOf(b); }

}  // namespace

void PixelRegion::add(const PixelRect& r) {
  if (r.isEmpty()) return;
  PixelRect joined = r;
  for (std::size_t i = 0; i < parts_.size();) {
    if (overlaps(parts_[i], joined) || flush(parts_[i], joined)) {
      joined = joined.united(parts_[i]);
      parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(i));
      i = 0;  // the larger rectangle may now meet a part passed over
    } else {
      ++i;
    }
  }
  parts_.push_back(joined);
  while (parts_.size() > kMaxParts) {
    std::size_t bestA = 0, bestB = 1;
    long bestWaste = -1;
    for (std::size_t a = 0; a < parts_.size(); ++a)
      for (std::size_t b = a + 1; b < parts_.size(); ++b) {
        const long waste = areaOf(parts_[a].united(parts_[b])) - areaOf(parts_[a]) - areaOf(parts_[b]);
        if (bestWaste < 0 || waste < bestWaste) {
          bestWaste = waste;
          bestA = a;
          bestB = b;
        }
      }
    join(bestA, bestB);
  }
}

void PixelRegion::join(std::size_t a, std::size_t b) {
  if (a == b || a >= parts_.size() || b >= parts_.size()) return;
  const PixelRect joined = parts_[a].united(parts_[b]);
  parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(std::max(a, b)));
  parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(std::min(a, b)));
  add(joined);
}

PixelRect PixelRegion::bounds() const {
  PixelRect r;
  for (const PixelRect& part : parts_) r = r.united(part);
  return r;
}

long PixelRegion::area() const {
  long n = 0;
  for (const PixelRect& part : parts_) n += areaOf(part);
  return n;
}

// ---- pixels ----

namespace {

// Lays (r, g, b) with opacity a (1..255) over the pixel, in integer
// arithmetic only, so that every build composes the same bytes.
inline void blendOver(std::uint8_t* p, unsigned r, unsigned g, unsigned b, unsigned a) {
  if (a == 255) {
    p[0] = static_cast<std::uint8_t>(r);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(b);
    p[3] = 255;
    return;
  }
  const unsigned under = static_cast<unsigned>(p[3]) * (255 - a);  // the old pixel's share, x 255
  const unsigned total = a * 255 + under;                          // resulting alpha, x 255
  auto mix = [&](unsigned src, unsigned dst) {
    return static_cast<std::uint8_t>((src * a * 255 + dst * under + total / 2) / total);
  };
  p[0] = mix(r, p[0]);
  p[1] = mix(g, p[1]);
  p[2] = mix(b, p[2]);
  p[3] = static_cast<std::uint8_t>((total + 127) / 255);
}

// A colour's alpha scaled by a coverage of 0..255.
inline unsigned scaledAlpha(unsigned alpha, unsigned coverage) { return (alpha * coverage + 127) / 255; }

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
  const unsigned a = scaledAlpha(c.alpha, static_cast<unsigned>(std::clamp(coverage, 0, 255)));
  if (a == 0) return;
  blendOver(&pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4], c.red, c.green, c.blue, a);
}

void PixelBuffer::blendRow(int x, int y, const std::uint8_t* s, int count, int coverage) {
  std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  const auto c = static_cast<unsigned>(std::clamp(coverage, 0, 255));
  if (c == 0) return;
  for (int i = 0; i < count;) {
    if (c == 255 && s[3] == 255) {
      // A run of opaque pixels at full coverage replaces what lies under it.
      int run = 1;
      while (i + run < count && s[run * 4 + 3] == 255) ++run;
      std::memcpy(p, s, static_cast<std::size_t>(run) * 4);
      i += run;
      s += run * 4;
      p += run * 4;
      continue;
    }
    // At full coverage the pixel's own alpha is the opacity.
    const unsigned a = c == 255 ? s[3] : scaledAlpha(s[3], c);
    if (a != 0) blendOver(p, s[0], s[1], s[2], a);
    ++i;
    s += 4;
    p += 4;
  }
}

void PixelBuffer::fill(CColor c) { fill(bounds(), c); }

void PixelBuffer::fill(const PixelRect& area, CColor c) {
  const PixelRect r = area.intersected(bounds());
  if (r.isEmpty()) return;
  const std::uint8_t pixel[4] = {c.red, c.green, c.blue, c.alpha};
  std::uint8_t* first = &pixels_[(static_cast<std::size_t>(r.top) * width_ + r.left) * 4];
  for (int x = 0; x < r.width(); ++x) std::memcpy(first + x * 4, pixel, 4);
  for (int y = r.top + 1; y < r.bottom; ++y)
    std::memcpy(&pixels_[(static_cast<std::size_t>(y) * width_ + r.left) * 4], first,
                static_cast<std::size_t>(r.width()) * 4);
}

void PixelBuffer::copyFrom(const PixelBuffer& source, const PixelRect& area) {
  const PixelRect r = area.intersected(bounds()).intersected(source.bounds());
  if (r.isEmpty() || source.width_ != width_) return;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::size_t at = (static_cast<std::size_t>(y) * width_ + r.left) * 4;
    std::memcpy(&pixels_[at], &source.pixels_[at], static_cast<std::size_t>(r.width()) * 4);
  }
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
