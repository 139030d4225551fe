#include "canvas.h"

#include <algorithm>
#include <cmath>

#include "stb_image_write.h"

namespace skingen {

Color rgb(int r, int g, int b, double a) { return {r / 255.0, g / 255.0, b / 255.0, a}; }

Color mix(const Color& x, const Color& y, double t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Color withAlpha(const Color& c, double a) { return {c.r, c.g, c.b, a}; }
Color scaled(const Color& c, double k) { return {clamp01(c.r * k), clamp01(c.g * k), clamp01(c.b * k), c.a}; }

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
double smoothstep(double e0, double e1, double x) {
  double t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
double rad(double degrees) { return degrees * kPi / 180.0; }

Paint solid(const Color& c) {
  return [c](double, double) { return c; };
}

Paint linearGradient(double x0, double y0, const Color& c0, double x1, double y1, const Color& c1) {
  double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  return [=](double x, double y) {
    double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
    return mix(c0, c1, clamp01(t));
  };
}

Paint radialGradient(double cx, double cy, double r, const Color& inner, const Color& outer) {
  return [=](double x, double y) { return mix(inner, outer, clamp01(std::hypot(x - cx, y - cy) / r)); };
}

Shape circle(double cx, double cy, double r) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape ring(double cx, double cy, double r0, double r1) {
  return [=](double x, double y) {
    double d = std::hypot(x - cx, y - cy);
    return std::max(r0 - d, d - r1);
  };
}

Shape roundedRect(double x0, double y0, double x1, double y1, double radius) {
  double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return [=](double x, double y) {
    double qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

Shape capsule(double ax, double ay, double bx, double by, double radius) {
  return [=](double x, double y) {
    double px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? clamp01((px * dx + py * dy) / len2) : 0;
    return std::hypot(px - dx * t, py - dy * t) - radius;
  };
}

Shape polygon(std::vector<std::pair<double, double>> pts) {
  return [pts](double x, double y) {
    double d = 1e30;
    bool inside = false;
    std::size_t n = pts.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      auto [xi, yi] = pts[i];
      auto [xj, yj] = pts[j];
      double ex = xj - xi, ey = yj - yi, wx = x - xi, wy = y - yi;
      double len2 = ex * ex + ey * ey;
      double t = len2 > 0 ? clamp01((wx * ex + wy * ey) / len2) : 0;
      d = std::min(d, std::hypot(wx - ex * t, wy - ey * t));
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside ? -d : d;
  };
}

Shape unite(Shape a, Shape b) {
  return [a, b](double x, double y) { return std::min(a(x, y), b(x, y)); };
}
Shape subtract(Shape a, Shape b) {
  return [a, b](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}
Shape intersect(Shape a, Shape b) {
  return [a, b](double x, double y) { return std::max(a(x, y), b(x, y)); };
}

Image::Image(int width, int height)
    : width_(width), height_(height), pixels_(std::size_t(width) * height * 4, 0.0) {}

Color Image::get(int x, int y) const {
  const double* p = at(x, y);
  if (p[3] <= 0) return {0, 0, 0, 0};
  return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void Image::blend(int x, int y, const Color& c, double coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  double a = clamp01(c.a * coverage);
  if (a <= 0) return;
  double* p = at(x, y);
  double k = 1 - a;
  p[0] = c.r * a + p[0] * k;
  p[1] = c.g * a + p[1] * k;
  p[2] = c.b * a + p[2] * k;
  p[3] = a + p[3] * k;
}

void Image::set(int x, int y, const Color& c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  double* p = at(x, y);
  p[0] = c.r * c.a;
  p[1] = c.g * c.a;
  p[2] = c.b * c.a;
  p[3] = c.a;
}

void Image::fill(const Color& c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) set(x, y, c);
}

void Image::fillRect(double x0, double y0, double x1, double y1, const Paint& paint) {
  int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
  int ix1 = std::min(width_, int(std::ceil(x1))), iy1 = std::min(height_, int(std::ceil(y1)));
  for (int y = iy0; y < iy1; ++y) {
    double cy = std::min(y + 1.0, y1) - std::max(double(y), y0);
    for (int x = ix0; x < ix1; ++x) {
      double cx = std::min(x + 1.0, x1) - std::max(double(x), x0);
      blend(x, y, paint(x + 0.5, y + 0.5), clamp01(cx) * clamp01(cy));
    }
  }
}

void Image::draw(const Shape& shape, const Paint& paint, Box b, double soft) {
  int x0 = std::max(0, b.x0), y0 = std::max(0, b.y0);
  int x1 = std::min(width_, b.x1), y1 = std::min(height_, b.y1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      double px = x + 0.5, py = y + 0.5;
      double d = shape(px, py);
      double cov = soft <= 1.0 ? clamp01(0.5 - d) : 1.0 - smoothstep(-soft / 2, soft / 2, d);
      if (cov > 0) blend(x, y, paint(px, py), cov);
    }
}

void Image::draw(const Shape& shape, const Color& c, Box b, double soft) { draw(shape, solid(c), b, soft); }

void Image::composite(const Image& src, int ox, int oy, double opacity) {
  for (int y = 0; y < src.height_; ++y)
    for (int x = 0; x < src.width_; ++x) {
      int dx = ox + x, dy = oy + y;
      if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) continue;
      const double* s = src.at(x, y);
      double a = s[3] * opacity;
      if (a <= 0) continue;
      double* p = at(dx, dy);
      double k = 1 - a;
      for (int i = 0; i < 3; ++i) p[i] = s[i] * opacity + p[i] * k;
      p[3] = a + p[3] * k;
    }
}

void Image::compositeRegion(const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
  composite(src.crop(sx, sy, w, h), dx, dy);
}

void Image::paste(const Image& src, int ox, int oy) {
  for (int y = 0; y < src.height_; ++y)
    for (int x = 0; x < src.width_; ++x) {
      int dx = ox + x, dy = oy + y;
      if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) continue;
      std::copy_n(src.at(x, y), 4, at(dx, dy));
    }
}

Image Image::crop(int x0, int y0, int w, int h) const {
  Image out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int sx = x0 + x, sy = y0 + y;
      if (sx < 0 || sy < 0 || sx >= width_ || sy >= height_) continue;
      std::copy_n(at(sx, sy), 4, out.at(x, y));
    }
  return out;
}

Image Image::shadow(double offsetX, double offsetY, int radius, const Color& c) const {
  // Alpha moved by the offset (whole pixels), then a separable box blur.
  int ox = int(std::lround(offsetX)), oy = int(std::lround(offsetY));
  std::vector<double> a(std::size_t(width_) * height_, 0.0), t(a.size(), 0.0);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      int sx = x - ox, sy = y - oy;
      if (sx >= 0 && sy >= 0 && sx < width_ && sy < height_) a[std::size_t(y) * width_ + x] = at(sx, sy)[3];
    }
  double n = 2.0 * radius + 1;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      double s = 0;
      for (int k = -radius; k <= radius; ++k) {
        int xx = x + k;
        if (xx >= 0 && xx < width_) s += a[std::size_t(y) * width_ + xx];
      }
      t[std::size_t(y) * width_ + x] = s / n;
    }
  Image out(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      double s = 0;
      for (int k = -radius; k <= radius; ++k) {
        int yy = y + k;
        if (yy >= 0 && yy < height_) s += t[std::size_t(yy) * width_ + x];
      }
      out.set(x, y, withAlpha(c, c.a * s / n));
    }
  return out;
}

static std::uint8_t toByte(double v) { return std::uint8_t(std::floor(clamp01(v) * 255.0 + 0.5)); }

std::vector<std::uint8_t> Image::bytes(bool alpha) const {
  int comp = alpha ? 4 : 3;
  std::vector<std::uint8_t> out(std::size_t(width_) * height_ * comp);
  std::size_t o = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const double* p = at(x, y);
      if (alpha) {
        double a = p[3];
        std::uint8_t ab = toByte(a);
        for (int i = 0; i < 3; ++i) out[o++] = ab == 0 ? 0 : toByte(p[i] / a);
        out[o++] = ab;
      } else {
        for (int i = 0; i < 3; ++i) out[o++] = toByte(p[i]);
      }
    }
  return out;
}

