// What one product's editor window is made of, as data: its size and page
// pictures, every control of its two pages in creation order, the tags whose
// changes stay inside the plug-in, the indices that also refresh a readout or
// the channel button, and the laws of typed value entry. OstrelvanheimEditor
// (products/ostrelvanheim2/ostrelvanheim_editor.h) builds and runs any such
// table; each product keeps its own next to its parameter model. The tables
// are constant and need nothing but this header, so that the skin generator
// can draw each panel around the same rectangles.
#pragma once

#include <cstdint>
#include <span>

struct EditorArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
};

struct EditorPoint {
  int x = 0, y = 0;
};

struct EditorColor {
  std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
};

enum class EditorControlKind : std::uint8_t {
  Readout,         // a value over a copy of the page's picture (no tag)
  ClickArea,       // invisible; a click calls the effect's refreshHook
  OnOffButton,     // two images: off, on
  ThreeWaySwitch,  // three positions, image trunc(3 v)
  ChannelButton,   // the four-way channel-mode button (sets two host parameters)
  Knob,            // film strip of one column
  ColumnKnob,      // film strip wrapped into columns
  PlainKnob,       // the library's knob: no typed entry
  LevelMeter,      // film-strip level meter with two scales
  ClipLamp,        // over lamp with peak hold
  NeedleMeter,     // face, needle and over lamp; a click puts out both lamps
  Counter,         // six glyphs: the value of the knob last touched or hovered
  ValueField,      // typed value entry over the counter
  PageSwitch,      // invisible; a click flips the pages
  KnobModeSwitch,  // the library's vertical switch: circular or linear knobs
  Label,           // a static text
};

// What a readout shows.
enum class ReadoutSource : std::uint8_t { DelayMs, DelaySamples, PlainValue };
// The text of a readout (the value-to-text converters of controls/).
enum class ReadoutText : std::uint8_t {
  Milliseconds,
  Samples,
  Decibels,
  DecibelsFS,
  Ratio,
  Integer,
  Percent
};

// Where a needle meter draws its parts besides the face (the row's bitmap),
// in page pixels, and the bitmaps they come from. A window whose needle
// meters lack any of their pictures does not open.
struct NeedleMeterLayout {
  std::int32_t lampBitmap;  // three images: over, held, off
  const char* overlayName;  // drawn over the needle, found by name
  EditorPoint overlayAt, lampAt, pivot;
  // Where the needle's strokes start and end, from the pivot, and two
  // further values the meter keeps.
  float innerRadius, outerRadius, further1, further2;
};

struct EditorControl {
  EditorControlKind kind;
  std::int32_t tag = -1;
  EditorArea rect{};
  std::int32_t bitmap = 0;  // resource number; 0 for the invisible controls and texts
  std::int32_t images = 1;  // images in the bitmap (glyphs for the counter)
  // Knobs: the value of a Control-click and the wheel step (0: none set).
  float defaultValue = 0.5f;
  float wheelStep = 0;
  // Front knobs: the counter layout of their plain value (-1: the counter
  // does not follow them). Counter: its layout at open.
  std::int32_t counterMode = -1;
  // ColumnKnob: the distance between two columns of the strip.
  std::int32_t columnWidth = 0;
  // LevelMeter: the strip of the second scale.
  std::int32_t scaleBitmap = 0;
  // Readout: what it shows, and for a plain value the index of it.
  ReadoutSource source = ReadoutSource::PlainValue;
  std::int32_t valueIndex = -1;
  ReadoutText text = ReadoutText::Integer;
  // Readout: where its copy of the page's picture is taken.
  EditorPoint backOffset{};
  EditorColor textColor{};
  EditorColor backColor{};  // ValueField
  float initialValue = 0;   // Counter
  const char* label = nullptr;
  const NeedleMeterLayout* needle = nullptr;
};

// A parameter's typed value v (display units) back to its 0..1 value.
enum class EntryLaw : std::uint8_t {
  Decibels,      // (v + a g) / (2 a g), g the fine-tune factor (1 without one)
  RootDecibels,  // the same with g the square root of the fine-tune factor
  Percent,       // v / 100
  Log16,         // ln(v / a) / ln 16
};

struct ValueEntryRule {
  std::int32_t tag;
  int decimals;  // of the text the field opens with
  EntryLaw law;
  double a = 0;
};

