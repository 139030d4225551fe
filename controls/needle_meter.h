// The needle meter of the track editor: a face, a needle drawn as two
// anti-aliased strokes (a soft shadow and the needle) turning about a pivot,
// an optional overlay over the needle (the glass and the hood, with alpha),
// and an over lamp with three images: over, over held, off. The control's
// value is the needle level (1.0 = 0 dB); the lamp has a state of its own.
// The editor feeds both on its idle pass through setLevels; a left click
// reports to the listener, which clears the lamps.
#pragma once

#include <array>

#include "ui/jyxui.h"

class COldVuMeter : public jyxui::CControl {
 public:
  // Lamp states: at or above kLampOver the over image, at or below
  // kLampHeld the held image, between them off.
  static constexpr float kLampOver = 0.5f;
  static constexpr float kLampHeld = -0.5f;

  // The meter takes its own references to the bitmaps it is given. Positions
  // and the pivot are in the coordinates of the meter's parent; the radii are
  // where the needle's strokes start and end. The two further values are kept
  // without use.
  COldVuMeter(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag,
              jyxui::CBitmap* faceBitmap, jyxui::CBitmap* overlayBitmap, const jyxui::CPoint& lampPosition,
              const jyxui::CPoint& overlayPosition, jyxui::CBitmap* lampBitmap, const jyxui::CPoint& pivot,
              float innerRadius, float outerRadius, float further1, float further2);
  ~COldVuMeter() override;

  // The lamp off.
  void resetLamp();
  // The lamp state, held within 0.000000001..3.
  void setLamp(float level);
  // The needle level (held within 0.000000001..3) and the lamp: an over that
  // ends leaves the lamp held until a new over or resetLamp.
  void setLevels(float needle, float newLamp);
  float getLamp() const { return lamp; }

  // The needle's angle in radians for a level: 150 degrees at rest, 30 degrees
  // at 1.44 and above, 72.5 degrees at 1.0.
  static double needleAngle(float level);
  // The level the needle shows: within 0.000001..1.44 (NaN rests it).
  static float shownLevel(float level);

  // Face, shadow, needle, overlay, lamp; the dirty flag is left as it is.
  void draw(jyxui::CDrawContext* context) override;
  // Paints what changed only: where the needle was and where it is now, the
  // lamp when its image changes; nothing when the needle and the lamp stay.
  void invalidateChanges() override;
  // Left button only, and only with a listener: reported to it.
  jyxui::CMouseEventResult onMouseDown(jyxui::CPoint& where, const jyxui::CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;
  jyxui::CBaseObject* newCopy() const override;

  // Where the parts are drawn, in the parent's coordinates.
  const jyxui::CRect& getFaceRect() const { return faceRect; }
  const jyxui::CRect& getLampRect() const { return lampRect; }
  jyxui::CRect getOverlayRect() const;
  const jyxui::CPoint& getPivot() const { return pivot; }

 protected:
  jyxui::CBitmap* faceBitmap;     // the meter holds a reference
  jyxui::CBitmap* overlayBitmap;  // null: none; the meter holds a reference
  jyxui::CPoint overlayPosition;
  float innerRadius, outerRadius;
  jyxui::CRect faceRect;
  jyxui::CPoint pivot;
  jyxui::CBitmap* lampBitmap;  // three images stacked; the meter holds a reference
  std::array<jyxui::CPoint, 3> lampSources;
  jyxui::CRect lampRect;
  float lamp;
  float further[2];

 private:
  // Both strokes' pixels at this angle, for the next paint pass.
  void invalidateNeedle(double angle);
  // 0 over, 1 held, 2 off.
  int32_t lampImage() const;

  // What the screen shows (a lamp image below 0: not known yet).
  double shownAngle = 0;
  int32_t shownLamp = -1;
};
