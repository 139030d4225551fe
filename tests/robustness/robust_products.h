// The products the robustness harness drives, one row each: how to make an
// effect on the rig's host, the settings that select each processing path,
// the delay by rate, the parameter indices a storm sends, and the few looks
// inside the engine the checks take (the editor-open flag, the ring
// positions). Everything else goes through the effect record.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "presets/preset_effect.h"
#include "tests/products/effect_rig.h"

namespace robust {

// A processing path a case may run: its settings, set again after every rate
// change (a rate above 100 kHz turns FAT off where there is one).
struct Path {
  std::string name;
  std::vector<rig::Setting> settings;
};

struct Product {
  std::string name;
  std::unique_ptr<CPresetSystemEffect> (*create)();
  std::vector<rig::Mode> modes;
  // The paths every mode runs in (FAT off and on, or the one path there is).
  std::vector<Path> paths;
  // The settings of the rate-change cases: each runs one of these.
  std::vector<Path> rateCases;
  // What a host sends between blocks on its audio thread: switches that
  // request ring clears and resets, filters, routing and the meters.
  std::vector<rig::Setting> automation;
  // Settings that make every path do the most work.
  std::vector<rig::Setting> busiest;
  int (*delayAt)(float rate);
  // Whether a rate change waits for the next suspend and resume to take effect.
  bool rateNeedsResume;
  std::vector<VstInt32> stormIndices;
  void (*setEditorOpen)(CPresetSystemEffect& fx, int open);
  ::testing::AssertionResult (*positionsInsideTheirRings)(CPresetSystemEffect& fx);
};

const std::vector<Product>& products();

// A new effect of the product at that rate, suspended and resumed at it as a host does.
std::unique_ptr<CPresetSystemEffect> make(const Product& p, float rate = 44100.0f);
void set(CPresetSystemEffect& fx, const std::vector<rig::Setting>& settings);

}  // namespace robust
