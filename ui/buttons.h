// Buttons and switches drawn from film strips.
#pragma once

#include "ui/control.h"

namespace jyxui {

// Two states: a left press flips the value (below 0.5 becomes 1, else 0) and
// reports it as one gesture. Off image above, on image below.
class COnOffButton : public CControl {
 public:
  COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               int32_t style = 0);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

 protected:
  int32_t style;
};

// Momentary: 1 while pressed. A drag while pressed changes nothing and tells
// nobody: only the press and the release report.
class CKickButton : public CControl, public IMultiBitmapControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

 protected:
  CPoint offset;
};

// N positions stacked vertically: the band under the pointer (the control's
// height split into N equal bands) gives the value band / (N - 1).
class CVerticalSwitch : public CControl, public IMultiBitmapControl {
 public:
  CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                  CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                  const CPoint& offset = CPoint(0, 0));

  // Image int(value x (N - 1) + 0.5).
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

 protected:
  CPoint offset;
  int32_t maxPositions;

 private:
  bool pressed_ = false;
};

// A rocker from -1 to +1: the half pressed gives -1 or +1, the release 0.
// The wheel is not used.
class CRockerSwitch : public CControl, public IMultiBitmapControl {
 public:
  CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0), int32_t style = kHorizontal);

  // Images: -1, 0, +1.
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

 protected:
  CPoint offset;
  int32_t style;
};

}  // namespace jyxui
