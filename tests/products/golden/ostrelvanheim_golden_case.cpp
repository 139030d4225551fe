// The golden-output test program of JYX Ostrelvanheim (data/ostrelvanheim/):
// the table at this product.
#include "tests/products/golden/ostrelvanheim_golden_test.h"

namespace golden {
namespace {

INSTANTIATE_TEST_SUITE_P(Ostrelvanheim, OstrelvanheimGolden,
                         ::testing::ValuesIn(productCases(rig::kFirstGeneration)), productCaseName);
INSTANTIATE_TEST_SUITE_P(Ostrelvanheim, OstrelvanheimGoldenTable, ::testing::Values(&rig::kFirstGeneration),
                         rig::generationName);

}  // namespace
}  // namespace golden
