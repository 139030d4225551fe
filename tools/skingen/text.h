// Text for the skin images through stb_truetype, with the Liberation fonts
// read from the system's font folder when the generator runs.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace skingen {

enum class FontFace { Sans, SansBold, Narrow, NarrowBold, Serif };

class Fonts {
 public:
  // Loads the faces from `folder` (the Liberation TrueType folder); false when
  // one of them is missing.
  bool load(const std::string& folder);
  const void* info(FontFace face) const;

 private:
  std::vector<std::vector<unsigned char>> files_;
  std::vector<std::vector<unsigned char>> infos_;  // stbtt_fontinfo storage
};

enum class Align { Left, Center, Right };

struct TextStyle {
  FontFace face = FontFace::SansBold;
  double size = 9;      // em size in pixels
  double tracking = 0;  // extra pixels between letters
  Color color;
  double gamma = 1.0;  // < 1 darkens thin strokes at small sizes
};

const Fonts& fonts();
bool loadFonts(const std::string& folder);

double textWidth(const std::string& text, const TextStyle& style);
// Cap height in pixels (height of "H").
double capHeight(const TextStyle& style);
// Draws text with its baseline at `baseline`; x is the left edge, centre or
// right edge by `align`. The start is snapped to whole pixels so that the
// letters sit on the pixel grid the same way wherever a label goes.
void drawText(Image& im, const std::string& text, double x, double baseline, Align align,
              const TextStyle& style);
// Text centred on (cx, cy): the cap height is centred vertically.
void drawTextCentered(Image& im, const std::string& text, double cx, double cy, const TextStyle& style);

}  // namespace skingen
