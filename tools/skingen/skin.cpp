#include "skin.h"

#include <cmath>
#include <stdexcept>

#include "parts.h"

namespace skingen {

void Skins::add(const std::string& folder, int number, Image image, bool alpha) {
  add(folder, std::to_string(number) + ".png", std::move(image), alpha);
}

void Skins::add(const std::string& folder, const std::string& name, Image image, bool alpha) {
  files_.push_back({folder, name, std::move(image), alpha});
}

const Image& Skins::get(const std::string& folder, int number) const {
  return get(folder, std::to_string(number) + ".png");
}

const Image& Skins::get(const std::string& folder, const std::string& name) const {
  for (const SkinFile& f : files_)
    if (f.folder == folder && f.name == name) return f.image;
  throw std::runtime_error("no skin image " + folder + "/" + name);
}

TextStyle labelStyle(const Theme& t, double size) {
  return TextStyle{FontFace::SansBold, size, 0.7, t.label, 0.9};
}
TextStyle smallStyle(const Theme& t, double size) {
  return TextStyle{FontFace::NarrowBold, size, 0.5, t.labelDim, 0.9};
}

void panelBase(Image& im, int rows, const Color& base, const Theme& t) {
  brushed(im, 0, 0, im.width(), rows, base, t.brush, t.seed);
  // Light falls from above: a little brighter at the top, darker at the edges.
  double w = im.width(), h = rows;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < im.width(); ++x) {
      double ex = std::min(x + 0.5, w - x - 0.5), ey = std::min(y + 0.5, h - y - 0.5);
      double edge = 1.0 - smoothstep(0, 14, std::min(ex, ey));
      double top = 1.0 - (y + 0.5) / h;
      im.blend(x, y, rgb(255, 255, 255), 0.04 * top);
      im.blend(x, y, rgb(0, 0, 0), 0.35 * edge);
    }
  // A bevelled edge all round.
  im.fillRect(0, 0, w, 1, solid(rgb(255, 255, 255, 0.18)));
  im.fillRect(0, 0, 1, h, solid(rgb(255, 255, 255, 0.10)));
  im.fillRect(0, h - 1, w, h, solid(rgb(0, 0, 0, 0.5)));
  im.fillRect(w - 1, 0, w, h, solid(rgb(0, 0, 0, 0.4)));
}

void cornerScrews(Image& im, int bottom) {
  double xs[2] = {10.5, im.width() - 10.5};
  double ys[2] = {10.5, bottom - 10.5};
  int slot = 0;
  for (double y : ys)
    for (double x : xs) screw(im, x, y, 4.2, 35 + 50 * slot++);
}

void meterBezel(Image& im, int l, int t, int r, int b) {
  Box box{l - 9, t - 9, r + 10, b + 10};
  im.draw(roundedRect(l - 6, t - 5, r + 6, b + 7, 6), rgb(0, 0, 0, 0.5), box, 4);
  im.draw(roundedRect(l - 5, t - 5, r + 5, b + 5, 5),
          linearGradient(0, t - 5, rgb(118, 120, 124), 0, b + 5, rgb(38, 39, 42)), box);
  im.draw(roundedRect(l - 3.5, t - 3.5, r + 3.5, b + 3.5, 3.5),
          linearGradient(0, t - 3, rgb(28, 28, 30), 0, b + 3, rgb(70, 71, 74)), box);
  im.fillRect(l - 1, t - 1, r + 1, b + 1, solid(rgb(8, 8, 9)));
}

void stripRow(Image& im, int top, int bottom, const Theme& t) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < im.width(); ++x) im.set(x, y, t.strip);
  im.fillRect(0, top, im.width(), top + 1, solid(rgb(0, 0, 0, 0.55)));
  im.fillRect(0, top + 1, im.width(), top + 2, solid(rgb(255, 255, 255, 0.07)));
  // The name field and the menu button beside it.
  int nt = top - 1, nb = top + 15;
  for (int y = nt; y < nb; ++y)
    for (int x = strip::nameField.left; x < strip::nameField.right; ++x) im.set(x, y, t.nameField);
  im.fillRect(strip::nameField.left - 1, nt, strip::nameField.left, nb, solid(rgb(0, 0, 0, 0.8)));
  Rect m = strip::menu;
  int mt = top, mb = top + 14;
  im.draw(roundedRect(m.left, mt, m.right, mb, 1.5),
          linearGradient(0, mt, rgb(96, 98, 102), 0, mb, rgb(52, 53, 56)),
          Box{m.left - 1, mt - 1, m.right + 1, mb + 1});
  arrow(im, m.cx(), mt + 7.5, 6, 2, rgb(235, 232, 222));
}

