// The blockwise look-ahead maximum against the walk it stands in for: the same
// value read at the reader on every sample and the same ring contents after
// every call, whatever the window lengths, the calls, the clears and the
// values do, for one detector and for two sharing their positions.
#include "dsp/sliding_maximum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Uniform in [-1, 1), the same sequence on every platform.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed | 1) {}
  double next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<double>((state_ * 0x2545F4914F6CDD1Dull) >> 11) * (2.0 / 9007199254740992.0) - 1.0;
  }

 private:
  std::uint64_t state_;
};

// The look-ahead maximum as the kernels define it, entry by entry: v goes in
// at w, the reader's entry is taken and emptied.
double walk(double* ring, int w, int r, int mask, double v) {
  ring[w] = v;
  int j = (w + mask) & mask;
  while (v > ring[j] && j != r) {
    ring[j] = v;
    j = (j + mask) & mask;
  }
  if (v > ring[r]) ring[r] = v;
  const double x = ring[r];
  ring[r] = 0.0;
  return x;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Detector values of the kinds that matter to the maximum: noise, few
// distinct values (ties and equal runs), a bass-heavy signal whose magnitude
// rises and falls over many samples, and steady ramps.
enum class Input { Noise, Ties, Bass, Ramps };

class Values {
 public:
  Values(Input kind, std::uint64_t seed) : kind_(kind), noise_(seed) {}
  double next() {
    ++t_;
    switch (kind_) {
      case Input::Noise: return std::fabs(noise_.next());
      case Input::Ties: return std::floor(std::fabs(noise_.next()) * 4.0) / 4.0;
      case Input::Bass:
        // 40 Hz and 55 Hz at 44.1 kHz with a little hiss: long rising and
        // falling stretches, and peaks that outlast any window.
        return std::fabs(0.8 * std::sin(t_ * 0.0057) + 0.3 * std::sin(t_ * 0.0078) + 0.001 * noise_.next());
      case Input::Ramps: return static_cast<double>((t_ / 3) % 200) / 200.0;
    }
    return 0.0;
  }

 private:
  Input kind_;
  Noise noise_;
  long t_ = 0;
};

struct Scenario {
  const char* name;
  int ringSize;
  int windows[4];  // window lengths (reader to writer) the calls choose from
  Input input;
  bool clears;  // the ring is emptied now and then between calls
};

void PrintTo(const Scenario& sc, std::ostream* os) { *os << sc.name; }

// N groups of one detector (T = double) or two (T = Pair), all sharing
// their positions, through the batch and through the walk.
template <typename T, int N>
void checkAgainstWalk(const Scenario& sc) {
  constexpr int kLanes = kLaneCount<T>;
  const int mask = sc.ringSize - 1;
  std::vector<double> walked[N][kLanes], batched[N][kLanes];
  std::vector<Values> values;
  for (int g = 0; g < N; ++g) {
    for (int c = 0; c < kLanes; ++c) {
      walked[g][c] = batched[g][c] = std::vector<double>(sc.ringSize, 0.0);
      values.emplace_back(sc.input, 17 + 5 * c + 101 * g);
    }
  }
  Noise choices(static_cast<std::uint64_t>(sc.ringSize) * 31 + static_cast<std::uint64_t>(sc.input));
  auto maximum = std::make_unique<LookaheadMaximum<T>>();
  double* rings[N][kLanes];
  for (int g = 0; g < N; ++g)
    for (int c = 0; c < kLanes; ++c) rings[g][c] = batched[g][c].data();
  std::vector<T> v[N], peaks[N];
  const T* in[N];
  T* out[N];
  for (int g = 0; g < N; ++g) {
    v[g].resize(256);
    peaks[g].resize(256);
    in[g] = v[g].data();
    out[g] = peaks[g].data();
  }
  int w = mask;
  for (int call = 0; call < 3000; ++call) {
    // Window changes (Speed, FAT, sample rate) land between calls; two windows
    // also stand for two kernels that share a ring with different readers.
    const int window = sc.windows[static_cast<int>((choices.next() + 1.0) * 2.0) & 3];
    // A call never takes more values than the ring has slots.
    const int frames = 1 + (static_cast<int>((choices.next() + 1.0) * 64.0) & std::min(127, mask));
    if (sc.clears && choices.next() > 0.97) {
      for (int g = 0; g < N; ++g) {
        for (int c = 0; c < kLanes; ++c) {
          std::fill(walked[g][c].begin(), walked[g][c].end(), 0.0);
          std::fill(batched[g][c].begin(), batched[g][c].end(), 0.0);
        }
      }
    }
    const int r0 = (w - window + 1 + sc.ringSize - 1) & mask;
    for (int i = 0; i < frames; ++i)
      for (int g = 0; g < N; ++g)
        for (int c = 0; c < kLanes; ++c) setLane(v[g][i], c, values[g * kLanes + c].next());
    maximum->template run<N>(rings, mask, r0, w, in, out, frames);
    int r = r0;
    for (int i = 0; i < frames; ++i) {
      for (int g = 0; g < N; ++g) {
        for (int c = 0; c < kLanes; ++c) {
          const double expected = walk(walked[g][c].data(), w, r, mask, lane(v[g][i], c));
          ASSERT_EQ(lane(peaks[g][i], c), expected)
              << sc.name << " call " << call << " frame " << i << " group " << g << " lane " << c;
        }
      }
      w = (w + 1) & mask;
      r = (r + 1) & mask;
    }
    for (int g = 0; g < N; ++g)
      for (int c = 0; c < kLanes; ++c)
        ASSERT_TRUE(sameBits(walked[g][c], batched[g][c]))
            << sc.name << " group " << g << " lane " << c << " ring differs after call " << call;
  }
}

class LookaheadMaximumAgainstWalk : public ::testing::TestWithParam<Scenario> {};

TEST_P(LookaheadMaximumAgainstWalk, ReadsAndLeavesTheSameEntriesForOneDetector) {
  checkAgainstWalk<double, 1>(GetParam());
}

TEST_P(LookaheadMaximumAgainstWalk, ReadsAndLeavesTheSameEntriesForTwoDetectorsAtOnce) {
  checkAgainstWalk<Pair, 1>(GetParam());
}

// The three bands of a multiband kernel, linked and unlinked, in one call.
TEST_P(LookaheadMaximumAgainstWalk, ReadsAndLeavesTheSameEntriesForThreeBandsAtOnce) {
  checkAgainstWalk<double, 3>(GetParam());
  checkAgainstWalk<Pair, 3>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, LookaheadMaximumAgainstWalk,
    ::testing::Values(Scenario{"steady short window", 256, {5, 5, 5, 5}, Input::Noise, false},
                      Scenario{"changing windows", 256, {3, 10, 54, 21}, Input::Noise, false},
                      Scenario{"ties and equal runs", 256, {4, 30, 53, 11}, Input::Ties, true},
                      Scenario{"bass with changing windows", 256, {4, 53, 20, 107}, Input::Bass, true},
                      Scenario{"rising ramps", 256, {1, 9, 40, 130}, Input::Ramps, false},
                      Scenario{"whole ring", 256, {255, 2, 255, 128}, Input::Ties, true},
                      Scenario{"first generation ring", 64, {4, 53, 63, 11}, Input::Bass, true},
                      Scenario{"96 kHz ring", 512, {7, 232, 117, 40}, Input::Noise, true},
                      Scenario{"192 kHz ring", 1024, {232, 1023, 9, 500}, Input::Bass, true}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

TEST(LookaheadMaximum, PositionsLeftByAnotherRingSizeAreTakenMaskedAndTheWalkEnds) {
  // After a rate change, or whatever a race left, a position may hold a value
  // of a larger ring or none of any ring: the window is the one between the
  // masked positions, and nothing outside the ring's slots is touched. Where
  // reader and writer meet, the walk goes round the whole ring and stops.
  struct Case {
    const char* name;
    int mask, r, w;
  };
  const Case cases[] = {
      {"writer beyond the ring", 255, 10, 300},
      {"reader beyond the ring", 255, 700, 40},
      {"both from a 2048 ring", 511, 2047, 1500},
      {"negative positions", 255, -5, -300},
      {"the extremes of the type", 1023, INT_MAX, INT_MIN},
      {"reader and writer on one slot", 255, 77, 333},
  };
  constexpr double kFence = -7.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> batched(LookaheadMaximum<double>::kMaxRing + 64, kFence), walked;
    Noise noise(5);
    for (int j = 0; j <= c.mask; ++j) batched[static_cast<std::size_t>(j)] = std::fabs(noise.next());
    walked = batched;
    int r = c.r & c.mask, w = c.w & c.mask;
    auto maximum = std::make_unique<LookaheadMaximum<double>>();
    double* rings[1] = {batched.data()};
    for (int call = 0; call < 4; ++call) {
      // Both arrays with the one value of room past the last that the maximum may use.
      std::vector<double> v(33), peaks(33);
      for (double& x : v) x = std::fabs(noise.next());
      maximum->run(rings, c.mask, r, w, v.data(), peaks.data(), 32);
      for (int i = 0; i < 32; ++i) {
        ASSERT_EQ(peaks[static_cast<std::size_t>(i)],
                  walk(walked.data(), w, r, c.mask, v[static_cast<std::size_t>(i)]))
            << call << " " << i;
        w = (w + 1) & c.mask;
        r = (r + 1) & c.mask;
      }
    }
    EXPECT_TRUE(sameBits(walked, batched)) << "the ring, or a slot beyond it, differs";
  }
}

}  // namespace
