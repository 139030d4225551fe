#include "skin_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "stb_image.h"
#include "tools/skingen/geometry.h"

namespace skintest {

namespace {
constexpr double kPi = 3.14159265358979323846;

// Premultiplied channel value of a pixel.
double premul(const Picture& p, int x, int y, int c) { return p.at(x, y)[c] * (p.at(x, y)[3] / 255.0); }

// Bilinear sample of the premultiplied colour.
void sample(const Picture& p, double x, double y, double out[3]) {
  x -= 0.5;
  y -= 0.5;
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  double fx = x - x0, fy = y - y0;
  for (int c = 0; c < 3; ++c) out[c] = 0;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      int xx = std::clamp(x0 + i, 0, p.width - 1), yy = std::clamp(y0 + j, 0, p.height - 1);
      double w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
      for (int c = 0; c < 3; ++c) out[c] += w * premul(p, xx, yy, c);
    }
}
}  // namespace

const jyxui::EmbeddedResource* findNumber(int number) {
  const jyxui::ResourceTable& t = jyxui::moduleResources();
  for (std::size_t i = 0; i < t.count; ++i)
    if (t.entries[i].number == number && number != 0) return &t.entries[i];
  return nullptr;
}

const jyxui::EmbeddedResource* findName(const char* name) {
  const jyxui::ResourceTable& t = jyxui::moduleResources();
  for (std::size_t i = 0; i < t.count; ++i)
    if (t.entries[i].name && std::strcmp(t.entries[i].name, name) == 0) return &t.entries[i];
  return nullptr;
}

Picture decode(const jyxui::EmbeddedResource& r) {
  Picture p;
  int n = 0;
  unsigned char* data = stbi_load_from_memory(r.bytes, int(r.size), &p.width, &p.height, &n, 4);
  if (!data) return {};
  p.rgba.assign(data, data + std::size_t(p.width) * p.height * 4);
  stbi_image_free(data);
  return p;
}

Picture load(int number) {
  const jyxui::EmbeddedResource* r = findNumber(number);
  return r ? decode(*r) : Picture{};
}

Picture load(const char* name) {
  const jyxui::EmbeddedResource* r = findName(name);
  return r ? decode(*r) : Picture{};
}

void expectSkin(const std::vector<Expected>& expected, const std::vector<int>& absent) {
  for (const Expected& e : expected) {
    std::string what = e.name ? std::string(e.name) : std::to_string(e.number);
    SCOPED_TRACE(what);
    const jyxui::EmbeddedResource* r = e.name ? findName(e.name) : findNumber(e.number);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->number, e.number);
    Picture p = decode(*r);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(p.width, e.width);
    EXPECT_EQ(p.height, e.height);
    int perColumn = (e.images + e.columns - 1) / e.columns;
    EXPECT_EQ(p.height % perColumn, 0) << "images of equal height";
  }
  EXPECT_EQ(jyxui::moduleResources().count, expected.size()) << "the table holds exactly the skin's images";
  for (int n : absent) EXPECT_EQ(findNumber(n), nullptr) << n;
}

std::string plainDifference(const Picture& p, int x0, int y0, int x1, int y1) {
  std::uint32_t first = colourAt(p, x0, y0);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (colourAt(p, x, y) != first) {
        std::ostringstream s;
        s << "(" << x << "," << y << ") differs from (" << x0 << "," << y0 << ")";
        return s.str();
      }
  return {};
}

void expectPlainAreas(const std::vector<PlainArea>& areas) {
  for (const PlainArea& a : areas) {
    SCOPED_TRACE(a.number);
    Picture p = load(a.number);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(plainDifference(p, a.x0 - a.margin, a.y0 - a.margin, a.x1 + a.margin, a.y1 + a.margin), "");
  }
}

std::uint32_t colourAt(const Picture& p, int x, int y) {
  const std::uint8_t* c = p.at(x, y);
  return std::uint32_t(c[0]) << 24 | std::uint32_t(c[1]) << 16 | std::uint32_t(c[2]) << 8 | c[3];
}

StripLayout singleColumn(const Picture& p, int images) {
  return {p.width, p.height / images, images, images, 0};
}

std::vector<double> pointerAngles(const Picture& strip, const StripLayout& l, double r0, double r1) {
  auto origin = [&](int k, int& ox, int& oy) {
    ox = k / l.perColumn * l.pitch;
    oy = k % l.perColumn * l.h;
  };
  // The median picture: what stays put while the knob turns.
  std::vector<double> median(std::size_t(l.w) * l.h * 3), values(l.images);
  for (int y = 0; y < l.h; ++y)
    for (int x = 0; x < l.w; ++x)
      for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < l.images; ++k) {
          int ox, oy;
          origin(k, ox, oy);
          values[k] = premul(strip, ox + x, oy + y, c);
        }
        std::nth_element(values.begin(), values.begin() + l.images / 2, values.end());
        median[(std::size_t(y) * l.w + x) * 3 + c] = values[l.images / 2];
      }
  double cx = l.w / 2.0, cy = l.h / 2.0, half = std::min(l.w, l.h) / 2.0;
  std::vector<double> angles;
  for (int k = 0; k < l.images; ++k) {
    int ox, oy;
    origin(k, ox, oy);
    double sx = 0, sy = 0;
    for (int y = 0; y < l.h; ++y)
      for (int x = 0; x < l.w; ++x) {
        double dx = x + 0.5 - cx, dy = cy - (y + 0.5), r = std::hypot(dx, dy);
        if (r < r0 * half || r > r1 * half) continue;
        double d = 0;
        for (int c = 0; c < 3; ++c)
          d += std::fabs(premul(strip, ox + x, oy + y, c) - median[(std::size_t(y) * l.w + x) * 3 + c]);
        sx += d * dx / r;
        sy += d * dy / r;
      }
    angles.push_back(std::atan2(sy, sx) * 180 / kPi);
  }
  return angles;
}

