// Fonts as the editors name them. Every face is drawn with the Liberation Sans
// embedded in the plug-in (metric-compatible with the "Arial" the editors
// ask for), so text never depends on the fonts of the machine. Sizes are in
// pixels.
#pragma once

#include <string>

#include "ui/base.h"

namespace jyxui {

enum CTxtFace : int32_t {
  kNormalFace = 0,
  kBoldFace = 1 << 1,
  kItalicFace = 1 << 2,
  kUnderlineFace = 1 << 3,
};

class CFontDesc : public CBaseObject {
 public:
  explicit CFontDesc(const char* name = "", CCoord size = 0, int32_t style = kNormalFace);
  CFontDesc(const CFontDesc& other) = default;
  CFontDesc& operator=(const CFontDesc& other) = default;

  const char* getName() const { return name_.c_str(); }
  CCoord getSize() const { return size_; }
  int32_t getStyle() const { return style_; }
  void setName(const char* name) { name_ = name ? name : ""; }
  void setSize(CCoord size) { size_ = size; }
  void setStyle(int32_t style) { style_ = style; }

  bool isTypeOf(const char* name) const override;

 private:
  std::string name_;
  CCoord size_;
  int32_t style_;
};

using CFontRef = CFontDesc*;

extern const CFontRef kSystemFont;
extern const CFontRef kNormalFontVeryBig;
extern const CFontRef kNormalFontBig;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontSmaller;
extern const CFontRef kNormalFontVerySmall;
extern const CFontRef kSymbolFont;

}  // namespace jyxui
