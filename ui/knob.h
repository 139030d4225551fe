// Knobs. Both turn by a drag (linear or circular by the editor's knob mode,
// Alt for the other kind, Shift for fine steps), return to the default on a
// Control-click and step with the wheel; CAnimKnob draws a film strip.
#pragma once

#include "ui/control.h"

namespace jyxui {

class CKnob : public CControl {
 public:
  // The pointer angle of the minimum, in degrees counter-clockwise from the
  // right, and the sweep from there clockwise to the maximum.
  static constexpr double kStartAngle = 225.0;
  static constexpr double kRangeAngle = 270.0;

  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
        const CPoint& offset = CPoint(0, 0));
  ~CKnob() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  bool isTypeOf(const char* name) const override;

 protected:
  // The value the pointer's angle around the knob's centre stands for; the
  // point is relative to the knob's top-left corner. In the gap at the bottom
  // the half next to the maximum gives the maximum, the other the minimum.
  virtual float valueFromPoint(CPoint& point) const;

  CPoint offset;
  CBitmap* pHandle = nullptr;
  CColor colorHandle = kWhiteCColor;

 private:
  bool dragging_ = false;
  bool dragLinear_ = false;
  CPoint firstPoint_;
  CButtonState oldButtons_ = 0;
  float startValue_ = 0;
  float coef_ = 0;
  float lastCircularValue_ = 0;
};

class CAnimKnob : public CKnob, public IMultiBitmapControl {
 public:
  // The images are as high as the knob; their number comes from the bitmap.
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
            const CPoint& offset = CPoint(0, 0));
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

  // Image floor((images - 1) x value), held to the strip.
  void draw(CDrawContext* context) override;
  bool isTypeOf(const char* name) const override;
};

}  // namespace jyxui
