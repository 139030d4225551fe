// The window of JYX Ostrelvanheim2: 450 x 460, a front page with the
// processing controls, the meters, the clip lamps, the counter and the delay
// readouts, a back page with the band settings and the meter preferences,
// the preset strip below both. Rectangles are (left, top, right, bottom) in
// page pixels; a control drawn from a film strip is as large as one image.
#pragma once

#include "products/ostrelvanheim2/editor_traits.h"

namespace ostrelvanheim2::editor {

using enum EditorControlKind;

// The editor's own tags.
inline constexpr std::int32_t kCounterTag = 50;
inline constexpr std::int32_t kFrontPageSwitchTag = 52;
inline constexpr std::int32_t kBackPageSwitchTag = 53;
inline constexpr std::int32_t kLeftLampTag = 54;
inline constexpr std::int32_t kRightLampTag = 55;
inline constexpr std::int32_t kDelayClickTag = 56;
inline constexpr std::int32_t kChannelModeTag = 57;
inline constexpr std::int32_t kValueFieldTag = 58;

inline constexpr std::int32_t kFrontPicture = 19000;
inline constexpr std::int32_t kBackPicture = 19002;

using editor_rows::button;
using editor_rows::delayReadout;
using editor_rows::kBackReadoutColor;
using editor_rows::kDriveWheel;
using editor_rows::kFrontReadoutColor;
using editor_rows::kGainWheel;
using editor_rows::kPercentWheel;

// The front knobs: strips of 101 images.
constexpr EditorControl frontKnob(std::int32_t tag, EditorArea rect, std::int32_t bitmap, float wheel,
                                  std::int32_t counterMode, float defaultValue = 0.5f) {
  return editor_rows::knob(tag, rect, bitmap, 101, wheel, counterMode, defaultValue);
}

constexpr EditorControl levelMeter(EditorArea rect) {
  return {.kind = LevelMeter, .tag = 25, .rect = rect, .bitmap = 19003, .images = 101, .scaleBitmap = 19004};
}

constexpr EditorControl clipLamp(std::int32_t tag, EditorArea rect) {
  return {.kind = ClipLamp, .tag = tag, .rect = rect, .bitmap = 19026, .images = 6};
}

// A back-page knob on the small strip (the library's knob unless `kind`
// says otherwise), and the readout of its plain value below it.
constexpr EditorControl backKnob(std::int32_t tag, EditorArea rect, float defaultValue,
                                 EditorControlKind kind = PlainKnob) {
  return editor_rows::knob(tag, rect, 19032, 51, 0, -1, defaultValue, kind);
}
constexpr EditorControl backReadout(std::int32_t index, EditorArea rect, ReadoutText text,
                                    EditorPoint backOffset) {
  return editor_rows::valueReadout(index, rect, text, backOffset);
}
constexpr EditorControl backReadout(std::int32_t index, EditorArea rect, ReadoutText text) {
  return backReadout(index, rect, text, {rect.left, rect.top});
}

// In creation order: later controls lie above earlier ones.
inline constexpr EditorControl kFront[] = {
    delayReadout(ReadoutSource::DelayMs, {120, 428, 165, 438}, ReadoutText::Milliseconds),
    delayReadout(ReadoutSource::DelaySamples, {167, 428, 212, 438}, ReadoutText::Samples),
    {.kind = ClickArea, .tag = kDelayClickTag, .rect = {120, 426, 220, 440}},
    button(0, {42, 398, 78, 438}, 19014),     // Process
    button(27, {107, 356, 132, 381}, 19035),  // Long
    button(28, {107, 317, 132, 342}, 19036),  // Auto
    button(29, {219, 337, 244, 362}, 19037),  // Brickwall
    button(26, {248, 398, 286, 438}, 19034),  // FAT
    button(1, {290, 398, 326, 438}, 19015),   // Mode
    {.kind = ChannelButton,
     .tag = kChannelModeTag,
     .rect = {326, 388, 377, 436},
     .bitmap = 19016,
     .images = 4},
    button(3, {371, 398, 409, 438}, 19017),  // Link
    button(22, {206, 88, 246, 138}, 19006),  // MeterType
    // Meters: Pre, GainRed, Post.
    {.kind = ThreeWaySwitch, .tag = 21, .rect = {206, 28, 246, 78}, .bitmap = 19005, .images = 3},
    frontKnob(5, {46, 167, 106, 217}, 19008, kPercentWheel, 3),  // Knee
    frontKnob(6, {46, 245, 106, 295}, 19008, kPercentWheel, 3),  // Speed
    {.kind = ColumnKnob,
     .tag = 4,  // Drive
     .rect = {122, 162, 235, 255},
     .bitmap = 19009,
     .images = 101,
     .wheelStep = kDriveWheel,
     .counterMode = 1,
     .columnWidth = 113},
    frontKnob(10, {345, 242, 405, 298}, 19010, kGainWheel, 2),           // HighFreq
    frontKnob(8, {345, 167, 405, 217}, 19013, kGainWheel, 1),            // HighAdjust
    frontKnob(11, {254, 242, 314, 298}, 19012, kGainWheel, 2),           // LowFreq
    frontKnob(9, {254, 167, 314, 217}, 19013, kGainWheel, 1),            // LowAdjust
    frontKnob(14, {345, 324, 405, 374}, 19013, kGainWheel, 1),           // Output
    frontKnob(12, {253, 323, 313, 373}, 19008, kPercentWheel, 3, 1.0f),  // Mix
    frontKnob(13, {150, 324, 210, 374}, 19013, kGainWheel, 1),           // Ceiling
    frontKnob(7, {46, 320, 106, 376}, 19024, kGainWheel, 4),             // Release
    // The two meters show MeterScale's two scales, each its own strip.
    levelMeter({54, 40, 190, 110}),
    levelMeter({261, 40, 397, 110}),
    {.kind = Counter,
     .tag = kCounterTag,
     .rect = {152, 281, 207, 297},
     .bitmap = 19021,
     .images = 18,
     .counterMode = 1,
     .initialValue = 15.32f},
    // Over the counter, one pixel wider to the left and one taller.
    {.kind = ValueField,
     .tag = kValueFieldTag,
     .rect = {151, 281, 207, 298},
     .textColor = {10, 10, 10, 255},
     .backColor = {236, 237, 220, 255}},
    clipLamp(kLeftLampTag, {160, 109, 181, 130}),
    clipLamp(kRightLampTag, {367, 109, 388, 130}),
    {.kind = PageSwitch, .tag = kFrontPageSwitchTag, .rect = {78, 404, 247, 422}},
};

inline constexpr EditorControl kBack[] = {
    backKnob(15, {65, 190, 95, 220}, 0.5f),  // LowSat
    backReadout(15, {55, 221, 105, 235}, ReadoutText::Decibels),
    backKnob(16, {112, 190, 142, 220}, 0.5f),  // MidSat
    backReadout(16, {102, 221, 152, 235}, ReadoutText::Decibels),
    backKnob(17, {158, 190, 188, 220}, 0.5f),  // HighSat
    backReadout(17, {148, 221, 198, 235}, ReadoutText::Decibels),
    backKnob(18, {263, 190, 293, 220}, 0.5f),  // LowRel
    backReadout(18, {253, 221, 303, 235}, ReadoutText::Ratio),
    backKnob(19, {310, 190, 340, 220}, 0.5f),  // MidRel
    backReadout(19, {300, 221, 350, 235}, ReadoutText::Ratio),
    backKnob(20, {356, 190, 386, 220}, 0.5f),  // HighRel
    backReadout(20, {346, 221, 396, 235}, ReadoutText::Ratio),
    backKnob(43, {65, 260, 95, 290}, 0.5f),  // VU Integr
    backReadout(43, {60, 291, 100, 305}, ReadoutText::Milliseconds),
    backKnob(44, {65, 309, 95, 339}, 0.4f),  // VU Refer
    backReadout(44, {55, 340, 105, 354}, ReadoutText::DecibelsFS),
    backKnob(45, {264, 260, 294, 290}, 0.5f),  // PPM Integr
    backReadout(45, {254, 291, 304, 305}, ReadoutText::Milliseconds),
    backKnob(46, {264, 309, 294, 339}, 0.5f),  // PPM Return
    backReadout(46, {254, 340, 304, 354}, ReadoutText::Milliseconds),
    // OverIndic: the editors' own knob; its readout's picture is taken from
    // the plain middle of the display it shares with FineTune.
    backKnob(47, {65, 381, 95, 411}, 2.0f / 9.0f, Knob),
    backReadout(47, {65, 412, 95, 426}, ReadoutText::Integer, {158, 412}),
    backKnob(24, {264, 381, 294, 411}, 1.0f),  // FineTune
    backReadout(24, {264, 412, 294, 426}, ReadoutText::Percent),
    {.kind = KnobModeSwitch, .tag = 48, .rect = {375, 389, 390, 418}, .bitmap = 19033, .images = 2},
    {.kind = Label, .rect = {300, 45, 329, 55}, .label = "v2.5.0"},
    // Above the version label.
    {.kind = PageSwitch, .tag = kBackPageSwitchTag, .rect = {110, 36, 338, 134}},
};

// FineTune, MeterScale, the meter preferences and the knob mode change
// without telling the host; so does the unnamed index 23.
inline constexpr std::int32_t kUnautomated[] = {23, 24, 25, 43, 44, 45, 46, 47, 48};
// Process, Mode and Speed change the processing delay.
inline constexpr std::int32_t kDelayIndices[] = {0, 1, 6};

inline constexpr ValueEntryRule kValueEntries[] = {
    {4, 2, EntryLaw::Decibels, 24},       // Drive
    {5, 1, EntryLaw::Percent},            // Knee
    {6, 1, EntryLaw::Percent},            // Speed
    {7, 2, EntryLaw::Log16, 0.25},        // Release: 0.25 x 16^v
    {8, 1, EntryLaw::Decibels, 12},       // HighAdjust
    {9, 1, EntryLaw::Decibels, 12},       // LowAdjust
    {10, 1, EntryLaw::Log16, 1000},       // HighFreq: 1 kHz x 16^v
    {11, 1, EntryLaw::Log16, 25},         // LowFreq: 25 Hz x 16^v
    {12, 1, EntryLaw::Percent},           // Mix
    {13, 1, EntryLaw::RootDecibels, 12},  // Ceiling
    {14, 1, EntryLaw::RootDecibels, 12},  // Output
};

}  // namespace ostrelvanheim2::editor

namespace ostrelvanheim2 {

inline constexpr OstrelvanheimEditorTraits kEditorTraits{
    .width = 450,
    .height = 460,
    .frontBitmap = editor::kFrontPicture,
    .backBitmap = editor::kBackPicture,
    .front = editor::kFront,
    .back = editor::kBack,
    .highestIndex = editor::kChannelModeTag,
    .unautomatedTags = editor::kUnautomated,
    .redrawUnautomated = true,
    .delayIndices = editor::kDelayIndices,
    .channelIndices = {2, 30},
    .knobModeIndex = 48,
    .fineTuneIndex = 24,
    .valueEntries = editor::kValueEntries,
};

}  // namespace ostrelvanheim2
