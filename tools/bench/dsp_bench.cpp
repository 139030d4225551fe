// Cost per sample of the per-sample signal paths: the filter section, the
// interpolator and the decimator, on chunks of the size the block loop uses.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dsp/biquad_filter.h"
#include "dsp/halfband_oversampler.h"

namespace {

constexpr int kChunk = 64;  // host-rate frames per block-loop chunk

std::vector<double> noise(int count) {
  std::vector<double> samples(count);
  std::uint32_t seed = 1u;
  for (double& s : samples) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
  }
  return samples;
}

// Time per sample, from the samples each iteration handles; shown in ns.
void reportTimePerSample(benchmark::State& state, int samplesPerIteration) {
  state.counters["per_sample"] =
      benchmark::Counter(static_cast<double>(samplesPerIteration),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_BiquadTick(benchmark::State& state) {
  BiquadFilter filter(44100.0, BiquadFilter::kLowPass, 200.0, 0.5, 0.0);
  const std::vector<double> input = noise(kChunk);
  std::vector<double> output(kChunk);
  for (auto _ : state) {
    for (int i = 0; i < kChunk; ++i) {
      output[i] = filter.tick(input[i]);
    }
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  reportTimePerSample(state, kChunk);
}
BENCHMARK(BM_BiquadTick);

// Per host-rate input sample (two doubled-rate outputs each).
void BM_Upsample(benchmark::State& state) {
  HalfbandOversampler os(0x808);
  os.reset();
  const std::vector<double> input = noise(kChunk);
  std::vector<double> buffer(2 * kChunk);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), buffer.begin());
    os.upsample(buffer.data(), kChunk);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  reportTimePerSample(state, kChunk);
}
BENCHMARK(BM_Upsample);

// Per host-rate output sample (two doubled-rate inputs each).
void BM_Downsample(benchmark::State& state) {
  HalfbandOversampler os(0x808);
  os.reset();
  const std::vector<double> input = noise(2 * kChunk);
  std::vector<double> buffer(2 * kChunk);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), buffer.begin());
    os.downsample(buffer.data(), 2 * kChunk);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  reportTimePerSample(state, kChunk);
}
BENCHMARK(BM_Downsample);

}  // namespace

BENCHMARK_MAIN();