bool Image::writePng(const std::string& path, bool alpha) const {
  std::vector<std::uint8_t> data = bytes(alpha);
  int comp = alpha ? 4 : 3;
  return stbi_write_png(path.c_str(), width_, height_, comp, data.data(), width_ * comp) != 0;
}

Box boxAround(double cx, double cy, double r) {
  return {int(std::floor(cx - r - 2)), int(std::floor(cy - r - 2)), int(std::ceil(cx + r + 2)),
          int(std::ceil(cy + r + 2))};
}
Box fullBox(const Image& im) { return {0, 0, im.width(), im.height()}; }

static std::uint32_t mixBits(std::uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352dU;
  h ^= h >> 15;
  h *= 0x846ca68bU;
  h ^= h >> 16;
  return h;
}

double hashNoise(int x, int y, int seed) {
  std::uint32_t h = mixBits(std::uint32_t(x) * 0x9E3779B1U ^
                            mixBits(std::uint32_t(y) * 0x85EBCA77U ^ std::uint32_t(seed) * 0xC2B2AE3DU));
  return (h & 0xFFFFFF) / double(0xFFFFFF) * 2.0 - 1.0;
}

double smoothNoise1(double x, int row, int seed) {
  double fx = std::floor(x);
  double t = x - fx;
  t = t * t * (3 - 2 * t);
  double a = hashNoise(int(fx), row, seed), b = hashNoise(int(fx) + 1, row, seed);
  return a + (b - a) * t;
}

}  // namespace skingen
