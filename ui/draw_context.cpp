#include "ui/draw_context.h"

#include <algorithm>
#include <cmath>

#include "ui/text_engine.h"

namespace jyxui {
namespace {

int toCoverage(double c) { return static_cast<int>(std::clamp(c, 0.0, 1.0) * 255.0 + 0.5); }

}  // namespace

CDrawContext::CDrawContext(PixelBuffer& target, DrawObserver* observer)
    : target_(target), observer_(observer), clip_(target.bounds()), font_(*kSystemFont) {}

void CDrawContext::setFont(const CFontDesc* font, CCoord size, int32_t style) {
  if (font) font_ = *font;
  if (size > 0) font_.setSize(size);
  if (style >= 0) font_.setStyle(style);
}

PixelRect CDrawContext::toDevice(const CRect& r) const {
  CRect d = r;
  d.offset(offset_.x, offset_.y);
  return snapRect(d);
}

void CDrawContext::setClipRect(const CRect& clip) { clip_ = toDevice(clip).intersected(target_.bounds()); }

CRect& CDrawContext::getClipRect(CRect& clip) const {
  clip = clip_.toRect();
  clip.offset(-offset_.x, -offset_.y);
  return clip;
}

void CDrawContext::resetClipRect() { clip_ = target_.bounds(); }

bool CDrawContext::clipHolds(const CRect& rect) const {
  const PixelRect r = toDevice(rect).intersected(target_.bounds());
  return r.isEmpty() || r.intersected(clip_) == r;
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& source, float alpha) {
  if (!bitmap || !bitmap->isLoaded()) return;
  const PixelRect d = toDevice(dest);
  const int sx = snapCoord(source.x);
  const int sy = snapCoord(source.y);
  const float a = std::clamp(alpha, 0.0f, 1.0f) * std::clamp(globalAlpha_, 0.0f, 1.0f);
  if (observer_)
    observer_->bitmapDrawn({view_, bitmap->getResourceDescription(), d, CPoint(sx, sy), alpha, clip_});
  const int coverage = toCoverage(a);
  if (coverage == 0) return;
  const PixelBuffer& picture = bitmap->getPixels();
  // The destination pixels within the clip that have a bitmap pixel to take.
  const PixelRect area = d.intersected(clip_).intersected(
      PixelRect{d.left - sx, d.top - sy, d.left - sx + picture.width(), d.top - sy + picture.height()});
  for (int y = area.top; y < area.bottom; ++y) {
    const std::uint8_t* row = picture.data() + static_cast<std::size_t>(sy + (y - d.top)) * picture.stride() +
                              static_cast<std::size_t>(sx + (area.left - d.left)) * 4;
    target_.blendRow(area.left, y, row, area.width(), coverage);
  }
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
  const PixelRect r = toDevice(rect);
  if (observer_) observer_->rectDrawn({view_, r, style, fillColor_, frameColor_, clip_});
  const PixelRect area = r.intersected(clip_);
  if (area.isEmpty()) return;
  const int ga = toCoverage(globalAlpha_);
  if (style == kDrawFilled || style == kDrawFilledAndStroked) {
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) target_.blend(x, y, fillColor_, ga);
  }
  if (style == kDrawStroked || style == kDrawFilledAndStroked) {
    // A border of the line width, inside the rectangle.
    const int w = std::max(1, snapCoord(lineWidth_));
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (x < r.left + w || x >= r.right - w || y < r.top + w || y >= r.bottom - w)
          target_.blend(x, y, frameColor_, ga);
  }
}

void CDrawContext::lineTo(const CPoint& point) {
  drawLine(pen_, point);
  pen_ = point;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
  const CPoint a = from + offset_;
  const CPoint b = to + offset_;
  if (observer_)
    observer_->lineDrawn({view_, a, b, lineWidth_, frameColor_, drawMode_ == kAntiAliasing, clip_});
  strokeLine(a, b);
}

