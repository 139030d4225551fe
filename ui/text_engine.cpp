#include "ui/text_engine.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "ui/embedded_font.h"
#include "ui/utf8.h"

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include "stb_truetype.h"

namespace jyxui {
namespace {

struct Glyph {
  int x0 = 0;  // offset of the image from the pen, in pixels
  int y0 = 0;
  int w = 0;
  int h = 0;
  std::vector<unsigned char> coverage;
};

// Size in 1/64 pixel, glyph index, quarter-pixel position.
using GlyphKey = std::tuple<int, int, int>;

}  // namespace

struct TextEngine::Impl {
  stbtt_fontinfo font{};
  bool valid = false;
  int ascent = 0;
  int descent = 0;
  std::mutex mutex;
  std::map<GlyphKey, Glyph> glyphs;

  float scaleFor(double pixelSize) const {
    return stbtt_ScaleForMappingEmToPixels(&font, static_cast<float>(pixelSize));
  }

  const Glyph& glyph(int index, double pixelSize, int quarter) {
    const GlyphKey key{static_cast<int>(std::lround(pixelSize * 64)), index, quarter};
    auto found = glyphs.find(key);
    if (found != glyphs.end()) return found->second;
    Glyph g;
    const float scale = scaleFor(pixelSize);
    const float shift = static_cast<float>(quarter) * 0.25f;
    int x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBoxSubpixel(&font, index, scale, scale, shift, 0.0f, &g.x0, &g.y0, &x1, &y1);
    g.w = x1 - g.x0;
    g.h = y1 - g.y0;
    if (g.w > 0 && g.h > 0) {
      g.coverage.assign(static_cast<std::size_t>(g.w) * static_cast<std::size_t>(g.h), 0);
      stbtt_MakeGlyphBitmapSubpixel(&font, g.coverage.data(), g.w, g.h, g.w, scale, scale, shift, 0.0f,
                                    index);
    } else {
      g.w = g.h = 0;
    }
    return glyphs.emplace(key, std::move(g)).first->second;
  }

  // Walks the text: for every glyph, its index and the pen position before it.
  template <typename Visit>
  double walk(const std::string& text, double pixelSize, double x, Visit&& visit) {
    const float scale = scaleFor(pixelSize);
    int previous = 0;
    std::size_t i = 0;
    while (i < text.size()) {
      const char32_t cp = decodeUtf8(text, i);
      const int index = stbtt_FindGlyphIndex(&font, static_cast<int>(cp));
      if (previous) x += static_cast<double>(stbtt_GetGlyphKernAdvance(&font, previous, index)) * scale;
      visit(index, x);
      int advance = 0, bearing = 0;
      stbtt_GetGlyphHMetrics(&font, index, &advance, &bearing);
      x += static_cast<double>(advance) * scale;
      previous = index;
    }
    return x;
  }
};

TextEngine& TextEngine::instance() {
  static TextEngine engine;
  return engine;
}

TextEngine::~TextEngine() = default;

TextEngine::TextEngine() : impl_(std::make_unique<Impl>()) {
  const EmbeddedFont font = embeddedSansFont();
  if (font.bytes && font.size > 0 &&
      stbtt_InitFont(&impl_->font, font.bytes, stbtt_GetFontOffsetForIndex(font.bytes, 0))) {
    int lineGap = 0;
    stbtt_GetFontVMetrics(&impl_->font, &impl_->ascent, &impl_->descent, &lineGap);
    impl_->valid = true;
  }
}

bool TextEngine::isValid() const { return impl_->valid; }

FontMetrics TextEngine::metrics(double pixelSize) const {
  if (!impl_->valid || !(pixelSize > 0)) return {};
  const float scale = impl_->scaleFor(pixelSize);
  return {impl_->ascent * static_cast<double>(scale), -impl_->descent * static_cast<double>(scale)};
}

double TextEngine::width(const std::string& text, double pixelSize) const {
  if (!impl_->valid || !(pixelSize > 0)) return 0;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->walk(text, pixelSize, 0.0, [](int, double) {});
}

void TextEngine::draw(PixelBuffer& target, const PixelRect& clip, double x, double baseline,
                      const std::string& text, double pixelSize, CColor color, bool antialias) const {
  if (!impl_->valid || !(pixelSize > 0) || !(pixelSize < 1000)) return;
  const PixelRect area = clip.intersected(target.bounds());
  if (area.isEmpty() || !std::isfinite(x) || !std::isfinite(baseline)) return;
  const int base = snapCoord(baseline);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->walk(text, pixelSize, x, [&](int index, double pen) {
    const double whole = std::floor(pen);
    const int quarter = static_cast<int>((pen - whole) * 4.0);
    const Glyph& g = impl_->glyph(index, pixelSize, quarter < 0 ? 0 : (quarter > 3 ? 3 : quarter));
    const int left = static_cast<int>(whole) + g.x0;
    const int top = base + g.y0;
    const PixelRect box = PixelRect{left, top, left + g.w, top + g.h}.intersected(area);
    for (int y = box.top; y < box.bottom; ++y) {
      for (int px = box.left; px < box.right; ++px) {
        int c = g.coverage[static_cast<std::size_t>(y - top) * g.w + (px - left)];
        if (!antialias) c = c >= 128 ? 255 : 0;
        if (c) target.blend(px, y, color, c);
      }
    }
  });
}

}  // namespace jyxui
