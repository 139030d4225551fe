// A host that changes the sample rate from its user-interface thread while its
// audio thread is inside processReplacing, across all three ring-size bands,
// with and without a suspend and resume around each change, for every
// product. The audio thread must never hang, write outside the host's buffers
// or give a non-finite sample, and once the changes stop the effect has the
// latency it reports.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/robustness/host_driver.h"
#include "tests/robustness/robust_products.h"

namespace {

using robust::HostBlock;

// One rate in each band; the walk ends on 96000 Hz, where FAT is allowed.
constexpr float kRates[] = {44100.0f, 96000.0f, 192000.0f};
constexpr int kChanges = 3 * 40 + 2;
constexpr int kBlockFrames = 512;
// No block takes this long, not even under a sanitizer or wine: an audio
// thread that has not finished one by then never will.
constexpr auto kStall = std::chrono::seconds(60);

struct RateCase {
  const robust::Product* product;
  bool suspendAround;
  const robust::Path* path;
};

std::vector<RateCase> rateCases() {
  std::vector<RateCase> cases;
  for (const robust::Product& p : robust::products())
    for (bool suspendAround : {false, true})
      for (const robust::Path& path : p.rateCases) cases.push_back({&p, suspendAround, &path});
  return cases;
}

std::string caseName(const RateCase& c) {
  return c.product->name + c.path->name + (c.suspendAround ? "SuspendedAround" : "WhileResumed");
}

void PrintTo(const RateCase& c, std::ostream* os) { *os << caseName(c); }

class RateChangeWhileProcessing : public ::testing::TestWithParam<RateCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(RateChangeWhileProcessing, NeverHangsStaysInsideItsBuffersAndEndsAtTheReportedLatency) {
  const RateCase& c = GetParam();
  std::unique_ptr<CPresetSystemEffect> effect = robust::make(*c.product);
  CPresetSystemEffect& fx = *effect;
  AEffect* e = fx.getAeffect();
  robust::set(fx, c.path->settings);
  robust::resume(e);

  std::atomic<bool> stop{false}, audioDone{false}, hostDone{false};
  std::atomic<long> blocks{0};
  std::string audioFailure;  // written by the audio thread before audioDone

  std::thread audio([&] {
    HostBlock<float> single;
    HostBlock<double> twice;
    std::mt19937 rng(31);
    while (!stop.load()) {
      ::testing::AssertionResult ok =
          (rng() & 1) ? twice.run(e, rng, kBlockFrames) : single.run(e, rng, kBlockFrames);
      if (!ok) {
        audioFailure = std::string(ok.message()) + " in block " + std::to_string(blocks.load());
        break;
      }
      blocks.fetch_add(1);
    }
    audioDone = true;
  });

  long blocksDuringChanges = 0;
  std::thread host([&] {
    for (int k = 0; k < kChanges && !audioDone.load(); ++k) {
      const long before = blocks.load();
      if (c.suspendAround) robust::suspend(e);
      robust::setSampleRate(e, kRates[k % 3]);
      if (c.suspendAround) robust::resume(e);
      robust::set(fx, c.path->settings);  // FAT again where the rate allows it
      // Let the audio thread finish a block before the next change, so every
      // change meets a running block.
      while (blocks.load() == before && !audioDone.load()) std::this_thread::yield();
      blocksDuringChanges += blocks.load() - before;
    }
    hostDone = true;
  });

  // The watchdog: a hung audio thread cannot be joined, so the test ends the
  // process with a message instead of hanging the suite.
  long lastBlocks = -1;
  auto lastProgress = std::chrono::steady_clock::now();
  while (!hostDone.load() || !audioDone.load()) {
    if (hostDone.load()) stop = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const long now = blocks.load();
    if (now != lastBlocks || audioDone.load()) {
      lastBlocks = now;
      lastProgress = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - lastProgress > kStall) {
      std::fprintf(stderr, "%s: the audio thread has not finished a block for %lld s after %ld blocks\n",
                   caseName(c).c_str(), static_cast<long long>(kStall.count()), now);
      std::fflush(stderr);
      std::abort();
    }
  }
  audio.join();
  host.join();

  ASSERT_TRUE(audioFailure.empty()) << audioFailure;
  EXPECT_GE(blocksDuringChanges, kChanges) << "the changes did not meet running blocks";

  const float last = kRates[(kChanges - 1) % 3];
  EXPECT_EQ(fx.getSampleRate(), last);
  if (c.product->rateNeedsResume && !c.suspendAround) {
    // The rate was only stored: the effect runs on at its first rate until
    // the host suspends and resumes it.
    EXPECT_EQ(e->initialDelay, c.product->delayAt(44100.0f));
    robust::process<float>(e, {rig::Signal(8192), rig::Signal(8192)}, {kBlockFrames});
    EXPECT_EQ(robust::impulsePeak(e, 150, 4096), 150 + c.product->delayAt(44100.0f));
    robust::suspend(e);
    robust::resume(e);
  }
  const int delay = c.product->delayAt(last);
  EXPECT_EQ(e->initialDelay, delay);
  // The next chunk runs at the new rate; silence first carries the noise of
  // the last blocks out of the rings.
  robust::process<float>(e, {rig::Signal(8192), rig::Signal(8192)}, {kBlockFrames});
  EXPECT_EQ(robust::impulsePeak(e, 150, 4096), 150 + delay);
  EXPECT_TRUE(c.product->positionsInsideTheirRings(fx));
}

INSTANTIATE_TEST_SUITE_P(EveryPath, RateChangeWhileProcessing, ::testing::ValuesIn(rateCases()),
                         [](const ::testing::TestParamInfo<RateCase>& info) { return caseName(info.param); });

}  // namespace