void namePlate(Image& im, const Rect& a, const Rect& version, const std::string& product,
               const std::string& subtitle, const Theme& t) {
  Box box{a.left - 4, a.top - 4, a.right + 5, a.bottom + 6};
  double x0 = a.left + 2, y0 = a.top + 2, x1 = a.right - 2, y1 = a.bottom - 2;
  im.draw(roundedRect(x0, y0 + 1.5, x1, y1 + 1.5, 5), rgb(0, 0, 0, 0.55), box, 3);
  im.draw(roundedRect(x0, y0, x1, y1, 5),
          linearGradient(0, y0, scaled(t.plate, 1.04), 0, y1, scaled(t.plate, 0.9)), box);
  // The version label's spot stays plain.
  for (int y = version.top - 2; y < version.bottom + 2; ++y)
    for (int x = version.left - 2; x < version.right + 4; ++x) im.set(x, y, t.plate);
  screw(im, x0 + 7, y0 + 7, 2.6, 30);
  screw(im, x1 - 7, y1 - 7, 2.6, 120);
  screw(im, x0 + 7, y1 - 7, 2.6, 75);
  TextStyle title{FontFace::SansBold, 17, 0.2, t.plateInk, 1.0};
  double cx = (x0 + x1) / 2;
  drawText(im, product, cx, a.top + 48, Align::Center, title);
  im.fillRect(cx - 70, a.top + 56, cx + 70, a.top + 57, solid(withAlpha(t.plateInk, 0.6)));
  TextStyle sub{FontFace::SansBold, 8.5, 1.6, t.plateInk, 0.9};
  drawText(im, subtitle, cx, a.top + 70, Align::Center, sub);
  TextStyle hint{FontFace::Sans, 8, 0.3, withAlpha(t.plateInk, 0.75), 0.9};
  drawText(im, "click the plate to return to the front panel", cx, a.top + 88, Align::Center, hint);
}

void pageSwitchPlate(Image& im, const Rect& a, const std::string& text, const Theme& t) {
  double x0 = a.left + 3, y0 = a.top + 1.5, x1 = a.right - 3, y1 = a.bottom - 1.5;
  Box box{a.left, a.top, a.right + 1, a.bottom + 1};
  im.draw(subtract(roundedRect(x0, y0, x1, y1, 4), roundedRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3)),
          rgb(0, 0, 0, 0.55), box);
  im.draw(subtract(roundedRect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, 4), roundedRect(x0 + 2, y0 + 2, x1, y1, 3)),
          rgb(255, 255, 255, 0.09), box);
  TextStyle s = labelStyle(t, 7.5);
  double w = textWidth(text, s);
  double cx = (x0 + x1) / 2 - 5, cy = (y0 + y1) / 2;
  legend(im, text, cx, cy + capHeight(s) / 2, s);
  arrow(im, cx + w / 2 + 8, cy, 7, 1, t.label);
}

void readoutWindow(Image& im, int l, int t, int r, int b, const Color& inside) {
  window(im, l, t, r, b, inside, 2, 1.6, 1.5);
}

void delayAndCounterWindows(Image& im, const Rect& delayMs, const Rect& delaySamples, const Rect& counter,
                            const Theme& t) {
  readoutWindow(im, delayMs.left, delayMs.top, delaySamples.right, delaySamples.bottom, t.window);
  legend(im, "DELAY", delayMs.left - 7, delayMs.bottom - 1.5, labelStyle(t, 7), Align::Right);
  readoutWindow(im, counter.left, counter.top, counter.right, counter.bottom, t.counter);
}

void panelTitle(Image& im, const std::string& product, const std::string& subtitle, const Theme& t) {
  TextStyle brand{FontFace::SansBold, 15, 0.4, rgb(255, 172, 44), 1.0};
  TextStyle name{FontFace::SansBold, 15, 0.2, t.label, 1.0};
  legend(im, "JYX", 24, 22, brand, Align::Left, 0.6);
  legend(im, product, 24 + textWidth("JYX ", brand), 22, name, Align::Left, 0.6);
  legend(im, subtitle, im.width() - 22, 21, smallStyle(t, 7.5), Align::Right);
}

void sectionHeader(Image& im, const std::string& text, double x0, double x1, double baseline,
                   const Theme& t) {
  TextStyle head = labelStyle(t, 8);
  double w = textWidth(text, head), cx = (x0 + x1) / 2;
  legend(im, text, cx, baseline, head);
  engravedLine(im, x0, baseline - 3, cx - w / 2 - 5, baseline - 2, rgb(0, 0, 0, 0.6),
               rgb(255, 255, 255, 0.08));
  engravedLine(im, cx + w / 2 + 5, baseline - 3, x1, baseline - 2, rgb(0, 0, 0, 0.6),
               rgb(255, 255, 255, 0.08));
}

ButtonLook buttonLook(const Theme& t, const Color& led) {
  return ButtonLook{t.tint, scaled(t.tint, 0.48), rgb(18, 18, 20),   rgb(50, 34, 20),
                    led,    t.labelDim,           rgb(255, 236, 200)};
}

SelectorDesign ledSelector(const Theme& t, int width, int height, std::vector<std::string> legends) {
  SelectorDesign d;
  d.width = width;
  d.height = height;
  d.legends = std::move(legends);
  d.legendStyle = TextStyle{FontFace::NarrowBold, 8, 0.4, {}, 0.9};
  d.look = buttonLook(t, rgb(255, 168, 40));
  d.look.capTop = scaled(t.tint, 0.44);
  d.look.capBottom = scaled(t.tint, 0.29);
  d.look.capEdge = scaled(t.tint, 0.78);
  d.look.legend = scaled(t.labelDim, 0.88);
  d.look.legendLit = rgb(255, 214, 150);
  return d;
}

}  // namespace skingen
