// Reading a skin back for tests: the module's embedded table, the images
// decoded, and measurements of what the images show.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "products/ostrelvanheim2/editor_traits.h"
#include "ui/resources.h"

namespace skintest {

const jyxui::EmbeddedResource* findNumber(int number);
const jyxui::EmbeddedResource* findName(const char* name);

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // straight alpha, 8 bits a channel
  const std::uint8_t* at(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
  bool empty() const { return width == 0; }
};

Picture decode(const jyxui::EmbeddedResource& r);
Picture load(int number);  // empty when the table has no such image
Picture load(const char* name);

// One image of the skin as the editors use it.
struct Expected {
  int number;        // 0 for an image known by name
  const char* name;  // nullptr for an image known by number
  int width, height;
  int images;       // stacked images (all columns together)
  int columns = 1;  // for a strip wrapped into columns
};

// Checks that every expected image is in the table with its size and layout,
// that the table holds nothing else, and that none of `absent` is found.
void expectSkin(const std::vector<Expected>& expected, const std::vector<int>& absent);

// Empty when every pixel of the rect (half-open) has one colour, else a
// description of the first pixel that differs.
std::string plainDifference(const Picture& p, int x0, int y0, int x1, int y1);
// Readout areas: a rect of an image and the plain margin it needs around it.
struct PlainArea {
  int number, x0, y0, x1, y1, margin;
};
void expectPlainAreas(const std::vector<PlainArea>& areas);
// The colour of a pixel as 0xRRGGBBAA.
std::uint32_t colourAt(const Picture& p, int x, int y);

// A film strip of images `w` x `h`, `perColumn` to a column, columns `pitch` apart.
struct StripLayout {
  int w, h, images, perColumn, pitch;
};
StripLayout singleColumn(const Picture& p, int images);

// The angle (degrees, counter-clockwise from the right, y up) at which each
// knob image's pointer stands: where the image differs from the strip's
// median picture in the ring between `r0` and `r1` (fractions of the half
// size) around the image's centre.
std::vector<double> pointerAngles(const Picture& strip, const StripLayout& layout, double r0 = 0.2,
                                  double r1 = 0.4);
double angleDifference(double a, double b);
// A circular drag reads the value from the pointer's angle: the minimum at
// 225 degrees, 270 degrees clockwise to the maximum. Image k of N is shown for
// the values from k / (N - 1), so its pointer must stand at that value's angle.
void expectKnobPointers(const Picture& strip, const StripLayout& layout);

// The counter's view is one row shorter than a glyph: row 16 of every glyph
// is background, and every glyph but the blank has ink above it.
void expectCounterGlyphs(const Picture& glyphs);

// Level meter strips: the needle's angle around the scale's pivot in image
// `k`, and the angle at which the red part of the scale begins (from the left).
double meterNeedleAngle(const Picture& strip, int k);
double meterRedStart(const Picture& strip);
double meterImageAngle(double image);

// Mean brightness of image `k` of a strip over its opaque pixels, 0..255.
double meanBrightness(const Picture& strip, int h, int k);

// The editor sizes each control by its rectangle: the art fills it exactly,
// one image of the strip (a column knob's image within its column). The
// needle meters draw their pictures at places of their own.
void expectControlsFillOneImage(std::span<const EditorControl> page);

}  // namespace skintest
