// Where the editors put their controls (left, top, right, bottom in page
// pixels), so that every legend, scale and window of a panel sits where its
// control sits, read from the editors' own tables. The Ostrelvanheim editors
// of both generations share one layout, the second generation's editor
// tables; the first generation has no FAT switch.
#pragma once

#include "products/ostrelvanheim2/editor_layout.h"
#include "products/tindravelle/editor_layout.h"

namespace skingen {

struct Rect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  double cx() const { return (left + right) / 2.0; }
  double cy() const { return (top + bottom) / 2.0; }
};

namespace ostrelvanheim {
// Read from the editor's own tables, so that the art follows the layout.
namespace editor = ostrelvanheim2::editor;

constexpr Rect rectOf(const EditorArea& a) { return Rect{a.left, a.top, a.right, a.bottom}; }
constexpr const EditorControl& control(int tag) {
  const EditorControl* front = findTagged(editor::kFront, tag);
  return front ? *front : *findTagged(editor::kBack, tag);
}
constexpr Rect tagged(int tag) { return rectOf(control(tag).rect); }
// The n-th control of a kind on the front page.
constexpr Rect nthOf(EditorControlKind kind, int n) {
  for (const EditorControl& c : editor::kFront)
    if (c.kind == kind && n-- == 0) return rectOf(c.rect);
  return Rect{};
}

// Front page (rows 0-443) and the preset strip row (444-459).
constexpr Rect delayMs = rectOf(findReadout(editor::kFront, ReadoutSource::DelayMs)->rect);
constexpr Rect delaySamples = rectOf(findReadout(editor::kFront, ReadoutSource::DelaySamples)->rect);
constexpr Rect delayClick = tagged(editor::kDelayClickTag);
constexpr Rect process = tagged(0), longRelease = tagged(27), autoRelease = tagged(28),
               brickwall = tagged(29);
constexpr Rect fat = tagged(26), mode = tagged(1), channel = tagged(editor::kChannelModeTag),
               link = tagged(3);
constexpr Rect meterType = tagged(22), meters = tagged(21);
constexpr Rect knee = tagged(5), speed = tagged(6), drive = tagged(4), highFreq = tagged(10);
constexpr Rect highAdjust = tagged(8), lowFreq = tagged(11), lowAdjust = tagged(9), output = tagged(14);
constexpr Rect mixKnob = tagged(12), ceiling = tagged(13), release = tagged(7);
constexpr Rect meterL = nthOf(EditorControlKind::LevelMeter, 0),
               meterR = nthOf(EditorControlKind::LevelMeter, 1);
constexpr Rect counter = tagged(editor::kCounterTag), clipL = tagged(editor::kLeftLampTag);
constexpr Rect clipR = tagged(editor::kRightLampTag), pageSwitch = tagged(editor::kFrontPageSwitchTag);

// Back page (rows 0-442): knob, readout, readout's picture offset.
struct BackKnob {
  Rect knob, readout;
  int backX, backY;
};
constexpr BackKnob backKnob(int tag) {
  const EditorControl& readout = *findReadout(editor::kBack, ReadoutSource::PlainValue, tag);
  return BackKnob{tagged(tag), rectOf(readout.rect), readout.backOffset.x, readout.backOffset.y};
}
constexpr BackKnob lowSat = backKnob(15), midSat = backKnob(16), highSat = backKnob(17);
constexpr BackKnob lowRel = backKnob(18), midRel = backKnob(19), highRel = backKnob(20);
constexpr BackKnob vuIntegr = backKnob(43), vuRefer = backKnob(44), ppmIntegr = backKnob(45);
constexpr BackKnob ppmReturn = backKnob(46), overIndic = backKnob(47), fineTune = backKnob(24);
constexpr BackKnob backKnobs[] = {lowSat,   midSat,  highSat,   lowRel,    midRel,    highRel,
                                  vuIntegr, vuRefer, ppmIntegr, ppmReturn, overIndic, fineTune};
constexpr Rect knobMode = tagged(48), backSwitch = tagged(editor::kBackPageSwitchTag);
constexpr Rect version = rectOf(findControl(editor::kBack, EditorControlKind::Label)->rect);
constexpr int stripTop = 444;  // the preset strip's row
}  // namespace ostrelvanheim

namespace tindravelle {
// Read from the track editor's own tables.
namespace editor = ::tindravelle::editor;
using ostrelvanheim::rectOf;

constexpr const EditorControl& control(int tag) {
  const EditorControl* front = findTagged(editor::kFront, tag);
  return front ? *front : *findTagged(editor::kBack, tag);
}
constexpr Rect tagged(int tag) { return rectOf(control(tag).rect); }

// Front page (rows 0-360) and the preset strip row (360-374).
constexpr Rect delayMs = rectOf(findReadout(editor::kFront, ReadoutSource::DelayMs)->rect);
constexpr Rect delaySamples = rectOf(findReadout(editor::kFront, ReadoutSource::DelaySamples)->rect);
constexpr Rect process = tagged(0), stereoMono = tagged(2), link = tagged(3);
constexpr Rect meterScale = tagged(15), meters = tagged(14);
constexpr Rect knee = tagged(12), speed = tagged(4), drive = tagged(6);
constexpr Rect highAdjust = tagged(11), lowAdjust = tagged(9), output = tagged(13);
constexpr Rect releaseMul = tagged(5);
// Both needle meters, their overlays, lamps and pivots.
constexpr Rect meterL = rectOf(editor::needleMeter(editor::kLeftNeedle).rect),
               meterR = rectOf(editor::needleMeter(editor::kRightNeedle).rect);
constexpr int overlayY = editor::kLeftNeedle.overlayAt.y, lampY = editor::kLeftNeedle.lampAt.y,
              pivotY = editor::kLeftNeedle.pivot.y;
constexpr int overlayLX = editor::kLeftNeedle.overlayAt.x, overlayRX = editor::kRightNeedle.overlayAt.x;
constexpr int lampLX = editor::kLeftNeedle.lampAt.x, lampRX = editor::kRightNeedle.lampAt.x;
constexpr int pivotLX = editor::kLeftNeedle.pivot.x, pivotRX = editor::kRightNeedle.pivot.x;
constexpr Rect counter = tagged(editor::kCounterTag), pageSwitch = tagged(editor::kFrontPageSwitchTag);

// Back page (rows 0-357).
using BackKnob = ostrelvanheim::BackKnob;
constexpr BackKnob backKnob(int tag) {
  const EditorControl& readout = *findReadout(editor::kBack, ReadoutSource::PlainValue, tag);
  return BackKnob{tagged(tag), rectOf(readout.rect), readout.backOffset.x, readout.backOffset.y};
}
constexpr BackKnob vuIntegr = backKnob(23), vuRefer = backKnob(24), ppmIntegr = backKnob(25);
constexpr BackKnob ppmReturn = backKnob(26), overIndic = backKnob(27);
constexpr BackKnob backKnobs[] = {vuIntegr, vuRefer, ppmIntegr, ppmReturn, overIndic};
constexpr Rect version = rectOf(findControl(editor::kBack, EditorControlKind::Label)->rect);
constexpr Rect backSwitch = tagged(editor::kBackPageSwitchTag);
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
