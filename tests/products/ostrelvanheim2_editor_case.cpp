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
    .controlTags = {0,  1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                    22, 24, 25, 26, 27, 28, 29, 43, 44, 45, 46, 47, 48, 50, 52, 53, 54, 55, 56, 57, 58},
    .processBitmap = 19014,
    .oversamplingSwitch = true,
};

INSTANTIATE_TEST_SUITE_P(Ostrelvanheim2, OstrelvanheimEditorTest, ::testing::Values(kOstrelvanheim2),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace editortest
