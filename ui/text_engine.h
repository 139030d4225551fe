// Text through stb_truetype from the embedded Liberation Sans: metrics,
// measuring and drawing into a pixel buffer. Glyph images are cached per size
// and quarter-pixel position; the cache is shared by every frame of the
// process and guarded for hosts that run editors on several threads.
#pragma once

#include <memory>
#include <string>

#include "ui/pixel_buffer.h"

namespace jyxui {

struct FontMetrics {
  double ascent = 0;   // above the baseline, in pixels
  double descent = 0;  // below the baseline, in pixels (positive)
};

class TextEngine {
 public:
  static TextEngine& instance();

  bool isValid() const;
  FontMetrics metrics(double pixelSize) const;
  double width(const std::string& utf8, double pixelSize) const;
  // Draws with the pen starting at x on the baseline (rounded to a whole pixel).
  void draw(PixelBuffer& target, const PixelRect& clip, double x, double baseline, const std::string& utf8,
            double pixelSize, CColor color, bool antialias) const;

 private:
  TextEngine();
  ~TextEngine();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace jyxui
