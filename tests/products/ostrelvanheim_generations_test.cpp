// Both Ostrelvanheim generations run the same kernels: with the same input
// and the same settings (FAT off), the first generation's output is the
// second's, sample for sample and to the last bit, once the two latencies are
// aligned. The one exception is the unprocessed channel of the one-channel L
// and R routings, which the second generation multiplies by the output gain
// and the first does not.
//
// Alignment: the second generation's kernels see the input 64 samples late
// (the stand-in delay for the upsampler), after 64 samples of silence; the
// first generation gets those 64 samples of silence in front of the same
// input, so that both kernels run the same sample sequence from the first
// sample on. Their outputs then differ only by the lengths of their latency
// rings and the second generation's stand-in delay after the kernel.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "products/ostrelvanheim/product.h"
#include "tests/products/ostrelvanheim2_rig.h"

namespace {

using rig::Rig;
using rig::Setting;
using rig::Signal;
using rig::Stereo;

constexpr std::size_t kStandIn = 64;

struct GenerationCase {
  const char* name;
  std::vector<Setting> both;  // by meaning
  // Values that mean the same band levels and releases under each scaling.
  std::vector<Setting> second = {}, first = {};
};

void PrintTo(const GenerationCase& c, std::ostream* os) { *os << c.name; }

const GenerationCase kCases[] = {
    {"default program", {}},
    {"heavy drive", {{Meaning::kDrive, 0.8f}}},
    {"blended knee", {{Meaning::kKnee, 0.1f}, {Meaning::kDrive, 0.7f}}},
    {"rational knee", {{Meaning::kKnee, 0.6f}}},
    {"fast and slow", {{Meaning::kSpeed, 0.0f}, {Meaning::kRelease, 0.9f}}},
    {"auto release", {{Meaning::kAuto, 1}, {Meaning::kDrive, 0.7f}}},
    {"auto long release", {{Meaning::kAuto, 1}, {Meaning::kLong, 1}, {Meaning::kSpeed, 0.5f}}},
    {"no brickwall", {{Meaning::kBrickwall, 0}, {Meaning::kDrive, 0.8f}}},
    {"mix ceiling output", {{Meaning::kMix, 0.4f}, {Meaning::kCeiling, 0.35f}, {Meaning::kOutput, 0.65f}}},
    {"crossovers and adjustments",
     {{Meaning::kHighFreq, 0.3f},
      {Meaning::kLowFreq, 0.8f},
      {Meaning::kHighAdjust, 0.65f},
      {Meaning::kLowAdjust, 0.35f}}},
    {"fine tune 0", {{Meaning::kFineTune, 0.0f}, {Meaning::kDrive, 0.9f}, {Meaning::kCeiling, 0.2f}}},
    // 0.25 x 16^v at 0.25 and 0.75 is 0.5 x 4^v at 0 and 1; 256^v / 16 at
    // 0.25 and 0.75 is 0.25 x 16^v at 0 and 1.
    {"band saturation and release at the ends of the first generation's range",
     {{Meaning::kAuto, 1}, {Meaning::kDrive, 0.7f}},
     {{Meaning::kLowSat, 0.25f},
      {Meaning::kMidSat, 0.75f},
      {Meaning::kHighSat, 0.75f},
      {Meaning::kLowRel, 0.75f},
      {Meaning::kMidRel, 0.25f},
      {Meaning::kHighRel, 0.75f}},
     {{Meaning::kLowSat, 0.0f},
      {Meaning::kMidSat, 1.0f},
      {Meaning::kHighSat, 1.0f},
      {Meaning::kLowRel, 1.0f},
      {Meaning::kMidRel, 0.0f},
      {Meaning::kHighRel, 1.0f}}},
};

// Quiet noise, a loud section that drives every detector and the brickwall,
// then silence; left and right differ.
Stereo input(std::size_t frames) {
  Stereo in{rig::noise(frames, 61, 0.3), rig::noise(frames, 62, 0.25)};
  const Signal loudL = rig::noise(frames, 63, 1.6), loudR = rig::noise(frames, 64, 1.2);
  for (std::size_t i = frames / 4; i < frames; ++i) {
    const bool loud = i < 3 * frames / 4;
    in.left[i] = loud ? loudL[i] : 0.0;
    in.right[i] = loud ? loudR[i] : 0.0;
  }
  return in;
}

Stereo withSilenceInFront(const Stereo& in, std::size_t frames) {
  Stereo out{Signal(frames, 0.0), Signal(frames, 0.0)};
  out.left.insert(out.left.end(), in.left.begin(), in.left.end());
  out.right.insert(out.right.end(), in.right.begin(), in.right.end());
  return out;
}

class Generations : public ::testing::TestWithParam<GenerationCase> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(Generations, KernelsGiveTheSameOutputOnceTheLatenciesAreAligned) {
  const GenerationCase& c = GetParam();
  const std::vector<rig::Mode> secondModes = rig::allModes();
  const std::vector<rig::Mode> firstModes = rig::firstGenerationModes();
  for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
    const Stereo in = input(static_cast<std::size_t>(rate / 10.0f));
    for (std::size_t m = 0; m < secondModes.size(); ++m) {
      Rig second(rate), first(ostrelvanheim::kProduct, rate);
      second.set(secondModes[m].settings);
      first.set(firstModes[m].settings);
      for (Rig* r : {&second, &first}) r->setMeanings(c.both);
      second.setMeanings(c.second);
      first.setMeanings(c.first);

      const Stereo out2 = second.processDouble(in);
      const Stereo out1 = first.processDouble(withSilenceInFront(in, kStandIn));
      const std::size_t shift = static_cast<std::size_t>(second.delay() - first.delay()) - kStandIn;
      // The difference of the latency rings and the stand-in delay after the kernel.
      ASSERT_EQ(shift,
                static_cast<std::size_t>(second.fx().getLatencyRingSize() - first.fx().getLatencyRingSize()) +
                    kStandIn);

      // In the one-channel L and R routings the unprocessed channel lacks the output gain.
      const std::string name = secondModes[m].name;
      const bool oneChannel = !secondModes[m].bothChannelsProcessed;
      const int unprocessed = name.back() == 'L' ? 1 : 0;
      const double outputGain = second.engine().outputGain;
      int mismatches = 0;
      for (std::size_t n = shift; n < out2.left.size() && mismatches < 5; ++n) {
        for (int ch = 0; ch < 2; ++ch) {
          const double a = (ch == 0 ? out2.left : out2.right)[n];
          double b = (ch == 0 ? out1.left : out1.right)[n - shift];
          if (oneChannel && ch == unprocessed) b *= outputGain;
          if (a != b) {
            ADD_FAILURE() << c.name << ", " << name << " at " << rate << ": frame " << n << " channel " << ch
                          << ": second generation " << a << ", first " << b;
            ++mismatches;
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SettingsTable, Generations, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GenerationCase>& info) {
                           std::string s;
                           for (const char* p = info.param.name; *p; ++p)
                             s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return s;
                         });

}  // namespace
