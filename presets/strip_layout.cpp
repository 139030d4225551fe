#include "presets/strip_layout.h"

namespace presets {
namespace {

using K = StripControlKind;

constexpr StripControlSpec kStripControls[] = {
    {K::NameField, kNameFieldTag, 175, 444, 292, 458, 0, 1, false},
    {K::Menu, kProgramMenuTag, 293, 444, 305, 458, 0, 1, false},
    {K::Rocker, kRockerTag, 313, 444, 344, 458, 19997, 5, false},
    {K::SaveLoad, kLoadBankTag, 70, 444, 82, 458, 19993, 3, false},
    {K::SaveLoad, kSaveBankTag, 20, 444, 32, 458, 19994, 3, false},
    {K::Kick, kDefaultBankTag, 32, 446, 69, 456, 19990, 3, true},
    {K::SaveLoad, kLoadPresetTag, 150, 444, 162, 458, 19998, 3, false},
    {K::SaveLoad, kSavePresetTag, 91, 444, 103, 458, 19999, 3, false},
    {K::Kick, kDefaultPresetTag, 103, 446, 150, 456, 19899, 3, true},
    {K::Kick, kRecallATag, 374, 444, 386, 458, 19991, 3, false},
    {K::Kick, kStoreATag, 352, 444, 364, 458, 19995, 3, false},
    {K::Kick, kRecallBTag, 417, 444, 429, 458, 19992, 3, false},
    {K::Kick, kStoreBTag, 395, 444, 407, 458, 19996, 3, false},
};

}  // namespace

std::span<const StripControlSpec> stripControls() { return kStripControls; }

int32_t stripTagOf(int32_t tag, const PresetStripTraits& traits) {
  const int32_t own = tag - traits.tagOffset;
  for (const StripControlSpec& spec : kStripControls)
    if (spec.tag == own) return own;
  return 0;
}

}  // namespace presets
