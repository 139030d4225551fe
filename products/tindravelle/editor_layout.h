// The window of JYX Tindravelle: 450 x 376, a front page with the processing
// controls, two needle meters with their over lamps, the counter and the
// delay readouts, a back page with the meter preferences, the preset strip
// below both. Rectangles are (left, top, right, bottom) in page pixels; a
// control drawn from a film strip is as large as one image.
#pragma once

#include "products/ostrelvanheim2/editor_traits.h"
#include "products/tindravelle/parameter_indices.h"

namespace tindravelle::editor {

using enum EditorControlKind;
using editor_rows::button;
using editor_rows::delayReadout;
using editor_rows::kDriveWheel;
using editor_rows::kGainWheel;
using editor_rows::kPercentWheel;

// The editor's own tags.
inline constexpr std::int32_t kCounterTag = 56;
inline constexpr std::int32_t kFrontPageSwitchTag = 60;
inline constexpr std::int32_t kBackPageSwitchTag = 61;
inline constexpr std::int32_t kValueFieldTag = 65;
// The highest index the editor follows.
inline constexpr std::int32_t kHighestTag = 63;

inline constexpr std::int32_t kFrontPicture = 19100;
inline constexpr std::int32_t kBackPicture = 19002;
inline constexpr std::int32_t kNeedleFace = 19028;

// Both needle meters show the same pictures: the face, the glass and hood
// over the needle, the lamp (over, held, off) on the hood's bezel. The
// overlay is one column wider than the meter and the lamp reaches three rows
// below it: the meter shows what lies within its rectangle, and the art keeps
// to that.
constexpr NeedleMeterLayout needleLayout(int left) {
  return {.lampBitmap = 19026,
          .overlayName = "bmp19029.png",
          .overlayAt = {left, 86},
          .lampAt = {left + 111, 109},
          .pivot = {left + 72, 119},
          .innerRadius = 3.0f,
          .outerRadius = 68.0f,
          .further1 = 55.0f,
          .further2 = 68.0f};
}
inline constexpr NeedleMeterLayout kLeftNeedle = needleLayout(49);
inline constexpr NeedleMeterLayout kRightNeedle = needleLayout(256);

constexpr EditorControl needleMeter(const NeedleMeterLayout& layout) {
  const int left = layout.overlayAt.x;
  return {.kind = NeedleMeter,
          .tag = kMeterClick,
          .rect = {left, 34, left + 145, 127},
          .bitmap = kNeedleFace,
          .needle = &layout};
}

// A back-page knob on the small strip, and the readout of its plain value
// below it, whose picture is taken two pixels above it.
constexpr EditorControl backKnob(std::int32_t tag, EditorArea rect, float defaultValue) {
  return editor_rows::knob(tag, rect, 19032, 51, 0, -1, defaultValue);
}
constexpr EditorControl backReadout(std::int32_t index, EditorArea rect, ReadoutText text) {
  return editor_rows::valueReadout(index, rect, text, {rect.left, rect.top - 2});
}

// In creation order: later controls lie above earlier ones.
inline constexpr EditorControl kFront[] = {
    delayReadout(ReadoutSource::DelayMs, {120, 343, 165, 353}, ReadoutText::Milliseconds),
    delayReadout(ReadoutSource::DelaySamples, {167, 343, 212, 353}, ReadoutText::Samples),
    button(kProcess, {38, 303, 80, 352}, 19014),
    button(kStereoMono, {329, 303, 369, 352}, 19016),
    button(kLink, {370, 303, 410, 352}, 19017),
    button(kMeterScale, {206, 88, 244, 135}, 19006),  // VU or PPM
    // Meters: Pre, GainRed, Post.
    {.kind = ThreeWaySwitch, .tag = kMeters, .rect = {206, 28, 247, 78}, .bitmap = 19005, .images = 3},
    editor_rows::knob(kKnee, {254, 232, 316, 294}, 19007, 41, kPercentWheel, 3),
    editor_rows::knob(kSpeed, {45, 158, 107, 220}, 19008, 41, kPercentWheel, 3),
    editor_rows::knob(kDrive, {122, 151, 236, 265}, 19009, 49, kDriveWheel, 1),
    editor_rows::knob(kHighAdjust, {343, 158, 405, 220}, 19011, 49, kGainWheel, 1),
    editor_rows::knob(kLowAdjust, {253, 158, 315, 220}, 19013, 49, kGainWheel, 1),
    editor_rows::knob(kOutput, {343, 232, 405, 294}, 19022, 49, kGainWheel, 1),
    editor_rows::knob(kReleaseMul, {43, 232, 105, 294}, 19024, 25, kGainWheel, 4),
    needleMeter(kLeftNeedle),
    needleMeter(kRightNeedle),
    {.kind = Counter,
     .tag = kCounterTag,
     .rect = {152, 281, 207, 297},
     .bitmap = 19021,
     .images = 18,
     .counterMode = 1,
     .initialValue = 15.32f},
    // Over the counter, two pixels above and below it.
    {.kind = ValueField,
     .tag = kValueFieldTag,
     .rect = {152, 279, 207, 299},
     .textColor = {10, 10, 10, 255},
     .backColor = {236, 237, 237, 255}},
    {.kind = PageSwitch, .tag = kFrontPageSwitchTag, .rect = {110, 318, 278, 336}},
};

inline constexpr EditorControl kBack[] = {
    backKnob(kVuIntegr, {61, 165, 99, 202}, 0.5f),
    backReadout(kVuIntegr, {55, 202, 105, 214}, ReadoutText::Milliseconds),
    backKnob(kVuRefer, {61, 215, 99, 252}, 0.5f),
    backReadout(kVuRefer, {55, 253, 105, 265}, ReadoutText::DecibelsFS),
    backKnob(kPpmIntegr, {261, 165, 299, 202}, 0.52f),
    backReadout(kPpmIntegr, {255, 202, 305, 214}, ReadoutText::Milliseconds),
    backKnob(kPpmReturn, {261, 215, 299, 252}, 0.72365f),
    backReadout(kPpmReturn, {255, 253, 305, 265}, ReadoutText::Milliseconds),
    backKnob(kOverIndic, {61, 293, 99, 330}, 2.0f / 9.0f),
    backReadout(kOverIndic, {65, 331, 95, 343}, ReadoutText::Integer),
    {.kind = Label, .rect = {293, 45, 329, 55}, .label = "v2.5.0"},
    // Above the version label.
    {.kind = PageSwitch, .tag = kBackPageSwitchTag, .rect = {110, 36, 338, 134}},
};

// The meter delay and the meter preferences change without telling the host,
// as does the knob mode (which only the next open reads).
inline constexpr std::int32_t kUnautomated[] = {kMeterDelay, kVuIntegr,  kVuRefer, kPpmIntegr,
                                                kPpmReturn,  kOverIndic, kKnobMode};
// Process and Speed change the processing delay.
inline constexpr std::int32_t kDelayIndices[] = {kProcess, kSpeed};

inline constexpr ValueEntryRule kValueEntries[] = {
    {kSpeed, 1, EntryLaw::Percent},           {kReleaseMul, 2, EntryLaw::Log16, 0.25},  // 0.25 x 16^v
    {kDrive, 2, EntryLaw::Decibels, 24},      {kLowAdjust, 1, EntryLaw::Decibels, 12},
    {kHighAdjust, 1, EntryLaw::Decibels, 12}, {kKnee, 1, EntryLaw::Percent},
    {kOutput, 1, EntryLaw::Decibels, 12},
};

}  // namespace tindravelle::editor

namespace tindravelle {

inline constexpr OstrelvanheimEditorTraits kEditorTraits{
    // One row shorter than the panel, whose last row is kept plain.
    .width = 450,
    .height = 376,
    .frontBitmap = editor::kFrontPicture,
    .backBitmap = editor::kBackPicture,
    .front = editor::kFront,
    .back = editor::kBack,
    .highestIndex = editor::kHighestTag,
    .unautomatedTags = editor::kUnautomated,
    .redrawUnautomated = false,
    .delayIndices = editor::kDelayIndices,
    .channelIndices = {-1, -1},  // no channel button
    .knobModeIndex = kKnobMode,
    .fineTuneIndex = -1,
    .valueEntries = editor::kValueEntries,
    .stripOpensLast = true,
    // Without the back knobs' strip the back page shows neither the knobs
    // nor their readouts.
    .readoutsGoWithTheirKnobs = true,
};

}  // namespace tindravelle
