// The editors' switches and buttons: film-strip drawing laws and mouse rules
// over the library's controls, and two invisible click areas.
#pragma once

#include "ui/jyxui.h"

// Two states: the off image above, the on image below (on from 0.5 up). A
// click toggles the value and reports it.
class CMyOnOffButton : public jyxui::COnOffButton {
 public:
  CMyOnOffButton(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
                 jyxui::CBitmap* bitmap);

  void draw(jyxui::CDrawContext* context) override;
};

// Three positions: image trunc(positions x value), the last image from 3 on,
// as the effect reads a three-way switch (int(3 v)). The mouse picks the band
// under the pointer (0, 0.5, 1).
class CMyVerticalSwitch : public jyxui::CVerticalSwitch {
 public:
  CMyVerticalSwitch(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
                    int32_t subPixmaps, jyxui::CCoord heightOfOneImage, int32_t positions,
                    jyxui::CBitmap* bitmap, const jyxui::CPoint& offset = jyxui::CPoint(0, 0));

  void draw(jyxui::CDrawContext* context) override;

 protected:
  int32_t positions;
};

// The four-way channel-mode button: up 0.0, left 0.33, right 0.67, down 1.0
// (images in that order). While pressed, the zone under the pointer sets the
// value; outside all four zones the value from the press returns. Each change
// is reported once, inside one gesture from press to release.
class CMyLRUDButton : public jyxui::COnOffButton {
 public:
  CMyLRUDButton(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
                jyxui::CBitmap* bitmap);

  void draw(jyxui::CDrawContext* context) override;
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseUp(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  jyxui::CMouseEventResult onMouseMoved(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;

 protected:
  float valueAtMouseDown = 0;
};

// Invisible page switch: a click sets 1 when the value was exactly 0, else 0,
// and reports it.
class CViewContainerSwitch : public jyxui::CControl {
 public:
  CViewContainerSwitch(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag);

  void draw(jyxui::CDrawContext* context) override;
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;
  jyxui::CBaseObject* newCopy() const override;
};

// Invisible click area: a click reports the unchanged value.
class CClickRect : public jyxui::CControl {
 public:
  CClickRect(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag);

  void draw(jyxui::CDrawContext* context) override;
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;
  jyxui::CBaseObject* newCopy() const override;
};