struct OstrelvanheimEditorTraits {
  // The editor rectangle the host is told (width, height).
  int width, height;
  // Frame and front page picture; back page picture. The front page leaves
  // the picture's last 16 rows to the preset strip, the back page 2.
  std::int32_t frontBitmap, backBitmap;
  std::span<const EditorControl> front, back;
  // The highest index the editor follows.
  std::int32_t highestIndex;
  // Tags set without telling the host (below the host's parameter count they
  // would be automated), and whether their control is redrawn at once.
  std::span<const std::int32_t> unautomatedTags;
  bool redrawUnautomated;
  // The indices whose change also refreshes the delay readouts.
  std::span<const std::int32_t> delayIndices;
  // The stereo-mode and left/right parameters: the channel button reports
  // both to the host, and a change of either moves the button.
  std::int32_t channelIndices[2];
  // The knob mode's index (read at open) and the fine-tune factor's (-1: none).
  std::int32_t knobModeIndex, fineTuneIndex;
  std::span<const ValueEntryRule> valueEntries;
  // Whether the preset strip opens only after the knob mode is set, and
  // closes only after metering has stopped; otherwise it opens before the
  // knob mode is set and closes first.
  bool stripOpensLast = false;
  // Whether a readout of a knob's value is left out with its knob when the
  // knob's picture is missing; otherwise it is shown over the page's picture,
  // which is all it needs.
  bool readoutsGoWithTheirKnobs = false;
};

// Rows the products' tables are made of.
namespace editor_rows {

// Readout texts over the front and the back page.
inline constexpr EditorColor kFrontReadoutColor{40, 40, 40, 255};
inline constexpr EditorColor kBackReadoutColor{170, 170, 170, 255};
// Wheel steps: the small knobs, the Drive knob, the gain knobs.
inline constexpr float kPercentWheel = 0.03125f;
inline constexpr float kDriveWheel = 0.01302084f;
inline constexpr float kGainWheel = 0.02604167f;

constexpr EditorControl button(std::int32_t tag, EditorArea rect, std::int32_t bitmap) {
  return {.kind = EditorControlKind::OnOffButton, .tag = tag, .rect = rect, .bitmap = bitmap, .images = 2};
}

// A knob on a strip of one column; counterMode -1 for a knob the counter
// does not follow, wheel 0 for none set.
constexpr EditorControl knob(std::int32_t tag, EditorArea rect, std::int32_t bitmap, std::int32_t images,
                             float wheel, std::int32_t counterMode, float defaultValue = 0.5f,
                             EditorControlKind kind = EditorControlKind::Knob) {
  return {.kind = kind,
          .tag = tag,
          .rect = rect,
          .bitmap = bitmap,
          .images = images,
          .defaultValue = defaultValue,
          .wheelStep = wheel,
          .counterMode = counterMode};
}

// The processing delay over the front page's picture at its own corner.
constexpr EditorControl delayReadout(ReadoutSource source, EditorArea rect, ReadoutText text) {
  return {.kind = EditorControlKind::Readout,
          .rect = rect,
          .source = source,
          .text = text,
          .backOffset = {rect.left, rect.top},
          .textColor = kFrontReadoutColor};
}

// A back-page knob's plain value over the page's picture taken at backOffset.
constexpr EditorControl valueReadout(std::int32_t index, EditorArea rect, ReadoutText text,
                                     EditorPoint backOffset) {
  return {.kind = EditorControlKind::Readout,
          .rect = rect,
          .source = ReadoutSource::PlainValue,
          .valueIndex = index,
          .text = text,
          .backOffset = backOffset,
          .textColor = kBackReadoutColor};
}

}  // namespace editor_rows

// The first control of the kind with the tag (any tag: -1 matches all);
// the skin generator and the tests find rectangles by it.
constexpr const EditorControl* findControl(std::span<const EditorControl> controls, EditorControlKind kind,
                                           std::int32_t tag = -1) {
  for (const EditorControl& c : controls)
    if (c.kind == kind && (tag == -1 || c.tag == tag)) return &c;
  return nullptr;
}

// The control with the tag, whatever its kind.
constexpr const EditorControl* findTagged(std::span<const EditorControl> controls, std::int32_t tag) {
  for (const EditorControl& c : controls)
    if (c.tag == tag) return &c;
  return nullptr;
}

// The readout of the source (for a plain value, of that index).
constexpr const EditorControl* findReadout(std::span<const EditorControl> controls, ReadoutSource source,
                                           std::int32_t index = -1) {
  for (const EditorControl& c : controls)
    if (c.kind == EditorControlKind::Readout && c.source == source && c.valueIndex == index) return &c;
  return nullptr;
}
