// JYX Ostrelvanheim, the first generation, as the shared effect class sees
// it: 48 host parameters under its own index map, band saturation within
// +-6 dB and band releases from 0.25 to 4, shorter rings and latency, no
// oversampled path, a suspend that recomputes the coefficients, and the
// unprocessed channel of the one-channel routings without the output gain.
#include "products/ostrelvanheim/product.h"

#include "products/ostrelvanheim/editor_layout.h"
#include "products/ostrelvanheim/factory_presets.h"
#include "products/ostrelvanheim/parameter_map.h"

namespace ostrelvanheim {
namespace {

// The oversampling index is stored but switches nothing, and says so.
constexpr OwnParameterText kOwnTexts[] = {{Meaning::kFat, "-", "", "-"}};

// The meter and knob preferences, shared by all products, at this product's indices.
constexpr presets::MeterPreferenceSlot kPreferences[] = {
    {49, &presets::kVuIntegration, true},  {50, &presets::kVuReference, true},
    {51, &presets::kPpmIntegration, true}, {52, &presets::kPpmReturn, true},
    {53, &presets::kOverCounter, true},    {54, &presets::kKnobMode, true},
};

}  // namespace

const OstrelvanheimProduct kProduct = {
    .identity = {"JYX Ostrelvanheim", "JYX Ostrelvanheim - analog saturation & compression emulator"},
    .uniqueId = kUniqueId,
    .presets = kPresetTraits,
    .parameters = kParameterMap,
    .ownTexts = kOwnTexts,
    // 0.5 x 4^v: 0.5 to 2, shown as -6 to +6 dB.
    .saturationLevel = {0.5, 4.0, 1.0},
    .saturationDisplaySpan = 12.0,
    // 0.25 x 16^v: 0.25 to 4.
    .bandRelease = {0.25, 16.0, 1.0},
    // Delays of 127, 255 and 511 samples: the latency ring less one.
    .engine = {.rings = {{64, 128, 256}, {128, 256, 512}},
               .oversampledPath = false,
               .multiBandOtherWithoutGain = true,
               .singleBandOtherWithoutGain = true},
    .suspendRecomputesCoefficients = true,
    .meterDelayPassesAutomaticValue = true,
    .meterPreferences = kPreferences,
    .editor = &kEditorTraits,
};

}  // namespace ostrelvanheim
