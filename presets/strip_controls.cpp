#include "presets/strip_controls.h"

#include <cstring>

#include "ui/bitmap.h"

using namespace jyxui;

namespace {

// Image `image` of the film strip into the control's rectangle, fully opaque.
void drawImage(CBitmap* bitmap, CDrawContext* context, const CRect& size, const CPoint& offset,
               CCoord heightOfOneImage, int image) {
  if (bitmap) bitmap->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage), 1.0f);
}

bool isType(const char* name, const char* own) { return name && std::strcmp(name, own) == 0; }

}  // namespace

// ---------------------------------------------------------------- CPSKickButton

CPSKickButton::CPSKickButton(const CRect& r, CControlListener* l, int32_t t, CCoord imageHeight,
                             CBitmap* background, const CPoint& o, bool doubleClick)
    : CKickButton(r, l, t, imageHeight, background, o), doubleClickMode(doubleClick) {}

void CPSKickButton::draw(CDrawContext* context) {
  drawImage(pBackground, context, size, offset, heightOfOneImage, pressed ? 2 : (hover ? 1 : 0));
  setDirty(false);
}

CMouseEventResult CPSKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  // The first click of a double click is ignored.
  if (doubleClickMode && !(buttons & kDoubleClick)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  pressed = true;
  value = (doubleClickMode && (buttons & kControl)) ? 0.5f : 1.0f;
  if (listener) listener->valueChanged(this);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseUp(CPoint&, const CButtonState&) {
  value = 0;
  pressed = false;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseEntered(CPoint&, const CButtonState&) {
  hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseExited(CPoint&, const CButtonState&) {
  hover = false;
  invalid();
  return kMouseEventHandled;
}

bool CPSKickButton::isTypeOf(const char* name) const {
  return isType(name, "CPSKickButton") || CKickButton::isTypeOf(name);
}

// ---------------------------------------------------------------- CSaveLoadButton

CSaveLoadButton::CSaveLoadButton(const CRect& r, CControlListener* l, int32_t t, CCoord imageHeight,
                                 CBitmap* background, const CPoint& o)
    : CKickButton(r, l, t, imageHeight, background, o) {}

void CSaveLoadButton::draw(CDrawContext* context) {
  drawImage(pBackground, context, size, offset, heightOfOneImage, value != 0 ? 2 : (hover ? 1 : 0));
  setDirty(false);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & (kLButton | kRButton)) || !listener) return kMouseEventNotHandled;
  // The right button alone, without another button or a modifier; the
  // frame's double-click mark is neither.
  value = (buttons & ~kDoubleClick) == kRButton ? 0.5f : 1.0f;
  listener->valueChanged(this);
  value = 0;
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CSaveLoadButton::onMouseEntered(CPoint&, const CButtonState&) {
  hover = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CSaveLoadButton::onMouseExited(CPoint&, const CButtonState&) {
  hover = false;
  invalid();
  return kMouseEventHandled;
}

bool CSaveLoadButton::isTypeOf(const char* name) const {
  return isType(name, "CSaveLoadButton") || CKickButton::isTypeOf(name);
}

// ---------------------------------------------------------------- CPSRockerSwitch

CPSRockerSwitch::CPSRockerSwitch(const CRect& r, CControlListener* l, int32_t t, CCoord imageHeight,
                                 CBitmap* background, const CPoint& o, int32_t s)
    : CRockerSwitch(r, l, t, imageHeight, background, o, s) {
  subPixmaps = 5;
}

void CPSRockerSwitch::draw(CDrawContext* context) {
  int image = 0;
  if (value == -1.0f)
    image = 3;
  else if (value == 1.0f)
    image = 4;
  else if (hoverSide != 0)
    image = hoverSide < 0 ? 1 : 2;
  drawImage(pBackground, context, size, CPoint(0, 0), heightOfOneImage, image);
  setDirty(false);
}

int32_t CPSRockerSwitch::sideOf(const CPoint& where) const {
  return where.x < (size.left + size.right) / 2 ? -1 : 1;
}

CMouseEventResult CPSRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = static_cast<float>(sideOf(where));
  invalid();
  if (listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
  value = 0;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  // While pressed the rocker keeps the half it was pressed on.
  if (buttons & kLButton) return kMouseEventHandled;
  return onMouseEntered(where, buttons);
}

CMouseEventResult CPSRockerSwitch::onMouseEntered(CPoint& where, const CButtonState&) {
  hoverSide = sideOf(where);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseExited(CPoint&, const CButtonState&) {
  hoverSide = 0;
  invalid();
  return kMouseEventHandled;
}

bool CPSRockerSwitch::isTypeOf(const char* name) const {
  return isType(name, "CPSRockerSwitch") || CRockerSwitch::isTypeOf(name);
}
