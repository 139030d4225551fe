// Cost of the plug-ins' processing as a host sees it: 64-bit host blocks of
// 512 frames through the effect record's processDoubleReplacing, for every
// kernel and routing of JYX Ostrelvanheim2 (FAT off and on), of JYX
// Ostrelvanheim and of JYX Tindravelle, at 44.1, 96 and 192 kHz, on pink noise and on a loud 50 Hz
// sine. Reports the time per stereo host frame and how many times real time
// that is, then the targets and whether they hold; one target compares the two
// products' default programs measured side by side in the same run.
//
// Run it on one core, e.g.: taskset -c 2 build/linux/tools/bench/engine_bench
// The effects' meter preferences go to a temporary settings folder, so the
// user's settings are neither read nor written.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "products/ostrelvanheim/kernel_modes.h"
#include "products/ostrelvanheim/product.h"
#include "products/ostrelvanheim2/kernel_modes.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "products/tindravelle/kernel_modes.h"
#include "products/tindravelle/tindravelle.h"
#include "tools/bench/bench_support.h"
#include "tools/vsthost/signals.h"

namespace {

constexpr int kBlockFrames = 512;
constexpr double kPinkPeak = 1.0;       // pink noise peaking at full scale
constexpr double kSineAmplitude = 1.5;  // loud enough for every kernel to compress

struct Mode {
  std::string name;
  std::vector<ParameterSetting> settings;
};

// One plug-in under measurement: how to make it, its modes, and whether it
// has the FAT switch (index 26).
struct Product {
  std::string name;
  std::unique_ptr<AudioEffect> (*create)(audioMasterCallback);
  std::vector<Mode> modes;
  bool hasFat;
};

std::vector<Mode> modesOf(std::span<const KernelMode> kernels, const std::string& prefix) {
  std::vector<Mode> all;
  for (const KernelMode& k : kernels) {
    Mode mode{prefix + k.name, {k.parameters().begin(), k.parameters().end()}};
    for (char& c : mode.name)
      if (c == ' ') c = '_';
    all.push_back(std::move(mode));
  }
  return all;
}

// Every kernel and routing, named for benchmark filters. Both Ostrelvanheim
// generations also run their heaviest setting: unlinked multiband with the brickwall (on
// in the default program) and Auto release on.
const std::vector<Product>& products() {
  static const std::vector<Product> p = [] {
    std::vector<Mode> second = modesOf(ostrelvanheim2::kKernelModes, "");
    second.push_back({"stereo_unlinked_multiband_Auto", {{0, 1}, {1, 1}, {2, 1}, {3, 0}, {28, 1}}});
    std::vector<Mode> first = modesOf(ostrelvanheim::kKernelModes, "first_generation_");
    first.push_back(
        {"first_generation_stereo_unlinked_multiband_Auto", {{0, 1}, {1, 1}, {2, 1}, {3, 0}, {33, 1}}});
    return std::vector<Product>{
        {"JYX Ostrelvanheim2",
         [](audioMasterCallback m) -> std::unique_ptr<AudioEffect> {
           return std::make_unique<Ostrelvanheim>(m, ostrelvanheim2::kProduct);
         },
         second, true},
        {"JYX Ostrelvanheim",
         [](audioMasterCallback m) -> std::unique_ptr<AudioEffect> {
           return std::make_unique<Ostrelvanheim>(m, ostrelvanheim::kProduct);
         },
         first, false},
        {"JYX Tindravelle",
         [](audioMasterCallback m) -> std::unique_ptr<AudioEffect> {
           return std::make_unique<Tindravelle>(m);
         },
         modesOf(tindravelle::kKernelModes, "track_"), false},
    };
  }();
  return p;
}

struct Input {
  std::vector<double> left, right;
};

// One second of input, so that the blocks do not repeat within a second.
Input makeInput(bool pink, double rate) {
  const auto frames = static_cast<std::size_t>(rate);
  if (pink) return {vsthost::pinkNoise(frames, 1, kPinkPeak), vsthost::pinkNoise(frames, 2, kPinkPeak)};
  std::vector<double> s = vsthost::sine(frames, 50.0, rate, kSineAmplitude);
  return {s, s};
}

void runEffect(benchmark::State& state, const Product& product, const Mode& mode, bool fat, float rate,
               bool pink) {
  std::unique_ptr<AudioEffect> fx = product.create(bench::hostCallback);
  AEffect* e = fx->getAeffect();
  e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rate);
  e->dispatcher(e, effSetBlockSize, 0, kBlockFrames, nullptr, 0.0f);
  for (const ParameterSetting& s : mode.settings) e->setParameter(e, s.index, s.value);
  if (product.hasFat) e->setParameter(e, 26, fat ? 1.0f : 0.0f);
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);

  Input in = makeInput(pink, rate);
  const std::size_t blocks = in.left.size() / kBlockFrames;
  std::vector<double> outL(kBlockFrames), outR(kBlockFrames);
  std::size_t b = 0;
  for (auto _ : state) {
    double* ins[2] = {in.left.data() + b * kBlockFrames, in.right.data() + b * kBlockFrames};
    double* outs[2] = {outL.data(), outR.data()};
    e->processDoubleReplacing(e, ins, outs, kBlockFrames);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
    b = b + 1 == blocks ? 0 : b + 1;
  }
  e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);

  // Seconds per frame; the console shows it with its prefix (e.g. 55.1ns).
  state.counters["per_frame"] = benchmark::Counter(
      kBlockFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::string benchmarkName(const Mode& mode, bool fat, float rate, bool pink) {
  return mode.name + "/" + (fat ? "FAT" : "noFAT") + "/" + std::to_string(static_cast<int>(rate)) + "/" +
         (pink ? "pink" : "sine50");
}

// Keeps each benchmark's time per frame for the tables after the runs: the
// median of its repetitions (--benchmark_repetitions), so that a moment of
// other work on a shared machine moves it least.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration) continue;
      auto it = r.counters.find("per_frame");
      if (it == r.counters.end()) continue;
      nsPerFrame_[r.run_name.function_name].push_back(it->second.value * 1e9);
    }
  }
  std::optional<double> find(const std::string& name) const {
    auto it = nsPerFrame_.find(name);
    if (it == nsPerFrame_.end() || it->second.empty()) return std::nullopt;
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    const std::size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2.0;
  }

 private:
  std::map<std::string, std::vector<double>> nsPerFrame_;
};

