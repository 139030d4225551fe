// What the family's effect classes share, between the preset system and each
// product: the identity towards the host from the product's names, the pins,
// the process precision, the host buffers handed to the engine, the common
// steps of every setParameter, the parameter names and labels from the
// product's texts, the meter preferences, the curve hooks, the delay in
// milliseconds, the editor's meter hand-off, and the plumbing of the
// constructor, suspend and resume around the steps that are each product's
// own.
//
// Product is the effect class that derives from this one; it gives the base
// a few operations of its own, called directly (never through a virtual
// slot): applyParameter (index, admitted value; answers the value the
// programs and the editor receive), parameterText (index), pinsInUse () and
// processBlock (the engine's block loop on the resolved buffers). Engine is
// its processing engine.
//
// The effect's own virtual operations stand in fixed slots after those of
// CPresetSystemEffect: the plain parameter value for display, the inverse
// saturation curve, the small-signal gain, a reserved hook, the delay in
// milliseconds and in samples (declared here, in this order), then the
// product's own (ring lengths where it has them, the refresh hook and the
// rest). The editor's meter hand-off stands in a base of its own beside the
// preset system, so that it takes none of those slots.
//
// Thread contract: processReplacing and processDoubleReplacing run on the
// host's audio thread; setParameter may arrive from any thread (the preset
// system hands it to the thread that holds the programs); the meter hand-off
// may be called from any thread; suspend and resume run on the host's
// user-interface or main thread, and some hosts send them while audio runs as
// well (the engine then leaves their resets to the audio thread's next
// chunk); every other operation runs on the host's user-interface or main
// thread.
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <utility>

#include "dsp/metering.h"
#include "presets/meter_preferences.h"
#include "presets/preset_effect.h"
#include "products/common/parameter_values.h"
#include "products/common/product_identity.h"
#include "products/common/sample_rate.h"
#include "products/ostrelvanheim2/ostrelvanheim_editor.h"

// The second input and output in use: both, unless the host's speaker
// arrangement says otherwise.
struct PinsInUse {
  bool secondInput = true, secondOutput = true;
};

// The editor's side of the meter hand-off (any thread), on the fields of the
// effect's engine, and the Meters switch's stored value.
template <class Effect>
class EngineMeterHandOff : public EditorEffect {
 public:
  float editorMeterLevel(int channel) override {
    return channel == 0 || channel == 1 ? meterLevelOf(effect().engine().meterLevels[channel]) : 0.0f;
  }
  float takeEditorOverFlag(int channel) override {
    return channel == 0 || channel == 1 ? takeOverFlag(effect().engine().overFlags[channel]) : 0.0f;
  }
  void setEditorIsOpen(bool open) override { effect().engine().editorIsOpen.store(open ? 1 : 0); }
  float getMetersValue() override { return effect().metersValue; }

 protected:
  ~EngineMeterHandOff() = default;

 private:
  Effect& effect() { return static_cast<Effect&>(*this); }
};

template <class Product, class Engine>
class ProductEffect : public CPresetSystemEffect, public EngineMeterHandOff<ProductEffect<Product, Engine>> {
 public:
  // Writes the meter preferences back.
  ~ProductEffect() override;

  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override {
    processHost(inputs, outputs, sampleFrames);
  }
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override {
    processHost(inputs, outputs, sampleFrames);
  }
  // The product's own step for the index, then the common ending: the
  // programs, then the editor.
  void setParameter(VstInt32 index, float value) override;
  void getParameterLabel(VstInt32 index, char* label) override {
    writeText(label, self().parameterText(index).label);
  }
  void getParameterName(VstInt32 index, char* text) override {
    writeText(text, self().parameterText(index).name);
  }
  bool getInputProperties(VstInt32 index, VstPinProperties* p) override {
    return inputPinProperties(index, p);
  }
  bool getOutputProperties(VstInt32 index, VstPinProperties* p) override {
    return outputPinProperties(index, p);
  }
  bool setProcessPrecision(VstInt32 /*precision*/) override { return true; }
  bool getEffectName(char* name) override { return writeEffectName(identity_, name); }
  bool getVendorString(char* text) override { return writeVendorString(text); }
  bool getProductString(char* text) override { return writeProductString(identity_, text); }
  VstInt32 getVendorVersion() override { return kVendorVersion; }
  VstPlugCategory getPlugCategory() override { return kPlugCategMastering; }

