// The effect class of JYX Tindravelle, the track processor: the parameter
// model, construction, suspend and resume and the speaker arrangements, on
// what the family's effects share (products/common/product_effect.h:
// identity, pins, host buffers, meter preferences and hand-off).
//
// Thread contract: as the shared base's; setSpeakerArrangement may arrive at
// any time and takes effect at the next host block. A sample-rate change only
// stores the rate: it takes effect at the next suspend and resume.
#pragma once

#include <atomic>

#include "dsp/track_engine.h"
#include "products/common/product_effect.h"

// A gain as decibels at 6 dB per doubling (so 4x shows 12.00), with that many
// decimals; "-oo" for a gain of 0 or below.
void dBDisplayString(double value, int decimals, char* text);

class Tindravelle : public ProductEffect<Tindravelle, TrackEngine> {
 public:
  explicit Tindravelle(audioMasterCallback audioMaster);

  void suspend() override;
  void resume() override;
  float getParameter(VstInt32 index) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
  bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
  float getParameterPlainValue(VstInt32 index) override;
  // N: 63 below 50000 Hz, 127 below 100000 Hz, else 255.
  float getDelaySamples() override;
  // In the slots after the shared ones.
  bool refreshHook() override { return true; }
  // The Stereo-Mono button shows the kernels that run.
  float getControlValue(VstInt32 index) override;
  int getMeterScaleMode() override;

  bool inputIsStereo() const { return inputStereo.load(); }
  bool outputIsStereo() const { return outputStereo.load(); }

 private:
  friend ProductEffect;

  // Stored values: the normalised 0..1 values as last set (Stereo-Mono and
  // MeterScale live in the engine, which reads them raw; the meter
  // preferences and Meters in the shared base).
  float knee = 0, speed = 0, drive = 0, highAdjust = 0, lowAdjust = 0, output = 0, releaseValue = 0;
  float processValue = 0, linkValue = 0, unnamedSwitch = 0;
  float meterDelay = 0, meterClick = 0;

  // The speaker arrangement: whether the second input and output are in use.
  std::atomic<bool> inputStereo{true}, outputStereo{true};

  // For the shared base: the parameter model's own step for an index (the
  // value the programs and the editor receive), the names and labels, the
  // pins and the block loop.
  float applyParameter(VstInt32 index, float v);
  ParameterText parameterText(VstInt32 index) const;
  PinsInUse pinsInUse() const { return {inputStereo.load(), outputStereo.load()}; }
  template <typename Sample>
  void processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                    bool stereoInput) {
    engine_.process(inL, inR, outL, outR, frames, stereoInput);
  }
};
