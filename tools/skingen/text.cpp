#include "text.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include "stb_truetype.h"

namespace skingen {

namespace {

const char* kFiles[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                        "LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf",
                        "LiberationSerif-Bold.ttf"};

Fonts& store() {
  static Fonts f;
  return f;
}

const stbtt_fontinfo* fontOf(FontFace face) { return static_cast<const stbtt_fontinfo*>(store().info(face)); }

double scaleOf(const stbtt_fontinfo* f, double size) {
  return stbtt_ScaleForMappingEmToPixels(f, float(size));
}

// Decodes UTF-8 into code points (the labels are ASCII with a few symbols).
std::vector<int> codepoints(const std::string& s) {
  std::vector<int> out;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int cp = c, extra = 0;
    if (c >= 0xF0)
      cp = c & 0x07, extra = 3;
    else if (c >= 0xE0)
      cp = c & 0x0F, extra = 2;
    else if (c >= 0xC0)
      cp = c & 0x1F, extra = 1;
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

}  // namespace

bool Fonts::load(const std::string& folder) {
  files_.clear();
  infos_.clear();
  for (const char* name : kFiles) {
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) return false;
    files_.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  for (auto& file : files_) {
    infos_.emplace_back(sizeof(stbtt_fontinfo));
    auto* info = reinterpret_cast<stbtt_fontinfo*>(infos_.back().data());
    if (!stbtt_InitFont(info, file.data(), stbtt_GetFontOffsetForIndex(file.data(), 0))) return false;
  }
  return true;
}

const void* Fonts::info(FontFace face) const { return infos_.at(static_cast<std::size_t>(face)).data(); }

const Fonts& fonts() { return store(); }
bool loadFonts(const std::string& folder) { return store().load(folder); }

double textWidth(const std::string& text, const TextStyle& style) {
  const stbtt_fontinfo* f = fontOf(style.face);
  double scale = scaleOf(f, style.size);
  std::vector<int> cps = codepoints(text);
  double w = 0;
  for (std::size_t i = 0; i < cps.size(); ++i) {
    int advance, lsb;
    stbtt_GetCodepointHMetrics(f, cps[i], &advance, &lsb);
    w += advance * scale;
    if (i + 1 < cps.size())
      w += stbtt_GetCodepointKernAdvance(f, cps[i], cps[i + 1]) * scale + style.tracking;
  }
  return w;
}

double capHeight(const TextStyle& style) {
  const stbtt_fontinfo* f = fontOf(style.face);
  int x0, y0, x1, y1;
  stbtt_GetCodepointBox(f, 'H', &x0, &y0, &x1, &y1);
  return y1 * scaleOf(f, style.size);
}

void drawText(Image& im, const std::string& text, double x, double baseline, Align align,
              const TextStyle& style) {
  const stbtt_fontinfo* f = fontOf(style.face);
  double scale = scaleOf(f, style.size);
  double w = textWidth(text, style);
  double start = align == Align::Left ? x : (align == Align::Center ? x - w / 2 : x - w);
  double pen = std::floor(start + 0.5);
  int base = int(std::floor(baseline + 0.5));
  std::vector<int> cps = codepoints(text);
  std::vector<unsigned char> glyph;
  for (std::size_t i = 0; i < cps.size(); ++i) {
    double ipen = std::floor(pen);
    float shift = float(pen - ipen);
    int gx0, gy0, gx1, gy1;
    stbtt_GetCodepointBitmapBoxSubpixel(f, cps[i], float(scale), float(scale), shift, 0, &gx0, &gy0, &gx1,
                                        &gy1);
    int gw = gx1 - gx0, gh = gy1 - gy0;
    if (gw > 0 && gh > 0) {
      glyph.assign(std::size_t(gw) * gh, 0);
      stbtt_MakeCodepointBitmapSubpixel(f, glyph.data(), gw, gh, gw, float(scale), float(scale), shift, 0,
                                        cps[i]);
      for (int yy = 0; yy < gh; ++yy)
        for (int xx = 0; xx < gw; ++xx) {
          double cov = glyph[std::size_t(yy) * gw + xx] / 255.0;
          if (cov <= 0) continue;
          if (style.gamma != 1.0) cov = std::pow(cov, style.gamma);
          im.blend(int(ipen) + gx0 + xx, base + gy0 + yy, style.color, cov);
        }
    }
    int advance, lsb;
    stbtt_GetCodepointHMetrics(f, cps[i], &advance, &lsb);
    pen += advance * scale;
    if (i + 1 < cps.size())
      pen += stbtt_GetCodepointKernAdvance(f, cps[i], cps[i + 1]) * scale + style.tracking;
  }
}

void drawTextCentered(Image& im, const std::string& text, double cx, double cy, const TextStyle& style) {
  drawText(im, text, cx, cy + capHeight(style) / 2, Align::Center, style);
}

}  // namespace skingen
