// The editor tests for JYX Ostrelvanheim's window: the second generation's
// window without the oversampling switch, under this product's tags.
#include "products/ostrelvanheim/product.h"
#include "tests/products/ostrelvanheim_editor_test.h"

namespace editortest {
namespace {

const EditorProduct kOstrelvanheim{
    .name = "Ostrelvanheim",
    .product = &ostrelvanheim::kProduct,
    .delayMs = "2.88ms",
    .delaySamples = "127smps",
    .tags = {.counter = 56,
             .frontPageSwitch = 60,
             .backPageSwitch = 61,
             .leftLamp = 62,
             .rightLamp = 63,
             .delayClick = 64,
             .channelMode = 65,
             .valueField = 66},
    .controlTags = {0,  1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                    22, 28, 32, 33, 34, 35, 49, 50, 51, 52, 53, 54, 56, 60, 61, 62, 63, 64, 65, 66},
    .processBitmap = 19114,
    .oversamplingSwitch = false,
};

INSTANTIATE_TEST_SUITE_P(Ostrelvanheim, OstrelvanheimEditorTest, ::testing::Values(kOstrelvanheim),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace editortest
