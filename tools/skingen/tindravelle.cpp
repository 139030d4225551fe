// JYX Tindravelle: the track processor's panel, controls and needle meters.
#include <cmath>

#include "laws.h"
#include "parts.h"
#include "skin.h"

namespace skingen {

namespace {

using namespace tindravelle;

const Color kAmber = rgb(255, 176, 48);
const Color kGreen = rgb(110, 238, 120);

Theme theme() {
  Theme t;
  t.panel = rgb(56, 62, 58);
  t.backPanel = rgb(48, 54, 51);
  t.brush = 0.05;
  t.seed = 71;
  t.label = rgb(236, 232, 212);
  t.labelDim = rgb(176, 178, 164);
  t.tint = rgb(98, 100, 96);
  t.window = rgb(228, 224, 198);
  t.lcd = rgb(20, 24, 22);
  t.plate = rgb(230, 222, 196);
  t.plateInk = rgb(34, 32, 28);
  t.strip = rgb(30, 33, 31);
  return t;
}

KnobLook knobLook(const Color& centre) {
  return KnobLook{rgb(70, 60, 54),    rgb(16, 13, 11), rgb(230, 228, 222), rgb(112, 110, 106),
                  rgb(250, 244, 226), rgb(36, 34, 32), rgb(206, 204, 188), centre};
}

KnobDesign knob(int size, double radius, std::vector<Numeral> numerals, const Color& centre) {
  KnobDesign d;
  d.width = d.height = size;
  d.radius = radius;
  d.knurls = size > 100 ? 40 : 26;
  d.pointerWidth = size > 100 ? 2.6 : 2.0;
  d.ticks = size > 100 ? 25 : 11;
  d.majors = size > 100 ? std::vector<double>{0, 0.25, 0.5, 0.75, 1} : std::vector<double>{0, 0.5, 1};
  d.tickGap = 2.5;
  d.tickLength = size > 100 ? 2.5 : 2.5;
  d.majorLength = size > 100 ? 5 : 4;
  d.numerals = std::move(numerals);
  d.numeralRadius = radius + (size > 100 ? 15 : 11.5);
  d.numeralStyle = TextStyle{FontFace::NarrowBold, size > 100 ? 9.0 : 7.5, 0.2, {}, 0.85};
  d.look = knobLook(centre);
  return d;
}

ButtonDesign button(int w, int h, const Color& led) {
  ButtonDesign d;
  d.width = w;
  d.height = h;
  d.capX0 = 4;
  d.capX1 = w - 4;
  d.capY0 = 5;
  d.capY1 = h - 6;
  d.radius = 3.5;
  d.legendStyle = TextStyle{FontFace::NarrowBold, 7.5, 0.3, rgb(178, 176, 164), 0.9};
  d.look = buttonLook(theme(), led);
  return d;
}

// The needle meter's face: the scale around the pivot at the angles the
// editor draws the needle with.
constexpr double kFacePivotX = 72.5, kFacePivotY = 85.5;  // (121, 119) on the page
constexpr double kScaleRadius = 60;

double fx(double r, double a) { return kFacePivotX + r * std::cos(rad(a)); }
double fy(double r, double a) { return kFacePivotY - r * std::sin(rad(a)); }

Image needleFace() {
  Image im(145, 78);
  Color light = rgb(255, 238, 172), dark = rgb(226, 192, 112), ink = rgb(40, 32, 22), red = rgb(190, 30, 22);
  im.fillRect(0, 0, 145, 78, radialGradient(72, 30, 95, light, dark));
  Box all = fullBox(im);
  auto arc = [&](double from, double to, double r0, double r1, const Color& c) {
    im.draw(intersect(ring(kFacePivotX, kFacePivotY, r0, r1),
                      [=](double x, double y) {
                        double a = std::atan2(kFacePivotY - y, x - kFacePivotX) * 180 / kPi;
                        return std::max((to - a), (a - from)) * kPi / 180 * r1;
                      }),
            c, all);
  };
  double zero = laws::needleAngleOfDb(0);
  arc(148, zero, kScaleRadius - 0.5, kScaleRadius + 0.5, ink);
  arc(zero, 31, kScaleRadius - 0.5, kScaleRadius + 3.5, red);
  struct Mark {
    double db;
    const char* text;
  } marks[] = {{-20, "20"}, {-15, ""},  {-10, "10"}, {-7, "7"}, {-5, "5"}, {-4, ""}, {-3, "3"}, {-2, "2"},
               {-1, "1"},   {-0.5, ""}, {0, "0"},    {0.5, ""}, {1, "1"},  {2, "2"}, {3, "3"}};
  TextStyle num{FontFace::SansBold, 8, 0, ink, 0.85};
  for (const Mark& m : marks) {
    double a = laws::needleAngleOfDb(m.db);
    bool major = m.text[0] != 0;
    Color c = m.db > 0 ? red : ink;
    im.draw(capsule(fx(kScaleRadius - (major ? 4 : 2.5), a), fy(kScaleRadius - (major ? 4 : 2.5), a),
                    fx(kScaleRadius + (major ? 4.5 : 2.5), a), fy(kScaleRadius + (major ? 4.5 : 2.5), a),
                    major ? 0.6 : 0.45),
            c, all);
    if (major) {
      num.color = c;
      drawTextCentered(im, m.text, fx(kScaleRadius + 11, a), fy(kScaleRadius + 11, a), num);
    }
  }
  TextStyle cap{FontFace::SansBold, 10, 0.8, ink, 0.9};
  drawTextCentered(im, "dB", kFacePivotX, kFacePivotY - 38, cap);
  cap.size = 9;
  drawTextCentered(im, "-", fx(48, 146), fy(48, 146), cap);
  cap.color = red;
  drawTextCentered(im, "+", fx(48, 34), fy(48, 34), cap);
  // Shadow of the bezel on the glass.
  im.fillRect(0, 0, 145, 4, linearGradient(0, 0, rgb(0, 0, 0, 0.35), 0, 4, rgb(0, 0, 0, 0)));
  im.fillRect(0, 0, 3, 78, linearGradient(0, 0, rgb(0, 0, 0, 0.25), 3, 0, rgb(0, 0, 0, 0)));
  return im;
}

// Drawn over the needle: the hood over the pivot, the meter's lower bezel
// where the over lamp sits, and a faint reflection on the glass above. The
// picture is one column wider than the meter, which clips it: that column
// stays clear.
Image needleOverlay(const Theme& t) {
  Image im(146, 41);
  const int w = meterL.width();
  Box all = fullBox(im);
  double cx = kFacePivotX, cy = kFacePivotY - 52;  // the pivot in overlay rows
  im.draw(polygon({{0, 0}, {70, 0}, {30, 26}, {0, 26}}),
          linearGradient(0, 0, rgb(255, 255, 255, 0.10), 40, 26, rgb(255, 255, 255, 0)), all);
  im.draw(circle(cx, cy + 1.5, 23), rgb(0, 0, 0, 0.35), all, 3);
  im.draw(circle(cx, cy, 22), linearGradient(0, cy - 22, rgb(92, 94, 92), 0, cy - 8, rgb(36, 38, 37)), all);
  im.draw(ring(cx, cy, 21.4, 22.2), rgb(0, 0, 0, 0.7), all);
  im.fillRect(0, 26, w, 41, linearGradient(0, 26, rgb(58, 60, 58), 0, 41, rgb(28, 30, 29)));
  im.fillRect(0, 26, w, 27, solid(rgb(0, 0, 0, 0.7)));
  im.fillRect(0, 27, w, 28, solid(rgb(255, 255, 255, 0.12)));
  TextStyle s{FontFace::NarrowBold, 7, 0.5, t.labelDim, 0.9};
  drawText(im, "OVER", 107, 35.5, Align::Right, s);
  return im;
}

Image panel(const Theme& t) {
  Image im(450, 377);
  panelBase(im, stripTop, t.panel, t);
  cornerScrews(im, stripTop);
  panelTitle(im, "Tindravelle", "TRACK SATURATION \xC2\xB7 COMPRESSION", t);

  for (const Rect& m : {meterL, meterR}) meterBezel(im, m.left, m.top, m.right, m.bottom);
  TextStyle ch = labelStyle(t, 7.5);
  legend(im, "LEFT", meterL.left - 1, 142, ch, Align::Left);
  legend(im, "RIGHT", meterR.left - 1, 142, ch, Align::Left);
  legend(im, "METERS", meters.cx(), 25, labelStyle(t));
  legend(im, "METER SCALE", meterScale.cx(), 86, labelStyle(t, 6.5));

  legend(im, "SPEED", speed.cx(), 154, labelStyle(t));
  legend(im, "LOW 80 Hz", lowAdjust.cx(), 154, labelStyle(t));
  legend(im, "HIGH 12 kHz", highAdjust.cx(), 154, labelStyle(t));
  legend(im, "DRIVE", drive.cx(), 147, labelStyle(t, 10));
  legend(im, "RELEASE", releaseMul.cx(), 229, labelStyle(t));
  legend(im, "KNEE", knee.cx(), 229, labelStyle(t));
  legend(im, "OUTPUT", output.cx(), 229, labelStyle(t));

  legend(im, "PROCESS", process.cx(), 301, labelStyle(t, 7.5));
  legend(im, "STEREO-MONO", stereoMono.cx() - 2, 301, smallStyle(t, 7.5));
  legend(im, "LINK", link.cx(), 301, labelStyle(t, 7.5));
  pageSwitchPlate(im, pageSwitch, "METER SETUP", t);

  delayAndCounterWindows(im, delayMs, delaySamples, counter, t);

  stripRow(im, stripTop, 377, t);
  return im;
}

Image back(const Theme& t) {
  Image im(450, 360);
  panelBase(im, 358, t.backPanel, t);
  im.fillRect(0, 358, 450, 360, solid(t.strip));
  cornerScrews(im, 358);
  namePlate(im, backSwitch, version, "Tindravelle", "METER SETUP", t);
  TextStyle knobText = smallStyle(t, 7.5);
  knobText.color = t.label;

  sectionHeader(im, "VU METER", 55, 200, 156, t);
  sectionHeader(im, "PPM METER", 255, 400, 156, t);
  // The readouts take their picture two pixels above their rects.
  for (const BackKnob& k : backKnobs)
    readoutWindow(im, k.readout.left, std::min(k.readout.top, k.backY), k.readout.right, k.readout.bottom,
                  t.lcd);
  double vuText = vuIntegr.readout.right + 8, ppmText = ppmIntegr.readout.right + 8;
  legend(im, "INTEGRATION", vuText, vuIntegr.knob.cy() + 3, knobText, Align::Left);
  legend(im, "REFERENCE", vuText, vuRefer.knob.cy() + 3, knobText, Align::Left);
  legend(im, "INTEGRATION", ppmText, ppmIntegr.knob.cy() + 3, knobText, Align::Left);
  legend(im, "RETURN", ppmText, ppmReturn.knob.cy() + 3, knobText, Align::Left);
  legend(im, "OVER INDICATOR", vuText, overIndic.knob.cy() - 1, knobText, Align::Left);
  legend(im, "samples to light the lamp", vuText, overIndic.knob.cy() + 9, smallStyle(t, 7), Align::Left);
  return im;
}

}  // namespace

void drawTindravelle(Skins& s) {
  const char* F = kTrackFolder;
  Theme t = theme();
  s.add(F, 19100, panel(t), false);
  s.add(F, 19002, back(t), false);
  s.add(F, 19014, buttonStrip(button(42, 49, kGreen)), true);
  {
    ButtonDesign d = button(40, 49, kAmber);
    d.legendOff = "MONO";
    d.legendOn = "STEREO";
    s.add(F, 19016, buttonStrip(d), true);
  }
  s.add(F, 19017, buttonStrip(button(40, 49, kAmber)), true);
  s.add(F, 19006, selectorStrip(ledSelector(t, 38, 47, {"VU", "PPM"})), true);
  s.add(F, 19005, selectorStrip(ledSelector(t, 41, 50, {"PRE", "GR", "POST"})), true);
  std::vector<Numeral> percent = {{0, "0"}, {1, "100"}};
  std::vector<Numeral> decibels = {{0, "-12"}, {1, "+12"}};
  s.add(F, 19007, knobStrip(knob(62, 17, percent, rgb(214, 150, 40)), 41), true);
  s.add(F, 19008, knobStrip(knob(62, 17, percent, rgb(60, 130, 200)), 41), true);
  s.add(F, 19009,
        knobStrip(
            knob(114, 32, {{0, "-24"}, {0.25, "-12", -2}, {0.5, "0", 0, 0.5}, {0.75, "+12", 2}, {1, "+24"}},
                 rgb(200, 50, 36)),
            49),
        true);
  s.add(F, 19011, knobStrip(knob(62, 17, decibels, rgb(70, 150, 220)), 49), true);
  s.add(F, 19013, knobStrip(knob(62, 17, decibels, rgb(220, 120, 40)), 49), true);
  s.add(F, 19022, knobStrip(knob(62, 17, decibels, rgb(190, 190, 186)), 49), true);
  s.add(F, 19024, knobStrip(knob(62, 17, {{0, "0.25"}, {1, "4"}}, rgb(60, 160, 90)), 25), true);
  s.add(F, 19028, needleFace(), false);
  s.add(F, "bmp19029.png", needleOverlay(t), true);
  {
    // Images over, held, off; the art keeps to rows 0-17, the rows the
    // meter's rect shows.
    LampLook lamp{rgb(200, 200, 196), rgb(60, 60, 62), rgb(52, 14, 12), rgb(255, 40, 24), rgb(255, 60, 30)};
    s.add(F, 19026,
          stack({lampImage(21, 21, 10.5, 9, 5.0, 1.0, lamp), lampImage(21, 21, 10.5, 9, 5.0, 0.4, lamp),
                 lampImage(21, 21, 10.5, 9, 5.0, 0.0, lamp)}),
          true);
  }
  {
    KnobDesign d = knob(38, 11, {}, rgb(0, 0, 0, 0));
    d.width = 38;
    d.height = 37;
    d.knurls = 18;
    d.pointerWidth = 1.6;
    d.tickGap = 1.8;
    d.tickLength = 2;
    d.majorLength = 3;
    s.add(F, 19032, knobStrip(d, 51), true);
  }
}

}  // namespace skingen
