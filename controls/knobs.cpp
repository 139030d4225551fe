#include "controls/knobs.h"

#include <cmath>

#include "controls/editor_layer.h"

using namespace jyxui;

CEditorKnob::CEditorKnob(const CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
                         CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset)
    : CAnimKnob(size, editor, tag, subPixmaps, heightOfOneImage, bitmap, offset) {}

CMouseEventResult CEditorKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  if ((buttons & kDoubleClick) && !(buttons & kControl)) {
    // Typed entry follows through the editor; the value stays.
    beginEdit();
    if (auto* editor = dynamic_cast<CMyPresetSystemEditor*>(listener)) editor->openValueEntry(getTag());
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  // Control-click to the default, or a drag: linear or circular by the
  // editor's knob mode (Alt the other kind), fine with Shift also when it
  // changes during the drag, stopping at the ends of a circular one.
  return CAnimKnob::onMouseDown(where, buttons);
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
