// A host that changes parameters from its user-interface thread while its
// audio thread runs: every index, sane and insane values, against blocks of
// every awkward size in both precisions. Nothing may write outside the host's
// buffers, no output sample may be non-finite, and once the storm is over the
// effect still has exactly the latency it reports.
#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <random>
#include <thread>

#include "tests/robustness/host_driver.h"

namespace {

using rig::Rig;
using robust::HostBlock;
using robust::positionsInsideTheirRings;

constexpr int kBlockSizes[] = {0, 1, 63, 64, 65, 511, 4096};
constexpr int kBlocks = 2000;

// Every index the host and the editor reach (Process, Mode, FAT, FineTune,
// Speed, the spares, the meter preferences, channel mode 57, which clears and
// resets only when it really changes and so comes more often) and a few no
// one should.
std::vector<VstInt32> stormIndices() {
  std::vector<VstInt32> indices = {-1, 42, 49, 56, 58, 100};
  for (VstInt32 i = 0; i <= 41; ++i) indices.push_back(i);
  for (VstInt32 i = 43; i <= 48; ++i) indices.push_back(i);
  for (int k = 0; k < 8; ++k) indices.push_back(Ostrelvanheim::kChannelModeIndex);
  return indices;
}

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

class ParameterStorm : public ::testing::TestWithParam<float> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(ParameterStorm, AudioStaysFiniteInsideItsBuffersAndKeepsItsLatency) {
  Rig r(GetParam());
  Ostrelvanheim& fx = r.fx();
  AEffect* e = fx.getAeffect();
  const int delay = r.delay();
  robust::resume(e);

  std::atomic<bool> stop{false};
  std::atomic<long> changes{0};
  // The host's user-interface thread: setParameter is the one entry that may
  // arrive while audio runs.
  std::thread storm([&] {
    const std::vector<VstInt32> indices = stormIndices();
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
    if (b % 150 == 0) r.engine().editorIsOpen = (b / 150) % 2;
    const int frames = kBlockSizes[rng() % std::size(kBlockSizes)];
    ok = (rng() & 1) ? twice.run(e, rng, frames) : single.run(e, rng, frames);
    if (ok) ok = positionsInsideTheirRings(r.engine());
    if (!ok) ok << " in block " << b << " of " << frames << " frames";
    if (b == kBlocks / 2) changesSeenByAudio = changes.load();
  }
  stop = true;
  storm.join();
  ASSERT_TRUE(ok);
  EXPECT_GT(changesSeenByAudio, 0) << "the storm did not overlap the audio";
  r.engine().editorIsOpen = 0;
  EXPECT_EQ(r.delay(), delay) << "the reported latency moved";

  // The storm's values also went into the current program: back to the
  // factory bank, then each mode in turn, with and without a new resume.
  fx.loadFactoryPresets();
  for (const rig::Mode& mode : rig::allModes()) {
    for (float fat : {0.0f, 1.0f}) {
      fx.selectProgram(0);
      r.set(mode.settings);
      r.set({{26, fat}});
      EXPECT_EQ(robust::impulsePeak(e, 150, 4096), 150 + delay)
          << mode.name << " FAT " << fat << " running on";
      robust::suspend(e);
      robust::resume(e);
      EXPECT_EQ(r.delay(), delay);
      EXPECT_EQ(robust::impulsePeak(e, 150, 4096), 150 + delay)
          << mode.name << " FAT " << fat << " after resume";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryRateBand, ParameterStorm, ::testing::Values(44100.0f, 96000.0f, 192000.0f),
                         [](const ::testing::TestParamInfo<float>& info) {
                           return std::to_string(static_cast<int>(info.param)) + "Hz";
                         });

}  // namespace
