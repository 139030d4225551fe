// The panel of the controls demo (tests/ui/demo): the page on which the demo
// plug-in puts one of each of the editors' own controls, above the preset
// strip's row. Only the panel is the demo's own; its controls draw the second
// generation's film strips and the strip's buttons.
#include "skin.h"
#include "tests/ui/demo/controls_demo_layout.h"

namespace skingen {

namespace {

Rect rectOf(const controlsdemo::layout::Area& a) { return Rect{a.left, a.top, a.right, a.bottom}; }

}  // namespace

void drawControlsDemo(Skins& s) {
  using namespace controlsdemo::layout;
  Theme t;
  t.panel = rgb(46, 54, 60);
  t.seed = 5;
  Image im(kWidth, kHeight);
  panelBase(im, kPageHeight, t.panel, t);
  cornerScrews(im, kPageHeight);
  panelTitle(im, "Controls Demo", "EDITOR CONTROLS \xC2\xB7 PRESET STRIP", t);
  const TextStyle label = labelStyle(t, 7.5);
  const TextStyle hint = smallStyle(t, 7);

  // The meter with its lamp and source switch.
  const Rect meter = rectOf(kMeter), lamp = rectOf(kLamp), source = rectOf(kMeterSource);
  meterBezel(im, meter.left, meter.top, meter.right, meter.bottom);
  legend(im, "LEVEL", meter.left - 1, 126, label, Align::Left);
  legend(im, "click: scale", meter.left - 1, 137, hint, Align::Left);
  legend(im, "OVER", lamp.left - 3, 123, hint, Align::Right);
  legend(im, "METERS", source.cx(), source.top - 5, label);

  // The knob mode switch and the plate of the label.
  const Rect mode = rectOf(kKnobMode), plate = rectOf(kLabelPlate);
  legend(im, "KNOB MODE", mode.cx() + 10, mode.top - 5, label);
  legend(im, "CIRCULAR", mode.right + 4, mode.top + 10, hint, Align::Left);
  legend(im, "LINEAR", mode.right + 4, mode.bottom - 4, hint, Align::Left);
  readoutWindow(im, plate.left, plate.top, plate.right, plate.bottom, t.window);

  // The knobs, the counter and the readouts.
  const Rect mix = rectOf(kMix), drive = rectOf(kDrive), counter = rectOf(kCounter);
  legend(im, "MIX", mix.cx(), mix.top - 4, labelStyle(t));
  legend(im, "DRIVE", drive.cx(), drive.top - 6, labelStyle(t, 10));
  readoutWindow(im, counter.left, counter.top, counter.right, counter.bottom, t.counter);
  legend(im, "drag \xC2\xB7 Ctrl-click: default", drive.cx(), counter.bottom + 16, hint);
  legend(im, "double-click: type a value \xC2\xB7 Alt: other knob mode", drive.cx(), counter.bottom + 27,
         hint);
  const Rect gain = rectOf(kGainReadout), mixReadout = rectOf(kMixReadout);
  readoutWindow(im, gain.left, gain.top, mixReadout.right, mixReadout.bottom, t.window);
  legend(im, "GAIN", gain.cx(), gain.top - 5, label);
  legend(im, "MIX", mixReadout.cx(), mixReadout.top - 5, label);

  // The bottom row.
  const Rect power = rectOf(kPower), channel = rectOf(kChannel);
  legend(im, "POWER", power.cx(), power.top - 4, label);
  legend(im, "CHANNEL", channel.cx(), channel.top - 4, label);
  legend(im, "press and slide", channel.cx(), channel.bottom + 12, hint);

  stripRow(im, kPageHeight, kHeight, t);
  s.add(kDemoFolder, 19000, std::move(im), false);
}

}  // namespace skingen
