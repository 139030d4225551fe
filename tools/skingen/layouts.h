// Where the editors put their controls (left, top, right, bottom in page
// pixels), so that every legend, scale and window of a panel sits where its
// control sits. The Ostrelvanheim editors of both generations share one
// layout; the first generation has no FAT switch.
#pragma once

namespace skingen {

struct Rect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  double cx() const { return (left + right) / 2.0; }
  double cy() const { return (top + bottom) / 2.0; }
};

namespace ostrelvanheim {
// Front page (rows 0-443) and the preset strip row (444-459).
constexpr Rect delayMs{120, 428, 165, 438}, delaySamples{167, 428, 212, 438}, delayClick{120, 426, 220, 440};
constexpr Rect process{42, 398, 78, 438}, longRelease{107, 356, 132, 381}, autoRelease{107, 317, 132, 342};
constexpr Rect brickwall{219, 337, 244, 362}, fat{248, 398, 286, 438}, mode{290, 398, 326, 438};
constexpr Rect channel{326, 388, 377, 436}, link{371, 398, 409, 438};
constexpr Rect meterType{206, 88, 246, 138}, meters{206, 28, 246, 78};
constexpr Rect knee{46, 167, 106, 217}, speed{46, 245, 106, 295}, drive{122, 162, 235, 255};
constexpr Rect highFreq{345, 242, 405, 298}, highAdjust{345, 167, 405, 217}, lowFreq{254, 242, 314, 298};
constexpr Rect lowAdjust{254, 167, 314, 217}, output{345, 324, 405, 374}, mixKnob{253, 323, 313, 373};
constexpr Rect ceiling{150, 324, 210, 374}, release{46, 320, 106, 376};
constexpr Rect meterL{54, 40, 190, 110}, meterR{261, 40, 397, 110};
constexpr Rect counter{152, 281, 207, 297}, clipL{160, 109, 181, 130}, clipR{367, 109, 388, 130};
constexpr Rect pageSwitch{78, 404, 247, 422};

// Back page (rows 0-442): knob, readout, readout's picture offset.
struct BackKnob {
  Rect knob, readout;
  int backX, backY;
};
constexpr BackKnob lowSat{{65, 190, 95, 220}, {55, 221, 105, 235}, 55, 221};
constexpr BackKnob midSat{{112, 190, 142, 220}, {102, 221, 152, 235}, 102, 221};
constexpr BackKnob highSat{{158, 190, 188, 220}, {148, 221, 198, 235}, 148, 221};
constexpr BackKnob lowRel{{263, 190, 293, 220}, {253, 221, 303, 235}, 253, 221};
constexpr BackKnob midRel{{310, 190, 340, 220}, {300, 221, 350, 235}, 300, 221};
constexpr BackKnob highRel{{356, 190, 386, 220}, {346, 221, 396, 235}, 346, 221};
constexpr BackKnob vuIntegr{{65, 260, 95, 290}, {60, 291, 100, 305}, 60, 291};
constexpr BackKnob vuRefer{{65, 309, 95, 339}, {55, 340, 105, 354}, 55, 340};
constexpr BackKnob ppmIntegr{{264, 260, 294, 290}, {254, 291, 304, 305}, 254, 291};
constexpr BackKnob ppmReturn{{264, 309, 294, 339}, {254, 340, 304, 354}, 254, 340};
constexpr BackKnob overIndic{{65, 381, 95, 411}, {65, 412, 95, 426}, 158, 412};
constexpr BackKnob fineTune{{264, 381, 294, 411}, {264, 412, 294, 426}, 264, 412};
constexpr BackKnob backKnobs[] = {lowSat,   midSat,  highSat,   lowRel,    midRel,    highRel,
                                  vuIntegr, vuRefer, ppmIntegr, ppmReturn, overIndic, fineTune};
constexpr Rect knobMode{375, 389, 390, 418}, version{300, 45, 329, 55}, backSwitch{110, 36, 338, 134};
constexpr int stripTop = 444;  // the preset strip's row
}  // namespace ostrelvanheim

namespace tindravelle {
constexpr Rect delayMs{120, 343, 165, 353}, delaySamples{167, 343, 212, 353};
constexpr Rect process{38, 303, 80, 352}, stereoMono{329, 303, 369, 352}, link{370, 303, 410, 352};
constexpr Rect meterScale{206, 88, 244, 135}, meters{206, 28, 247, 78};
constexpr Rect knee{254, 232, 316, 294}, speed{45, 158, 107, 220}, drive{122, 151, 236, 265};
constexpr Rect highAdjust{343, 158, 405, 220}, lowAdjust{253, 158, 315, 220}, output{343, 232, 405, 294};
constexpr Rect releaseMul{43, 232, 105, 294};
constexpr Rect meterL{49, 34, 194, 127}, meterR{256, 34, 401, 127};
constexpr int overlayY = 86, lampY = 109, pivotY = 119;
constexpr int overlayLX = 49, overlayRX = 256, lampLX = 160, lampRX = 367, pivotLX = 121, pivotRX = 328;
constexpr Rect counter{152, 281, 207, 297}, pageSwitch{110, 318, 278, 336};
using BackKnob = ostrelvanheim::BackKnob;
constexpr BackKnob vuIntegr{{61, 165, 99, 202}, {55, 202, 105, 214}, 55, 200};
constexpr BackKnob vuRefer{{61, 215, 99, 252}, {55, 253, 105, 265}, 55, 251};
constexpr BackKnob ppmIntegr{{261, 165, 299, 202}, {255, 202, 305, 214}, 255, 200};
constexpr BackKnob ppmReturn{{261, 215, 299, 252}, {255, 253, 305, 265}, 255, 251};
constexpr BackKnob overIndic{{61, 293, 99, 330}, {65, 331, 95, 343}, 65, 329};
constexpr BackKnob backKnobs[] = {vuIntegr, vuRefer, ppmIntegr, ppmReturn, overIndic};
constexpr Rect version{293, 45, 329, 55}, backSwitch{110, 36, 338, 134};
constexpr int stripTop = 360;
}  // namespace tindravelle

// The preset strip of every editor, at the second generation's height; the
// track editor's sits 84 pixels higher.
namespace strip {
constexpr Rect nameField{175, 444, 292, 458}, menu{293, 444, 305, 458}, rocker{313, 444, 344, 458};
constexpr Rect loadBank{70, 444, 82, 458}, saveBank{20, 444, 32, 458}, defaultBank{32, 446, 69, 456};
constexpr Rect loadPreset{150, 444, 162, 458}, savePreset{91, 444, 103, 458},
    defaultPreset{103, 446, 150, 456};
constexpr Rect recallA{374, 444, 386, 458}, storeA{352, 444, 364, 458};
constexpr Rect recallB{417, 444, 429, 458}, storeB{395, 444, 407, 458};
constexpr int top = 444;
}  // namespace strip

}  // namespace skingen
