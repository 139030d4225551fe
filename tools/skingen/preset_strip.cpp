// The preset strip's buttons, shared by the three editors. Every button has
// three images: normal, pointer over it, pressed; the rocker five: normal,
// pointer over its left or right half, left or right half pressed.
#include <functional>

#include "parts.h"
#include "skin.h"

namespace skingen {

namespace {

enum State { Normal, Hover, Pressed };

struct CapColours {
  Color top, bottom, ink;
};

CapColours capColours(State s) {
  switch (s) {
    case Hover: return {rgb(104, 106, 112), rgb(54, 55, 59), rgb(255, 204, 120)};
    case Pressed: return {rgb(26, 27, 29), rgb(46, 47, 50), rgb(255, 178, 70)};
    default: return {rgb(84, 86, 90), rgb(40, 41, 44), rgb(222, 220, 210)};
  }
}

void cap(Image& im, double x0, double x1, const CapColours& c) {
  double h = im.height();
  im.draw(roundedRect(x0, 0, x1, h, 2.2), rgb(10, 10, 11), fullBox(im));
  im.draw(roundedRect(x0 + 0.8, 0.8, x1 - 0.8, h - 0.8, 1.6), linearGradient(0, 0, c.top, 0, h, c.bottom),
          fullBox(im));
}

// Icons are drawn on a 12 x 14 cap; `dy` moves them down when pressed.
using Icon = std::function<void(Image&, const Color&, double dy)>;

void floppy(Image& im, double x, double y, const Color& ink, const Color& hole) {
  // A disk: the body, the metal shutter at the top right, the paper label below.
  im.draw(polygon({{x, y}, {x + 5.4, y}, {x + 6.6, y + 1.2}, {x + 6.6, y + 7}, {x, y + 7}}),
          scaled(ink, 0.78), fullBox(im));
  im.fillRect(x + 3.2, y, x + 5.2, y + 2.4, solid(hole));
  im.fillRect(x + 1, y + 3.8, x + 5.6, y + 7, solid(ink));
  im.fillRect(x + 1, y + 3.8, x + 5.6, y + 4.4, solid(withAlpha(hole, 0.5)));
}

void folder(Image& im, double x, double y, const Color& ink) {
  im.draw(roundedRect(x, y, x + 3.4, y + 2, 0.5), ink, fullBox(im));
  im.draw(roundedRect(x, y + 1.2, x + 7, y + 6.8, 0.6), ink, fullBox(im));
  im.draw(polygon({{x + 1.6, y + 3.2}, {x + 8.2, y + 3.2}, {x + 6.8, y + 6.8}, {x, y + 6.8}}),
          scaled(ink, 0.72), fullBox(im));
}

Icon saveIcon(bool bank) {
  return [bank](Image& im, const Color& ink, double dy) {
    Color hole = rgb(36, 37, 40);
    if (bank) {
      floppy(im, 4.2, 2.8 + dy, scaled(ink, 0.65), hole);
      floppy(im, 2.3, 4.8 + dy, ink, hole);
    } else {
      floppy(im, 2.8, 3.5 + dy, ink, hole);
    }
  };
}

Icon loadIcon(bool bank) {
  return [bank](Image& im, const Color& ink, double dy) {
    if (bank) {
      im.fillRect(3.6, 3.0 + dy, 8.6, 4.0 + dy, solid(scaled(ink, 0.8)));
      im.fillRect(3.2, 4.4 + dy, 9.0, 5.2 + dy, solid(scaled(ink, 0.8)));
      folder(im, 2.2, 5.0 + dy, ink);
    } else {
      folder(im, 2.2, 3.8 + dy, ink);
    }
  };
}

Icon memoryIcon(const std::string& letter, bool store) {
  // The memory's letter with an arrow beside it: into the memory (down) to
  // store, out of it (up) to recall.
  return [letter, store](Image& im, const Color& ink, double dy) {
    TextStyle s{FontFace::SansBold, 8.5, 0, ink, 0.85};
    drawText(im, letter, 4.6, 10.6 + dy, Align::Center, s);
    arrow(im, 9.4, 7 + dy, 4.4, store ? 2 : -2, ink);
  };
}

Image button(int w, int h, const Icon& icon) {
  std::vector<Image> frames;
  for (State s : {Normal, Hover, Pressed}) {
    Image im(w, h);
    CapColours c = capColours(s);
    cap(im, 0, w, c);
    icon(im, c.ink, s == Pressed ? 0.7 : 0.0);
    frames.push_back(std::move(im));
  }
  return stack(frames);
}

Image textButton(int w, const std::string& text) {
  return button(w, 10, [text, w](Image& im, const Color& ink, double dy) {
    TextStyle s{FontFace::NarrowBold, 7, 0.45, ink, 0.85};
    drawText(im, text, w / 2.0, 7.6 + dy, Align::Center, s);
  });
}

Image rocker() {
  // normal, hover left, hover right, pressed left, pressed right
  struct Look {
    State left, right;
  } looks[5] = {{Normal, Normal}, {Hover, Normal}, {Normal, Hover}, {Pressed, Normal}, {Normal, Pressed}};
  std::vector<Image> frames;
  for (const Look& l : looks) {
    Image im(31, 14);
    cap(im, 0, 31, capColours(Normal));
    for (int side = 0; side < 2; ++side) {
      State s = side == 0 ? l.left : l.right;
      CapColours c = capColours(s);
      double x0 = side == 0 ? 0.8 : 15.5, x1 = side == 0 ? 15.5 : 30.2;
      if (s != Normal)
        im.draw(roundedRect(x0, 0.8, x1, 13.2, 1.6), linearGradient(0, 0, c.top, 0, 14, c.bottom),
                fullBox(im));
      double dy = s == Pressed ? 0.7 : 0.0;
      arrow(im, side == 0 ? 7.8 : 23.2, 7 + dy, 6.5, side == 0 ? -1 : 1, c.ink);
    }
    im.fillRect(15, 1, 16, 13, solid(rgb(10, 10, 11)));
    frames.push_back(std::move(im));
  }
  return stack(frames);
}

}  // namespace

void drawPresetStrip(Skins& s) {
  const char* F = kPresetFolder;
  s.add(F, 19997, rocker(), true);
  s.add(F, 19993, button(12, 14, loadIcon(true)), true);
  s.add(F, 19994, button(12, 14, saveIcon(true)), true);
  s.add(F, 19990, textButton(37, "DEF BANK"), true);
  s.add(F, 19998, button(12, 14, loadIcon(false)), true);
  s.add(F, 19999, button(12, 14, saveIcon(false)), true);
  s.add(F, 19899, textButton(47, "DEF PRESET"), true);
  s.add(F, 19995, button(12, 14, memoryIcon("A", true)), true);
  s.add(F, 19991, button(12, 14, memoryIcon("A", false)), true);
  s.add(F, 19996, button(12, 14, memoryIcon("B", true)), true);
  s.add(F, 19992, button(12, 14, memoryIcon("B", false)), true);
}

}  // namespace skingen
