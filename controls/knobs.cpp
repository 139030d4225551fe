#include "controls/knobs.h"

#include <cmath>

#include "controls/editor_layer.h"

using namespace jyxui;

CEditorKnob::CEditorKnob(const CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
                         CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset)
    : CAnimKnob(size, editor, tag, subPixmaps, heightOfOneImage, bitmap, offset) {}

CPoint CEditorKnob::relativeToKnob(const CPoint& where) const {
  return CPoint(where.x - size.left, where.y - size.top);
}

CMouseEventResult CEditorKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  beginEdit();
  if (buttons & kControl) {
    value = getDefaultValue();
    if (isDirty()) listener->valueChanged(this);
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  if (buttons & kDoubleClick) {
    // Typed entry follows through the editor; the value stays.
    if (auto* editor = dynamic_cast<CMyPresetSystemEditor*>(listener)) editor->openValueEntry(getTag());
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

  lastCircularValue = oldValue;
  dragLinear = false;
  range = kLinearRange;
  startValue = value;
  oldButtons = buttons;
  dragMode = kCircularDrag;
  coef = (vmax - vmin) / kLinearRange;
  halfRange = (vmax - vmin) * 0.5f;

  const int32_t knobMode = getFrame() ? getFrame()->getKnobMode() : kCircularMode;
  const bool alt = (buttons & kAlt) != 0;
  if ((knobMode == kLinearMode) != alt) {
    dragMode = kLinearDrag;
    range = (buttons & kShift) ? kFineRange : kLinearRange;
    firstPoint = where;
    dragLinear = true;
    coef = (vmax - vmin) / range;
  } else {
    CPoint relative = relativeToKnob(where);
    lastCircularValue = valueFromPoint(relative);
  }
  // The first move computes the starting value.
  return onMouseMoved(where, buttons);
}

CMouseEventResult CEditorKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (dragLinear) {
    // Up and right increase.
    const auto delta = static_cast<float>((where.x - firstPoint.x) * 0.5 + (firstPoint.y - where.y));
    if (buttons != oldButtons) {
      // Shift pressed or released: a new slope, starting from where the value is.
      range = (buttons & kShift) ? kFineRange : kLinearRange;
      const float newCoef = (vmax - vmin) / range;
      startValue += (coef - newCoef) * delta;
      coef = newCoef;
      oldButtons = buttons;
    }
    value = delta * coef + startValue;
    bounds();
  } else {
    CPoint relative = relativeToKnob(where);
    const float v = valueFromPoint(relative);
    // A jump across the gap at the bottom: the knob stays at the end it came
    // from until the pointer is back within half the range.
    if (lastCircularValue - v > halfRange) {
      value = vmax;
    } else if (v - lastCircularValue > halfRange) {
      value = vmin;
    } else {
      value = v;
      lastCircularValue = v;
    }
  }
  if (isDirty()) {
    invalid();
    if (listener) listener->valueChanged(this);
  }
  return kMouseEventHandled;
}

bool CEditorKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  value += distance * ((buttons & kShift) ? 0.001f : 0.01f);
  bounds();
  if (isDirty() && listener) {
    invalid();
    beginEdit();
    listener->valueChanged(this);
    endEdit();
  }
  return true;
}

// ---------------------------------------------------------------- CAnimKnob2

CAnimKnob2::CAnimKnob2(const CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
                       CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset)
    : CEditorKnob(size, editor, tag, subPixmaps, heightOfOneImage, bitmap, offset) {}

// ---------------------------------------------------------------- CAnimKnob3

CAnimKnob3::CAnimKnob3(const CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
                       int32_t columns, CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset)
    : CEditorKnob(size, editor, tag, subPixmaps, heightOfOneImage, bitmap, offset),
      bitmapHeight(bitmap ? static_cast<int32_t>(bitmap->getHeight()) : 0),
      columnWidth(columns) {}

CPoint CAnimKnob3::sourcePoint() const {
  const auto imageHeight = static_cast<int32_t>(heightOfOneImage);
  // Without a bitmap or an image height there is no strip to step through.
  if (bitmapHeight <= 0 || imageHeight <= 0 || subPixmaps <= 0) return CPoint(0, 0);
  int32_t pixel = 0;
  if (value > 0) {
    const int32_t end = (subPixmaps - 1) * imageHeight;
    const float t = std::trunc(static_cast<float>(end) * value);
    // At the end (and beyond it) the last image, else the image the point falls in.
    pixel = t >= static_cast<float>(end) ? end : static_cast<int32_t>(t) / imageHeight * imageHeight;
  }
  return CPoint(pixel / bitmapHeight * columnWidth, pixel % bitmapHeight);
}

void CAnimKnob3::draw(CDrawContext* context) {
  if (pBackground) pBackground->draw(context, size, sourcePoint());
  setDirty(false);
}
