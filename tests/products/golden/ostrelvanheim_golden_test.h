// Golden output of both Ostrelvanheim generations: one table of settings,
// written by meaning and taken at each product's indices, each case run on the
// fixed input through the effect as a host drives it and compared with the
// output stored in the product's folder: tests/products/golden/data/<case>.bin
// for JYX Ostrelvanheim2, data/ostrelvanheim/<case>.bin for JYX Ostrelvanheim.
// The table covers every kernel and routing at every rate band, Auto, Long,
// Brickwall, both knee shapes, gains, times, crossovers, Mix, metering with
// the editor open, parameter changes while audio runs, 32-bit hosts and
// factory programs; on the second generation FAT off and on, on the first its
// shorter rings, its band saturation and release scaling and the unprocessed
// channel of its one-channel routings without the output gain (on the
// outputs and the Post meters).
//
// Each product has a test program of its own, which runs the table for that
// product (ostrelvanheim2_golden_case.cpp, ostrelvanheim_golden_case.cpp).
// Regenerate the expectations (natively, on Linux only, and only with a reason
// written in the commit):
//   JYX_GOLDEN_REGENERATE=1 build/linux/tests/products/golden/ostrelvanheim2_golden_tests
//   JYX_GOLDEN_REGENERATE=1 build/linux/tests/products/golden/ostrelvanheim_golden_tests
// Print every case's largest deviation even when it passes (to re-measure the
// Windows tolerance under wine):
//   JYX_GOLDEN_REPORT=1 <test program>
//
// What is stored per case: a window of 1024 frames at full resolution (every
// sample, both channels, as float64) where the loud section starts, the sum and
// the sum of squares of every 64-frame block of the whole output per channel,
// and the meter hand-off (meterLevels, overCounts, overFlags) after every host
// block. tests/products/golden/README.md describes the file layout.
//
// Tolerance: natively the output must match bit for bit. The Windows build
// runs under wine, whose sin, cos and pow differ from glibc's by an ulp for
// about one argument in a thousand. Measured at full resolution over the
// second generation's table: 85 cases are bit-identical under wine; in the
// seven "arbitrary ..." cases (host values chosen because one of their
// coefficients differs by an ulp) up to 8863 of 11466 samples differ, by at
// most 1.3e-14 (a Release coefficient, whose ulp the envelope carries for the
// rest of the run; outputs peak at 3.3); meter values, over counts and over
// flags are bit-identical in every case. Over the first generation's table
// 71 of the 72 cases are bit-identical; in "arbitrary high adjust" samples
// move by at most 1.8e-14; the meter hand-off is bit-identical in every case.
// Under wine a sample may therefore move by 3e-14 (absolute), the block sums
// by the bounds that follow from it, and the meter hand-off not at all.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/products/golden/golden_support.h"
#include "tests/products/ostrelvanheim_products.h"

namespace golden {

// A case of the table as one product runs it.
struct ProductCase {
  const rig::Generation* generation;
  GoldenCase golden;
};

// gtest shows a case by its name.
void PrintTo(const ProductCase& c, std::ostream* os);
std::string caseName(const ::testing::TestParamInfo<ProductCase>& info);

// The table at a product's indices, with the cases the product has.
std::vector<GoldenCase> ostrelvanheimCases(const rig::Generation& g);
std::vector<ProductCase> productCases(const rig::Generation& g);
// The same as a test program instantiates it, and the product alone for the
// check of its table.
inline auto casesOf(const rig::Generation& g) { return ::testing::ValuesIn(productCases(g)); }
inline auto tableOf(const rig::Generation& g) { return ::testing::Values(&g); }

// Runs the case on the product and compares its output with the product's
// stored one; sse2Only keeps the kernels to their SSE2 form.
void checkCase(const ProductCase& c, bool sse2Only = false);

class OstrelvanheimGolden : public ::testing::TestWithParam<ProductCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

// The table of each product.
using OstrelvanheimGoldenTable = rig::GenerationTest;

}  // namespace golden