// A straight stroke of the line width with flat ends. Anti-aliased, a pixel is
// covered by how far its centre lies inside the stroke, a pixel wide ramp at
// each edge; aliased, a pixel is drawn when its centre lies inside.
void CDrawContext::strokeLine(CPoint a, CPoint b) {
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return;
  const double half = std::max(lineWidth_, 0.0) * 0.5;
  if (half <= 0) return;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length <= 0) return;
  const double ux = dx / length;
  const double uy = dy / length;
  const bool smooth = drawMode_ == kAntiAliasing;
  const PixelRect box = coverRect(lineBounds(a, b, lineWidth_)).intersected(clip_);
  const double ga = std::clamp(static_cast<double>(globalAlpha_), 0.0, 1.0);
  // No pixel whose centre lies this far across the stroke is covered.
  const double reach = half + 0.5;
  for (int y = box.top; y < box.bottom; ++y) {
    // The pixels of the row that may lie within reach of the stroke's line,
    // with a pixel to spare on either side; each is weighed as before.
    int first = box.left, end = box.right;
    if (std::fabs(uy) > 1e-6) {
      const double py = y + 0.5 - a.y;
      double lo = (py * ux - reach) / uy, hi = (py * ux + reach) / uy;
      if (lo > hi) std::swap(lo, hi);
      first =
          static_cast<int>(std::clamp(std::floor(a.x - 0.5 + lo) - 1, double(box.left), double(box.right)));
      end = static_cast<int>(std::clamp(std::ceil(a.x - 0.5 + hi) + 2, double(first), double(box.right)));
    }
    for (int x = first; x < end; ++x) {
      const double px = x + 0.5 - a.x;
      const double py = y + 0.5 - a.y;
      const double along = px * ux + py * uy;
      const double across = std::fabs(px * uy - py * ux);
      double coverage;
      if (smooth) {
        const double side = std::clamp(half + 0.5 - across, 0.0, 1.0);
        const double ends = std::clamp(0.5 + std::min(along, length - along), 0.0, 1.0);
        coverage = side * ends;
      } else {
        coverage = (across <= half && along >= 0 && along <= length) ? 1.0 : 0.0;
      }
      if (coverage > 0) target_.blend(x, y, frameColor_, toCoverage(coverage * ga));
    }
  }
}

CRect CDrawContext::lineBounds(const CPoint& from, const CPoint& to, CCoord width) {
  const double reach = std::max(width, 0.0) * 0.5 + 1.0;
  return CRect(std::min(from.x, to.x) - reach, std::min(from.y, to.y) - reach, std::max(from.x, to.x) + reach,
               std::max(from.y, to.y) + reach);
}

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align, bool antialias) {
  if (!text) return;
  const std::string s(text);
  CRect r = rect;
  r.offset(offset_.x, offset_.y);
  const PixelRect clip = snapRect(r).intersected(clip_);
  if (observer_)
    observer_->stringDrawn({view_, s, r, font_.getName(), font_.getSize(), font_.getStyle(), fontColor_,
                            align, antialias, clip});
  if (s.empty() || clip.isEmpty()) return;
  const TextEngine& engine = TextEngine::instance();
  const double size = font_.getSize() > 0 ? font_.getSize() : 12.0;
  const FontMetrics m = engine.metrics(size);
  const double width = engine.width(s, size);
  double x = r.left;
  if (align == kCenterText)
    x = r.left + (r.getWidth() - width) / 2;
  else if (align == kRightText)
    x = r.right - width;
  const double baseline = r.top + (r.getHeight() + m.ascent - m.descent) / 2;
  CColor color = fontColor_;
  color.alpha = static_cast<uint8_t>((color.alpha * toCoverage(globalAlpha_) + 127) / 255);
  engine.draw(target_, clip, x, baseline, s, size, color, antialias);
}

CCoord CDrawContext::getStringWidth(const char* text) {
  if (!text) return 0;
  return TextEngine::instance().width(text, font_.getSize() > 0 ? font_.getSize() : 12.0);
}

}  // namespace jyxui
