#include "ui/font.h"

#include <cstring>

namespace jyxui {

CFontDesc::CFontDesc(const char* name, CCoord size, int32_t style)
    : name_(name ? name : ""), size_(size), style_(style) {}

bool CFontDesc::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CFontDesc") == 0) || CBaseObject::isTypeOf(name);
}

namespace {
CFontDesc gSystemFont("Arial", 12);
CFontDesc gNormalFontVeryBig("Arial", 18);
CFontDesc gNormalFontBig("Arial", 14);
CFontDesc gNormalFont("Arial", 12);
CFontDesc gNormalFontSmall("Arial", 11);
CFontDesc gNormalFontSmaller("Arial", 10);
CFontDesc gNormalFontVerySmall("Arial", 9);
CFontDesc gSymbolFont("Symbol", 12);
}  // namespace

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFontVeryBig = &gNormalFontVeryBig;
const CFontRef kNormalFontBig = &gNormalFontBig;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;
const CFontRef kNormalFontSmaller = &gNormalFontSmaller;
const CFontRef kNormalFontVerySmall = &gNormalFontVerySmall;
const CFontRef kSymbolFont = &gSymbolFont;

}  // namespace jyxui
