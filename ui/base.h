// Core of the user-interface layer: reference-counted objects, points,
// rectangles, colours, and the constants the editors share with the layer
// (mouse results, button bits, knob modes, control styles).
//
// Thread contract: every object of the layer belongs to the editor's user-
// interface thread; only the live-object counters may be read from anywhere.
#pragma once

#include <cstdint>

namespace jyxui {

using CCoord = double;

// ---- reference counting ----

// New objects start with one reference; forget() deletes the object when the
// last reference goes.
class CBaseObject {
 public:
  CBaseObject();
  CBaseObject(const CBaseObject&);
  CBaseObject& operator=(const CBaseObject&) { return *this; }
  virtual ~CBaseObject();

  virtual void remember() { ++nbReference; }
  virtual void forget();
  int32_t getNbReference() const { return nbReference; }

  // Answers true for the object's own class name and those of its bases.
  virtual bool isTypeOf(const char* name) const;
  // A copy of the object, for the classes that provide one.
  virtual CBaseObject* newCopy() const { return nullptr; }

 private:
  int32_t nbReference = 1;
};

// Every CBaseObject alive in the process, so that tests can prove that closing
// an editor leaves nothing behind.
long liveObjectCount();

// Holds a reference for the length of a scope, so that an object survives a
// call that may release it (a view removed from inside its own handler).
class SharedGuard {
 public:
  explicit SharedGuard(CBaseObject* object) : object_(object) {
    if (object_) object_->remember();
  }
  ~SharedGuard() {
    if (object_) object_->forget();
  }
  SharedGuard(const SharedGuard&) = delete;
  SharedGuard& operator=(const SharedGuard&) = delete;

 private:
  CBaseObject* object_;
};

// ---- value types ----

struct CPoint {
  CCoord x = 0;
  CCoord y = 0;

  CPoint() = default;
  CPoint(CCoord px, CCoord py) : x(px), y(py) {}

  CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  CPoint& operator()(CCoord px, CCoord py) {
    x = px;
    y = py;
    return *this;
  }
  bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const CPoint& other) const { return !(*this == other); }
  CPoint operator+(const CPoint& other) const { return {x + other.x, y + other.y}; }
  CPoint operator-(const CPoint& other) const { return {x - other.x, y - other.y}; }
};

// Fractional coordinates are allowed; a point is inside when
// left <= x < right and top <= y < bottom.
struct CRect {
  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;

  CRect() = default;
  CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
  CRect(const CPoint& origin, const CPoint& size)
      : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

  CRect& operator()(CCoord l, CCoord t, CCoord r, CCoord b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
    return *this;
  }
  bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const CRect& o) const { return !(*this == o); }

  CCoord getWidth() const { return right - left; }
  CCoord getHeight() const { return bottom - top; }
  CCoord width() const { return getWidth(); }
  CCoord height() const { return getHeight(); }
  CPoint getTopLeft() const { return {left, top}; }
  CPoint getSize() const { return {getWidth(), getHeight()}; }
  CRect& setWidth(CCoord w) {
    right = left + w;
    return *this;
  }
  CRect& setHeight(CCoord h) {
    bottom = top + h;
    return *this;
  }

  CRect& offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
  CRect& moveTo(const CPoint& p) { return moveTo(p.x, p.y); }
  CRect& inset(CCoord dx, CCoord dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
  }

  bool isEmpty() const { return !(right > left && bottom > top); }
  bool pointInside(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool isInside(const CPoint& p) const { return pointInside(p); }
  bool rectOverlap(const CRect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  // This rectangle cut to its common part with other (empty when they do not meet).
  CRect& bound(const CRect& other);
  // The smallest rectangle holding both; an empty side counts as absent.
  CRect& unite(const CRect& other);
};

struct CColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;

  bool operator==(const CColor& o) const {
    return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
  }
  bool operator!=(const CColor& o) const { return !(*this == o); }
};

constexpr CColor MakeCColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return CColor{r, g, b, a}; }

inline constexpr CColor kTransparentCColor{255, 255, 255, 0};
inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kGreenCColor{0, 255, 0, 255};
inline constexpr CColor kBlueCColor{0, 0, 255, 255};

// ---- mouse ----

// The mouse-button and modifier state handed to the mouse operations.
using CButtonState = int32_t;

enum CButton : int32_t {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5,
  kAlt = 1 << 6,
  kApple = 1 << 7,
  kDoubleClick = 1 << 10,
};
constexpr CButtonState kMouseButtons = kLButton | kMButton | kRButton;

enum CMouseEventResult : int32_t {
  kMouseEventNotImplemented = 0,
  kMouseEventHandled = 1,
  kMouseEventNotHandled = 2,
  // Handled; the view wants no move or up events for this press.
  kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
};

// ---- knobs ----

enum CKnobMode : int32_t { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

// ---- control styles ----

enum CControlStyle : int32_t {
  kHorizontal = 1 << 0,
  kVertical = 1 << 1,
  kShadowText = 1 << 2,
  k3DIn = 1 << 3,
  k3DOut = 1 << 4,
  kPopupStyle = 1 << 9,
  kCheckStyle = 1 << 10,
  kNoTextStyle = 1 << 11,
  kNoDrawStyle = 1 << 12,
  kDoubleClickStyle = 1 << 13,
  kNoFrame = 1 << 14,
};

enum CHoriTxtAlign : int32_t { kLeftText = 0, kCenterText, kRightText };

}  // namespace jyxui
