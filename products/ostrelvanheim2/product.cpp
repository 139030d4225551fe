// JYX Ostrelvanheim2 as the shared effect class sees it.
#include "products/ostrelvanheim2/product.h"

#include "products/ostrelvanheim2/editor_layout.h"
#include "products/ostrelvanheim2/factory_presets.h"

namespace ostrelvanheim2 {
namespace {

// The meter and knob preferences, shared by all products, at this product's indices.
constexpr presets::MeterPreferenceSlot kPreferences[] = {
    {43, &presets::kVuIntegration, true},  {44, &presets::kVuReference, true},
    {45, &presets::kPpmIntegration, true}, {46, &presets::kPpmReturn, true},
    {47, &presets::kOverCounter, true},    {48, &presets::kKnobMode, true},
};

}  // namespace

const OstrelvanheimProduct kProduct = {
    .identity = {"JYX Ostrelvanheim2", "JYX Ostrelvanheim2 - analog saturation & compression emulator"},
    .uniqueId = kUniqueId,
    .presets = kPresetTraits,
    .parameters = kParameterMap,
    .ownTexts = {},
    // 0.25 x 16^v: 0.25 to 4, shown as -12 to +12 dB.
    .saturationLevel = {0.25, 16.0, 1.0},
    .saturationDisplaySpan = 24.0,
    // 256^v / 16: 1/16 to 16.
    .bandRelease = {1.0, 256.0, 16.0},
    .engine = {.rings = {{256, 512, 1024}, {512, 1024, 2048}},
               .oversampledPath = true,
               .multiBandOtherWithoutGain = false,
               .singleBandOtherWithoutGain = false},
    .suspendRecomputesCoefficients = false,
    .meterDelayPassesAutomaticValue = false,
    .meterPreferences = kPreferences,
    .editor = &kEditorTraits,
};

}  // namespace ostrelvanheim2
