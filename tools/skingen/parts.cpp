#include "parts.h"

#include <algorithm>
#include <cmath>

#include "laws.h"

namespace skingen {

namespace {

// Angle of a point around a centre in degrees, counter-clockwise from the
// right with y pointing up (image y runs down).
double angleAt(double x, double y, double cx, double cy) { return std::atan2(cy - y, x - cx) * 180.0 / kPi; }

// A point at `radius` and `degrees` around a centre, in image coordinates.
double px(double cx, double radius, double degrees) { return cx + radius * std::cos(rad(degrees)); }
double py(double cy, double radius, double degrees) { return cy - radius * std::sin(rad(degrees)); }

Shape radialLine(double cx, double cy, double r0, double r1, double degrees, double width) {
  return capsule(px(cx, r0, degrees), py(cy, r0, degrees), px(cx, r1, degrees), py(cy, r1, degrees),
                 width / 2);
}

}  // namespace

Image stack(const std::vector<Image>& images) {
  int w = images.front().width(), h = images.front().height();
  Image out(w, h * int(images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) out.paste(images[i], 0, int(i) * h);
  return out;
}

Image columns(const std::vector<Image>& images, int perColumn, int pitch) {
  int w = images.front().width(), h = images.front().height();
  int cols = (int(images.size()) + perColumn - 1) / perColumn;
  Image out(pitch * (cols - 1) + w, h * perColumn);
  for (std::size_t i = 0; i < images.size(); ++i)
    out.paste(images[i], int(i) / perColumn * pitch, int(i) % perColumn * h);
  return out;
}

// ---- Knobs -------------------------------------------------------------

static Image knobScale(const KnobDesign& d) {
  Image im(d.width, d.height);
  double cx = d.width / 2.0, cy = d.height / 2.0, R = d.radius;
  // Soft shadow under the knob, light from above.
  im.draw(circle(cx + 0.6, cy + R * 0.12 + 1.0, R + 0.8), rgb(0, 0, 0, 0.55), boxAround(cx, cy + 2, R + 4),
          3.5);
  double r0 = R + d.tickGap;
  for (int i = 0; i < d.ticks; ++i) {
    double v = d.ticks > 1 ? double(i) / (d.ticks - 1) : 0;
    bool major =
        std::any_of(d.majors.begin(), d.majors.end(), [&](double m) { return std::fabs(m - v) < 1e-6; });
    double a = 225.0 - 270.0 * v;
    double len = major ? d.majorLength : d.tickLength;
    im.draw(radialLine(cx, cy, r0, r0 + len, a, major ? 1.25 : 0.95), d.look.scale,
            boxAround(cx, cy, r0 + len + 1));
  }
  double nr = d.numeralRadius > 0 ? d.numeralRadius : r0 + d.majorLength + 4;
  TextStyle ns = d.numeralStyle;
  ns.color = d.look.scale;
  for (const Numeral& n : d.numerals) {
    double a = 225.0 - 270.0 * n.value;
    drawTextCentered(im, n.text, px(cx, nr, a) + n.dx, py(cy, nr, a) + n.dy, ns);
  }
  return im;
}

Image knobImage(const KnobDesign& d, double theta) {
  Image im(d.width, d.height);
  double cx = d.width / 2.0, cy = d.height / 2.0, R = d.radius, Rc = R * d.capRatio;
  const KnobLook& k = d.look;
  Box box = boxAround(cx, cy, R + 1);
  double depth = std::max(0.5, R * 0.045);
  double n = d.knurls;
  // Knurled skirt: the ridges turn with the knob, the light stays above.
  Shape skirt = [=](double x, double y) {
    double phi = angleAt(x, y, cx, cy);
    double ridge = 0.5 + 0.5 * std::cos(rad(n * (phi - theta)));
    return std::hypot(x - cx, y - cy) - (R - depth * ridge);
  };
  Paint skirtPaint = [=](double x, double y) {
    double r = std::hypot(x - cx, y - cy);
    double phi = angleAt(x, y, cx, cy);
    double t = clamp01((y - (cy - R)) / (2 * R));
    Color c = mix(k.skirtTop, k.skirtBottom, t);
    double edge = smoothstep(Rc + 0.3 * (R - Rc), R, r);
    double ridgeLight = std::sin(rad(n * (phi - theta))) * std::cos(rad(phi - 90));
    c = scaled(c, 1.0 + 0.35 * edge * ridgeLight);
    double rim = smoothstep(R - 2.2, R - 0.6, r) * std::max(0.0, std::sin(rad(phi)));
    return mix(c, rgb(255, 255, 255), 0.22 * rim);
  };
  im.draw(skirt, skirtPaint, box);
  // Index line on the skirt.
  im.draw(radialLine(cx, cy, Rc + 0.2 * (R - Rc), R - 0.9, theta, d.pointerWidth), k.pointer, box);
  // Cap: a step down from the skirt, brushed in circles, lit from the upper left.
  im.draw(circle(cx, cy + 0.5, Rc + 0.9), rgb(0, 0, 0, 0.55), box, 1.6);
  Paint capPaint = [=](double x, double y) {
    double r = std::hypot(x - cx, y - cy);
    double phi = angleAt(x, y, cx, cy);
    double sheen = 0.5 + 0.5 * std::cos(rad(2 * (phi - 115)));
    double spun = 0.035 * hashNoise(int(r * 5.0), 7, 3);
    Color c = mix(k.capDark, k.capLight, clamp01(0.25 + 0.6 * sheen + spun));
    double bevel = smoothstep(Rc - 1.6, Rc - 0.2, r);
    double lit = std::sin(rad(phi - 20));
    return mix(c, lit > 0 ? rgb(255, 255, 255) : rgb(0, 0, 0), bevel * 0.35 * std::fabs(lit));
  };
  im.draw(circle(cx, cy, Rc), capPaint, box);
  if (k.centre.a > 0) {
    im.draw(circle(cx, cy, Rc * 0.24 + 0.6), rgb(0, 0, 0, 0.45), box);
    im.draw(circle(cx, cy, Rc * 0.24),
            radialGradient(cx - 1, cy - 1, Rc * 0.3, scaled(k.centre, 1.3), k.centre), box);
  }
  // Engraved line on the cap continuing the index.
  double lw = std::max(1.0, d.pointerWidth * 0.7);
  im.draw(radialLine(cx, cy, Rc * 0.28, Rc - 1.4, theta, lw), k.capLine, box);
  return im;
}

Image knobStrip(const KnobDesign& d, int images) {
  Image scale = knobScale(d);
  std::vector<Image> frames;
  for (int i = 0; i < images; ++i) {
    Image f = scale;
    f.composite(knobImage(d, laws::knobAngle(i, images)), 0, 0);
    frames.push_back(std::move(f));
  }
  return stack(frames);
}

// ---- Buttons, selectors, switches --------------------------------------

static void ledBar(Image& im, double x0, double y0, double x1, double y1, const ButtonLook& k, bool on) {
  im.draw(roundedRect(x0 - 0.6, y0 - 0.6, x1 + 0.6, y1 + 0.6, 1.4), rgb(0, 0, 0, 0.7), fullBox(im));
  if (on) {
    im.draw(roundedRect(x0 - 1.5, y0 - 1.5, x1 + 1.5, y1 + 1.5, 2.5), withAlpha(k.ledOn, 0.35), fullBox(im),
            3);
    im.draw(roundedRect(x0, y0, x1, y1, 1),
            linearGradient(0, y0, mix(k.ledOn, rgb(255, 255, 255), 0.45), 0, y1, k.ledOn), fullBox(im));
  } else {
    im.draw(roundedRect(x0, y0, x1, y1, 1), linearGradient(0, y0, scaled(k.ledOff, 1.3), 0, y1, k.ledOff),
            fullBox(im));
  }
}

static void ledDot(Image& im, double cx, double cy, double r, const ButtonLook& k, bool on) {
  im.draw(circle(cx, cy, r + 0.8), rgb(0, 0, 0, 0.7), boxAround(cx, cy, r + 2));
  if (on) {
    im.draw(circle(cx, cy, r + 2.0), withAlpha(k.ledOn, 0.35), boxAround(cx, cy, r + 4), 3);
    im.draw(
        circle(cx, cy, r),
        radialGradient(cx - r * 0.3, cy - r * 0.3, r * 1.3, mix(k.ledOn, rgb(255, 255, 255), 0.6), k.ledOn),
        boxAround(cx, cy, r));
  } else {
    im.draw(circle(cx, cy, r),
            radialGradient(cx - r * 0.3, cy - r * 0.3, r * 1.3, scaled(k.ledOff, 1.6), k.ledOff),
            boxAround(cx, cy, r));
  }
}

static Image buttonImage(const ButtonDesign& d, bool on) {
  Image im(d.width, d.height);
  const ButtonLook& k = d.look;
  double x0 = d.capX0, y0 = d.capY0, x1 = d.capX1, y1 = d.capY1;
  double press = on ? 0.8 : 0.0;
  // Recess in the panel, then the cap with its shadow.
  im.draw(roundedRect(x0 - 1.5, y0 - 1.5, x1 + 1.5, y1 + 1.5, d.radius + 1.5), rgb(0, 0, 0, 0.55),
          fullBox(im), 1.5);
  im.draw(roundedRect(x0 + 0.5, y0 + 1.5 + press, x1 + 0.5, y1 + 1.2, d.radius),
          rgb(0, 0, 0, on ? 0.35 : 0.6), fullBox(im), on ? 1.5 : 2.5);
  double top = y0 + press, bottom = y1 + press * 0.5;
  Color capTop = on ? scaled(k.capTop, 0.9) : k.capTop;
  im.draw(roundedRect(x0, top, x1, bottom, d.radius), linearGradient(0, top, capTop, 0, bottom, k.capBottom),
          fullBox(im));
  // Edge light along the top, darker edge at the bottom.
  im.draw(subtract(roundedRect(x0, top, x1, bottom, d.radius),
                   roundedRect(x0 + 0.9, top + 0.9, x1 - 0.9, bottom - 1.1, d.radius - 0.8)),
          linearGradient(0, top, mix(capTop, rgb(255, 255, 255), 0.35), 0, bottom, k.capEdge), fullBox(im));
  double w = x1 - x0, h = bottom - top;
  if (d.led == ButtonDesign::Led::Bar) {
    double lx0 = x0 + w * 0.22, lx1 = x1 - w * 0.22, ly0 = top + h * 0.16,
           ly1 = ly0 + std::max(2.5, h * 0.11);
    ledBar(im, lx0, ly0, lx1, ly1, k, on);
    const std::string& text = on ? d.legendOn : d.legendOff;
    if (!text.empty()) {
      TextStyle s = d.legendStyle;
      s.color = on ? k.legendLit : k.legend;
      drawTextCentered(im, text, (x0 + x1) / 2, (ly1 + bottom) / 2 + 0.5, s);
    }
  } else {
    ledDot(im, (x0 + x1) / 2, (top + bottom) / 2, std::max(2.0, w * 0.14), k, on);
  }
  return im;
}

Image buttonStrip(const ButtonDesign& d) { return stack({buttonImage(d, false), buttonImage(d, true)}); }

Image selectorStrip(const SelectorDesign& d) {
  std::vector<Image> frames;
  int rows = int(d.legends.size());
  for (int lit = 0; lit < rows; ++lit) {
    Image im(d.width, d.height);
    const ButtonLook& k = d.look;
    im.draw(roundedRect(1, 1, d.width - 1, d.height - 1, 3), rgb(0, 0, 0, 0.55), fullBox(im), 1.5);
    im.draw(roundedRect(1.5, 1.5, d.width - 1.5, d.height - 1.5, 2.5),
            linearGradient(0, 0, k.capTop, 0, d.height, k.capBottom), fullBox(im));
    double band = (d.height - 4.0) / rows;
    for (int i = 0; i < rows; ++i) {
      double cy = 2.0 + band * (i + 0.5);
      if (i > 0)
        im.fillRect(5, 2.0 + band * i - 0.5, d.width - 5, 2.0 + band * i + 0.5,
                    solid(withAlpha(k.capEdge, 0.8)));
      ledDot(im, 8.5, cy, 2.2, k, i == lit);
      TextStyle s = d.legendStyle;
      s.color = i == lit ? k.legendLit : k.legend;
      drawText(im, d.legends[i], 14, cy + capHeight(s) / 2, Align::Left, s);
    }
    frames.push_back(std::move(im));
  }
  return stack(frames);
}

Image channelStrip(int width, int height, double usable, const ButtonLook& k, const TextStyle& legendStyle) {
  // Values 0, 0.33, 0.67, 1.0 select the images up, left, right, down.
  const char* legends[4] = {"MONO", "L", "R", "STEREO"};
  double cx = usable / 2, cy = height / 2.0;
  double lever[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
  std::vector<Image> frames;
  for (int sel = 0; sel < 4; ++sel) {
    Image im(width, height);
    im.draw(roundedRect(1, 1, usable - 1, height - 1, 4), rgb(0, 0, 0, 0.55), fullBox(im), 1.5);
    im.draw(roundedRect(1.5, 1.5, usable - 1.5, height - 1.5, 3.5),
            linearGradient(0, 0, k.capTop, 0, height, k.capBottom), fullBox(im));
    double lx[4] = {cx, 6.5, usable - 6.5, cx};
    double ly[4] = {7.5, cy, cy, height - 7.5};
    for (int i = 0; i < 4; ++i) {
      TextStyle s = legendStyle;
      s.color = i == sel ? k.legendLit : k.legend;
      drawTextCentered(im, legends[i], lx[i], ly[i], s);
    }
    // Cross-shaped gate and the lever in it.
    Color gate = rgb(0, 0, 0, 0.75);
    im.draw(capsule(cx - 8, cy, cx + 8, cy, 2.0), gate, fullBox(im));
    im.draw(capsule(cx, cy - 8, cx, cy + 8, 2.0), gate, fullBox(im));
    double ex = cx + lever[sel][0] * 7, ey = cy + lever[sel][1] * 7;
    im.draw(capsule(cx, cy, ex, ey, 1.6), rgb(150, 150, 150), fullBox(im));
    im.draw(circle(ex + 0.5, ey + 1.2, 4.2), rgb(0, 0, 0, 0.5), fullBox(im), 2);
    im.draw(circle(ex, ey, 4.0),
            radialGradient(ex - 1.5, ey - 1.5, 5.5, rgb(250, 250, 245), rgb(120, 120, 124)), fullBox(im));
    im.draw(circle(ex, ey, 1.6), withAlpha(k.ledOn, 0.9), fullBox(im));
    frames.push_back(std::move(im));
  }
  return stack(frames);
}

Image slideStrip(int width, int height, const ButtonLook& k) {
  std::vector<Image> frames;
  for (int pos = 0; pos < 2; ++pos) {
    Image im(width, height);
    double cx = width / 2.0;
    im.draw(roundedRect(cx - 3.5, 2, cx + 3.5, height - 2, 3.5), rgb(0, 0, 0, 0.8), fullBox(im));
    double t = pos == 0 ? 3.5 : height - 15.5;
    im.draw(roundedRect(1.5, t + 1.2, width - 1.5, t + 12 + 1.2, 2), rgb(0, 0, 0, 0.5), fullBox(im), 2);
    im.draw(roundedRect(1.5, t, width - 1.5, t + 12, 2),
            linearGradient(0, t, k.capTop, 0, t + 12, k.capBottom), fullBox(im));
    for (int g = 0; g < 3; ++g)
      im.fillRect(4, t + 3.5 + g * 2.5, width - 4, t + 4.5 + g * 2.5, solid(withAlpha(k.capEdge, 0.9)));
    frames.push_back(std::move(im));
  }
  return stack(frames);
}

// ---- Lamps, meters, counter -------------------------------------------

Image lampImage(int w, int h, double cx, double cy, double r, double level, const LampLook& k) {
  Image im(w, h);
  Box b = boxAround(cx, cy, r + 3);
  im.draw(circle(cx, cy + 0.8, r + 2.6), rgb(0, 0, 0, 0.5), b, 2);
  im.draw(circle(cx, cy, r + 2.0), linearGradient(0, cy - r - 2, k.bezelLight, 0, cy + r + 2, k.bezelDark),
          b);
  im.draw(circle(cx, cy, r + 0.6), rgb(0, 0, 0, 0.85), b);
  // Lit share rises faster than the level so that the held state (0.4) is
  // clearly lit, if dim.
  double lit = level <= 0 ? 0 : std::pow(level, 0.7);
  Color body = mix(k.off, k.on, lit);
  if (lit > 0) im.draw(circle(cx, cy, r + 1.8), withAlpha(k.glow, 0.15 + 0.65 * lit * lit), b, 3.0);
  im.draw(circle(cx, cy, r),
          radialGradient(cx - r * 0.25, cy - r * 0.25, r * 1.2,
                         mix(body, rgb(255, 240, 220), 0.15 + 0.6 * lit * lit), body),
          b);
  // Reflection.
  im.draw(circle(cx - r * 0.35, cy - r * 0.4, r * 0.32), rgb(255, 255, 255, 0.35 + 0.25 * lit), b, 1.5);
  return im;
}

double meterImageAngle(const MeterFace& f, double image) {
  return 90.0 + f.sweep / 2 - f.sweep * image / 100.0;
}

static double angleOfDb(const MeterFace& f, double db) {
  return meterImageAngle(f, laws::meterFrameOfDb(db, f.mode));
}

static Image meterFace(const MeterFace& f) {
  Image im(f.width, f.height);
  double cx = f.pivotX, cy = f.pivotY, R = f.scaleRadius;
  im.fillRect(0, 0, f.width, f.height,
              radialGradient(f.width / 2.0, f.height * 0.35, f.width * 0.75, f.faceLight, f.faceDark));
  double a0 = meterImageAngle(f, 0), a1 = meterImageAngle(f, 100), aZero = angleOfDb(f, 0);
  Box all = fullBox(im);
  // Scale arc: black below 0 dB, a broad red band above.
  auto arcBetween = [&](double from, double to, double r0, double r1) {
    return intersect(ring(cx, cy, r0, r1), [=](double x, double y) {
      double a = angleAt(x, y, cx, cy);
      double lo = std::min(from, to), hi = std::max(from, to);
      return std::max((lo - a) * kPi / 180.0 * R, (a - hi) * kPi / 180.0 * R);
    });
  };
  im.draw(arcBetween(a0, aZero, R - 0.5, R + 0.5), f.ink, all);
  im.draw(arcBetween(aZero, a1, R - 0.5, R + 3.5), f.red, all);
  TextStyle num = f.numerals;
  for (const MeterFace::Mark& m : f.marks) {
    double a = angleOfDb(f, m.db);
    bool major = !m.text.empty();
    Color c = m.db > 0 ? f.red : f.ink;
    im.draw(radialLine(cx, cy, R - (major ? 5 : 3), R + (major ? 4.5 : 2.5), a, major ? 1.2 : 0.9), c, all);
    if (major) {
      num.color = c;
      drawTextCentered(im, m.text, px(cx, R + 10.5, a), py(cy, R + 10.5, a), num);
    }
  }
  TextStyle cap = f.legend;
  cap.color = f.ink;
  drawTextCentered(im, f.caption, cx, cy - R + 21, cap);
  TextStyle sign = f.legend;
  sign.size = 11;
  sign.color = f.ink;
  drawTextCentered(im, "\xE2\x80\x93", px(cx, R - 13, a0 - 1), py(cy, R - 13, a0 - 1), sign);
  sign.color = f.red;
  drawTextCentered(im, "+", px(cx, R - 13, a1 + 1), py(cy, R - 13, a1 + 1), sign);
  return im;
}

Image meterStrip(const MeterFace& f) {
  Image face = meterFace(f);
  std::vector<Image> frames;
  double cx = f.pivotX, cy = f.pivotY;
  for (int i = 0; i < laws::kMeterImages; ++i) {
    Image im = face;
    double a = meterImageAngle(f, i);
    Box all = fullBox(im);
    im.draw(radialLine(cx + 1.6, cy + 1.2, f.hoodRadius - 4, f.needleLength, a, 1.6), rgb(0, 0, 0, 0.16), all,
            2);
    im.draw(radialLine(cx, cy, f.hoodRadius - 4, f.needleLength, a, 1.25), f.needle, all);
    // Hood over the pivot end of the needle.
    im.draw(circle(cx, cy, f.hoodRadius),
            linearGradient(0, cy - f.hoodRadius, scaled(f.hood, 1.7), 0, cy - f.hoodRadius + 14, f.hood),
            all);
    im.draw(ring(cx, cy, f.hoodRadius - 0.6, f.hoodRadius + 0.4), rgb(0, 0, 0, 0.6), all);
    // Glass: a faint reflection and a shadow under the bezel at the top.
    im.fillRect(0, 0, f.width, 4, linearGradient(0, 0, rgb(0, 0, 0, 0.35), 0, 4, rgb(0, 0, 0, 0)));
    im.draw(polygon({{0, 0}, {f.width * 0.55, 0}, {f.width * 0.25, f.height}, {0, f.height}}),
            linearGradient(0, 0, rgb(255, 255, 255, 0.10), f.width * 0.5, f.height, rgb(255, 255, 255, 0.0)),
            all);
    frames.push_back(std::move(im));
  }
  return stack(frames);
}

Image counterGlyphs(const CounterLook& k) {
  const char* texts[laws::kCounterGlyphs] = {"0", "1", "2", "3", "4", "5", "6",  "7",  "8",
                                             "9", ".", "k", "+", "-", "%", "dB", "Hz", ""};
  std::vector<Image> glyphs;
  for (int i = 0; i < laws::kCounterGlyphs; ++i) {
    Image g(9, 17);
    g.fill(k.background);
    std::string t = texts[i];
    TextStyle s{FontFace::NarrowBold, 15.5, 0, k.ink, 0.85};
    if (t == "dB" || t == "Hz") s = TextStyle{FontFace::NarrowBold, 8.5, -0.3, k.ink, 0.8};
    if (t == "%") s.size = 12.5;
    if (!t.empty()) {
      Image ink(9, 17);
      drawText(ink, t, 4.5, 14, Align::Center, s);
      // A faint glow, then the ink; nothing below row 15.
      g.composite(ink.shadow(0, 0, 1, withAlpha(k.ink, 0.35)), 0, 0);
      g.composite(ink, 0, 0);
      for (int y = laws::kCounterInkRows; y < 17; ++y)
        for (int x = 0; x < 9; ++x) g.set(x, y, k.background);
    }
    glyphs.push_back(std::move(g));
  }
  return stack(glyphs);
}

// ---- Panels -------------------------------------------------------------

void brushed(Image& im, int x0, int y0, int x1, int y1, const Color& base, double strength, int seed) {
  for (int y = y0; y < y1; ++y) {
    double row = 0.6 * hashNoise(0, y, seed);
    for (int x = x0; x < x1; ++x) {
      double streak =
          row + 0.5 * smoothNoise1(x / 23.0, y, seed + 1) + 0.25 * smoothNoise1(x / 5.0, y, seed + 2);
      im.set(x, y, scaled(base, 1.0 + strength * streak));
    }
  }
}

void screw(Image& im, double cx, double cy, double r, double slot) {
  Box b = boxAround(cx, cy, r + 3);
  im.draw(circle(cx + 0.4, cy + 0.9, r + 0.9), rgb(0, 0, 0, 0.55), b, 2);
  im.draw(circle(cx, cy, r),
          radialGradient(cx - r * 0.4, cy - r * 0.5, r * 1.7, rgb(205, 205, 200), rgb(80, 80, 82)), b);
  double dx = std::cos(rad(slot)) * (r - 0.8), dy = -std::sin(rad(slot)) * (r - 0.8);
  im.draw(capsule(cx - dx, cy - dy, cx + dx, cy + dy, 0.7), rgb(30, 30, 32), b);
  im.draw(capsule(cx - dx + 0.3, cy - dy + 0.8, cx + dx + 0.3, cy + dy + 0.8, 0.35), rgb(255, 255, 255, 0.35),
          b);
}

void window(Image& im, double x0, double y0, double x1, double y1, const Color& inside, double margin,
            double bevel, double radius) {
  double ox0 = x0 - margin, oy0 = y0 - margin, ox1 = x1 + margin, oy1 = y1 + margin;
  Box b{int(ox0 - bevel - 2), int(oy0 - bevel - 2), int(ox1 + bevel + 3), int(oy1 + bevel + 3)};
  // Bevel: shadow above and left, light below and right.
  im.draw(roundedRect(ox0 - bevel, oy0 - bevel, ox1 + bevel, oy1 + bevel, radius + bevel),
          linearGradient(0, oy0 - bevel, rgb(0, 0, 0, 0.75), 0, oy1 + bevel, rgb(255, 255, 255, 0.16)), b);
  for (int y = int(std::floor(oy0)); y < int(std::ceil(oy1)); ++y)
    for (int x = int(std::floor(ox0)); x < int(std::ceil(ox1)); ++x) im.set(x, y, inside);
}

void legend(Image& im, const std::string& text, double cx, double baseline, const TextStyle& style,
            Align align, double shadow) {
  if (shadow > 0) {
    TextStyle s = style;
    s.color = rgb(0, 0, 0, shadow);
    drawText(im, text, cx, baseline + 1, align, s);
  }
  drawText(im, text, cx, baseline, align, style);
}

void engravedLine(Image& im, double x0, double y0, double x1, double y1, const Color& dark,
                  const Color& light) {
  im.fillRect(x0, y0, x1, y1, solid(dark));
  bool horizontal = (x1 - x0) > (y1 - y0);
  if (horizontal)
    im.fillRect(x0, y1, x1, y1 + 1, solid(light));
  else
    im.fillRect(x1, y0, x1 + 1, y1, solid(light));
}

void arrow(Image& im, double cx, double cy, double s, int dir, const Color& c) {
  std::vector<std::pair<double, double>> p;
  if (dir == -1) p = {{cx - s * 0.6, cy}, {cx + s * 0.45, cy - s * 0.65}, {cx + s * 0.45, cy + s * 0.65}};
  if (dir == 1) p = {{cx + s * 0.6, cy}, {cx - s * 0.45, cy - s * 0.65}, {cx - s * 0.45, cy + s * 0.65}};
  if (dir == -2) p = {{cx, cy - s * 0.6}, {cx - s * 0.65, cy + s * 0.45}, {cx + s * 0.65, cy + s * 0.45}};
  if (dir == 2) p = {{cx, cy + s * 0.6}, {cx - s * 0.65, cy - s * 0.45}, {cx + s * 0.65, cy - s * 0.45}};
  im.draw(polygon(p), c, boxAround(cx, cy, s + 1));
}

}  // namespace skingen
