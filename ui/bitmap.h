// Bitmaps of the skin, found by resource number or by name in the table the
// plug-in carries (ui/resources.h) and decoded from PNG. A bitmap that is not
// found or does not decode reports isLoaded() == false and a size of 0 x 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/base.h"
#include "ui/pixel_buffer.h"

namespace jyxui {

class CDrawContext;

class CResourceDescription {
 public:
  enum Type { kUnknownType, kIntegerType, kStringType };

  CResourceDescription() = default;
  CResourceDescription(int32_t id) : type(kIntegerType), id(id) {}
  CResourceDescription(const char* resourceName)
      : type(kStringType), name(resourceName ? resourceName : "") {}

  Type type = kUnknownType;
  int32_t id = 0;
  std::string name;
};

class CBitmap : public CBaseObject {
 public:
  explicit CBitmap(const CResourceDescription& description);
  // A transparent bitmap of this size, drawn into by the program or a test.
  CBitmap(CCoord width, CCoord height);
  // From PNG bytes that are not in the resource table.
  CBitmap(const unsigned char* pngBytes, std::size_t size);

  // Copies the part of the bitmap that starts at offset and has the size of
  // destRect into destRect, without scaling; alpha scales every pixel's own.
  virtual void draw(CDrawContext* context, const CRect& destRect, const CPoint& offset = CPoint(0, 0),
                    float alpha = 1.0f);

  CCoord getWidth() const { return pixels_.width(); }
  CCoord getHeight() const { return pixels_.height(); }
  bool isLoaded() const { return pixels_.width() > 0 && pixels_.height() > 0; }
  const CResourceDescription& getResourceDescription() const { return description_; }

  // Straight (not premultiplied) RGBA; outside the bitmap: transparent.
  CColor getPixel(int x, int y) const { return pixels_.pixel(x, y); }
  const PixelBuffer& getPixels() const { return pixels_; }

  // Where the two parts of width x height that start at these points differ,
  // relative to the parts' top-left: empty when they are the same, all of it
  // when either leaves the bitmap. The points are taken to whole pixels as
  // drawing takes them.
  PixelRect differingArea(const CPoint& a, const CPoint& b, int width, int height) const;
  void setPixel(int x, int y, CColor color) { pixels_.setPixel(x, y, color); }

  bool isTypeOf(const char* name) const override;

 private:
  bool decode(const unsigned char* bytes, std::size_t size);

  CResourceDescription description_;
  PixelBuffer pixels_;
};

}  // namespace jyxui