  // A parameter in display units, for the editor's readouts and typed entry.
  float getParameterPlainValue(VstInt32 index) override = 0;
  virtual float inverseSaturationCurve(float level) { return engine_.inverseSaturationCurve(level); }
  virtual float smallSignalGain() { return engine_.smallSignalGain(); }
  virtual bool reservedHook() { return false; }
  // The delay at the current rate, taken as 44100 Hz outside 20000..200000.
  float getDelayMs() override;
  float getDelaySamples() override = 0;

  Engine& engine() { return engine_; }
  // The product's editor, when the product has one.
  OstrelvanheimEditor* productEditor() const { return productEditor_; }
  bool isSuspended() const { return suspendDone; }

 protected:
  // The preset system on the product's traits, the engine on engineArgs; the
  // meter and knob preferences lie at the indices the table gives.
  template <class... EngineArgs>
  ProductEffect(audioMasterCallback audioMaster, const PresetSystemTraits& traits,
                const ProductIdentity& identity, std::span<const presets::MeterPreferenceSlot> preferences,
                EngineArgs&&... engineArgs)
      : CPresetSystemEffect(audioMaster, traits),
        engine_(std::forward<EngineArgs>(engineArgs)...),
        identity_(identity),
        preferences_(preferences) {}

  // ---- steps of the constructor ----
  // The start values both products give before anything is set: not
  // suspended, no editor, the engine's anti-denormal offset, over threshold,
  // gains, shelving frequencies, curve scale, release factor and ballistics.
  void setStartValues();
  // Each meter and knob preference, in the table's order, through the
  // parameter model (the editor does not exist yet).
  void loadMeterPreferences();
  // Two inputs and two outputs, 32-bit and 64-bit replacing processing, the
  // unique ID; the initial delay; the host asked for its output latency and
  // block size (the answers are not used further); the rate clamped to
  // 22050..192000.
  void announceToHost(VstInt32 uniqueId);
  // The editor object exists from here on, whether or not a window is open
  // (it registers itself as the effect's editor); metering stays off until a
  // window opens. None without traits.
  void createEditor(const OstrelvanheimEditorTraits* traits);

  // ---- around the product's steps of suspend and resume ----
  // What the previous owner of the processing state left, then: the VU
  // filters afresh; the host asked for its output latency and block size;
  // the host's rate clamped to 22050..192000.
  void beginSuspend();
  // The meters at rest, the editor's meters too; suspended; the inner resume,
  // and suspended again.
  void endSuspend();
  // A suspend first when none came before (whose own inner resume runs);
  // what the previous owner left; the host asked for its output latency and
  // block size; the host's rate, 44100 outside 22050..192000.
  void beginResume();
  // The filter coefficients, what they leave to be done at once (the filter
  // records and the VU filters follow the new rate), then the time constants.
  void updateCoefficientsNow();
  // The initial delay at the current rate, told to the host.
  void reportInitialDelay() { setInitialDelay(static_cast<VstInt32>(getDelaySamples())); }
  // A chunk that ran meanwhile on the audio thread may have met the values
  // above half written: it all starts afresh once more from the finished
  // ones. Then the window shows the delay the host has just been told,
  // refreshHook, and running.
  void endResume();

  // ---- the meter preferences in the parameter model ----
  // VU Integr, VU Refer, PPM Integr, PPM Return and OverIndic: false for
  // every other index (the knob mode is the product's own).
  bool applyMeterPreference(VstInt32 index, float v);
  // Their stored values, and their values in display units.
  std::optional<float> meterPreferenceValue(VstInt32 index) const;
  std::optional<double> meterPreferencePlainValue(VstInt32 index) const;

  Engine engine_;
  // Stored values (the normalised 0..1 values as last set) and the derived
  // quantities of the meters that the engine does not need.
  float metersValue = 0, overIndicValue = 0;
  double vuIntegr = 0, vuRefer = 0, ppmIntegr = 0, ppmReturn = 0;
  double knobModeValue = 0;
  double vuIntegrationMs = 300, vuReference = 0.1;
  bool suspendDone = false;
  // Owned through the base's editor pointer, which deletes it.
  OstrelvanheimEditor* productEditor_ = nullptr;

