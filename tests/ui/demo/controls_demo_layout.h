// Where the controls demo puts its controls (left, top, right, bottom in
// editor pixels), shared by the demo plug-in and the skin generator that
// draws its panel, so that every legend and window sits where its control
// sits. The editor is as large as the second generation's: its page above
// (rows 0-443) and the preset strip below (rows 444-459), with the strip's
// own layout.
#pragma once

namespace controlsdemo::layout {

struct Area {
  int left, top, right, bottom;
};

inline constexpr int kWidth = 450;
inline constexpr int kHeight = 460;
inline constexpr int kPageHeight = 444;

// The level meter with its clip lamp (one row below the meter, as in the
// products), and the meter source switch beside it.
inline constexpr Area kMeter{54, 40, 190, 110};
inline constexpr Area kLamp{160, 109, 181, 130};
inline constexpr Area kMeterSource{206, 40, 246, 90};
// The knob mode switch and the label on its plate.
inline constexpr Area kKnobMode{300, 44, 315, 73};
inline constexpr Area kLabelPlate{282, 100, 414, 120};
inline constexpr Area kLabel{290, 105, 410, 115};
// The knobs, the counter under the large one and the value field over it.
inline constexpr Area kMix{46, 167, 106, 217};
inline constexpr Area kDrive{122, 162, 235, 255};
inline constexpr Area kCounter{152, 281, 207, 297};
inline constexpr Area kValueEntry{151, 281, 207, 298};
// Two readouts in one window.
inline constexpr Area kGainReadout{268, 190, 334, 204};
inline constexpr Area kMixReadout{338, 190, 404, 204};
// The bottom row.
inline constexpr Area kPower{42, 380, 78, 420};
inline constexpr Area kChannel{326, 372, 377, 420};

}  // namespace controlsdemo::layout
