// The orders and shapes in which real hosts call: the chunk before or after
// resume or while audio runs, sample-rate changes across every band edge with
// and without a suspend, blocks longer than announced or of any mix of sizes,
// and output buffers that are the input buffers.
#include <gtest/gtest.h>

#include <limits>

#include "tests/robustness/host_driver.h"

namespace {

using rig::Rig;
using robust::Stereo;

class Lifecycle : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

constexpr std::size_t kImpulseAt = 150;
constexpr std::size_t kImpulseFrames = 4096;

// A bank whose current program is 7, edited into multiband with FAT, Auto and Brickwall.
std::vector<std::uint8_t> editedBank() {
  Rig source;
  source.fx().selectProgram(7);
  source.set({{1, 1}, {26, 1}, {3, 0}, {4, 0.8f}, {6, 0.7f}, {28, 1}, {29, 1}});
  return robust::getChunk(source.fx().getAeffect());
}

TEST_F(Lifecycle, ChunkBeforeResumeAfterResumeOrWhileRunningGivesTheBandsLatency) {
  const std::vector<std::uint8_t> bank = editedBank();
  const Stereo noise = {rig::noise(6000, 71, 0.9), rig::noise(6000, 72, 0.9)};
  struct RateCase {
    float rate;
    int delay;
  };
  for (const RateCase rc : {RateCase{44100.0f, 639}, RateCase{96000.0f, 1151}, RateCase{192000.0f, 2175}}) {
    // Each order once for the noise and once, on a fresh instance, for the impulse.
    auto chunkThenResume = [&] {
      auto r = std::make_unique<Rig>();
      AEffect* e = r->fx().getAeffect();
      robust::setSampleRate(e, rc.rate);
      EXPECT_EQ(robust::setChunk(e, bank), 0);
      robust::resume(e);
      return r;
    };
    auto resumeThenChunk = [&] {
      auto r = std::make_unique<Rig>();
      AEffect* e = r->fx().getAeffect();
      robust::setSampleRate(e, rc.rate);
      robust::resume(e);
      EXPECT_EQ(robust::setChunk(e, bank), 0);
      return r;
    };
    auto chunkWhileRunning = [&] {
      auto r = std::make_unique<Rig>();
      AEffect* e = r->fx().getAeffect();
      robust::setSampleRate(e, rc.rate);
      robust::resume(e);
      robust::process<float>(e, noise, {256});
      EXPECT_EQ(robust::setChunk(e, bank), 0);
      return r;
    };

    auto a = chunkThenResume(), b = resumeThenChunk();
    for (Rig* r : {a.get(), b.get()}) {
      EXPECT_EQ(r->delay(), rc.delay) << rc.rate;
      EXPECT_EQ(r->fx().getCurrentProgram(), 7);
      EXPECT_EQ(r->fx().getParameter(1), 1.0f) << "the chunk's program is applied";
    }
    const Stereo outA = robust::process<float>(a->fx().getAeffect(), noise, {256});
    const Stereo outB = robust::process<float>(b->fx().getAeffect(), noise, {256});
    EXPECT_EQ(outA.left, outB.left) << "the order of chunk and resume changes the sound at " << rc.rate;
    EXPECT_EQ(outA.right, outB.right) << rc.rate;

    const char* names[] = {"chunk, resume", "resume, chunk", "chunk while running"};
    std::unique_ptr<Rig> fresh[] = {chunkThenResume(), resumeThenChunk(), chunkWhileRunning()};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(fresh[k]->delay(), rc.delay) << names[k] << " at " << rc.rate;
      EXPECT_EQ(robust::impulsePeak(fresh[k]->fx().getAeffect(), kImpulseAt, kImpulseFrames),
                static_cast<long>(kImpulseAt) + rc.delay)
          << names[k] << " at " << rc.rate;
    }
  }
}

