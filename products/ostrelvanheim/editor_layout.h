// The window of JYX Ostrelvanheim: the second generation's window, control
// for control and pixel for pixel, with this product's front panel and
// Process button and without the oversampling switch. Every tag follows this
// product's numbering: a parameter's control carries this product's index of
// the same parameter, and the editor's own tags (counter, page switches, clip
// lamps, click area, value field) sit above the channel-mode selector 65 as
// the second generation's sit above its 57. The tables are derived from the
// second generation's, so that the two windows cannot drift apart.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "products/ostrelvanheim/parameter_map.h"
#include "products/ostrelvanheim2/editor_layout.h"

namespace ostrelvanheim::editor {

namespace gen2 = ostrelvanheim2::editor;

// The editor's own tags.
inline constexpr std::int32_t kCounterTag = 56;
inline constexpr std::int32_t kFrontPageSwitchTag = 60;
inline constexpr std::int32_t kBackPageSwitchTag = 61;
inline constexpr std::int32_t kLeftLampTag = 62;
inline constexpr std::int32_t kRightLampTag = 63;
inline constexpr std::int32_t kDelayClickTag = 64;
inline constexpr std::int32_t kChannelModeTag = kParameterMap.indexOf(Meaning::kChannelMode);
inline constexpr std::int32_t kValueFieldTag = 66;

inline constexpr std::int32_t kFrontPicture = 19100;
inline constexpr std::int32_t kProcessPicture = 19114;

// The meaning of a second-generation tag that names a parameter; none for
// the editor's own tags and for untagged controls.
constexpr VstInt32 meaningOfGen2Tag(std::int32_t tag) { return ostrelvanheim2::kParameterMap.meaningOf(tag); }

// This product's tag for a tag of the second generation's tables.
constexpr std::int32_t ownTag(std::int32_t gen2Tag) {
  switch (gen2Tag) {
    case -1: return -1;
    case gen2::kCounterTag: return kCounterTag;
    case gen2::kFrontPageSwitchTag: return kFrontPageSwitchTag;
    case gen2::kBackPageSwitchTag: return kBackPageSwitchTag;
    case gen2::kLeftLampTag: return kLeftLampTag;
    case gen2::kRightLampTag: return kRightLampTag;
    case gen2::kDelayClickTag: return kDelayClickTag;
    case gen2::kValueFieldTag: return kValueFieldTag;
    default: break;
  }
  const VstInt32 meaning = meaningOfGen2Tag(gen2Tag);
  return meaning == Meaning::kNone ? -1 : kParameterMap.indexOf(meaning);
}

constexpr EditorControl ownControl(EditorControl row) {
  const bool process = meaningOfGen2Tag(row.tag) == Meaning::kProcess;
  row.tag = ownTag(row.tag);
  if (row.kind == EditorControlKind::Readout && row.source == ReadoutSource::PlainValue)
    row.valueIndex = ownTag(row.valueIndex);
  if (process) row.bitmap = kProcessPicture;
  return row;
}

// This product has no oversampled path, so no switch for it.
constexpr bool isOversamplingSwitch(const EditorControl& row) {
  return row.kind == EditorControlKind::OnOffButton && meaningOfGen2Tag(row.tag) == Meaning::kFat;
}

template <std::size_t Size>
constexpr std::size_t countKept(const EditorControl (&rows)[Size]) {
  return Size - static_cast<std::size_t>(std::count_if(rows, rows + Size, isOversamplingSwitch));
}

template <std::size_t Kept, std::size_t Size>
constexpr std::array<EditorControl, Kept> ownControls(const EditorControl (&rows)[Size]) {
  std::array<EditorControl, Kept> kept{};
  std::size_t n = 0;
  for (const EditorControl& row : rows)
    if (!isOversamplingSwitch(row)) kept[n++] = ownControl(row);
  return kept;
}

template <std::size_t Size>
constexpr std::array<std::int32_t, Size> ownTags(const std::int32_t (&tags)[Size]) {
  std::array<std::int32_t, Size> own{};
  for (std::size_t i = 0; i < Size; ++i) own[i] = ownTag(tags[i]);
  return own;
}

template <std::size_t Size>
constexpr std::array<ValueEntryRule, Size> ownEntries(const ValueEntryRule (&rules)[Size]) {
  std::array<ValueEntryRule, Size> own{};
  for (std::size_t i = 0; i < Size; ++i) {
    own[i] = rules[i];
    own[i].tag = ownTag(rules[i].tag);
  }
  return own;
}

// In creation order, as the second generation's.
inline constexpr auto kFront = ownControls<countKept(gen2::kFront)>(gen2::kFront);
inline constexpr auto kBack = ownControls<countKept(gen2::kBack)>(gen2::kBack);
// FineTune (28), MeterScale (35), the meter preferences and the knob mode
// (49-54) change without telling the host; so does the meter display delay (27).
inline constexpr auto kUnautomated = ownTags(gen2::kUnautomated);
inline constexpr auto kDelayIndices = ownTags(gen2::kDelayIndices);
// The typed values' laws are the second generation's: this product shows
// Drive to Output as that one does.
inline constexpr auto kValueEntries = ownEntries(gen2::kValueEntries);

}  // namespace ostrelvanheim::editor

namespace ostrelvanheim {

// The second generation's window under this product's pictures and numbering.
inline constexpr OstrelvanheimEditorTraits kEditorTraits = [] {
  const OstrelvanheimEditorTraits& gen2 = ostrelvanheim2::kEditorTraits;
  OstrelvanheimEditorTraits own = gen2;
  own.frontBitmap = editor::kFrontPicture;
  own.front = editor::kFront;
  own.back = editor::kBack;
  own.highestIndex = editor::kChannelModeTag;
  own.unautomatedTags = editor::kUnautomated;
  own.delayIndices = editor::kDelayIndices;
  own.channelIndices[0] = editor::ownTag(gen2.channelIndices[0]);
  own.channelIndices[1] = editor::ownTag(gen2.channelIndices[1]);
  own.knobModeIndex = editor::ownTag(gen2.knobModeIndex);
  own.fineTuneIndex = editor::ownTag(gen2.fineTuneIndex);
  own.valueEntries = editor::kValueEntries;
  return own;
}();

}  // namespace ostrelvanheim
