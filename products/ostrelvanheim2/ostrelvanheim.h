// The effect class of both Ostrelvanheim plug-ins: identity towards the
// host, the parameter model, construction, suspend and resume, and the host
// buffers handed to the processing engine. What one product does differently
// comes from its description (products/ostrelvanheim2/product.h).
//
// Thread contract: processReplacing and processDoubleReplacing run on the
// host's audio thread; setParameter may arrive from any thread, also while
// audio runs (the engine defers what would disturb a running chunk); suspend,
// resume and setSampleRate run on the host's user-interface or main thread,
// and some hosts send them while audio runs as well (the engine then leaves
// their resets to the audio thread's next chunk); every other operation runs
// on the host's user-interface or main thread.
#pragma once

#include "dsp/compressor_engine.h"
#include "presets/preset_effect.h"
#include "products/common/product_identity.h"
#include "products/ostrelvanheim2/ostrelvanheim_editor.h"
#include "products/ostrelvanheim2/product.h"

class Ostrelvanheim : public CPresetSystemEffect, public EditorEffect {
 public:
  Ostrelvanheim(audioMasterCallback audioMaster, const OstrelvanheimProduct& product);
  ~Ostrelvanheim() override;

  void suspend() override;
  void resume() override;
  void setSampleRate(float rate) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
  bool getInputProperties(VstInt32 index, VstPinProperties* p) override;
  bool getOutputProperties(VstInt32 index, VstPinProperties* p) override;
  bool setProcessPrecision(VstInt32 /*precision*/) override { return true; }
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override { return kVendorVersion; }
  VstPlugCategory getPlugCategory() override { return kPlugCategMastering; }

  // A parameter in display units, for the editor's readouts and typed entry.
  float getParameterPlainValue(VstInt32 index) override;
  // The channel mode already tells the routing that runs.
  float getControlValue(VstInt32 index) override { return getParameter(index); }
  virtual float inverseSaturationCurve(float level) { return engine_.inverseSaturationCurve(level); }
  virtual float smallSignalGain() { return engine_.smallSignalGain(); }
  virtual bool reservedHook() { return false; }
  float getDelayMs() override;
  float getDelaySamples() override;
  virtual float getLookaheadRingSize();
  virtual float getLatencyRingSize();
  bool refreshHook() override { return true; }

  // The editor's side of the meter hand-off (any thread).
  float editorMeterLevel(int channel) override;
  float takeEditorOverFlag(int channel) override;
  void setEditorIsOpen(bool open) override;
  int getMeterScaleMode() override { return meterScaleMode; }
  float getMetersValue() override { return metersValue; }
  // The product's editor, when the product has one.
  OstrelvanheimEditor* productEditor() const { return productEditor_; }

  CompressorEngine& engine() { return engine_; }
  const OstrelvanheimProduct& product() const { return product_; }
  VstInt32 channelModeIndex() const { return indexOf(Meaning::kChannelMode); }
  bool isSuspended() const { return suspendDone; }

 private:
  // Stored values: the normalised 0..1 values as last set (Mono Stereo,
  // L R and MeterType live in the engine, which reads them raw).
  float knee = 0, speed = 0, drive = 0, highFreq = 0, highAdjust = 0, lowFreq = 0, lowAdjust = 0;
  float output = 0, mixValue = 0, ceiling = 0, release = 0, process = 0, fat = 0, longValue = 0;
  float autoValue = 0, brickwall = 0, link = 0, mode = 0, metersValue = 0, overIndicValue = 0;
  double vuIntegr = 0, vuRefer = 0, ppmIntegr = 0, ppmReturn = 0;
  float meterDelay = 0, fineTune = 0, meterScale = 0;
  float satValues[3] = {0, 0, 0}, releaseValues[3] = {0, 0, 0};
  double channelModeValue = 0;
  double knobModeValue = 0, knobModeCopy = 0;

  // Derived quantities the engine does not need.
  double fineTuneFactor = 1;
  double vuIntegrationMs = 300, vuReference = 0.1;
  int meterScaleMode = 0;
  bool suspendDone = false;

  const OstrelvanheimProduct& product_;
  CompressorEngine engine_;
  // Owned through the base's editor pointer, which deletes it.
  OstrelvanheimEditor* productEditor_ = nullptr;

  template <typename Sample>
  void processHost(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
  VstInt32 indexOf(VstInt32 meaning) const { return product_.parameters.indexOf(meaning); }
  void applyParameter(VstInt32 meaning, float v);
  void applyCeilingAndKnee();
  // The meter and knob preferences by product index (from the product's base on).
  float loadPreference(VstInt32 index);
  void savePreference(VstInt32 index, float value);
  // The host's rate within 22050..192000 (a non-finite rate counts as 44100).
  void clampSampleRate();
};
