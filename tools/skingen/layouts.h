// Where the editors put their controls (left, top, right, bottom in page
// pixels), so that every legend, scale and window of a panel sits where its
// control sits, read from the editors' own tables: each Ostrelvanheim
// generation's and the track editor's.
#pragma once

#include <array>
#include <span>

#include "products/ostrelvanheim/editor_layout.h"
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

// A knob of a back page: knob, readout, and where its readout's copy of the
// page's picture is taken.
struct BackKnob {
  Rect knob, readout;
  int backX, backY;
};

// One Ostrelvanheim window's rectangles, read from its editor's tables so that
// the art follows the layout: the front page (rows 0-443), the preset strip's
// row (444-459) and the back page (rows 0-442). The two generations share the
// layout; the first has no FAT switch.
struct OstrelvanheimLayout {
  Rect delayMs, delaySamples, delayClick;
  Rect process, longRelease, autoRelease, brickwall;
  bool hasFat;
  Rect fat, mode, channel, link, meterType, meters;
  Rect knee, speed, drive, highFreq, highAdjust, lowFreq, lowAdjust, output, mixKnob, ceiling, release;
  Rect meterL, meterR, counter, clipL, clipR, pageSwitch;
  BackKnob lowSat, midSat, highSat, lowRel, midRel, highRel;
  BackKnob vuIntegr, vuRefer, ppmIntegr, ppmReturn, overIndic, fineTune;
  Rect knobMode, backSwitch, version;
  int stripTop = 444;  // the preset strip's row
  std::array<BackKnob, 12> backKnobs() const {
    return {lowSat,   midSat,  highSat,   lowRel,    midRel,    highRel,
            vuIntegr, vuRefer, ppmIntegr, ppmReturn, overIndic, fineTune};
  }
};

constexpr Rect rectOf(const EditorArea& a) { return Rect{a.left, a.top, a.right, a.bottom}; }

constexpr OstrelvanheimLayout layoutOf(const OstrelvanheimEditorTraits& editor, const ParameterMap& map) {
  using enum EditorControlKind;
  const std::span<const EditorControl> front = editor.front, back = editor.back;
  auto control = [&](VstInt32 meaning) -> const EditorControl* {
    const VstInt32 tag = map.indexOf(meaning);
    const EditorControl* c = findTagged(front, tag);
    return c ? c : findTagged(back, tag);
  };
  auto tagged = [&](VstInt32 meaning) { return rectOf(control(meaning)->rect); };
  auto kind = [](std::span<const EditorControl> page, EditorControlKind k) {
    return rectOf(findControl(page, k)->rect);
  };
  auto nthOf = [&](EditorControlKind k, int n) {
    for (const EditorControl& c : front)
      if (c.kind == k && n-- == 0) return rectOf(c.rect);
    return Rect{};
  };
  auto backKnob = [&](VstInt32 meaning) {
    const EditorControl& readout = *findReadout(back, ReadoutSource::PlainValue, map.indexOf(meaning));
    return BackKnob{tagged(meaning), rectOf(readout.rect), readout.backOffset.x, readout.backOffset.y};
  };
  const EditorControl* fat = control(Meaning::kFat);
  return OstrelvanheimLayout{
      .delayMs = rectOf(findReadout(front, ReadoutSource::DelayMs)->rect),
      .delaySamples = rectOf(findReadout(front, ReadoutSource::DelaySamples)->rect),
      .delayClick = kind(front, ClickArea),
      .process = tagged(Meaning::kProcess),
      .longRelease = tagged(Meaning::kLong),
      .autoRelease = tagged(Meaning::kAuto),
      .brickwall = tagged(Meaning::kBrickwall),
      .hasFat = fat != nullptr,
      .fat = fat ? rectOf(fat->rect) : Rect{},
      .mode = tagged(Meaning::kMode),
      .channel = kind(front, ChannelButton),
      .link = tagged(Meaning::kLink),
      .meterType = tagged(Meaning::kMeterType),
      .meters = tagged(Meaning::kMeters),
      .knee = tagged(Meaning::kKnee),
      .speed = tagged(Meaning::kSpeed),
      .drive = tagged(Meaning::kDrive),
      .highFreq = tagged(Meaning::kHighFreq),
      .highAdjust = tagged(Meaning::kHighAdjust),
      .lowFreq = tagged(Meaning::kLowFreq),
      .lowAdjust = tagged(Meaning::kLowAdjust),
      .output = tagged(Meaning::kOutput),
      .mixKnob = tagged(Meaning::kMix),
      .ceiling = tagged(Meaning::kCeiling),
      .release = tagged(Meaning::kRelease),
      .meterL = nthOf(LevelMeter, 0),
      .meterR = nthOf(LevelMeter, 1),
      .counter = kind(front, Counter),
      .clipL = nthOf(ClipLamp, 0),
      .clipR = nthOf(ClipLamp, 1),
      .pageSwitch = kind(front, PageSwitch),
      .lowSat = backKnob(Meaning::kLowSat),
      .midSat = backKnob(Meaning::kMidSat),
      .highSat = backKnob(Meaning::kHighSat),
      .lowRel = backKnob(Meaning::kLowRel),
      .midRel = backKnob(Meaning::kMidRel),
      .highRel = backKnob(Meaning::kHighRel),
      .vuIntegr = backKnob(Meaning::kVuIntegr),
      .vuRefer = backKnob(Meaning::kVuRefer),
      .ppmIntegr = backKnob(Meaning::kPpmIntegr),
      .ppmReturn = backKnob(Meaning::kPpmReturn),
      .overIndic = backKnob(Meaning::kOverIndic),
      .fineTune = backKnob(Meaning::kFineTune),
      .knobMode = tagged(Meaning::kKnobMode),
      .backSwitch = kind(back, PageSwitch),
      .version = kind(back, Label),
  };
}

inline constexpr OstrelvanheimLayout kGen2Layout =
    layoutOf(ostrelvanheim2::kEditorTraits, ostrelvanheim2::kParameterMap);
inline constexpr OstrelvanheimLayout kGen1Layout =
    layoutOf(ostrelvanheim::kEditorTraits, ostrelvanheim::kParameterMap);

namespace tindravelle {
// Read from the track editor's own tables.
namespace editor = ::tindravelle::editor;

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
