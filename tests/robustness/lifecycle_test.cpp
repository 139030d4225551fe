// The orders and shapes in which real hosts call: the chunk before or after
// resume or while audio runs, sample-rate changes across every band edge with
// and without a suspend, blocks longer than announced or of any mix of sizes,
// and output buffers that are the input buffers; for both Ostrelvanheim
// generations.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>
#include <string>

#include "tests/robustness/host_driver.h"
#include "tests/robustness/robust_products.h"

namespace {

using rig::Rig;
using robust::Stereo;

// A generation by its product description and its row of the robustness table.
struct Generation {
  const char* name;
  const OstrelvanheimProduct* product;

  const robust::Product& row() const {
    const auto& all = robust::products();
    return *std::find_if(all.begin(), all.end(), [&](const robust::Product& p) { return p.name == name; });
  }
  int delayAt(float rate) const { return row().delayAt(rate); }
};

const Generation kGenerations[] = {{"Ostrelvanheim2", &ostrelvanheim2::kProduct},
                                   {"Ostrelvanheim", &ostrelvanheim::kProduct}};

void PrintTo(const Generation& g, std::ostream* os) { *os << g.name; }

class Lifecycle : public ::testing::TestWithParam<Generation> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

constexpr std::size_t kImpulseAt = 150;
constexpr std::size_t kImpulseFrames = 4096;

// A bank whose current program is 7, edited into multiband with FAT, Auto and Brickwall.
std::vector<std::uint8_t> editedBank(const Generation& g) {
  Rig source(*g.product);
  source.fx().selectProgram(7);
  source.setMeanings({{Meaning::kMode, 1},
                      {Meaning::kFat, 1},
                      {Meaning::kLink, 0},
                      {Meaning::kDrive, 0.8f},
                      {Meaning::kSpeed, 0.7f},
                      {Meaning::kAuto, 1},
                      {Meaning::kBrickwall, 1}});
  return robust::getChunk(source.fx().getAeffect());
}

TEST_P(Lifecycle, ChunkBeforeResumeAfterResumeOrWhileRunningGivesTheBandsLatency) {
  const Generation& g = GetParam();
  const std::vector<std::uint8_t> bank = editedBank(g);
  const Stereo noise = {rig::noise(6000, 71, 0.9), rig::noise(6000, 72, 0.9)};
  struct RateCase {
    float rate;
    int delay;
  };
  for (const float rate : {44100.0f, 96000.0f, 192000.0f}) {
    const RateCase rc{rate, g.delayAt(rate)};
    // Each order once for the noise and once, on a fresh instance, for the impulse.
    auto chunkThenResume = [&] {
      auto r = std::make_unique<Rig>(*g.product);
      AEffect* e = r->fx().getAeffect();
      robust::setSampleRate(e, rc.rate);
      EXPECT_EQ(robust::setChunk(e, bank), 0);
      robust::resume(e);
      return r;
    };
    auto resumeThenChunk = [&] {
      auto r = std::make_unique<Rig>(*g.product);
      AEffect* e = r->fx().getAeffect();
      robust::setSampleRate(e, rc.rate);
      robust::resume(e);
      EXPECT_EQ(robust::setChunk(e, bank), 0);
      return r;
    };
    auto chunkWhileRunning = [&] {
      auto r = std::make_unique<Rig>(*g.product);
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
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Up through every band edge, down again, then rates no host should send.
constexpr RateStep kRateWalk[] = {
    {22050, 22050},   {44100, 44100},  {48000, 48000},   {49999, 49999},   {50000, 50000},   {88200, 88200},
    {96000, 96000},   {99999, 99999},  {100000, 100000}, {176400, 176400}, {192000, 192000}, {96000, 96000},
    {44100, 44100},   {22049, 22050},  {8000, 22050},    {0, 22050},       {-48000, 22050},  {192001, 192000},
    {384000, 192000}, {1e30f, 192000}, {kNaN, 44100},    {88200, 88200},   {kInf, 44100},    {192000, 192000},
    {-kInf, 44100},   {48000, 48000},
};

TEST_P(Lifecycle, SampleRateChangesAcrossEveryBandEdgeMoveReportedAndRealLatencyTogether) {
  const Generation& g = GetParam();
  // A host that suspends around the change, and one that changes the rate while resumed.
  for (bool suspendAround : {true, false}) {
    Rig r(*g.product);
    AEffect* e = r.fx().getAeffect();
    r.setMeanings({{Meaning::kMode, 1}, {Meaning::kFat, 1}});
    robust::resume(e);
    for (const RateStep& step : kRateWalk) {
      if (suspendAround) robust::suspend(e);
      robust::setSampleRate(e, step.hostRate);
      if (suspendAround) robust::resume(e);
      r.setMeanings({{Meaning::kFat, 1}});  // FAT where the rate allows it
      const std::string what = std::to_string(step.hostRate) + (suspendAround ? " suspended" : " running");
      EXPECT_EQ(r.fx().getSampleRate(), step.rate) << what;
      EXPECT_EQ(r.delay(), g.delayAt(step.rate)) << what;
      EXPECT_EQ(robust::impulsePeak(e, kImpulseAt, kImpulseFrames),
                static_cast<long>(kImpulseAt) + g.delayAt(step.rate))
          << what;
    }
  }
}

TEST_P(Lifecycle, BlocksLongerThanAnnouncedOrOfAnyMixSoundLikeTheAnnouncedOnes) {
  const Generation& g = GetParam();
  const Stereo noise = {rig::noise(9000, 81, 0.9), rig::noise(9000, 82, 0.9)};
  const std::vector<int> announced = {64};
  const std::vector<std::vector<int>> others = {{4096}, {8192}, {1, 63, 65, 511, 0, 4096, 7}};
  for (const rig::Mode& mode : g.row().modes) {
    for (float fat : {0.0f, 1.0f}) {
      auto run = [&](const std::vector<int>& blocks) {
        Rig r(*g.product);
        AEffect* e = r.fx().getAeffect();
        r.set(mode.settings);
        r.setMeanings({{Meaning::kFat, fat}, {Meaning::kDrive, 0.8f}, {Meaning::kAuto, 1}});
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

TEST_P(Lifecycle, InPlaceProcessingSoundsLikeSeparateBuffersInEveryModeAndPrecision) {
  const Generation& g = GetParam();
  const Stereo noise = {rig::noise(3000, 91, 0.9), rig::noise(3000, 92, 0.9)};
  for (const rig::Mode& mode : g.row().modes) {
    for (float fat : {0.0f, 1.0f}) {
      for (bool doublePrecision : {false, true}) {
        auto run = [&](bool inPlace) {
          Rig r(*g.product);
          AEffect* e = r.fx().getAeffect();
          r.set(mode.settings);
          r.setMeanings({{Meaning::kFat, fat}, {Meaning::kDrive, 0.8f}});
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

INSTANTIATE_TEST_SUITE_P(BothGenerations, Lifecycle, ::testing::ValuesIn(kGenerations),
                         [](const ::testing::TestParamInfo<Generation>& info) { return info.param.name; });

}  // namespace
