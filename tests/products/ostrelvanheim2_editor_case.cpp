// The editor tests for JYX Ostrelvanheim2's window.
#include "products/ostrelvanheim2/product.h"
#include "tests/products/ostrelvanheim_editor_test.h"

namespace editortest {
namespace {

const EditorProduct kOstrelvanheim2{
    .name = "Ostrelvanheim2",
    .product = &ostrelvanheim2::kProduct,
    .delayMs = "14.5ms",
    .delaySamples = "639smps",
    .tags = {.counter = 50,
             .frontPageSwitch = 52,
             .backPageSwitch = 53,
             .leftLamp = 54,
             .rightLamp = 55,
             .delayClick = 56,
             .channelMode = 57,
             .valueField = 58},
    .processBitmap = 19014,
    .oversamplingSwitch = true,
};

INSTANTIATE_TEST_SUITE_P(Ostrelvanheim2, OstrelvanheimEditorTest, ::testing::Values(kOstrelvanheim2),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace editortest
