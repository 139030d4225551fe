// What the golden-output tests of every product share: the fixed input, the
// case table, running a case through the effect as a host drives it, the
// stored form of its output and the comparison with it. Each product's test
// holds its own table; tests/products/golden/README.md describes the files.
//
// Tolerance: natively the output must match bit for bit. The Windows build
// runs under wine, whose sin, cos and pow differ from glibc's by an ulp for
// about one argument in a thousand; a sample may then move by 3e-14
// (absolute), the block sums by the bounds that follow from it, and the meter
// hand-off not at all. The products' tests record the measurement behind it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "tests/products/effect_rig.h"

namespace golden {

using rig::Setting;

#ifdef _WIN32
inline constexpr bool kReferencePlatform = false;
inline constexpr double kSampleTolerance = 3e-14;
#else
inline constexpr bool kReferencePlatform = true;
inline constexpr double kSampleTolerance = 0.0;
#endif

// ---- the fixed input ----

std::size_t frameAt(double ms, double rate);

// Impulses, then sines, noise bursts, a loud section that drives the
// compressors over full scale, then silence: 130 ms at the rate. Left and
// right differ everywhere, so that links and routings matter.
rig::Stereo goldenInput(double rate);

// ---- the case table ----

struct Change {
  double atMs;  // applied before the first host block that starts at or after this time
  Setting setting;
};

struct GoldenCase {
  std::string name;
  std::string mode;  // a name from the product's modes
  float rate = 44100.0f;
  std::vector<Setting> settings = {};
  bool editorOpen = false;
  int block = 512;
  bool singlePrecision = false;
  int program = -1;  // a factory program instead of the mode's settings
  std::vector<Change> changes = {};
  int inputs = 2, outputs = 2;  // the speaker arrangement, where a product takes one
};

// gtest shows a failing case by its name.
void PrintTo(const GoldenCase& c, std::ostream* os);
std::string testName(const ::testing::TestParamInfo<GoldenCase>& info);
std::string fileStem(const std::string& name);

// Builds a table a line per case.
class Table {
 public:
  GoldenCase& add(std::string name, const char* mode, std::vector<Setting> settings = {},
                  float rate = 44100.0f) {
    cases_.push_back({.name = std::move(name), .mode = mode, .rate = rate, .settings = std::move(settings)});
    return cases_.back();
  }
  GoldenCase& meters(std::string name, const char* mode, std::vector<Setting> settings,
                     float rate = 44100.0f) {
    GoldenCase& c = add(std::move(name), mode, std::move(settings), rate);
    c.editorOpen = true;
    return c;
  }
  GoldenCase& program(std::string name, int program, std::vector<Setting> settings = {}) {
    GoldenCase& c = add(std::move(name), "", std::move(settings));
    c.program = program;
    return c;
  }
  std::vector<GoldenCase> cases() && { return std::move(cases_); }

 private:
  std::vector<GoldenCase> cases_;
};

// ---- running a case ----

struct MeterSnapshot {
  float levels[2], counts[2], flags[2];
};

struct Result {
  int delay = 0;
  rig::Stereo out;
  std::vector<MeterSnapshot> meters;  // after every host block
};

// One host block through the 32-bit or 64-bit entry.
void processBlock(AEffect* e, const rig::Stereo& in, rig::Stereo& out, std::size_t start, VstInt32 n,
                  bool singlePrecision);

const rig::Mode& modeNamed(const std::vector<rig::Mode>& modes, const std::string& name);

// Runs a case on a new rig of the product, made at the case's rate (its
// engine holds the meter hand-off); sse2Only keeps its kernels to their SSE2
// form.
template <typename Rig>
Result runCaseOn(Rig& r, const GoldenCase& c, const std::vector<rig::Mode>& modes, bool sse2Only = false) {
  if (sse2Only) r.engine().wideKernels(false);
  if constexpr (requires { r.arrange(1, 1); }) {
    if (c.inputs != 2 || c.outputs != 2) r.arrange(c.inputs, c.outputs);
  }
  if (c.program >= 0)
    r.fx().selectProgram(c.program);
  else
    r.set(modeNamed(modes, c.mode).settings);
  r.set(c.settings);
  r.engine().editorIsOpen = c.editorOpen ? 1 : 0;

  const rig::Stereo in = goldenInput(c.rate);
  const std::size_t frames = in.left.size();
  Result result{r.delay(), {rig::Signal(frames), rig::Signal(frames)}, {}};
  AEffect* e = r.effect();
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::size_t nextChange = 0;
  for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(c.block)) {
    while (nextChange < c.changes.size() && frameAt(c.changes[nextChange].atMs, c.rate) <= start) {
      r.set({c.changes[nextChange].setting});
      ++nextChange;
    }
    const auto n =
        static_cast<VstInt32>(std::min<std::size_t>(static_cast<std::size_t>(c.block), frames - start));
    processBlock(e, in, result.out, start, n, c.singlePrecision);
    const auto& s = r.engine();
    result.meters.push_back({{s.meterLevels[0], s.meterLevels[1]},
                             {s.overCounts[0], s.overCounts[1]},
                             {s.overFlags[0], s.overFlags[1]}});
  }
  return result;
}

// The same on a rig whose constructor takes the rate alone.
template <typename Rig>
Result runCase(const GoldenCase& c, const std::vector<rig::Mode>& modes, bool sse2Only = false) {
  Rig r(c.rate);
  return runCaseOn(r, c, modes, sse2Only);
}

// ---- checking ----

// Compares the result with tests/products/golden/<folder>/<case>.bin, or with
// JYX_GOLDEN_REGENERATE set writes it there (natively only).
void checkAgainstStored(const GoldenCase& c, const Result& result, const std::string& folder);

// No two cases share a file.
::testing::AssertionResult distinctFiles(const std::vector<GoldenCase>& cases);

}  // namespace golden
