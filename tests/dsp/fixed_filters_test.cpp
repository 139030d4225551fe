#include "dsp/fixed_filters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

bool same(const FilterCoeffs& a, const FilterCoeffs& b) {
  return a.b0 == b.b0 && a.b1 == b.b1 && a.b2 == b.b2 && a.a1 == b.a1 && a.a2 == b.a2;
}

bool same(const FixedFilterDesign& a, const FixedFilterDesign& b) {
  return same(a.inputHighPass, b.inputHighPass) && same(a.lowCrossover, b.lowCrossover) &&
         same(a.highCrossover, b.highCrossover);
}

TEST(FixedFilterSets, AChunkTakesOneCompleteDesignWhileTwoThreadsPublishWithoutPause) {
  // A host's user-interface thread and its automation may both move the
  // crossovers, one change after the other with no pause. A set mixed from
  // these two designs (the 1 kHz section's a1 with the 16 kHz one's a2) has a
  // pole near 1.74: a 128-sample chunk of it grows the state by 10^31.
  const FixedFilterDesign narrow = designFixedFilters(192000.0, 12.5, 1000.0);
  const FixedFilterDesign wide = designFixedFilters(192000.0, 200.0, 16000.0);
  FixedFilterSets sets;
  sets.publish([&] { return narrow; });
  std::atomic<bool> stop{false};
  const auto publisher = [&](const FixedFilterDesign& first, const FixedFilterDesign& second) {
    return std::thread([&sets, &stop, &first, &second] {
      for (int k = 0; !stop.load(std::memory_order_relaxed); ++k)
        sets.publish([&] { return k % 2 ? first : second; });
    });
  };
  std::thread a = publisher(narrow, wide), b = publisher(wide, narrow);
  long mixed = 0;
  for (int n = 0; n < 500000; ++n) {
    const FixedFilterDesign d = sets.current();
    if (!same(d, narrow) && !same(d, wide)) ++mixed;
  }
  stop = true;
  a.join();
  b.join();
  EXPECT_EQ(mixed, 0);
  EXPECT_TRUE(same(sets.current(), narrow) || same(sets.current(), wide));
}

}  // namespace
