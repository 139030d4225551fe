#include "controls/switches.h"

#include "controls/control_support.h"

using namespace jyxui;

using controls::isNamed;

// ---------------------------------------------------------------- CMyOnOffButton

CMyOnOffButton::CMyOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)
    : COnOffButton(size, listener, tag, bitmap, 0) {}

void CMyOnOffButton::draw(CDrawContext* context) {
  if (pBackground)
    pBackground->draw(context, size, CPoint(0, value >= 0.5f ? pBackground->getHeight() / 2 : 0));
  setDirty(false);
}

// ---------------------------------------------------------------- CMyVerticalSwitch

CMyVerticalSwitch::CMyVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                     int32_t subPixmaps, CCoord heightOfOneImage, int32_t positionCount,
                                     CBitmap* bitmap, const CPoint& offset)
    : CVerticalSwitch(size, listener, tag, subPixmaps, heightOfOneImage, positionCount, bitmap, offset),
      positions(positionCount) {}

void CMyVerticalSwitch::draw(CDrawContext* context) {
  auto image = static_cast<int32_t>(static_cast<float>(positions) * value);
  if (image >= 3) image = 2;
  if (image < 0) image = 0;
  if (pBackground) pBackground->draw(context, size, CPoint(0, image * heightOfOneImage));
  setDirty(false);
}

// ---------------------------------------------------------------- CMyLRUDButton

CMyLRUDButton::CMyLRUDButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)
    : COnOffButton(size, listener, tag, bitmap, 0) {}

void CMyLRUDButton::draw(CDrawContext* context) {
  if (pBackground) {
    const CCoord height = pBackground->getHeight();
    const CCoord y = value >= 0.75f   ? height * 0.75
                     : value >= 0.5f  ? height * 0.5
                     : value >= 0.25f ? height * 0.25
                                      : 0;
    pBackground->draw(context, size, CPoint(0, y));
  }
  setDirty(false);
}

CMouseEventResult CMyLRUDButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  valueAtMouseDown = value;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CMyLRUDButton::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  return kMouseEventHandled;
}

CMouseEventResult CMyLRUDButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  const CCoord l = size.left, t = size.top, r = size.right, b = size.bottom;
  const CCoord qx = (r - l) / 4, qy = (b - t) / 4, hy = (b - t) / 2;
  const CCoord x = where.x, y = where.y;
  const float before = value;
  // Zones as closed intervals, tested in this order: left, right, down, up.
  if (l <= x && x <= l + qx && t + qy <= y && y <= b - qy)
    value = 0.33f;
  else if (r - qx <= x && x <= r && t + qy <= y && y <= b - qy)
    value = 0.67f;
  else if (l + qx <= x && x <= r - qx && b - hy <= y && y <= b)
    value = 1.0f;
  else if (l + qx <= x && x <= r - qx && t <= y && y <= t + hy)
    value = 0.0f;
  else
    value = valueAtMouseDown;
  if (value != before && listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

// ---------------------------------------------------------------- CViewContainerSwitch

CViewContainerSwitch::CViewContainerSwitch(const CRect& size, CControlListener* listener, int32_t tag)
    : CControl(size, listener, tag) {}

void CViewContainerSwitch::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CViewContainerSwitch::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = value == 0 ? 1.0f : 0.0f;
  if (listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

bool CViewContainerSwitch::isTypeOf(const char* name) const {
  return isNamed(name, "CViewContainerSwitch") || CControl::isTypeOf(name);
}

CBaseObject* CViewContainerSwitch::newCopy() const {
  auto* copy = new CViewContainerSwitch(size, listener, tag);
  controls::copyControlState(*this, *copy);
  return copy;
}

// ---------------------------------------------------------------- CClickRect

CClickRect::CClickRect(const CRect& size, CControlListener* listener, int32_t tag)
    : CControl(size, listener, tag) {}

void CClickRect::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CClickRect::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

bool CClickRect::isTypeOf(const char* name) const {
  return isNamed(name, "CClickRect") || CControl::isTypeOf(name);
}

CBaseObject* CClickRect::newCopy() const {
  auto* copy = new CClickRect(size, listener, tag);
  controls::copyControlState(*this, *copy);
  return copy;
}