 private:
  friend EngineMeterHandOff<ProductEffect>;
  enum class Preference {
    NoPreference,
    VuIntegration,
    VuReference,
    PpmIntegration,
    PpmReturn,
    OverCounter,
    KnobMode
  };

  Product& self() { return static_cast<Product&>(*this); }
  Preference preferenceAt(VstInt32 index) const;
  // The host buffers to the engine. The host is asked once per block whether
  // the second pins are connected; a second pin out of use, unconnected or
  // without a buffer is served by the first: the input then feeds both
  // channels, the output receives the right channel's result last.
  template <typename Sample>
  void processHost(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);

  const ProductIdentity identity_;
  const std::span<const presets::MeterPreferenceSlot> preferences_;
};

template <class Product, class Engine>
ProductEffect<Product, Engine>::~ProductEffect() {
  // In this order, each only where the table marks it as saved.
  const auto save = [this](Preference which, float value) {
    for (const presets::MeterPreferenceSlot& slot : preferences_)
      if (preferenceAt(slot.index) == which) presets::saveMeterPreference(preferences_, slot.index, value);
  };
  save(Preference::VuIntegration, static_cast<float>(vuIntegr));
  save(Preference::VuReference, static_cast<float>(vuRefer));
  save(Preference::PpmIntegration, static_cast<float>(ppmIntegr));
  save(Preference::PpmReturn, static_cast<float>(ppmReturn));
  save(Preference::KnobMode, static_cast<float>(knobModeValue));
  save(Preference::OverCounter, overIndicValue);
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::setParameter(VstInt32 index, float value) {
  const ParameterTurn turn(*this, index, value);
  if (!turn) return;  // left for the thread that holds the programs
  finishSetParameter(index, self().applyParameter(index, admittedValue(value)));
}

template <class Product, class Engine>
float ProductEffect<Product, Engine>::getDelayMs() {
  const double rate = (sampleRate > 200000.0f || sampleRate < 20000.0f) ? 44100.0 : sampleRate;
  return static_cast<float>(getDelaySamples() * 1000.0 / rate);
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::setStartValues() {
  Engine& e = engine_;
  suspendDone = false;
  editor = nullptr;
  e.antiDenormal = 1e-16;
  e.overThreshold = 3.0;
  e.driveGain = e.smallSignalGainValue = 1;
  e.lowFreqHz = 100;
  e.lowAdjustGain = 1;
  e.highFreqHz = 2000;
  e.highAdjustGain = e.outputGain = e.ceilingGain = 1;
  e.curveScale = e.inverseSaturationCurve(1.0f);
  e.ceilingLevel = 1;
  e.releaseFactor = 1;
  vuIntegrationMs = 300;
  vuReference = e.vuReferenceInverse = 0.1;
  e.ppmIntegrationMs = 10;
  e.ppmReturnMs = 1000;
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::loadMeterPreferences() {
  for (const presets::MeterPreferenceSlot& slot : preferences_)
    setParameter(slot.index, presets::loadMeterPreference(preferences_, slot.index));
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::announceToHost(VstInt32 uniqueId) {
  setNumInputs(2);
  setNumOutputs(2);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  setUniqueID(uniqueId);
  reportInitialDelay();
  getOutputLatency();
  updateBlockSize();
  sampleRate = clampedSampleRate(sampleRate);
  engine_.setSampleRate(sampleRate);
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::createEditor(const OstrelvanheimEditorTraits* traits) {
  engine_.editorIsOpen = 0;
  if (traits) productEditor_ = new OstrelvanheimEditor(this, this, *traits);
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::beginSuspend() {
  engine_.applyPendingRequests();
  engine_.resetVuFiltersNow();
  getOutputLatency();
  updateBlockSize();
  sampleRate = clampedSampleRate(getSampleRate());
  engine_.setSampleRate(sampleRate);
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::endSuspend() {
  engine_.resetMetersNow();
  if (productEditor_) productEditor_->resetMeters();
  suspendDone = true;
  resume();
  suspendDone = true;
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::beginResume() {
  if (!suspendDone) suspend();
  engine_.applyPendingRequests();
  getOutputLatency();
  updateBlockSize();
  sampleRate = sampleRateOrDefault(getSampleRate());
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::updateCoefficientsNow() {
  engine_.updateFilterCoefficients();
  engine_.applyPendingRequests();
  engine_.updateTimeConstants();
}

template <class Product, class Engine>
void ProductEffect<Product, Engine>::endResume() {
  engine_.restartNow();
  if (productEditor_) productEditor_->updateDelayDisplays();
  this->refreshHook();
  suspendDone = false;
}

template <class Product, class Engine>
auto ProductEffect<Product, Engine>::preferenceAt(VstInt32 index) const -> Preference {
  for (const presets::MeterPreferenceSlot& slot : preferences_) {
    if (slot.index != index) continue;
    if (slot.preference == &presets::kVuIntegration) return Preference::VuIntegration;
    if (slot.preference == &presets::kVuReference) return Preference::VuReference;
    if (slot.preference == &presets::kPpmIntegration) return Preference::PpmIntegration;
    if (slot.preference == &presets::kPpmReturn) return Preference::PpmReturn;
    if (slot.preference == &presets::kOverCounter) return Preference::OverCounter;
    if (slot.preference == &presets::kKnobMode) return Preference::KnobMode;
  }
  return Preference::NoPreference;
}

template <class Product, class Engine>
bool ProductEffect<Product, Engine>::applyMeterPreference(VstInt32 index, float v) {
  Engine& e = engine_;
  switch (preferenceAt(index)) {
    case Preference::VuIntegration:
      vuIntegr = v;
      vuIntegrationMs = 30.0 * std::pow(100.0, vuIntegr);
      e.requestVuFrequency(700.0 / vuIntegrationMs);
      return true;
    case Preference::VuReference:
      vuRefer = v;
      vuReference = std::pow(0.06125, 1.0 - vuRefer);
      e.vuReferenceInverse = 1.0 / vuReference;
      return true;
    case Preference::PpmIntegration:
      ppmIntegr = v;
      e.ppmIntegrationMs = std::pow(101.0, ppmIntegr) - 1.0;
      e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
      return true;
    case Preference::PpmReturn:
      ppmReturn = v;
      e.ppmReturnMs = 100.0 * std::pow(100.0, ppmReturn);
      e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
      return true;
    case Preference::OverCounter:
      overIndicValue = static_cast<float>(static_cast<int>(9.0 * v + 0.5) / 9.0);
      e.overThreshold = 9.0 * static_cast<double>(overIndicValue) + 1.0;
      return true;
    case Preference::KnobMode:
    case Preference::NoPreference: break;
  }
  return false;
}

template <class Product, class Engine>
std::optional<float> ProductEffect<Product, Engine>::meterPreferenceValue(VstInt32 index) const {
  switch (preferenceAt(index)) {
    case Preference::VuIntegration: return static_cast<float>(vuIntegr);
    case Preference::VuReference: return static_cast<float>(vuRefer);
    case Preference::PpmIntegration: return static_cast<float>(ppmIntegr);
    case Preference::PpmReturn: return static_cast<float>(ppmReturn);
    case Preference::OverCounter: return overIndicValue;
    case Preference::KnobMode:
    case Preference::NoPreference: break;
  }
  return std::nullopt;
}

template <class Product, class Engine>
std::optional<double> ProductEffect<Product, Engine>::meterPreferencePlainValue(VstInt32 index) const {
  const Engine& e = engine_;
  switch (preferenceAt(index)) {
    case Preference::VuIntegration: return vuIntegrationMs;
    case Preference::VuReference: return vuReference;
    case Preference::PpmIntegration: return e.ppmIntegrationMs;
    case Preference::PpmReturn: return e.ppmReturnMs;
    case Preference::OverCounter: return e.overThreshold;
    case Preference::KnobMode:
    case Preference::NoPreference: break;
  }
  return std::nullopt;
}

template <class Product, class Engine>
template <typename Sample>
void ProductEffect<Product, Engine>::processHost(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  if (!inputs || !outputs || !inputs[0] || !outputs[0]) return;
  const PinsInUse pins = self().pinsInUse();
  const bool stereoIn = pins.secondInput && isInputConnected(1) && inputs[1];
  const bool stereoOut = pins.secondOutput && isOutputConnected(1) && outputs[1];
  Sample* inR = stereoIn ? inputs[1] : inputs[0];
  Sample* outR = stereoOut ? outputs[1] : outputs[0];
  self().processBlock(inputs[0], inR, outputs[0], outR, sampleFrames, stereoIn);
}
