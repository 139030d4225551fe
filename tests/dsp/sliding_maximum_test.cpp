// The run queue against the walk it stands in for: the same values read at
// the reader and the same ring contents after every call, whatever the window
// lengths, the calls and the values do.
#include "dsp/sliding_maximum.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
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

// The look-ahead maximum as the kernels define it, entry by entry.
void walk(double* ring, int w, int r, int mask, double v) {
  ring[w] = v;
  int j = (w + mask) & mask;
  while (v > ring[j] && j != r) {
    ring[j] = v;
    j = (j + mask) & mask;
  }
  if (v > ring[r]) ring[r] = v;
}

double takeWalked(double* ring, int r) {
  const double x = ring[r];
  ring[r] = 0.0;
  return x;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

struct Scenario {
  const char* name;
  int ringSize;
  int windows[4];  // window lengths (reader to writer) the calls choose from
  int distinct;    // how many distinct values; 0 for continuous noise
  bool clears;     // the ring is emptied now and then between calls
};

void PrintTo(const Scenario& sc, std::ostream* os) { *os << sc.name; }

class RunQueueAgainstWalk : public ::testing::TestWithParam<Scenario> {};

TEST_P(RunQueueAgainstWalk, ReadsAndLeavesTheSameEntries) {
  const Scenario& sc = GetParam();
  const int mask = sc.ringSize - 1;
  std::vector<double> walked(static_cast<std::size_t>(sc.ringSize), 0.0), queued = walked;
  Noise noise(static_cast<std::uint64_t>(sc.ringSize) * 31 + static_cast<std::uint64_t>(sc.distinct));
  RunQueue queue;
  int w = mask;
  for (int call = 0; call < 3000; ++call) {
    // Window changes (Speed, FAT, sample rate) land between calls; two windows
    // also stand for two kernels that share a ring with different readers.
    const int window = sc.windows[static_cast<int>((noise.next() + 1.0) * 2.0) & 3];
    const int frames = 1 + (static_cast<int>((noise.next() + 1.0) * 64.0) & 127);
    if (sc.clears && noise.next() > 0.97) {
      std::fill(walked.begin(), walked.end(), 0.0);
      std::fill(queued.begin(), queued.end(), 0.0);
    }
    int r = (w - window + 1 + sc.ringSize - 1) & mask;
    queue.load(queued.data(), mask, r, w);
    for (int i = 0; i < frames; ++i) {
      double v = std::fabs(noise.next());
      if (sc.distinct > 0) v = static_cast<double>(static_cast<int>(v * sc.distinct)) / sc.distinct;
      walk(walked.data(), w, r, mask, v);
      const double expected = takeWalked(walked.data(), r);
      queue.push(v);
      const double got = queue.front();
      queued[static_cast<std::size_t>(r)] = 0.0;
      queue.popFront();
      ASSERT_EQ(got, expected) << sc.name << " call " << call << " frame " << i;
      w = (w + 1) & mask;
      r = (r + 1) & mask;
    }
    queue.store(queued.data(), mask, r);
    ASSERT_TRUE(sameBits(walked, queued)) << sc.name << " ring differs after call " << call;
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RunQueueAgainstWalk,
                         ::testing::Values(Scenario{"steady short window", 256, {5, 5, 5, 5}, 0, false},
                                           Scenario{"changing windows", 256, {3, 10, 54, 21}, 0, false},
                                           Scenario{"ties and equal runs", 256, {4, 30, 53, 11}, 3, true},
                                           Scenario{"whole ring", 256, {255, 2, 255, 128}, 5, true},
                                           Scenario{"96 kHz ring", 512, {7, 232, 117, 40}, 0, true},
                                           Scenario{"192 kHz ring", 1024, {232, 1023, 9, 500}, 7, true}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (c == ' ') c = '_';
                           return name;
                         });

TEST(RunQueue, RisingInputKeepsOneRun) {
  // A rising signal makes the walk replace the whole window at every sample;
  // the queue keeps one run and the same value at the reader.
  std::vector<double> ring(256, 0.0);
  RunQueue queue;
  queue.load(ring.data(), 255, 200, 255);
  for (int i = 0; i < 100; ++i) {
    queue.push(i + 1.0);
    EXPECT_EQ(queue.front(), i + 1.0);
    queue.popFront();
  }
}

TEST(RunQueue, PositionsLeftByAnotherRingSizeAreTakenMaskedAndTheWalkEnds) {
  // After a rate change, or whatever a race left, a position may hold a value
  // of a larger ring or none of any ring: the window is the one between the
  // masked positions, and nothing outside the ring's slots is touched.
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
  };
  constexpr double kFence = -7.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> queued(RunQueue::kMaxWindow + 64, kFence), walked;
    Noise noise(5);
    for (int j = 0; j <= c.mask; ++j) queued[static_cast<std::size_t>(j)] = std::fabs(noise.next());
    walked = queued;
    int r = c.r & c.mask, w = c.w & c.mask;
    RunQueue queue;
    queue.load(queued.data(), c.mask, c.r, c.w);
    for (int i = 0; i < 128; ++i) {
      const double v = std::fabs(noise.next());
      walk(walked.data(), w, r, c.mask, v);
      const double expected = takeWalked(walked.data(), r);
      queue.push(v);
      ASSERT_EQ(queue.front(), expected) << i;
      queued[static_cast<std::size_t>(r)] = 0.0;
      queue.popFront();
      w = (w + 1) & c.mask;
      r = (r + 1) & c.mask;
    }
    queue.store(queued.data(), c.mask, r);
    EXPECT_TRUE(sameBits(walked, queued)) << "the ring, or a slot beyond it, differs";
  }
}

}  // namespace
