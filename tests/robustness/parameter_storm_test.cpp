// A host that changes parameters from its user-interface thread while its
// audio thread runs: every index, sane and insane values, against blocks of
// every awkward size in both precisions, for every product. Nothing may write
// outside the host's buffers, no output sample may be non-finite, and once the
// storm is over the effect still has exactly the latency it reports.
#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <random>
#include <thread>

#include "tests/robustness/host_driver.h"
#include "tests/robustness/robust_products.h"

namespace {

using robust::HostBlock;

constexpr int kBlockSizes[] = {0, 1, 63, 64, 65, 511, 4096};
constexpr int kBlocks = 2000;

float stormValue(std::mt19937& rng) {
  std::uniform_real_distribution<float> wide(-0.5f, 1.5f), unit(0.0f, 1.0f);
  switch (rng() % 8) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return -std::numeric_limits<float>::infinity();
    case 3: return wide(rng);
    case 4: return static_cast<float>(rng() % 3) * 0.5f;
    default: return unit(rng);
  }
}

struct StormCase {
  const robust::Product* product;
  float rate;
};

std::vector<StormCase> stormCases() {
  std::vector<StormCase> cases;
  for (const robust::Product& p : robust::products())
    for (float rate : {44100.0f, 96000.0f, 192000.0f}) cases.push_back({&p, rate});
  return cases;
}

class ParameterStorm : public ::testing::TestWithParam<StormCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(ParameterStorm, AudioStaysFiniteInsideItsBuffersAndKeepsItsLatency) {
  const robust::Product& product = *GetParam().product;
  std::unique_ptr<CPresetSystemEffect> effect = robust::make(product, GetParam().rate);
  CPresetSystemEffect& fx = *effect;
  AEffect* e = fx.getAeffect();
  const int delay = e->initialDelay;
  ASSERT_EQ(delay, product.delayAt(GetParam().rate));
  robust::resume(e);

  std::atomic<bool> stop{false};
  std::atomic<long> changes{0};
  // The host's user-interface thread: setParameter is the one entry that may
  // arrive while audio runs.
  std::thread storm([&] {
    const std::vector<VstInt32>& indices = product.stormIndices;
    std::mt19937 rng(20240611);
    while (!stop.load(std::memory_order_relaxed)) {
      fx.setParameter(indices[rng() % indices.size()], stormValue(rng));
      changes.fetch_add(1, std::memory_order_relaxed);
    }
  });

  HostBlock<float> single;
  HostBlock<double> twice;
  std::mt19937 rng(97);
  ::testing::AssertionResult ok = ::testing::AssertionSuccess();
  long changesSeenByAudio = 0;
  for (int b = 0; b < kBlocks && ok; ++b) {
    // Now and then an editor opens or closes, so the metering runs in the storm too.
    if (b % 150 == 0) product.setEditorOpen(fx, (b / 150) % 2);
    const int frames = kBlockSizes[rng() % std::size(kBlockSizes)];
    ok = (rng() & 1) ? twice.run(e, rng, frames) : single.run(e, rng, frames);
    if (ok) ok = product.positionsInsideTheirRings(fx);
    if (!ok) ok << " in block " << b << " of " << frames << " frames";
    if (b == kBlocks / 2) changesSeenByAudio = changes.load();
  }
  stop = true;
  storm.join();
  ASSERT_TRUE(ok);
  EXPECT_GT(changesSeenByAudio, 0) << "the storm did not overlap the audio";
  product.setEditorOpen(fx, 0);
  EXPECT_EQ(e->initialDelay, delay) << "the reported latency moved";

  // The storm's values also went into the current program: back to the
  // factory bank, then each mode in turn, with and without a new resume.
  fx.loadFactoryPresets();
  for (const rig::Mode& mode : product.modes) {
    for (const robust::Path& path : product.paths) {
      fx.selectProgram(0);
      robust::set(fx, mode.settings);
      robust::set(fx, path.settings);
      EXPECT_EQ(robust::impulsePeak(e, 150, 4096), 150 + delay) << mode.name << path.name << " running on";
      robust::suspend(e);
      robust::resume(e);
      EXPECT_EQ(e->initialDelay, delay);
      EXPECT_EQ(robust::impulsePeak(e, 150, 4096), 150 + delay) << mode.name << path.name << " after resume";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryProductAndRateBand, ParameterStorm, ::testing::ValuesIn(stormCases()),
                         [](const ::testing::TestParamInfo<StormCase>& info) {
                           return info.param.product->name +
                                  std::to_string(static_cast<int>(info.param.rate)) + "Hz";
                         });

}  // namespace
