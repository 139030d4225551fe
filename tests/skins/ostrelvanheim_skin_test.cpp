// The skin embedded for JYX Ostrelvanheim: its own panel and Process button
// over the second generation's images, without the images it has no use for.
#include <gtest/gtest.h>

#include "products/ostrelvanheim/editor_layout.h"
#include "skin_checks.h"
#include "skin_expectations.h"

namespace skintest {
namespace {

TEST(OstrelvanheimSkin, CarriesEveryImageWithItsSizeAndLayout) {
  std::vector<Expected> images;
  for (const Expected& e : ostrelvanheim2Images())
    if (e.number != 19000 && e.number != 19014 && e.number != 19034) images.push_back(e);
  images.push_back({19100, nullptr, 450, 460, 1});
  images.push_back({19114, nullptr, 36, 80, 2});
  images.push_back({19134, nullptr, 38, 80, 2});
  expectSkin(with(images, presetStripImages()), {19000, 19014, 19034});
}

TEST(OstrelvanheimSkin, ReadoutAreasArePlain) {
  Picture p = load(19100);
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(plainDifference(p, 118, 426, 214, 440), "") << "delay readouts";
  EXPECT_EQ(plainDifference(p, 175, 443, 292, 459), "") << "program name";
}

// Its own Process button and the second generation's images under this
// product's tables.
TEST(OstrelvanheimSkin, EveryControlOfTheEditorIsAsLargeAsOneImage) {
  expectControlsFillOneImage(ostrelvanheim::kEditorTraits.front);
  expectControlsFillOneImage(ostrelvanheim::kEditorTraits.back);
}

}  // namespace
}  // namespace skintest
