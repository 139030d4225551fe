#include "ui/buttons.h"

#include <cmath>
#include <cstring>

#include "ui/bitmap.h"
#include "ui/draw_context.h"

namespace jyxui {

// ---------------------------------------------------------------- COnOffButton

COnOffButton::COnOffButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, int32_t s)
    : CControl(r, l, t, background), style(s) {}

void COnOffButton::draw(CDrawContext* context) {
  if (pBackground) {
    const CCoord y = value >= 0.5f ? pBackground->getHeight() / 2 : 0;
    pBackground->draw(context, size, CPoint(0, y));
  }
  setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  value = value < 0.5f ? 1.0f : 0.0f;
  if (listener) listener->valueChanged(this);
  endEdit();
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COnOffButton::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "COnOffButton") == 0) || CControl::isTypeOf(name);
}

// ---------------------------------------------------------------- CKickButton

CKickButton::CKickButton(const CRect& r, CControlListener* l, int32_t t, CCoord imageHeight,
                         CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o) {
  heightOfOneImage = imageHeight;
  subPixmaps =
      (background && imageHeight > 0) ? static_cast<int32_t>(background->getHeight() / imageHeight) : 0;
}

void CKickButton::draw(CDrawContext* context) {
  if (pBackground) {
    const CCoord y = offset.y + (value >= 0.5f ? heightOfOneImage : 0);
    pBackground->draw(context, size, CPoint(offset.x, y));
  }
  setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  value = vmax;
  if (listener) listener->valueChanged(this);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint&, const CButtonState&) {
  // A press that wanders keeps its value and reports nothing: a listener told
  // of a move would take it for another press.
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
  value = vmin;
  if (listener) listener->valueChanged(this);
  endEdit();
  invalid();
  return kMouseEventHandled;
}

bool CKickButton::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CKickButton") == 0) || CControl::isTypeOf(name);
}

// ---------------------------------------------------------------- CVerticalSwitch

CVerticalSwitch::CVerticalSwitch(const CRect& r, CControlListener* l, int32_t t, int32_t images,
                                 CCoord imageHeight, int32_t positions, CBitmap* background, const CPoint& o)
    : CControl(r, l, t, background), offset(o), maxPositions(positions) {
  subPixmaps = images;
  heightOfOneImage = imageHeight;
}

void CVerticalSwitch::draw(CDrawContext* context) {
  if (pBackground && subPixmaps > 0) {
    const float position = value * static_cast<float>(subPixmaps - 1) + 0.5f;
    int image = 0;
    if (position >= static_cast<float>(subPixmaps - 1))
      image = subPixmaps - 1;
    else if (position > 0)
      image = static_cast<int>(position);
    pBackground->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage));
  }
  setDirty(false);
}

CMouseEventResult CVerticalSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  pressed_ = true;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CVerticalSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !pressed_) return kMouseEventNotHandled;
  const float before = value;
  const int32_t bands = subPixmaps;
  if (bands > 1 && size.getHeight() > 0) {
    const double band = std::floor((where.y - size.top) / (size.getHeight() / bands));
    const double clamped = std::fmax(0.0, std::fmin(band, static_cast<double>(bands - 1)));
    value = static_cast<float>(clamped / (bands - 1));
  } else {
    value = 0;
  }
  if (value != before) {
    invalid();
    if (listener) listener->valueChanged(this);
  }
  return kMouseEventHandled;
}

CMouseEventResult CVerticalSwitch::onMouseUp(CPoint&, const CButtonState&) {
  if (pressed_) {
    pressed_ = false;
    endEdit();
  }
  return kMouseEventHandled;
}

bool CVerticalSwitch::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CVerticalSwitch") == 0) || CControl::isTypeOf(name);
}

// ---------------------------------------------------------------- CRockerSwitch

CRockerSwitch::CRockerSwitch(const CRect& r, CControlListener* l, int32_t t, CCoord imageHeight,
                             CBitmap* background, const CPoint& o, int32_t s)
    : CControl(r, l, t, background), offset(o), style(s) {
  heightOfOneImage = imageHeight;
  subPixmaps = 3;
  vmin = -1;
  vmax = 1;
  defaultValue = 0;
}

void CRockerSwitch::draw(CDrawContext* context) {
  if (pBackground) {
    const int image = value < 0 ? 0 : (value > 0 ? 2 : 1);
    pBackground->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage));
  }
  setDirty(false);
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  const bool first =
      (style & kVertical) ? where.y < (size.top + size.bottom) / 2 : where.x < (size.left + size.right) / 2;
  beginEdit();
  value = first ? vmin : vmax;
  invalid();
  if (listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventHandled; }

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
  value = 0;
  invalid();
  if (listener) listener->valueChanged(this);
  endEdit();
  return kMouseEventHandled;
}

bool CRockerSwitch::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }

bool CRockerSwitch::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CRockerSwitch") == 0) || CControl::isTypeOf(name);
}

}  // namespace jyxui
