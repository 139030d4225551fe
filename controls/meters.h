// The editors' display controls, drawn from film strips: the level meter, the
// clip lamp and the six-glyph counter. The editor sets their values on its
// idle pass and from its setParameter; values are stored as given (a level
// may exceed the meter's maximum).
#pragma once

#include <array>

#include "ui/jyxui.h"

// Level meter with two scales, each its own film strip: mode 0 draws the
// background strip with the linear law, mode 1 the scale strip with the
// compressed law. A click toggles the scale and reports the new mode as the
// value (0 or 1); the editor's next idle puts the level back.
class CMovieMeter : public jyxui::CControl {
 public:
  CMovieMeter(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag, int32_t frames,
              int32_t frameHeight, jyxui::CBitmap* background, jyxui::CBitmap* scaleBitmap,
              const jyxui::CPoint& offset, int32_t mode);
  ~CMovieMeter() override;

  void setMode(int32_t mode);
  int32_t getMode() const { return mode; }

  // Image trunc((frames - 1) x pos + 0.5) with pos = level^1.2 x 0.617 + 0.018
  // (mode 0) or sqrt(level^1.2) x 0.617 + 0.018 (mode 1), pos at most 1; a
  // level below 0 is set to 0.
  void draw(jyxui::CDrawContext* context) override;
  // A level that shows the image on the screen again paints nothing; a new
  // image of the same strip paints where it differs from the one shown, the
  // other scale's strip the whole meter.
  void invalidateChanges() override;
  // Left button only; without a listener the click is ignored.
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;
  jyxui::CBaseObject* newCopy() const override;

 protected:
  jyxui::CPoint offset;
  int32_t frames;
  int32_t frameHeight;
  jyxui::CBitmap* scaleBitmap;  // the meter holds a reference
  int32_t mode;

 private:
  // The strip and the image the level and mode show.
  jyxui::CBitmap* currentStrip() const;
  int32_t currentImage();
  jyxui::CPoint sourceOf(int32_t image) const;

  // What the screen shows (null: not known yet).
  jyxui::CBitmap* shownStrip = nullptr;
  int32_t shownImage = -1;
};

// Clip lamp with peak hold. The value is the lamp level 0..1; the old value
// holds the peak. Each paint pass steps a held level above 0.45 down by one
// image and keeps the first level at or below 0.45 (a dim lamp that marks a
// past over) until a click or reset() clears it.
class CMovieLED : public jyxui::CControl {
 public:
  // A held level above this steps down one image per paint pass; at or below
  // it the lamp holds its image.
  static constexpr float kHoldLevel = 0.45f;

  CMovieLED(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag, int32_t frames,
            int32_t frameHeight, jyxui::CBitmap* bitmap, const jyxui::CPoint& offset);

  // Peak and value 0, redrawn.
  void reset();

  void draw(jyxui::CDrawContext* context) override;
  // Left button only: resets the lamp, then reports to the listener, so that
  // the editor can clear the other lamp as well.
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;
  jyxui::CBaseObject* newCopy() const override;

 protected:
  float step;  // one image of the strip: 1 / (frames - 1)
  jyxui::CPoint offset;
  int32_t frames;
  int32_t frameHeight;
};

// Six glyphs from a one-column strip showing the value in one of five
// layouts: 0 blank, 1 dB (+15.3dB, -6.00dB), 2 Hz (12k34Hz, 400.0Hz),
// 3 percent (57.5%), any other two decimals (1.25).
class CCounter : public jyxui::CControl {
 public:
  // Glyphs of the strip, one per image.
  enum Glyph : int32_t {
    kDecimalPoint = 10,
    kThousands = 11,
    kPlus = 12,
    kMinus = 13,
    kPercent = 14,
    kDecibel = 15,
    kHertz = 16,
    kBlank = 17,
  };

  // x, y: top-left of the first glyph in the coordinates of the view's parent.
  CCounter(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag, float initialValue,
           int32_t mode, int32_t x, int32_t y, int32_t glyphWidth, int32_t glyphHeight,
           jyxui::CBitmap* bitmap);

  void setValueAndMode(float value, int32_t mode);
  int32_t getMode() const { return mode; }

  void draw(jyxui::CDrawContext* context) override;
  bool isTypeOf(const char* name) const override;
  jyxui::CBaseObject* newCopy() const override;

 protected:
  int32_t mode;
  std::array<int32_t, 6> glyphs;
  int32_t x;
  int32_t y;
  int32_t glyphWidth;
  int32_t glyphHeight;

 private:
  void fillGlyphs();
};
