// The frame laws of the editors' film strips: which image of a strip the
// editor shows for which value. The art is drawn from these, so that what an
// image shows is what the control means when it shows it.
#pragma once

#include <cmath>

namespace skingen::laws {

// Knobs. A knob strip of N images shows image floor((N - 1) v) for value v,
// and a circular drag reads the value from the pointer's angle around the
// knob's centre: the minimum at 225 degrees (pointing to half past seven),
// sweeping 270 degrees clockwise to the maximum at -45 degrees (half past
// four). Angles are counter-clockwise from the right, y up.
inline double knobValue(int image, int images) { return double(image) / (images - 1); }
inline double knobAngle(int image, int images) { return 225.0 - 270.0 * knobValue(image, images); }

// Level meters. The meter shows image trunc(100 pos + 0.5) of its 101, with
// pos = p 0.617 + 0.018 and p = level^1.2 on the narrow scale (mode 0) or
// sqrt(level^1.2) on the wide scale (mode 1); the level is linear, 1.0 = 0 dB.
// Silence rests on image 2, a gain-reduction meter without reduction on
// image 64 (level 1.0).
inline double meterPosition(double level, int mode) {
  double p = std::pow(level, 1.2);
  if (mode == 1) p = std::sqrt(p);
  return p * 0.617 + 0.018;
}
inline double meterFrameOfDb(double db, int mode) {
  return 100.0 * meterPosition(std::pow(10.0, db / 20.0), mode);
}
constexpr int kMeterImages = 101;
constexpr int kMeterSilenceImage = 2;

// Needle meters of the track editor: the editor draws the needle itself at
// 150 - (v / 1.44)^1.2 x 120 degrees for level v (1.0 = 0 dB, stopping at
// 1.44); the face carries the scale at those angles around the pivot.
inline double needleAngle(double level) {
  double v = std::fmin(std::fmax(level, 0.000001), 1.44);
  return 150.0 - std::pow(v / 1.44, 1.2) * 120.0;
}
inline double needleAngleOfDb(double db) { return needleAngle(std::pow(10.0, db / 20.0)); }

// Clip lamps (six images): image k shows lamp level k / 5. After an over the
// lamp steps down one image per redraw and holds at image 2 (level 0.4) until
// it is cleared, so image 2 is the "past over" state: dim but clearly lit.
constexpr int kClipLampImages = 6;
constexpr int kClipLampHeldImage = 2;

// Counter glyphs, top to bottom: digits 0-9, point, small k, plus, minus,
// percent, dB, Hz, blank. The counter's view is one row shorter than a glyph,
// so the glyphs keep their ink in rows 0 to 15.
constexpr int kCounterGlyphs = 18;
constexpr int kCounterInkRows = 16;

}  // namespace skingen::laws
