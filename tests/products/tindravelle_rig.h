// A JYX Tindravelle effect on the rig's in-process host.
#pragma once

#include <vector>

#include "products/tindravelle/tindravelle.h"
#include "tests/products/effect_rig.h"

namespace trackrig {

using rig::Setting;
using rig::Signal;
using rig::Stereo;

class Rig : public rig::EffectRig<Tindravelle> {
 public:
  // At another rate the rig suspends and resumes, as a host does: the effect
  // takes a new rate at its next suspend and resume.
  explicit Rig(float sampleRate = 44100.0f);
  TrackEngine& engine() { return fx().engine(); }
  // setSpeakerArrangement through the dispatcher with these channel counts.
  bool arrange(int inputs, int outputs);
};

// Every kernel of JYX Tindravelle with both inputs in use.
const std::vector<rig::Mode>& allModes();

// The speaker arrangements the effect accepts, as the host sets them.
struct Arrangement {
  const char* name;
  int inputs, outputs;
};
inline constexpr Arrangement kArrangements[] = {
    {"stereo in, stereo out", 2, 2}, {"mono in, stereo out", 1, 2}, {"mono in, mono out", 1, 1}};

}  // namespace trackrig