double angleDifference(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

void expectKnobPointers(const Picture& strip, const StripLayout& layout) {
  ASSERT_FALSE(strip.empty());
  std::vector<double> angles = pointerAngles(strip, layout);
  for (int k = 0; k < layout.images; ++k)
    EXPECT_NEAR(angleDifference(angles[k], 225.0 - 270.0 * k / (layout.images - 1)), 0.0, 3.0)
        << "image " << k;
}

void expectCounterGlyphs(const Picture& g) {
  ASSERT_FALSE(g.empty());
  ASSERT_EQ(g.height, 18 * 17);
  std::uint32_t background = colourAt(g, 0, 17 * 17);
  EXPECT_EQ(plainDifference(g, 0, 17 * 17, g.width, 18 * 17), "") << "the blank glyph";
  for (int i = 0; i < 17; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(plainDifference(g, 0, i * 17 + 16, g.width, i * 17 + 17), "");
    EXPECT_EQ(colourAt(g, 0, i * 17 + 16), background);
    bool ink = false;
    for (int y = i * 17; y < i * 17 + 16; ++y)
      for (int x = 0; x < g.width; ++x) ink = ink || colourAt(g, x, y) != background;
    EXPECT_TRUE(ink);
  }
}

namespace {
constexpr int kMeterH = 70;
using namespace skingen::geometry;

// Samples the image along the arc of `radius` around the meter's pivot.
template <class F>
void alongArc(const Picture& strip, int k, double radius, double step, F&& f) {
  for (double a = 90 + kMeterSweep / 2 + 2; a >= 90 - kMeterSweep / 2 - 2; a -= step) {
    double x = kMeterPivotX + radius * std::cos(a * kPi / 180);
    double y = kMeterPivotY - radius * std::sin(a * kPi / 180) + k * kMeterH;
    double c[3];
    sample(strip, x, y, c);
    f(a, c);
  }
}
}  // namespace

double meterNeedleAngle(const Picture& strip, int k) {
  // The needle is dark: weight the angles by how much darker the pixel is
  // than the same place in an image whose needle stands far away.
  int far = k < 50 ? 100 : 0;
  double radius = kMeterScaleRadius - 15;
  std::vector<std::pair<double, double>> away;
  alongArc(strip, far, radius, 0.02, [&](double a, const double* c) {
    away.push_back({a, c[0] + c[1] + c[2]});
  });
  double sum = 0, weighted = 0;
  std::size_t i = 0;
  alongArc(strip, k, radius, 0.02, [&](double a, const double* c) {
    double d = std::max(0.0, away[i++].second - (c[0] + c[1] + c[2]));
    sum += d;
    weighted += d * a;
  });
  return sum > 0 ? weighted / sum : -1000;
}

double meterRedStart(const Picture& strip) {
  double start = -1000;
  // In image 0 the needle rests at the far left, away from the red.
  alongArc(strip, 0, kMeterScaleRadius + 2, 0.02, [&](double a, const double* c) {
    if (start == -1000 && c[0] > 150 && c[1] < 100 && c[2] < 100) start = a;
  });
  return start;
}

double meterImageAngle(double image) { return 90 + kMeterSweep / 2 - kMeterSweep * image / 100; }

double meanBrightness(const Picture& strip, int h, int k) {
  double sum = 0, n = 0;
  for (int y = k * h; y < (k + 1) * h; ++y)
    for (int x = 0; x < strip.width; ++x) {
      const std::uint8_t* c = strip.at(x, y);
      if (c[3] < 250) continue;
      sum += (c[0] + c[1] + c[2]) / 3.0;
      n += 1;
    }
  return n > 0 ? sum / n : 0;
}

void expectControlsFillOneImage(std::span<const EditorControl> page) {
  for (const EditorControl& c : page) {
    if (c.bitmap == 0 || c.kind == EditorControlKind::Counter || c.kind == EditorControlKind::NeedleMeter)
      continue;
    SCOPED_TRACE(c.bitmap);
    const Picture p = load(c.bitmap);
    ASSERT_FALSE(p.empty());
    if (c.kind == EditorControlKind::ColumnKnob) {
      const int perColumn = p.height / c.rect.height();
      EXPECT_EQ(p.height % c.rect.height(), 0);
      EXPECT_EQ((c.images + perColumn - 1) / perColumn * c.columnWidth,
                p.width + c.columnWidth - c.rect.width());
      continue;
    }
    EXPECT_EQ(p.width, c.rect.width());
    EXPECT_EQ(p.height, c.rect.height() * c.images);
  }
}

}  // namespace skintest