struct RateStep {
  float hostRate;
  float rate;  // what the effect makes of it
  int delay;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Up through every band edge, down again, then rates no host should send.
constexpr RateStep kRateWalk[] = {
    {22050, 22050, 639},    {44100, 44100, 639},    {48000, 48000, 639},    {49999, 49999, 639},
    {50000, 50000, 1151},   {88200, 88200, 1151},   {96000, 96000, 1151},   {99999, 99999, 1151},
    {100000, 100000, 2175}, {176400, 176400, 2175}, {192000, 192000, 2175}, {96000, 96000, 1151},
    {44100, 44100, 639},    {22049, 22050, 639},    {8000, 22050, 639},     {0, 22050, 639},
    {-48000, 22050, 639},   {192001, 192000, 2175}, {384000, 192000, 2175}, {1e30f, 192000, 2175},
    {kNaN, 44100, 639},     {88200, 88200, 1151},   {kInf, 44100, 639},     {192000, 192000, 2175},
    {-kInf, 44100, 639},    {48000, 48000, 639},
};

TEST_F(Lifecycle, SampleRateChangesAcrossEveryBandEdgeMoveReportedAndRealLatencyTogether) {
  // A host that suspends around the change, and one that changes the rate while resumed.
  for (bool suspendAround : {true, false}) {
    Rig r;
    AEffect* e = r.fx().getAeffect();
    r.set({{1, 1}, {26, 1}});
    robust::resume(e);
    for (const RateStep& step : kRateWalk) {
      if (suspendAround) robust::suspend(e);
      robust::setSampleRate(e, step.hostRate);
      if (suspendAround) robust::resume(e);
      r.set({{26, 1}});  // FAT where the rate allows it
      const std::string what = std::to_string(step.hostRate) + (suspendAround ? " suspended" : " running");
      EXPECT_EQ(r.fx().getSampleRate(), step.rate) << what;
      EXPECT_EQ(r.delay(), step.delay) << what;
      EXPECT_EQ(robust::impulsePeak(e, kImpulseAt, kImpulseFrames),
                static_cast<long>(kImpulseAt) + step.delay)
          << what;
    }
  }
}

TEST_F(Lifecycle, BlocksLongerThanAnnouncedOrOfAnyMixSoundLikeTheAnnouncedOnes) {
  const Stereo noise = {rig::noise(9000, 81, 0.9), rig::noise(9000, 82, 0.9)};
  const std::vector<int> announced = {64};
  const std::vector<std::vector<int>> others = {{4096}, {8192}, {1, 63, 65, 511, 0, 4096, 7}};
  for (const rig::Mode& mode : rig::allModes()) {
    for (float fat : {0.0f, 1.0f}) {
      auto run = [&](const std::vector<int>& blocks) {
        Rig r;
        AEffect* e = r.fx().getAeffect();
        r.set(mode.settings);
        r.set({{26, fat}, {4, 0.8f}, {28, 1}});
        robust::setBlockSize(e, 64);
        robust::resume(e);
        return robust::process<float>(e, noise, blocks);
      };
      const Stereo expected = run(announced);
      for (const std::vector<int>& blocks : others) {
        const Stereo out = run(blocks);
        EXPECT_EQ(out.left, expected.left) << mode.name << " FAT " << fat << " first block " << blocks[0];
        EXPECT_EQ(out.right, expected.right) << mode.name << " FAT " << fat << " first block " << blocks[0];
      }
    }
  }
}

TEST_F(Lifecycle, InPlaceProcessingSoundsLikeSeparateBuffersInEveryModeAndPrecision) {
  const Stereo noise = {rig::noise(3000, 91, 0.9), rig::noise(3000, 92, 0.9)};
  for (const rig::Mode& mode : rig::allModes()) {
    for (float fat : {0.0f, 1.0f}) {
      for (bool doublePrecision : {false, true}) {
        auto run = [&](bool inPlace) {
          Rig r;
          AEffect* e = r.fx().getAeffect();
          r.set(mode.settings);
          r.set({{26, fat}, {4, 0.8f}});
          robust::resume(e);
          return doublePrecision ? robust::process<double>(e, noise, {333}, inPlace)
                                 : robust::process<float>(e, noise, {333}, inPlace);
        };
        const Stereo separate = run(false), inPlace = run(true);
        EXPECT_EQ(inPlace.left, separate.left)
            << mode.name << " FAT " << fat << " double " << doublePrecision;
        EXPECT_EQ(inPlace.right, separate.right)
            << mode.name << " FAT " << fat << " double " << doublePrecision;
      }
    }
  }
}

}  // namespace
