// The pieces the skins are made of: knobs, buttons, selectors, lamps, meters,
// counter glyphs, panel finishes and printed legends. Each product's file
// puts them together with its own colours and its editor's layout.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "geometry.h"
#include "text.h"

namespace skingen {

// Film strips: images stacked top to bottom, or in columns `pitch` pixels
// apart with `perColumn` images to a column.
Image stack(const std::vector<Image>& images);
Image columns(const std::vector<Image>& images, int perColumn, int pitch);

// ---- Knobs -------------------------------------------------------------

struct KnobLook {
  Color skirtTop, skirtBottom;  // knurled skirt, lit from above
  Color capLight, capDark;      // brushed cap
  Color pointer;                // index line on the skirt
  Color capLine;                // engraved line on the cap
  Color scale;                  // tick marks and numerals
  Color centre{0, 0, 0, 0};     // a coloured dot in the cap's centre (none when clear)
};

struct Numeral {
  double value;  // 0..1 along the sweep
  std::string text;
  double dx = 0, dy = 0;  // nudge from the computed place
};

struct KnobDesign {
  int width = 0, height = 0;
  double radius = 0;       // skirt radius; the knob is centred in the image
  double capRatio = 0.64;  // cap radius / skirt radius
  int knurls = 24;
  double pointerWidth = 1.8;   // index line thickness
  int ticks = 11;              // evenly spaced marks over the sweep (0 for none)
  std::vector<double> majors;  // values with longer marks
  double tickGap = 2;          // from the skirt to the marks
  double tickLength = 3, majorLength = 4.5;
  std::vector<Numeral> numerals;
  double numeralRadius = 0;  // 0: just outside the marks
  TextStyle numeralStyle;
  KnobLook look;
};

// Image `k` of `images` shows the pointer at the frame law's angle.
Image knobStrip(const KnobDesign& design, int images);
Image knobImage(const KnobDesign& design, double angleDegrees);

// ---- Buttons, selectors, switches --------------------------------------

struct ButtonLook {
  Color capTop, capBottom, capEdge;
  Color ledOff, ledOn;
  Color legend, legendLit;
};

struct ButtonDesign {
  int width = 0, height = 0;
  double capX0 = 0, capY0 = 0, capX1 = 0, capY1 = 0;  // the cap, in image pixels
  double radius = 3;
  enum class Led { Bar, Dot } led = Led::Bar;
  std::string legendOff, legendOn;  // printed on the cap (may be empty)
  TextStyle legendStyle;
  ButtonLook look;
};

// Two images: off above, on below.
Image buttonStrip(const ButtonDesign& design);

struct SelectorDesign {
  int width = 0, height = 0;
  std::vector<std::string> legends;  // one row each, top to bottom
  TextStyle legendStyle;
  ButtonLook look;
};

// One image per legend, that legend's lamp lit.
Image selectorStrip(const SelectorDesign& design);

// The four-way channel button: images up (mono), left (L), right (R), down (stereo).
Image channelStrip(int width, int height, double usableWidth, const ButtonLook& look,
                   const TextStyle& legend);

// A small vertical slide switch: images lever up, lever down.
Image slideStrip(int width, int height, const ButtonLook& look);

// ---- Lamps, meters, counter -------------------------------------------

struct LampLook {
  Color bezelLight, bezelDark;
  Color off, on, glow;
};

// A round lamp with its bezel at `level` 0..1, in a w x h image (transparent
// around it), centred on (cx, cy) with radius r.
Image lampImage(int w, int h, double cx, double cy, double r, double level, const LampLook& look);

struct MeterFace {
  int width = 136, height = 70;
  double pivotX = geometry::kMeterPivotX, pivotY = geometry::kMeterPivotY;  // below the window
  double scaleRadius = geometry::kMeterScaleRadius;
  double hoodRadius = 88;  // the needle disappears under the hood
  double needleLength = 128;
  double sweep = geometry::kMeterSweep;  // degrees from image 0 to image 100
  struct Mark {
    double db;
    std::string text;  // empty for a minor mark
  };
  std::vector<Mark> marks;
  Color faceLight, faceDark, ink, red, hood, needle;
  TextStyle numerals, legend;
  std::string caption;
  int mode = 0;
};

double meterImageAngle(const MeterFace& face, double image);
// The 101 images of a level meter.
Image meterStrip(const MeterFace& face);

struct CounterLook {
  Color background, ink;
};
// The 18 glyphs, 9 x 17 each.
Image counterGlyphs(const CounterLook& look);

// ---- Panels -------------------------------------------------------------

// Fills a rect with a brushed finish: `base` with horizontal streaks.
void brushed(Image& im, int x0, int y0, int x1, int y1, const Color& base, double strength, int seed);
// A slotted screw head.
void screw(Image& im, double cx, double cy, double r, double slotAngle);
// A recessed window: a dark bevel around (x0, y0)-(x1, y1) whose inside is
// filled plain with `inside`, keeping `margin` plain pixels outside the rect.
void window(Image& im, double x0, double y0, double x1, double y1, const Color& inside, double margin,
            double bevel, double radius);
// A printed legend with a faint shadow below, centred on cx.
void legend(Image& im, const std::string& text, double cx, double baseline, const TextStyle& style,
            Align align = Align::Center, double shadow = 0.45);
// A thin engraved line (dark with a light edge below).
void engravedLine(Image& im, double x0, double y0, double x1, double y1, const Color& dark,
                  const Color& light);
// A small triangle pointing left (-1) or right (+1), up (-2) or down (+2).
void arrow(Image& im, double cx, double cy, double size, int direction, const Color& c);

}  // namespace skingen
