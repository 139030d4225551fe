// JYX Ostrelvanheim2 and its first generation JYX Ostrelvanheim: one panel
// layout, the second generation's controls shared by both, each generation
// with its own front panel and Process button.
#include <cmath>

#include "laws.h"
#include "parts.h"
#include "skin.h"

namespace skingen {

namespace {

const KnobLook kKnob{rgb(62, 62, 66),    rgb(14, 14, 16), rgb(222, 224, 228), rgb(104, 106, 110),
                     rgb(252, 248, 236), rgb(34, 34, 38), rgb(196, 194, 186)};

TextStyle numeralStyle() { return TextStyle{FontFace::NarrowBold, 7.5, 0.2, rgb(196, 194, 186), 0.85}; }

KnobDesign smallKnob(int height, std::vector<Numeral> numerals) {
  KnobDesign d;
  d.width = 60;
  d.height = height;
  d.radius = height > 50 ? 16 : 15;
  d.ticks = 11;
  d.majors = {0, 0.5, 1};
  d.numerals = std::move(numerals);
  d.numeralRadius = d.radius + 10;
  d.numeralStyle = numeralStyle();
  d.look = kKnob;
  return d;
}

KnobDesign driveKnob() {
  KnobDesign d;
  d.width = 113;
  d.height = 93;
  d.radius = 27;
  d.knurls = 36;
  d.pointerWidth = 2.4;
  d.ticks = 25;
  d.majors = {0, 0.25, 0.5, 0.75, 1};
  d.tickGap = 2.5;
  d.tickLength = 2.5;
  d.majorLength = 5;
  d.numerals = {
      {0, "-24", 0, 0}, {0.25, "-12", -2, 0}, {0.5, "0", 0, 0.5}, {0.75, "+12", 2, 0}, {1, "+24", 0, 0}};
  d.numeralRadius = 41;
  d.numeralStyle = TextStyle{FontFace::NarrowBold, 8.5, 0.2, rgb(196, 194, 186), 0.85};
  d.look = kKnob;
  d.look.capLight = rgb(236, 232, 222);
  return d;
}

KnobDesign backKnob() {
  KnobDesign d;
  d.width = 30;
  d.height = 30;
  d.radius = 9.5;
  d.capRatio = 0.6;
  d.knurls = 16;
  d.pointerWidth = 1.5;
  d.ticks = 11;
  d.majors = {0, 0.5, 1};
  d.tickGap = 1.5;
  d.tickLength = 1.8;
  d.majorLength = 2.8;
  d.look = kKnob;
  return d;
}

const Color kAmber = rgb(255, 168, 40);
const Color kGreen = rgb(96, 236, 110);

ButtonDesign pushButton(int w, int h, double x0, double x1, const Color& led) {
  ButtonDesign d;
  d.width = w;
  d.height = h;
  d.capX0 = x0;
  d.capX1 = x1;
  d.capY0 = 5;
  d.capY1 = h - 6;
  d.radius = 3;
  d.legendStyle = TextStyle{FontFace::NarrowBold, 7, 0.3, rgb(0, 0, 0), 0.9};
  d.look = buttonLook(Theme{}, led);
  return d;
}

ButtonDesign squareButton() {
  ButtonDesign d;
  d.width = d.height = 25;
  d.capX0 = d.capY0 = 3.5;
  d.capX1 = d.capY1 = 21;
  d.radius = 2.5;
  d.led = ButtonDesign::Led::Dot;
  d.look = buttonLook(Theme{}, kAmber);
  return d;
}

MeterFace meterFace(int mode) {
  MeterFace f;
  f.mode = mode;
  if (mode == 0)
    f.marks = {{-20, "20"}, {-15, ""}, {-10, "10"}, {-7, ""}, {-6, "6"}, {-5, ""}, {-4, ""},
               {-3, "3"},   {-2, ""},  {-1, ""},    {0, "0"}, {1, ""},   {2, ""},  {3, "3"}};
  else
    f.marks = {{-40, "40"}, {-30, ""}, {-20, "20"}, {-15, ""}, {-10, "10"}, {-8, ""},
               {-6, "6"},   {-4, ""},  {-3, "3"},   {-2, ""},  {-1, ""},    {0, "0"},
               {1, ""},     {2, ""},   {3, "3"},    {4, ""},   {5, ""},     {6, "6"}};
  f.faceLight = rgb(255, 246, 218);
  f.faceDark = rgb(222, 198, 146);
  f.ink = rgb(34, 30, 26);
  f.red = rgb(196, 34, 26);
  f.hood = rgb(34, 34, 37);
  f.needle = rgb(24, 22, 20);
  f.numerals = TextStyle{FontFace::SansBold, 8, 0, f.ink, 0.85};
  f.legend = TextStyle{FontFace::SansBold, 8, 0.6, f.ink, 0.9};
  f.caption = "dB";
  return f;
}

Theme gen2Theme() { return Theme{}; }

Theme gen1Theme() {
  Theme t = gen2Theme();
  t.panel = rgb(44, 52, 64);
  t.brush = 0.05;
  t.seed = 11;
  t.strip = rgb(26, 30, 37);
  return t;
}

void knobLabel(Image& im, const Rect& r, const std::string& text, const Theme& t, double baseline) {
  legend(im, text, r.cx(), baseline, labelStyle(t));
}

}  // namespace

Image ostrelvanheimFront(const Theme& t, const std::string& product, const OstrelvanheimLayout& L) {
  Image im(450, 460);
  panelBase(im, L.stripTop, t.panel, t);
  cornerScrews(im, L.stripTop);

  panelTitle(im, product, "SATURATION \xC2\xB7 COMPRESSION \xC2\xB7 LIMITING", t);

  // Meters with their clip lamps, and the two meter switches between them.
  for (const Rect& m : {L.meterL, L.meterR}) meterBezel(im, m.left, m.top, m.right, m.bottom);
  TextStyle ch = labelStyle(t, 7.5);
  legend(im, "LEFT", L.meterL.left - 1, 126, ch, Align::Left);
  legend(im, "RIGHT", L.meterR.left - 1, 126, ch, Align::Left);
  legend(im, "OVER", L.clipL.left - 3, 123, smallStyle(t, 7), Align::Right);
  legend(im, "OVER", L.clipR.left - 3, 123, smallStyle(t, 7), Align::Right);
  knobLabel(im, L.meters, "METERS", t, 25);
  legend(im, "METER TYPE", L.meterType.cx(), 86, labelStyle(t, 6.5));

  // Knobs.
  knobLabel(im, L.knee, "KNEE", t, 163);
  knobLabel(im, L.speed, "SPEED", t, 241);
  knobLabel(im, L.release, "RELEASE", t, 316);
  legend(im, "DRIVE", L.drive.cx(), 156, labelStyle(t, 10));
  knobLabel(im, L.lowAdjust, "LOW ADJUST", t, 163);
  knobLabel(im, L.highAdjust, "HIGH ADJUST", t, 163);
  knobLabel(im, L.lowFreq, "LOW FREQ", t, 238);
  knobLabel(im, L.highFreq, "HIGH FREQ", t, 238);
  knobLabel(im, L.mixKnob, "MIX", t, 319);
  knobLabel(im, L.output, "OUTPUT", t, 320);
  knobLabel(im, L.ceiling, "CEILING", t, 320);

  // Release and limiter switches.
  legend(im, "AUTO", L.autoRelease.cx(), 313, labelStyle(t, 7));
  legend(im, "LONG", L.longRelease.cx(), 352, labelStyle(t, 7));
  legend(im, "BRICKWALL", L.brickwall.cx(), 333, smallStyle(t, 7.5));

  // Bottom row.
  legend(im, "PROCESS", L.process.cx(), 395, labelStyle(t, 7.5));
  if (L.hasFat) legend(im, "FAT", L.fat.cx(), 395, labelStyle(t, 7.5));
  legend(im, "MODE", L.mode.cx(), 395, labelStyle(t, 7.5));
  legend(im, "CHANNEL", L.channel.left + 22.5, 385, labelStyle(t, 7.5));
  legend(im, "LINK", L.link.left + 21, 395, labelStyle(t, 7.5));
  pageSwitchPlate(im, L.pageSwitch, "BAND & METER SETUP", t);

  // Readouts: the delay, and the counter under the Drive knob.
  delayAndCounterWindows(im, L.delayMs, L.delaySamples, L.counter, t);

  stripRow(im, L.stripTop, 460, t);
  return im;
}

Image ostrelvanheimBack(const Theme& t, const std::string& title, const OstrelvanheimLayout& L) {
  Image im(450, 445);
  panelBase(im, 443, t.backPanel, t);
  im.fillRect(0, 443, 450, 445, solid(t.strip));
  cornerScrews(im, 443);
  namePlate(im, L.backSwitch, L.version, title, "BANDS \xC2\xB7 METERS \xC2\xB7 KNOBS", t);

  TextStyle knob = smallStyle(t, 7.5);
  knob.color = t.label;

  sectionHeader(im, "BAND SATURATION", L.lowSat.readout.left, L.highSat.readout.right, 170, t);
  sectionHeader(im, "BAND RELEASE", L.lowRel.readout.left, L.highRel.readout.right, 170, t);
  const char* bands[3] = {"LOW", "MID", "HIGH"};
  const BackKnob sat[3] = {L.lowSat, L.midSat, L.highSat}, rel[3] = {L.lowRel, L.midRel, L.highRel};
  for (int i = 0; i < 3; ++i) {
    legend(im, bands[i], sat[i].knob.cx(), 186, knob);
    legend(im, bands[i], rel[i].knob.cx(), 186, knob);
  }
  readoutWindow(im, L.lowSat.readout.left, L.lowSat.readout.top, L.highSat.readout.right,
                L.highSat.readout.bottom, t.lcd);
  readoutWindow(im, L.lowRel.readout.left, L.lowRel.readout.top, L.highRel.readout.right,
                L.highRel.readout.bottom, t.lcd);

  sectionHeader(im, "VU METER", 55, 200, 252, t);
  sectionHeader(im, "PPM METER", 254, 396, 252, t);
  for (const BackKnob& k : {L.vuIntegr, L.vuRefer, L.ppmIntegr, L.ppmReturn})
    readoutWindow(im, k.readout.left, k.readout.top, k.readout.right, k.readout.bottom, t.lcd);
  double vuText = L.vuRefer.readout.right + 8, ppmText = L.ppmReturn.readout.right + 8;
  legend(im, "INTEGRATION", vuText, L.vuIntegr.knob.cy() + 3, knob, Align::Left);
  legend(im, "REFERENCE", vuText, L.vuRefer.knob.cy() + 3, knob, Align::Left);
  legend(im, "INTEGRATION", ppmText, L.ppmIntegr.knob.cy() + 3, knob, Align::Left);
  legend(im, "RETURN", ppmText, L.ppmReturn.knob.cy() + 3, knob, Align::Left);

  // Over indicator and fine tune share one display; the over count's picture
  // is taken from the plain middle of it.
  readoutWindow(im, L.overIndic.readout.left, L.overIndic.readout.top, L.fineTune.readout.right,
                L.fineTune.readout.bottom, t.lcd);
  legend(im, "OVER INDICATOR", vuText, L.overIndic.knob.cy() - 1, knob, Align::Left);
  legend(im, "samples to light the lamp", vuText, L.overIndic.knob.cy() + 8, smallStyle(t, 7), Align::Left);
  legend(im, "FINE TUNE", ppmText, L.fineTune.knob.cy() - 1, knob, Align::Left);
  legend(im, "gain knob range", ppmText, L.fineTune.knob.cy() + 8, smallStyle(t, 7), Align::Left);

  legend(im, "KNOB MODE", L.knobMode.cx() + 10, L.knobMode.top - 5, knob);
  legend(im, "CIRCULAR", L.knobMode.right + 4, L.knobMode.top + 10, smallStyle(t, 7), Align::Left);
  legend(im, "LINEAR", L.knobMode.right + 4, L.knobMode.bottom - 4, smallStyle(t, 7), Align::Left);
  return im;
}

void drawOstrelvanheim2(Skins& s) {
  const char* F = kGen2Folder;
  Theme t = gen2Theme();
  s.add(F, 19000, ostrelvanheimFront(t, "Ostrelvanheim2", kGen2Layout), false);
  s.add(F, 19002, ostrelvanheimBack(t, "SETUP", kGen2Layout), false);
  s.add(F, 19003, meterStrip(meterFace(0)), false);
  s.add(F, 19004, meterStrip(meterFace(1)), false);
  s.add(F, 19005, selectorStrip(ledSelector(t, 40, 50, {"PRE", "GR", "POST"})), true);
  s.add(F, 19006, selectorStrip(ledSelector(t, 40, 50, {"VU", "PPM"})), true);
  s.add(F, 19008, knobStrip(smallKnob(50, {{0, "0"}, {1, "100"}}), 101), true);
  {
    KnobDesign d = driveKnob();
    std::vector<Image> frames;
    Image strip = knobStrip(d, 101);
    for (int i = 0; i < 101; ++i) frames.push_back(strip.crop(0, i * 93, 113, 93));
    s.add(F, 19009, columns(frames, 10, 113), true);
  }
  s.add(F, 19010, knobStrip(smallKnob(56, {{0, "1k"}, {1, "16k"}}), 101), true);
  s.add(F, 19012, knobStrip(smallKnob(56, {{0, "25"}, {1, "400"}}), 101), true);
  s.add(F, 19013, knobStrip(smallKnob(50, {{0, "-12", -1}, {1, "+12", 1}}), 101), true);
  s.add(F, 19014, buttonStrip(pushButton(36, 40, 4, 32, kGreen)), true);
  {
    ButtonDesign mode = pushButton(36, 40, 3, 33, kAmber);
    mode.legendOff = "SINGLE";
    mode.legendOn = "MULTI";
    mode.legendStyle.color = mode.look.legend;
    s.add(F, 19015, buttonStrip(mode), true);
  }
  s.add(F, 19016,
        channelStrip(51, 48, 45, ledSelector(t, 40, 50, {}).look,
                     TextStyle{FontFace::NarrowBold, 7, 0.3, {}, 0.9}),
        true);
  s.add(F, 19017, buttonStrip(pushButton(38, 40, 8, 34, kAmber)), true);
  s.add(F, 19021, counterGlyphs({rgb(14, 12, 10), rgb(255, 176, 66)}), false);
  s.add(F, 19024, knobStrip(smallKnob(56, {{0, "0.25"}, {1, "4"}}), 101), true);
  {
    LampLook lamp{rgb(200, 200, 196), rgb(60, 60, 62), rgb(52, 14, 12), rgb(255, 40, 24), rgb(255, 60, 30)};
    std::vector<Image> frames;
    for (int i = 0; i < laws::kClipLampImages; ++i)
      frames.push_back(lampImage(21, 21, 10.5, 10.5, 5.2, double(i) / (laws::kClipLampImages - 1), lamp));
    s.add(F, 19026, stack(frames), true);
  }
  s.add(F, 19032, knobStrip(backKnob(), 51), true);
  s.add(F, 19033, slideStrip(15, 29, buttonLook(t, kAmber)), true);
  s.add(F, 19034, buttonStrip(pushButton(38, 40, 5, 33, kAmber)), true);
  for (int n : {19035, 19036, 19037}) {
    ButtonDesign d = squareButton();
    if (n == 19037) d.look.ledOn = rgb(255, 70, 40);  // the limiter in red
    if (n == 19035) d.look.ledOn = rgb(255, 190, 70);
    s.add(F, n, buttonStrip(d), true);
  }
}

void drawOstrelvanheim(Skins& s) {
  const char* F = kGen1Folder;
  Theme t = gen1Theme();
  s.add(F, 19100, ostrelvanheimFront(t, "Ostrelvanheim", kGen1Layout), false);
  s.add(F, 19114, buttonStrip(pushButton(36, 40, 4, 32, kAmber)), true);
  // The oversampling switch's number; this generation never shows it.
  ButtonDesign fat = pushButton(38, 40, 5, 33, kGreen);
  fat.legendOff = fat.legendOn = "2x";
  fat.legendStyle.color = fat.look.legend;
  s.add(F, 19134, buttonStrip(fat), true);
}

}  // namespace skingen
