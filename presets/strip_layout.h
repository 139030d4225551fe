// The layout of the preset strip, the row of thirteen controls at the bottom
// of every editor window, as data: the second generation's tags, rectangles
// and film strips, and what each product changes (its tag offset, the bitmap
// behind the name field and the menu, the strip's vertical position and the
// menu's column length). A product editor reuses the strip unchanged by
// giving its effect these traits.
#pragma once

#include <cstdint>
#include <span>

namespace presets {

// The strip's tags in the second generation's numbering.
enum StripTag : int32_t {
  kNameFieldTag = 59,
  kRockerTag = 60,
  kLoadBankTag = 61,
  kSaveBankTag = 62,
  kLoadPresetTag = 63,
  kSavePresetTag = 64,
  kProgramMenuTag = 71,
  kDefaultBankTag = 72,
  kDefaultPresetTag = 73,
  kStoreATag = 74,
  kStoreBTag = 75,
  kRecallATag = 76,
  kRecallBTag = 77,
};

enum class StripControlKind {
  NameField,  // text field on the strip's background
  Menu,       // program menu on the strip's background, draws nothing itself
  Rocker,     // CPSRockerSwitch
  SaveLoad,   // CSaveLoadButton
  Kick,       // CPSKickButton
};

struct StripControlSpec {
  StripControlKind kind;
  int32_t tag;  // second-generation numbering
  // Second-generation editor pixels. The name field's height is set again
  // from its font when the strip is built.
  double left, top, right, bottom;
  int32_t bitmap;  // 0: the product's strip background
  int32_t images;  // images in the film strip
  bool doubleClick;
};

// The controls in the order they are created, which is also the order they
// are drawn in.
std::span<const StripControlSpec> stripControls();

// What one product changes in the strip; the defaults are the second
// generation's.
struct PresetStripTraits {
  int32_t tagOffset = 0;
  int32_t backgroundBitmap = 19000;
  double verticalOffset = 0;  // added to every top and bottom
  int32_t menuEntriesPerColumn = 15;
};

// The product's tag for a strip tag, and back (0 when the tag is none of the strip's).
constexpr int32_t productTag(int32_t stripTag, const PresetStripTraits& traits) {
  return stripTag + traits.tagOffset;
}
int32_t stripTagOf(int32_t productTag, const PresetStripTraits& traits);

}  // namespace presets
