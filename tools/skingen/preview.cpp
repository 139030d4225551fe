// Developer previews: each editor composited from its skin the way the
// editor draws it (controls at their rects showing the image for a value,
// readouts with sample texts), to look at the art at 100 % before it ships.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>

#include "laws.h"
#include "skin.h"

namespace skingen {

namespace {

void blit(Image& page, const Image& strip, const Rect& r, int sx, int sy) {
  page.compositeRegion(strip, sx, sy, r.width(), r.height(), r.left, r.top);
}

void knob(Image& page, const Image& strip, const Rect& r, int images, double v) {
  int k = std::min(images - 1, std::max(0, int(std::floor((images - 1) * v))));
  blit(page, strip, r, 0, k * (strip.height() / images));
}

void driveKnob(Image& page, const Image& strip, const Rect& r, double v) {
  int k = std::min(100, int(std::floor(100 * v)));
  blit(page, strip, r, k / 10 * 113, k % 10 * 93);
}

void image(Image& page, const Image& strip, const Rect& r, int images, int k) {
  blit(page, strip, r, 0, k * (strip.height() / images));
}

void meter(Image& page, const Image& strip, const Rect& r, double level, int mode) {
  int k = std::min(100, int(std::trunc(100 * std::min(1.0, laws::meterPosition(level, mode)) + 0.5)));
  image(page, strip, r, 101, k);
}

void text(Image& page, const std::string& s, const Rect& r, double size, const Color& c,
          Align align = Align::Center) {
  TextStyle st{FontFace::Sans, size, 0, c, 1.0};
  double x = align == Align::Center ? r.cx() : r.left;
  drawText(page, s, x, r.cy() + capHeight(st) / 2, align, st);
}

// "+15.3dB" and the like in counter glyphs; a space is the blank glyph.
void counterText(Image& page, const Image& glyphs, const Rect& r, const std::string& s) {
  int x = r.left;
  for (std::size_t i = 0; i < s.size() && x < r.left + 54; ++i, x += 9) {
    int g = 17;
    char c = s[i];
    if (c >= '0' && c <= '9') g = c - '0';
    if (c == '.') g = 10;
    if (c == 'k') g = 11;
    if (c == '+') g = 12;
    if (c == '-') g = 13;
    if (c == '%') g = 14;
    if (c == 'd') g = 15, ++i;
    if (c == 'H') g = 16, ++i;
    page.compositeRegion(glyphs, 0, g * 17, 9, 16, x, r.top);
  }
}

void presetStrip(Image& frame, const Skins& s, const Image& background, int dy, const std::string& program) {
  auto at = [dy](Rect r) { return Rect{r.left, r.top - dy, r.right, r.bottom - dy}; };
  const char* P = kPresetFolder;
  Rect name = at(strip::nameField);
  frame.compositeRegion(background, name.left, name.top, name.width(), name.height() + 1, name.left,
                        name.top);
  text(frame, program, name, 11, rgb(36, 36, 32));
  image(frame, s.get(P, 19997), at(strip::rocker), 5, 0);
  image(frame, s.get(P, 19993), at(strip::loadBank), 3, 0);
  image(frame, s.get(P, 19994), at(strip::saveBank), 3, 1);
  image(frame, s.get(P, 19990), at(strip::defaultBank), 3, 0);
  image(frame, s.get(P, 19998), at(strip::loadPreset), 3, 0);
  image(frame, s.get(P, 19999), at(strip::savePreset), 3, 0);
  image(frame, s.get(P, 19899), at(strip::defaultPreset), 3, 1);
  image(frame, s.get(P, 19995), at(strip::storeA), 3, 0);
  image(frame, s.get(P, 19991), at(strip::recallA), 3, 0);
  image(frame, s.get(P, 19996), at(strip::storeB), 3, 2);
  image(frame, s.get(P, 19992), at(strip::recallB), 3, 0);
}

// The back page's knobs, each with its readout showing the page picture
// taken at its back offset behind the text.
void backKnobs(Image& page, const Image& strip, const Image& background, std::span<const BackKnob> knobs,
               const double* values, const char* const* texts) {
  for (std::size_t i = 0; i < knobs.size(); ++i) {
    const BackKnob& k = knobs[i];
    knob(page, strip, k.knob, 51, values[i]);
    Rect r = k.readout;
    page.compositeRegion(background, k.backX, k.backY, r.width(), r.height(), r.left, r.top);
    text(page, texts[i], r, 9, rgb(170, 170, 170));
  }
}

struct FrontState {
  double knobs;  // most knobs
  double vary;   // spread between knobs
  double levelL, levelR;
  int mode;           // meter scale
  int lampL, lampR;   // clip lamp images
  std::string count;  // counter text
};

double knobValue(const FrontState& st, int i) { return std::fmod(st.knobs + st.vary * i, 1.0 + 1e-9); }

Image ostrelvanheimFrontPreview(const Skins& s, const char* panelFolder, int panelNumber,
                                const OstrelvanheimLayout& L, const FrontState& st) {
  const char* G = kGen2Folder;
  const Image& bg = s.get(panelFolder, panelNumber);
  Image page = bg;
  text(page, "11.610ms", L.delayMs, 9, rgb(40, 40, 40));
  text(page, "512smps", L.delaySamples, 9, rgb(40, 40, 40));
  int on = st.knobs > 0.5 ? 1 : 0;
  image(page, s.get(panelFolder == kGen1Folder ? kGen1Folder : G, panelFolder == kGen1Folder ? 19114 : 19014),
        L.process, 2, 1);
  image(page, s.get(G, 19035), L.longRelease, 2, on);
  image(page, s.get(G, 19036), L.autoRelease, 2, 1 - on);
  image(page, s.get(G, 19037), L.brickwall, 2, 1);
  if (L.hasFat) image(page, s.get(G, 19034), L.fat, 2, on);
  image(page, s.get(G, 19015), L.mode, 2, 1 - on);
  image(page, s.get(G, 19016), L.channel, 4, on ? 3 : 1);
  image(page, s.get(G, 19017), L.link, 2, 1);
  image(page, s.get(G, 19006), L.meterType, 2, on);
  image(page, s.get(G, 19005), L.meters, 3, on ? 1 : 2);
  const Rect* small[] = {&L.knee,      &L.speed,  &L.highFreq, &L.highAdjust, &L.lowFreq,
                         &L.lowAdjust, &L.output, &L.mixKnob,  &L.ceiling,    &L.release};
  int bitmaps[] = {19008, 19008, 19010, 19013, 19012, 19013, 19013, 19008, 19013, 19024};
  for (int i = 0; i < 10; ++i) knob(page, s.get(G, bitmaps[i]), *small[i], 101, knobValue(st, i));
  driveKnob(page, s.get(G, 19009), L.drive, knobValue(st, 10));
  const Image& strip = s.get(G, st.mode == 0 ? 19003 : 19004);
  meter(page, strip, L.meterL, st.levelL, st.mode);
  meter(page, strip, L.meterR, st.levelR, st.mode);
  counterText(page, s.get(G, 19021), L.counter, st.count);
  image(page, s.get(G, 19026), L.clipL, 6, st.lampL);
  image(page, s.get(G, 19026), L.clipR, 6, st.lampR);
  Image frame = bg;
  frame.paste(page.crop(0, 0, 450, 444), 0, 0);
  presetStrip(frame, s, bg, 0, "Gentle Glue");
  return frame;
}

Image ostrelvanheimBackPreview(const Skins& s, const char* panelFolder, int panelNumber,
                               const OstrelvanheimLayout& L) {
  const char* G = kGen2Folder;
  const Image& backBg = s.get(G, 19002);
  Image page = backBg;
  const char* texts[] = {"6.0dB", "0.0dB",     "-3.4dB", "x1.00",  "x0.25", "x4.00",
                         "300ms", "-12.0dBFS", "10ms",   "1.500s", "3",     "100%"};
  double values[] = {0.75, 0.5, 0.35, 0.5, 0.25, 0.75, 0.5, 0.4, 0.5, 0.6, 2.0 / 9, 1.0};
  skingen::backKnobs(page, s.get(G, 19032), backBg, L.backKnobs(), values, texts);
  image(page, s.get(G, 19033), L.knobMode, 2, 0);
  text(page, "v2.5.0", L.version, 9, rgb(0, 0, 0), Align::Left);
  Image frame = s.get(panelFolder, panelNumber);
  frame.paste(page.crop(0, 0, 450, 443), 0, 0);
  presetStrip(frame, s, s.get(panelFolder, panelNumber), 0, "Gentle Glue");
  return frame;
}

void needleMeter(Image& page, const Skins& s, const Rect& r, int overlayX, int lampX, int pivotX,
                 double level, int lamp) {
  using namespace tindravelle;
  const char* T = kTrackFolder;
  page.composite(s.get(T, 19028), r.left, r.top);
  double a = rad(laws::needleAngle(level));
  Image needle(450, 377);
  auto line = [&](double ox, double oy, double width, const Color& c) {
    double x0 = pivotX + ox + 3 * std::cos(a), y0 = pivotY + oy - 3 * std::sin(a);
    double x1 = pivotX + ox + 68 * std::cos(a), y1 = pivotY + oy - 68 * std::sin(a);
    needle.draw(capsule(x0, y0, x1, y1, width / 2), c, Box{r.left, r.top, r.right, r.bottom});
  };
  line(3.5, 2.5, 1, rgb(120, 120, 125, 70 / 255.0));
  line(0.5, 0.5, 2, rgb(100, 100, 105));
  page.composite(needle, 0, 0);
  page.composite(s.get(T, "bmp19029.png").crop(0, 0, r.right - overlayX, 41), overlayX, overlayY);
  page.compositeRegion(s.get(T, 19026), 0, lamp * 21, 21, r.bottom - lampY, lampX, lampY);
}

Image tindravelleFrontPreview(const Skins& s, const FrontState& st) {
  using namespace tindravelle;
  const char* T = kTrackFolder;
  const Image& bg = s.get(T, 19100);
  Image page = bg;
  text(page, "5.805ms", delayMs, 9, rgb(40, 40, 40));
  text(page, "256smps", delaySamples, 9, rgb(40, 40, 40));
  int on = st.knobs > 0.5 ? 1 : 0;
  image(page, s.get(T, 19014), process, 2, 1);
  image(page, s.get(T, 19016), stereoMono, 2, 1 - on);
  image(page, s.get(T, 19017), link, 2, on);
  image(page, s.get(T, 19006), meterScale, 2, on);
  image(page, s.get(T, 19005), meters, 3, on ? 1 : 0);
  const Rect* rects[] = {&knee, &speed, &highAdjust, &lowAdjust, &output, &releaseMul};
  int bitmaps[] = {19007, 19008, 19011, 19013, 19022, 19024}, images[] = {41, 41, 49, 49, 49, 25};
  for (int i = 0; i < 6; ++i) knob(page, s.get(T, bitmaps[i]), *rects[i], images[i], knobValue(st, i));
  knob(page, s.get(T, 19009), drive, 49, knobValue(st, 6));
  // The lamp strip holds over, held, off.
  auto lamp = [](int clipImage) { return clipImage >= 5 ? 0 : (clipImage >= 2 ? 1 : 2); };
  needleMeter(page, s, meterL, overlayLX, lampLX, pivotLX, st.levelL, lamp(st.lampL));
  needleMeter(page, s, meterR, overlayRX, lampRX, pivotRX, st.levelR, lamp(st.lampR));
  counterText(page, s.get(kGen2Folder, 19021), counter, st.count);
  Image frame = bg;
  frame.paste(page.crop(0, 0, 450, 361), 0, 0);
  presetStrip(frame, s, bg, 84, "Vocal Rider");
  return frame;
}

Image tindravelleBackPreview(const Skins& s) {
  using namespace tindravelle;
  const char* T = kTrackFolder;
  const Image& backBg = s.get(T, 19002);
  Image page = backBg;
  const char* texts[] = {"300ms", "-12.0dBFS", "9.05ms", "2.5s", "3"};
  double values[] = {0.5, 0.5, 0.52, 0.72, 2.0 / 9};
  skingen::backKnobs(page, s.get(T, 19032), backBg, tindravelle::backKnobs, values, texts);
  text(page, "v2.5.0", version, 9, rgb(0, 0, 0), Align::Left);
  Image frame = s.get(T, 19100);
  frame.paste(page.crop(0, 0, 450, 358), 0, 0);
  presetStrip(frame, s, s.get(T, 19100), 84, "Vocal Rider");
  return frame;
}

Image zoom(const Image& im, int k) {
  Image out(im.width() * k, im.height() * k);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) std::copy_n(im.at(x / k, y / k), 4, out.at(x, y));
  return out;
}

}  // namespace

