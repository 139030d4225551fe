// The editors' knobs. Both share one set of mouse conventions:
// - Control-click returns to the default value;
// - a double-click asks the editor for typed value entry;
// - a drag is linear (300 px of vertical travel plus half the horizontal for
//   the whole range, 1500 px with Shift, continuous when Shift changes during
//   the drag) or circular (the pointer's angle, stopping at the ends), by the
//   editor's knob mode, Alt choosing the other kind for one gesture;
// - the wheel steps 0.01 per notch, 0.001 with Shift.
// CAnimKnob2 draws the library's single-column film strip; CAnimKnob3 draws a
// film strip wrapped into several columns.
#pragma once

#include "ui/jyxui.h"

class CMyPresetSystemEditor;

// The shared mouse handling (one implementation for both knobs): the
// library knob's Control-click, drags and release, with value entry on a
// double-click, the fixed wheel steps, and nothing without a listener.
class CEditorKnob : public jyxui::CAnimKnob {
 public:
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool onWheel(const jyxui::CPoint& where, const float& distance,
               const jyxui::CButtonState& buttons) override;

 protected:
  CEditorKnob(const jyxui::CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
              jyxui::CCoord heightOfOneImage, jyxui::CBitmap* bitmap, const jyxui::CPoint& offset);
};

class CAnimKnob2 : public CEditorKnob {
 public:
  CAnimKnob2(const jyxui::CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
             jyxui::CCoord heightOfOneImage, jyxui::CBitmap* bitmap,
             const jyxui::CPoint& offset = jyxui::CPoint(0, 0));
};

// The images run down the first column of the bitmap, go on at the top of the
// next column (columnWidth further right), and so on.
class CAnimKnob3 : public CEditorKnob {
 public:
  CAnimKnob3(const jyxui::CRect& size, CMyPresetSystemEditor* editor, int32_t tag, int32_t subPixmaps,
             int32_t columnWidth, jyxui::CCoord heightOfOneImage, jyxui::CBitmap* bitmap,
             const jyxui::CPoint& offset = jyxui::CPoint(0, 0));

  // Image floor((images - 1) x value), never rounded up.
  void draw(jyxui::CDrawContext* context) override;
  // Where the image for the value starts in the bitmap.
  jyxui::CPoint sourcePoint() const;

 protected:
  int32_t bitmapHeight;
  int32_t columnWidth;
};
