#include "tests/products/effect_rig.h"

#include <algorithm>
#include <cmath>

#include "tools/vsthost/signals.h"

namespace rig {

HostState gHost;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterPinConnected: ++gHost.pinQueries; return gHost.pinConnected;
    default: return 0;
  }
}

namespace {

template <typename Sample>
Stereo run(AEffect* e, const Stereo& in, int block) {
  const std::size_t frames = in.left.size();
  std::vector<Sample> l(in.left.begin(), in.left.end()), r(in.right.begin(), in.right.end());
  std::vector<Sample> ol(frames), orr(frames);
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(block)) {
    const auto n =
        static_cast<VstInt32>(std::min<std::size_t>(static_cast<std::size_t>(block), frames - start));
    Sample* ins[2] = {l.data() + start, r.data() + start};
    Sample* outs[2] = {ol.data() + start, orr.data() + start};
    if constexpr (sizeof(Sample) == sizeof(double))
      e->processDoubleReplacing(e, ins, outs, n);
    else
      e->processReplacing(e, ins, outs, n);
  }
  return {Signal(ol.begin(), ol.end()), Signal(orr.begin(), orr.end())};
}

}  // namespace

Stereo runSignal(AEffect* effect, const Stereo& in, int block, bool doublePrecision) {
  return doublePrecision ? run<double>(effect, in, block) : run<float>(effect, in, block);
}

std::vector<Mode> modesOf(std::span<const KernelMode> kernels) {
  std::vector<Mode> modes;
  for (const KernelMode& k : kernels) {
    std::vector<Setting> settings;
    for (const ParameterSetting& s : k.parameters()) settings.push_back({s.index, s.value});
    modes.push_back({k.name, std::move(settings), k.bothChannelsProcessed});
  }
  return modes;
}

// The 15 Hz high-pass of the kernels, run independently of the engine.
Signal highPassed15Hz(const Signal& x, double rate) {
  const double w = 94.24777960769379 / rate;
  const double alpha = std::sin(w) / 1.4142;
  const double h = 1.0 / (1.0 + alpha);
  const double c = std::cos(w);
  const double b0 = (1.0 + c) * 0.5 * h, b1 = -(1.0 + c) * h, b2 = b0;
  const double a1 = -2.0 * c * h, a2 = (1.0 - alpha) * h;
  Signal y(x.size());
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    y[i] = b0 * x[i] + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x[i];
    y2 = y1;
    y1 = y[i];
  }
  return y;
}

Signal impulse(std::size_t frames, std::size_t at, double amplitude) {
  return vsthost::impulse(frames, at, amplitude);
}

std::size_t peakIndex(const Signal& s) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < s.size(); ++i)
    if (std::fabs(s[i]) > std::fabs(s[best])) best = i;
  return best;
}

Signal noise(std::size_t frames, std::uint64_t seed, double amplitude) {
  return vsthost::whiteNoise(frames, seed, amplitude);
}

}  // namespace rig
