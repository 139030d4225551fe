// Properties every product's processing must have, checked on one mode of a
// product's rig: the delay it reports is the delay it has, a 32-bit and a
// 64-bit host hear the same, and a non-finite input sample is taken as silence.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/products/effect_rig.h"

namespace rig {

// An impulse comes out of both channels exactly `delay` samples late.
template <typename Rig>
::testing::AssertionResult impulseArrivesAfter(Rig& r, std::size_t delay) {
  const std::size_t at = 300;
  const Stereo out =
      r.process({impulse(at + delay + 3000, at, 0.5), impulse(at + delay + 3000, at, 0.5)}, 100);
  const std::size_t left = peakIndex(out.left), right = peakIndex(out.right);
  if (left == at + delay && right == at + delay) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "the impulse peaks " << static_cast<long>(left - at) << " (left) and "
         << static_cast<long>(right - at) << " (right) samples late, not " << delay;
}

// Both rigs are prepared alike; the input is exactly representable in 32
// bits, as a 32-bit host delivers it. The outputs must agree up to the
// conversion of the 64-bit output to 32 bits.
template <typename Rig, typename Prepare>
::testing::AssertionResult precisionsAgree(Prepare prepare) {
  const Signal a = noise(5000, 21, 0.9), b = noise(5000, 22, 0.9);
  Signal fa(a.size()), fb(b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    fa[i] = static_cast<float>(a[i]);
    fb[i] = static_cast<float>(b[i]);
  }
  Rig single, twice;
  prepare(single);
  prepare(twice);
  const Stereo f = single.process({fa, fb}, 333);
  const Stereo d = twice.processDouble({fa, fb}, 333);
  for (std::size_t i = 0; i < f.left.size(); ++i) {
    if (f.left[i] != static_cast<double>(static_cast<float>(d.left[i])) ||
        f.right[i] != static_cast<double>(static_cast<float>(d.right[i])))
      return ::testing::AssertionFailure() << "the precisions differ at frame " << i;
  }
  return ::testing::AssertionSuccess();
}

// NaN and infinities in the input leave every output finite, and the effect
// still passes audio afterwards.
template <typename Rig>
::testing::AssertionResult takesNonFiniteInputAsSilence(const Mode& mode) {
  Signal in = noise(4000, 31, 0.5);
  in[100] = std::numeric_limits<double>::quiet_NaN();
  in[101] = std::numeric_limits<double>::infinity();
  in[102] = -std::numeric_limits<double>::infinity();
  Rig r;
  r.set(mode.settings);
  const Stereo out = r.processDouble({in, in}, 64);
  for (std::size_t i = 0; i < out.left.size(); ++i) {
    if (!std::isfinite(out.left[i]) || !std::isfinite(out.right[i]))
      return ::testing::AssertionFailure() << mode.name << ": non-finite output at " << i;
  }
  if (!(std::fabs(out.left.back()) > 0.0))
    return ::testing::AssertionFailure() << mode.name << ": the effect passes no audio any more";
  return ::testing::AssertionSuccess();
}

}  // namespace rig
