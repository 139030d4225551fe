#include "tests/products/ostrelvanheim2_rig.h"

#include <algorithm>

#include "products/ostrelvanheim2/kernel_modes.h"
#include "tools/vsthost/signals.h"

namespace rig {

HostState gHost;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterPinConnected: return gHost.pinConnected;
    default: return 0;
  }
}

Rig::Rig(float sampleRate) : fx_(std::make_unique<Ostrelvanheim>(hostCallback)) {
  if (sampleRate != 44100.0f) setSampleRate(sampleRate);
}

Rig::~Rig() = default;

void Rig::set(std::initializer_list<Setting> settings) {
  for (const Setting& s : settings) fx_->setParameter(s.index, s.value);
}

void Rig::set(const std::vector<Setting>& settings) {
  for (const Setting& s : settings) fx_->setParameter(s.index, s.value);
}

void Rig::setSampleRate(float rate) {
  AEffect* e = fx_->getAeffect();
  e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rate);
}

template <typename Sample>
static Stereo run(Ostrelvanheim& fx, const Stereo& in, int block) {
  const std::size_t frames = in.left.size();
  std::vector<Sample> l(in.left.begin(), in.left.end()), r(in.right.begin(), in.right.end());
  std::vector<Sample> ol(frames), orr(frames);
  AEffect* e = fx.getAeffect();
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

Stereo Rig::process(const Stereo& in, int block) { return run<float>(*fx_, in, block); }
Stereo Rig::processDouble(const Stereo& in, int block) { return run<double>(*fx_, in, block); }

const std::vector<Mode>& allModes() {
  static const std::vector<Mode> modes = [] {
    std::vector<Mode> m;
    for (const ostrelvanheim2::KernelMode& k : ostrelvanheim2::kKernelModes) {
      std::vector<Setting> settings;
      for (const auto& s : k.parameters()) settings.push_back({s.index, s.value});
      m.push_back({k.name, std::move(settings), k.bothChannelsProcessed});
    }
    return m;
  }();
  return modes;
}

Signal impulse(std::size_t frames, std::size_t at, double amplitude) {
  return vsthost::impulse(frames, at, amplitude);
}

Signal noise(std::size_t frames, std::uint64_t seed, double amplitude) {
  return vsthost::whiteNoise(frames, seed, amplitude);
}

}  // namespace rig
