// The software renderer every frame draws with, the same on every platform:
// blits without scaling, fills, frames, anti-aliased lines and text, all into
// a PixelBuffer and all clipped. Coordinates are those of the view being drawn
// (its parent's); the container that draws a view sets the offset and clip.
#pragma once

#include <string>

#include "ui/base.h"
#include "ui/bitmap.h"
#include "ui/font.h"
#include "ui/pixel_buffer.h"

namespace jyxui {

class CView;

enum CLineStyle : int32_t { kLineSolid = 0, kLineOnOffDash };
enum CDrawMode : int32_t { kAliasing = 0, kAntiAliasing = 1 };
enum CDrawStyle : int32_t { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

// What a drawing operation did, in frame pixels: tests record these to check
// which image frame and which text went where.
struct BitmapDrawing {
  const CView* view;  // the view being drawn, null outside a paint pass
  CResourceDescription resource;
  PixelRect dest;  // where the copy landed before clipping
  CPoint source;   // top-left of the copied part of the bitmap, whole pixels
  float alpha;
  PixelRect clip;
};
struct StringDrawing {
  const CView* view;
  std::string text;
  CRect rect;
  std::string fontName;
  CCoord fontSize;
  int32_t fontStyle;
  CColor color;
  CHoriTxtAlign align;
  bool antialias;
  PixelRect clip;
};
struct RectDrawing {
  const CView* view;
  PixelRect rect;
  CDrawStyle style;
  CColor fillColor;
  CColor frameColor;
  PixelRect clip;
};
struct LineDrawing {
  const CView* view;
  CPoint from;
  CPoint to;
  CCoord width;
  CColor color;
  bool antialias;
  PixelRect clip;
};

class DrawObserver {
 public:
  virtual ~DrawObserver() = default;
  virtual void bitmapDrawn(const BitmapDrawing&) {}
  virtual void stringDrawn(const StringDrawing&) {}
  virtual void rectDrawn(const RectDrawing&) {}
  virtual void lineDrawn(const LineDrawing&) {}
};

class CDrawContext : public CBaseObject {
 public:
  explicit CDrawContext(PixelBuffer& target, DrawObserver* observer = nullptr);

  // ---- state ----
  void setLineStyle(CLineStyle style) { lineStyle_ = style; }
  CLineStyle getLineStyle() const { return lineStyle_; }
  void setLineWidth(CCoord width) { lineWidth_ = width; }
  CCoord getLineWidth() const { return lineWidth_; }
  void setDrawMode(CDrawMode mode) { drawMode_ = mode; }
  CDrawMode getDrawMode() const { return drawMode_; }
  void setFillColor(const CColor& color) { fillColor_ = color; }
  CColor getFillColor() const { return fillColor_; }
  void setFrameColor(const CColor& color) { frameColor_ = color; }
  CColor getFrameColor() const { return frameColor_; }
  void setFontColor(const CColor& color) { fontColor_ = color; }
  CColor getFontColor() const { return fontColor_; }
  // A size of 0 keeps the current size, a style of -1 the current style.
  void setFont(const CFontDesc* font, CCoord size = 0, int32_t style = -1);
  const CFontDesc& getFont() const { return font_; }
  void setGlobalAlpha(float alpha) { globalAlpha_ = alpha; }
  float getGlobalAlpha() const { return globalAlpha_; }

  // ---- clipping and placement ----
  void setClipRect(const CRect& clip);
  CRect& getClipRect(CRect& clip) const;
  void resetClipRect();
  // Where the view coordinates (0,0) lie in the buffer.
  void setOffset(const CPoint& offset) { offset_ = offset; }
  const CPoint& getOffset() const { return offset_; }
  void setDrawingView(const CView* view) { view_ = view; }
  // True when drawing reaches every pixel of the rectangle (view coordinates).
  bool clipHolds(const CRect& rect) const;

  // ---- drawing ----
  void moveTo(const CPoint& point) { pen_ = point; }
  void lineTo(const CPoint& point);
  void drawLine(const CPoint& from, const CPoint& to);
  void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
  void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
  void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& source = CPoint(0, 0),
                  float alpha = 1.0f);
  // The text centred vertically (baseline at top + (height + ascent - descent) / 2),
  // aligned horizontally, clipped to the rectangle.
  void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText,
                  bool antialias = true);
  CCoord getStringWidth(const char* text);
  // Every pixel a line of this width between the two points may touch, in
  // the coordinates of the points.
  static CRect lineBounds(const CPoint& from, const CPoint& to, CCoord width);

  PixelBuffer& target() { return target_; }

 private:
  PixelRect toDevice(const CRect& r) const;
  void strokeLine(CPoint a, CPoint b);

  PixelBuffer& target_;
  DrawObserver* observer_;
  const CView* view_ = nullptr;
  CPoint offset_;
  PixelRect clip_;
  CPoint pen_;
  CLineStyle lineStyle_ = kLineSolid;
  CCoord lineWidth_ = 1;
  CDrawMode drawMode_ = kAliasing;
  CColor fillColor_ = kWhiteCColor;
  CColor frameColor_ = kBlackCColor;
  CColor fontColor_ = kBlackCColor;
  CFontDesc font_;
  float globalAlpha_ = 1.0f;
};

}  // namespace jyxui
