// A JYX Ostrelvanheim2 effect on a small in-process host, with helpers to set
// parameters and push signals through the 32-bit or 64-bit entry.
#pragma once

#include <memory>
#include <vector>

#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/support/settings_sandbox.h"

namespace rig {

using Signal = std::vector<double>;

struct Stereo {
  Signal left, right;
};

// Host answers the rig's effects get.
struct HostState {
  VstIntPtr pinConnected = 0;
};
extern HostState gHost;

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

struct Setting {
  VstInt32 index;
  float value;
};

class Rig {
 public:
  explicit Rig(float sampleRate = 44100.0f);
  ~Rig();

  Ostrelvanheim& fx() { return *fx_; }
  CompressorEngine& engine() { return fx_->engine(); }
  void set(std::initializer_list<Setting> settings);
  void set(const std::vector<Setting>& settings);
  void setSampleRate(float rate);
  int delay() const { return fx_->getAeffect()->initialDelay; }

  Stereo process(const Stereo& in, int block = 512);
  Stereo processDouble(const Stereo& in, int block = 512);

 private:
  std::unique_ptr<Ostrelvanheim> fx_;
};

// A named processing mode: the settings that select one kernel and routing.
struct Mode {
  const char* name;
  std::vector<Setting> settings;
  bool bothChannelsProcessed;  // false for the one-channel L and R routings
};
const std::vector<Mode>& allModes();

Signal impulse(std::size_t frames, std::size_t at, double amplitude = 1.0);
Signal noise(std::size_t frames, std::uint64_t seed, double amplitude);

}  // namespace rig