void printTable(const Reporter& reporter) {
  const float rates[] = {44100.0f, 96000.0f, 192000.0f};
  std::printf("\nns per stereo host frame (times real time):\n%-38s", "");
  for (float rate : rates)
    for (const char* signal : {"pink", "sine50"}) std::printf("  %6.1f kHz %-6s ", rate / 1000.0f, signal);
  std::printf("\n");
  for (const Product& product : products()) {
    std::printf("%s\n", product.name.c_str());
    for (const Mode& mode : product.modes) {
      for (bool fat : {false, true}) {
        if (fat && !product.hasFat) continue;
        std::printf("%-32s %-5s", mode.name.c_str(), fat ? "FAT" : "");
        for (float rate : rates) {
          for (bool pink : {true, false}) {
            const std::optional<double> ns = reporter.find(benchmarkName(mode, fat, rate, pink));
            if (ns)
              std::printf("  %7.1f (%6.0fx)", *ns, 1e9 / rate / *ns);
            else
              std::printf("  %17s", "-");
          }
        }
        std::printf("\n");
      }
    }
  }
}

struct Target {
  const char* what;
  std::string benchmark;
  double limitNs;
};

// A product's cost as a share of another's, both measured in this run.
struct RelativeTarget {
  const char* what;
  std::string benchmark, reference;
  double limitRatio;
};

void printTargets(const Reporter& reporter) {
  const std::vector<Target> targets = {
      {"default program (single band linked), 44.1 kHz", "stereo_linked_single_band/noFAT/44100/pink", 25.0},
      {"multiband linked, 44.1 kHz, FAT off", "stereo_linked_multiband/noFAT/44100/pink", 55.0},
      {"multiband linked, 44.1 kHz, FAT on", "stereo_linked_multiband/FAT/44100/pink", 160.0},
  };
  std::printf(
      "\nTargets on one core, pink noise, ns per stereo host frame (the median of the repetitions; the "
      "speed-ups against an earlier build are tools/bench/compare_builds.py's):\n");
  for (const Target& t : targets) {
    const std::optional<double> ns = reporter.find(t.benchmark);
    if (ns)
      std::printf("  %-56s at most %6.0f, measured %8.1f: %s\n", t.what, t.limitNs, *ns,
                  *ns <= t.limitNs ? "met" : "MISSED");
    else
      std::printf("  %-56s at most %6.0f, not run\n", t.what, t.limitNs);
  }
  const std::vector<RelativeTarget> relative = {
      {"JYX Tindravelle default program, as a share of JYX Ostrelvanheim2's, 44.1 kHz",
       "track_stereo_linked/noFAT/44100/pink", "stereo_linked_single_band/noFAT/44100/pink", 0.7},
  };
  std::printf("\nTargets side by side in this run, pink noise:\n");
  for (const RelativeTarget& t : relative) {
    const std::optional<double> ns = reporter.find(t.benchmark);
    const std::optional<double> reference = reporter.find(t.reference);
    if (ns && reference)
      std::printf("  %-78s at most %.2fx, measured %.2fx (%.1f / %.1f ns): %s\n", t.what, t.limitRatio,
                  *ns / *reference, *ns, *reference, *ns <= t.limitRatio * *reference ? "met" : "MISSED");
    else
      std::printf("  %-78s at most %.2fx, not run\n", t.what, t.limitRatio);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bench::SettingsFolder settings("jyx-engine-bench");
  if (!settings.ok()) {
    std::fprintf(stderr, "engine_bench: cannot create a temporary settings folder\n");
    return 1;
  }
  for (const Product& product : products())
    for (const Mode& mode : product.modes)
      for (bool fat : {false, true})
        for (float rate : {44100.0f, 96000.0f, 192000.0f})
          for (bool pink : {true, false}) {
            if (fat && !product.hasFat) continue;
            benchmark::RegisterBenchmark(benchmarkName(mode, fat, rate, pink).c_str(),
                                         [&product, &mode, fat, rate, pink](benchmark::State& s) {
                                           runEffect(s, product, mode, fat, rate, pink);
                                         })
                ->Unit(benchmark::kMicrosecond);
          }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf(
      "JYX Ostrelvanheim2, JYX Ostrelvanheim and JYX Tindravelle: 64-bit host blocks of %d frames, pink "
      "noise peaking at %.1f, "
      "50 Hz sine of amplitude %.1f; FAT is off above 100 kHz whatever the switch says.\n"
      "per_frame is the time per stereo host frame.\n",
      kBlockFrames, kPinkPeak, kSineAmplitude);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printTable(reporter);
  printTargets(reporter);
  benchmark::Shutdown();
  return 0;
}
