// A product's effect on a small in-process host, with helpers to set
// parameters and push signals through the 32-bit or 64-bit entry. Each
// product's rig builds on it.
#pragma once

#include <atomic>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "host/audioeffect.h"
#include "products/common/kernel_mode.h"
#include "tests/support/settings_sandbox.h"

namespace rig {

using Signal = std::vector<double>;

struct Stereo {
  Signal left, right;
};

// Host answers the rig's effects get.
struct HostState {
  VstIntPtr pinConnected = 0;
  std::atomic<int> pinQueries{0};  // how often an effect asked
};
extern HostState gHost;

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

struct Setting {
  VstInt32 index;
  float value;
};

// Resumes the effect, then runs the signal through it in blocks.
Stereo runSignal(AEffect* effect, const Stereo& in, int block, bool doublePrecision);

template <typename Effect>
class EffectRig {
 public:
  // The effect's constructor takes the host callback and then these arguments.
  template <typename... Args>
  explicit EffectRig(const Args&... args) : fx_(std::make_unique<Effect>(hostCallback, args...)) {}

  Effect& fx() { return *fx_; }
  AEffect* effect() { return fx_->getAeffect(); }
  void set(std::initializer_list<Setting> settings) {
    for (const Setting& s : settings) fx_->setParameter(s.index, s.value);
  }
  void set(const std::vector<Setting>& settings) {
    for (const Setting& s : settings) fx_->setParameter(s.index, s.value);
  }
  void setSampleRate(float rate) { effect()->dispatcher(effect(), effSetSampleRate, 0, 0, nullptr, rate); }
  int delay() { return effect()->initialDelay; }

  Stereo process(const Stereo& in, int block = 512) { return runSignal(effect(), in, block, false); }
  Stereo processDouble(const Stereo& in, int block = 512) { return runSignal(effect(), in, block, true); }

 private:
  std::unique_ptr<Effect> fx_;
};

// A named processing mode: the settings that select one kernel and routing.
struct Mode {
  const char* name;
  std::vector<Setting> settings;
  bool bothChannelsProcessed;  // false where one channel passes unprocessed
};
std::vector<Mode> modesOf(std::span<const KernelMode> kernels);

// The 15 Hz input high-pass of the kernels, computed here on its own, as the
// processing tests expect it.
Signal highPassed15Hz(const Signal& x, double rate);

Signal impulse(std::size_t frames, std::size_t at, double amplitude = 1.0);
// Where the signal's largest magnitude is (its first frame of that magnitude).
std::size_t peakIndex(const Signal& s);
Signal noise(std::size_t frames, std::uint64_t seed, double amplitude);

}  // namespace rig