bool writePreviews(const Skins& s, const std::string& folder) {
  std::filesystem::create_directories(folder);
  auto write = [&](const std::string& name, const Image& im) {
    return im.writePng(folder + "/" + name, false);
  };
  FrontState calm{0.5, 0.0, std::pow(10.0, -6 / 20.0), std::pow(10.0, -3 / 20.0), 0, 0, 2, "+15.3dB"};
  FrontState busy{0.15, 0.31, std::pow(10.0, 1 / 20.0), 1.0, 1, 5, 0, " 57.5%"};
  FrontState ends{0.0, 0.0, 0.0, 2.0, 0, 0, 5, "16k00Hz"};
  bool ok = true;
  ok &=
      write("ostrelvanheim2-front.png", ostrelvanheimFrontPreview(s, kGen2Folder, 19000, kGen2Layout, calm));
  ok &= write("ostrelvanheim2-front-busy.png",
              ostrelvanheimFrontPreview(s, kGen2Folder, 19000, kGen2Layout, busy));
  ok &= write("ostrelvanheim2-front-ends.png",
              ostrelvanheimFrontPreview(s, kGen2Folder, 19000, kGen2Layout, ends));
  ok &= write("ostrelvanheim2-back.png", ostrelvanheimBackPreview(s, kGen2Folder, 19000, kGen2Layout));
  ok &= write("ostrelvanheim-front.png", ostrelvanheimFrontPreview(s, kGen1Folder, 19100, kGen1Layout, busy));
  ok &= write("ostrelvanheim-back.png", ostrelvanheimBackPreview(s, kGen1Folder, 19100, kGen1Layout));
  ok &= write("tindravelle-front.png", tindravelleFrontPreview(s, calm));
  ok &= write("tindravelle-front-busy.png", tindravelleFrontPreview(s, busy));
  ok &= write("tindravelle-back.png", tindravelleBackPreview(s));
  // Enlarged details for close inspection.
  ok &= write(
      "zoom-ostrelvanheim2-strip.png",
      zoom(ostrelvanheimFrontPreview(s, kGen2Folder, 19000, kGen2Layout, calm).crop(0, 380, 450, 80), 3));
  ok &= write(
      "zoom-ostrelvanheim2-top.png",
      zoom(ostrelvanheimFrontPreview(s, kGen2Folder, 19000, kGen2Layout, busy).crop(40, 20, 370, 120), 2));
  ok &= write(
      "zoom-ostrelvanheim2-knobs.png",
      zoom(ostrelvanheimFrontPreview(s, kGen2Folder, 19000, kGen2Layout, busy).crop(30, 140, 390, 250), 2));
  ok &= write("zoom-ostrelvanheim2-back.png",
              zoom(ostrelvanheimBackPreview(s, kGen2Folder, 19000, kGen2Layout).crop(40, 150, 400, 290), 2));
  {
    Image lamps(21 * 6 + 21 * 3 + 12 * 11 + 10, 21);
    lamps.fill(rgb(50, 52, 56));
    for (int i = 0; i < 6; ++i)
      lamps.compositeRegion(s.get(kGen2Folder, 19026), 0, i * 21, 21, 21, i * 21, 0);
    for (int i = 0; i < 3; ++i)
      lamps.compositeRegion(s.get(kTrackFolder, 19026), 0, i * 21, 21, 21, 126 + i * 21, 0);
    int x = 190;
    for (int n : {19994, 19993, 19999, 19998, 19995, 19991, 19996, 19992}) {
      lamps.compositeRegion(s.get(kPresetFolder, n), 0, 0, 12, 14, x, 3);
      x += 14;
    }
    ok &= write("zoom-lamps-and-buttons.png", zoom(lamps, 4));
  }
  ok &= write("zoom-tindravelle-meter.png", zoom(tindravelleFrontPreview(s, busy).crop(40, 25, 170, 120), 3));
  return ok;
}

}  // namespace skingen
