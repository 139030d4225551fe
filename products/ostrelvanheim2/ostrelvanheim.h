// The effect class of both Ostrelvanheim plug-ins: the parameter model,
// construction, suspend and resume, the sample-rate change and the ring
// lengths, on what the family's effects share (products/common/
// product_effect.h: identity, pins, host buffers, meter preferences and
// hand-off). What one product does differently comes from its description
// (products/ostrelvanheim2/product.h).
//
// Thread contract: as the shared base's; setSampleRate runs on the host's
// user-interface or main thread, and some hosts send it while audio runs as
// well (the engine then leaves its resets to the audio thread's next chunk).
#pragma once

#include "dsp/compressor_engine.h"
#include "products/common/product_effect.h"
#include "products/ostrelvanheim2/product.h"

class Ostrelvanheim : public ProductEffect<Ostrelvanheim, CompressorEngine> {
 public:
  Ostrelvanheim(audioMasterCallback audioMaster, const OstrelvanheimProduct& product);

  void suspend() override;
  void resume() override;
  void setSampleRate(float rate) override;
  float getParameter(VstInt32 index) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
  float getParameterPlainValue(VstInt32 index) override;
  float getDelaySamples() override;
  // In the slots after the shared ones.
  virtual float getLookaheadRingSize();
  virtual float getLatencyRingSize();
  bool refreshHook() override { return true; }
  // The channel mode already tells the routing that runs.
  float getControlValue(VstInt32 index) override { return getParameter(index); }
  int getMeterScaleMode() override { return meterScaleMode; }

  const OstrelvanheimProduct& product() const { return product_; }
  VstInt32 channelModeIndex() const { return indexOf(Meaning::kChannelMode); }

 private:
  friend ProductEffect;

  // Stored values: the normalised 0..1 values as last set (Mono Stereo,
  // L R and MeterType live in the engine, which reads them raw; the meter
  // preferences and Meters in the shared base).
  float knee = 0, speed = 0, drive = 0, highFreq = 0, highAdjust = 0, lowFreq = 0, lowAdjust = 0;
  float output = 0, mixValue = 0, ceiling = 0, release = 0, process = 0, fat = 0, longValue = 0;
  float autoValue = 0, brickwall = 0, link = 0, mode = 0;
  float meterDelay = 0, fineTune = 0, meterScale = 0;
  float satValues[3] = {0, 0, 0}, releaseValues[3] = {0, 0, 0};
  double channelModeValue = 0;
  double knobModeCopy = 0;

  // Derived quantities the engine does not need.
  double fineTuneFactor = 1;
  int meterScaleMode = 0;

  const OstrelvanheimProduct& product_;

  // For the shared base: the parameter model's own step for an index (the
  // value the programs and the editor receive), the names and labels, the
  // pins and the block loop.
  float applyParameter(VstInt32 index, float v);
  ParameterText parameterText(VstInt32 index) const;
  PinsInUse pinsInUse() const { return {}; }
  template <typename Sample>
  void processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                    bool /*stereoInput*/) {
    engine_.process(inL, inR, outL, outR, frames);
  }

  VstInt32 indexOf(VstInt32 meaning) const { return product_.parameters.indexOf(meaning); }
  void applyMeaning(VstInt32 meaning, float v);
  void applyCeilingAndKnee();
};
