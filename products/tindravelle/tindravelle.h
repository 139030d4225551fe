// The effect class of JYX Tindravelle, the track processor: identity towards
// the host, the parameter model, construction, suspend and resume, the speaker
// arrangements and the host buffers handed to the processing engine.
//
// Thread contract: processReplacing and processDoubleReplacing run on the
// host's audio thread; setParameter may arrive from any thread, also while
// audio runs (the engine defers what would disturb a running chunk);
// setSpeakerArrangement may arrive at any time and takes effect at the next
// host block; suspend and resume run on the host's user-interface or main
// thread, and some hosts send them while audio runs as well (the engine then
// leaves their resets to the audio thread's next chunk). A sample-rate change
// only stores the rate: it takes effect at the next suspend and resume. The
// editor's meter hand-off (EditorEffect) may be called from any thread. Every
// other operation runs on the host's user-interface or main thread.
#pragma once

#include <atomic>

#include "dsp/track_engine.h"
#include "presets/preset_effect.h"
#include "products/common/product_identity.h"
#include "products/ostrelvanheim2/ostrelvanheim_editor.h"

// A gain as decibels at 6 dB per doubling (so 4x shows 12.00), with that many
// decimals; "-oo" for a gain of 0 or below.
void dBDisplayString(double value, int decimals, char* text);

class Tindravelle : public CPresetSystemEffect, public EditorEffect {
 public:
  explicit Tindravelle(audioMasterCallback audioMaster);
  ~Tindravelle() override;

  void suspend() override;
  void resume() override;
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
  bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
  bool setProcessPrecision(VstInt32 /*precision*/) override { return true; }
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override { return kVendorVersion; }
  VstPlugCategory getPlugCategory() override { return kPlugCategMastering; }

  // A parameter in display units, for the editor's readouts and typed entry.
  float getParameterPlainValue(VstInt32 index) override;
  // The Stereo-Mono button shows the kernels that run.
  float getControlValue(VstInt32 index) override;
  virtual float inverseSaturationCurve(float level) { return engine_.inverseSaturationCurve(level); }
  virtual float smallSignalGain() { return engine_.smallSignalGain(); }
  virtual bool reservedHook() { return false; }
  float getDelayMs() override;
  // N: 63 below 50000 Hz, 127 below 100000 Hz, else 255.
  float getDelaySamples() override;
  bool refreshHook() override { return true; }

  // The editor's side of the meter hand-off (any thread).
  float editorMeterLevel(int channel) override;
  float takeEditorOverFlag(int channel) override;
  void setEditorIsOpen(bool open) override;
  int getMeterScaleMode() override;
  float getMetersValue() override { return metersValue; }
  OstrelvanheimEditor* productEditor() const { return productEditor_; }

  TrackEngine& engine() { return engine_; }
  bool isSuspended() const { return suspendDone; }
  bool inputIsStereo() const { return inputStereo.load(); }
  bool outputIsStereo() const { return outputStereo.load(); }

 private:
  // Stored values: the normalised 0..1 values as last set (Stereo-Mono and
  // MeterScale live in the engine, which reads them raw).
  float knee = 0, speed = 0, drive = 0, highAdjust = 0, lowAdjust = 0, output = 0, releaseValue = 0;
  float processValue = 0, linkValue = 0, unnamedSwitch = 0, metersValue = 0, overIndicValue = 0;
  double vuIntegr = 0, vuRefer = 0, ppmIntegr = 0, ppmReturn = 0;
  float meterDelay = 0, meterClick = 0;
  double knobModeValue = 0;

  // Derived quantities the engine does not need.
  double vuIntegrationMs = 300, vuReference = 0.1;
  bool suspendDone = false;
  // The speaker arrangement: whether the second input and output are in use.
  std::atomic<bool> inputStereo{true}, outputStereo{true};

  TrackEngine engine_;
  // Owned through the base's editor pointer, which deletes it.
  OstrelvanheimEditor* productEditor_ = nullptr;

  template <typename Sample>
  void processHost(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
  void applyParameter(VstInt32 index, float v);
};
