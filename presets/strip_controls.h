// The preset strip's own controls. Each draws one image of a vertical film
// strip and shows where the pointer is; its value tells the strip's listener
// what was done: 1.0 a click, 0.5 the click's other meaning (a Ctrl double
// click that clears a default, a right click that loads byte-reversed), -1 or
// +1 the rocker's half.
//
// Thread contract: the editor window's thread only, like every control.
#pragma once

#include "ui/buttons.h"

// A momentary button: images normal, hover, pressed. In double-click mode a
// single click does nothing; a double click reports 1.0, with Ctrl 0.5.
class CPSKickButton : public jyxui::CKickButton {
 public:
  CPSKickButton(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
                jyxui::CCoord heightOfOneImage, jyxui::CBitmap* background, const jyxui::CPoint& offset,
                bool doubleClickMode);

  void draw(jyxui::CDrawContext* context) override;
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseUp(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseEntered(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseExited(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

  bool isHovered() const { return hover; }
  bool isPressed() const { return pressed; }

 protected:
  bool hover = false;
  bool doubleClickMode;
  bool pressed = false;
};

// The load and save buttons: one report per click, 0.5 for a plain right
// click and 1.0 otherwise; the value falls back to 0 as soon as the listener
// returns, so a dialog opened by the listener shows the button pressed.
class CSaveLoadButton : public jyxui::CKickButton {
 public:
  CSaveLoadButton(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
                  jyxui::CCoord heightOfOneImage, jyxui::CBitmap* background,
                  const jyxui::CPoint& offset = jyxui::CPoint(0, 0));

  void draw(jyxui::CDrawContext* context) override;
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseEntered(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseExited(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

  bool isHovered() const { return hover; }

 protected:
  bool hover = false;
};

// The program rocker: a press reports -1 on the left half and +1 on the right
// half; the release returns to 0 without a report. Images: normal, hover
// left, hover right, pressed left, pressed right.
class CPSRockerSwitch : public jyxui::CRockerSwitch {
 public:
  CPSRockerSwitch(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
                  jyxui::CCoord heightOfOneImage, jyxui::CBitmap* background,
                  const jyxui::CPoint& offset = jyxui::CPoint(0, 0), int32_t style = jyxui::kHorizontal);

  void draw(jyxui::CDrawContext* context) override;
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseUp(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseMoved(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseEntered(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseExited(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

  // -1 over the left half, +1 over the right half, 0 elsewhere.
  int32_t getHoverSide() const { return hoverSide; }

 protected:
  int32_t sideOf(const jyxui::CPoint& where) const;

  int32_t hoverSide = 0;
};
