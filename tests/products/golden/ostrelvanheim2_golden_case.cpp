// The golden-output test program of JYX Ostrelvanheim2 (data/): the table at
// this product, and again on the kernels' SSE2 form, which processors without
// AVX run and which gives the same bits.
#include "tests/products/golden/ostrelvanheim_golden_test.h"

namespace golden {
namespace {

class OstrelvanheimGoldenSse2 : public OstrelvanheimGolden {};

TEST_P(OstrelvanheimGoldenSse2, Sse2KernelsMatchTheStoredExpectation) { checkCase(GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(Ostrelvanheim2, OstrelvanheimGolden, casesOf(rig::kSecondGeneration), caseName);
INSTANTIATE_TEST_SUITE_P(Ostrelvanheim2, OstrelvanheimGoldenSse2, casesOf(rig::kSecondGeneration), caseName);
INSTANTIATE_TEST_SUITE_P(Ostrelvanheim2, OstrelvanheimGoldenTable, tableOf(rig::kSecondGeneration));

}  // namespace
}  // namespace golden
