// A small raster canvas for drawing the skin images: premultiplied RGBA in
// double precision, shapes anti-aliased by the coverage of a signed distance,
// gradients as paint functions, and 8-bit PNG output. Everything is plain
// arithmetic, so the same program draws the same bytes on every run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skingen {

struct Color {
  double r = 0, g = 0, b = 0, a = 1;  // straight (not premultiplied), 0..1
};

Color rgb(int r, int g, int b, double a = 1.0);
Color mix(const Color& x, const Color& y, double t);
Color withAlpha(const Color& c, double a);
Color scaled(const Color& c, double k);  // brightness, alpha kept

double clamp01(double v);
double smoothstep(double e0, double e1, double x);
constexpr double kPi = 3.14159265358979323846;
double rad(double degrees);

// Paint: the colour at a point (pixel centres are at x + 0.5, y + 0.5).
using Paint = std::function<Color(double x, double y)>;
Paint solid(const Color& c);
Paint linearGradient(double x0, double y0, const Color& c0, double x1, double y1, const Color& c1);
Paint radialGradient(double cx, double cy, double r, const Color& inner, const Color& outer);

// Signed distance of a point to a shape: negative inside, in pixels.
using Shape = std::function<double(double x, double y)>;
Shape circle(double cx, double cy, double r);
Shape ring(double cx, double cy, double r0, double r1);
Shape roundedRect(double x0, double y0, double x1, double y1, double radius);
Shape capsule(double ax, double ay, double bx, double by, double radius);
Shape polygon(std::vector<std::pair<double, double>> points);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);

struct Box {
  int x0, y0, x1, y1;  // half-open
};

class Image {
 public:
  Image() = default;
  Image(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }

  // Premultiplied pixel access.
  const double* at(int x, int y) const { return &pixels_[(std::size_t(y) * width_ + x) * 4]; }
  double* at(int x, int y) { return &pixels_[(std::size_t(y) * width_ + x) * 4]; }
  Color get(int x, int y) const;  // straight colour

  // Source-over of colour c with coverage in 0..1.
  void blend(int x, int y, const Color& c, double coverage);
  // Replace a pixel outright (straight colour).
  void set(int x, int y, const Color& c);

  void fill(const Color& c);
  void fillRect(double x0, double y0, double x1, double y1, const Paint& paint);
  // Draws the shape with the paint; `soft` widens the anti-aliasing edge
  // (for glows and shadows), `bounds` limits the pixels visited.
  void draw(const Shape& shape, const Paint& paint, Box bounds, double soft = 1.0);
  void draw(const Shape& shape, const Color& c, Box bounds, double soft = 1.0);
  // Composites another image (premultiplied over) with its top-left at (x, y).
  void composite(const Image& src, int x, int y, double opacity = 1.0);
  // Copies a region of another image onto this one at (dx, dy), compositing.
  void compositeRegion(const Image& src, int sx, int sy, int w, int h, int dx, int dy);
  // Replaces pixels outright (no blending).
  void paste(const Image& src, int x, int y);
  Image crop(int x, int y, int w, int h) const;
  // A soft shadow of this image's alpha, offset and blurred by a box of radius r.
  Image shadow(double offsetX, double offsetY, int radius, const Color& c) const;

  // 8-bit PNG, RGBA when `alpha`, else RGB over black.
  bool writePng(const std::string& path, bool alpha) const;
  std::vector<std::uint8_t> bytes(bool alpha) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<double> pixels_;
};

Box boxAround(double cx, double cy, double r);
Box fullBox(const Image& im);

// Deterministic value noise for textures.
double hashNoise(int x, int y, int seed);          // -1..1
double smoothNoise1(double x, int row, int seed);  // -1..1, smooth along x

}  // namespace skingen
