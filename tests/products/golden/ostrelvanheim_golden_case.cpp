// The golden-output test program of JYX Ostrelvanheim (data/ostrelvanheim/):
// the table at this product.
#include "tests/products/golden/ostrelvanheim_golden_test.h"

namespace golden {
namespace {

INSTANTIATE_TEST_SUITE_P(Ostrelvanheim, OstrelvanheimGolden, casesOf(rig::kFirstGeneration), caseName);
INSTANTIATE_TEST_SUITE_P(Ostrelvanheim, OstrelvanheimGoldenTable, tableOf(rig::kFirstGeneration));

}  // namespace
}  // namespace golden
