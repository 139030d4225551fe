#include "products/ostrelvanheim2/ostrelvanheim.h"

#include "dsp/metering.h"
#include "presets/meter_preferences.h"
#include "products/common/parameter_values.h"
#include "products/common/product_identity.h"
#include "products/common/sample_rate.h"

Ostrelvanheim::Ostrelvanheim(audioMasterCallback audioMaster, const OstrelvanheimProduct& product)
    : CPresetSystemEffect(audioMaster, product.presets), product_(product), engine_(product.engine) {
  CompressorEngine& e = engine_;
  suspendDone = false;
  editor = nullptr;
  e.antiDenormal = 1e-16;
  e.overThreshold = 3.0;
  for (double& c : e.bandReleaseCoeffs) c = 1.0;
  e.driveGain = e.smallSignalGainValue = 1;
  e.lowFreqHz = 100;
  e.lowAdjustGain = 1;
  e.highFreqHz = 2000;
  e.highAdjustGain = e.outputGain = e.mix = e.ceilingGain = 1;
  e.curveScale = e.inverseSaturationCurve(1.0f);
  e.ceilingLevel = 1;
  e.releaseFactor = 1;
  fineTuneFactor = 1;
  for (int b = 0; b < 3; ++b) e.satInverses[b] = e.satLevels[b] = e.bandReleaseFactors[b] = 1;
  vuIntegrationMs = 300;
  vuReference = e.vuReferenceInverse = 0.1;
  e.ppmIntegrationMs = 10;
  e.ppmReturnMs = 1000;

  // The meter preferences go through the parameter model before any editor exists.
  for (const presets::MeterPreferenceSlot& slot : product_.meterPreferences)
    setParameter(slot.index, loadPreference(slot.index));

  meterScale = 0;
  meterScaleMode = 0;
  e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
  fineTune = 1.0f;
  fineTuneFactor = 1;
  meterDelay = 0;
  metersValue = 0;
  e.meterSource = 1;
  mode = 0;
  e.modeValue = 0;
  for (int b = 0; b < 3; ++b) {
    satValues[b] = 0.5f;
    e.satLevels[b] = e.satInverses[b] = 1;
    releaseValues[b] = 0.5f;
    e.bandReleaseFactors[b] = 1;
  }

  setNumInputs(2);
  setNumOutputs(2);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  setUniqueID(product_.uniqueId);

  setInitialDelay(static_cast<VstInt32>(getDelaySamples()));
  getOutputLatency();
  updateBlockSize();

  clampSampleRate();
  e.setSampleRate(sampleRate);

  e.resetRingPositions();
  e.resetDetectorsNow();
  e.resetMetersNow();

  if (e.hasOversampledPath())
    setParameter(indexOf(Meaning::kFat), 0.0f);
  else
    e.fatOn = 0;
  e.updateFilterCoefficients();
  e.updateTimeConstants();
  e.clearDelayRingsNow();

  suspend();
  resume();

  // The editor object exists from here on, whether or not a window is open;
  // it registers itself as the effect's editor.
  e.editorIsOpen = 0;
  if (product_.editor) productEditor_ = new OstrelvanheimEditor(this, this, *product_.editor);
  loadEditorDefaults();
  selectProgram(0);

  suspend();
  resume();
  suspend();
}

Ostrelvanheim::~Ostrelvanheim() {
  savePreference(indexOf(Meaning::kVuIntegr), static_cast<float>(vuIntegr));
  savePreference(indexOf(Meaning::kVuRefer), static_cast<float>(vuRefer));
  savePreference(indexOf(Meaning::kPpmIntegr), static_cast<float>(ppmIntegr));
  savePreference(indexOf(Meaning::kPpmReturn), static_cast<float>(ppmReturn));
  savePreference(indexOf(Meaning::kKnobMode), static_cast<float>(knobModeValue));
  savePreference(indexOf(Meaning::kOverIndic), overIndicValue);
}

float Ostrelvanheim::loadPreference(VstInt32 index) {
  return presets::loadMeterPreference(product_.meterPreferences, index);
}

void Ostrelvanheim::savePreference(VstInt32 index, float value) {
  presets::saveMeterPreference(product_.meterPreferences, index, value);
}

void Ostrelvanheim::clampSampleRate() { sampleRate = clampedSampleRate(sampleRate); }

void Ostrelvanheim::suspend() {
  CompressorEngine& e = engine_;
  e.applyPendingRequests();
  e.resetVuFiltersNow();
  getOutputLatency();
  updateBlockSize();
  sampleRate = getSampleRate();
  clampSampleRate();
  e.setSampleRate(sampleRate);
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.resetOversamplersNow();
  if (product_.suspendRecomputesCoefficients) {
    e.updateFilterCoefficients();
    e.updateTimeConstants();
  }
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.resetMetersNow();
  if (productEditor_) productEditor_->resetMeters();
  suspendDone = true;
  resume();
  suspendDone = true;
}

void Ostrelvanheim::resume() {
  if (!suspendDone) suspend();
  CompressorEngine& e = engine_;
  e.applyPendingRequests();
  getOutputLatency();
  updateBlockSize();
  sampleRate = sampleRateOrDefault(getSampleRate());
  // FAT off above 100000 Hz; back at or below it the stored FAT switch is in
  // force again, so that the processing and the display agree.
  e.setSampleRate(sampleRate, switchState(fat));
  setInitialDelay(static_cast<VstInt32>(getDelaySamples()));
  e.resetRingPositions();
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.resetOversamplersNow();
  e.updateFilterCoefficients();
  e.applyPendingRequests();  // the filter records follow the new design rate now
  e.updateTimeConstants();
  // A chunk that ran meanwhile on the audio thread may have met the values
  // above half written: start it all afresh once more from the finished ones.
  e.restartNow();
  if (productEditor_) productEditor_->updateDelayDisplays();
  refreshHook();
  suspendDone = false;
}

void Ostrelvanheim::setSampleRate(float rate) {
  sampleRate = rate;
  suspend();
  resume();
}

float Ostrelvanheim::getLookaheadRingSize() {
  return static_cast<float>(engine_.lookaheadRingSizeAt(sampleRate));
}

float Ostrelvanheim::getLatencyRingSize() {
  return static_cast<float>(engine_.latencyRingSizeAt(sampleRate));
}

float Ostrelvanheim::getDelaySamples() { return static_cast<float>(engine_.delaySamplesAt(sampleRate)); }

float Ostrelvanheim::getDelayMs() {
  const double rate = (sampleRate > 200000.0f || sampleRate < 20000.0f) ? 44100.0 : sampleRate;
  return static_cast<float>(getDelaySamples() * 1000.0 / rate);
}

float Ostrelvanheim::editorMeterLevel(int channel) {
  return channel == 0 || channel == 1 ? meterLevelOf(engine_.meterLevels[channel]) : 0.0f;
}

float Ostrelvanheim::takeEditorOverFlag(int channel) {
  return channel == 0 || channel == 1 ? takeOverFlag(engine_.overFlags[channel]) : 0.0f;
}

void Ostrelvanheim::setEditorIsOpen(bool open) { engine_.editorIsOpen.store(open ? 1 : 0); }

bool Ostrelvanheim::getInputProperties(VstInt32 index, VstPinProperties* p) {
  return inputPinProperties(index, p);
}

bool Ostrelvanheim::getOutputProperties(VstInt32 index, VstPinProperties* p) {
  return outputPinProperties(index, p);
}

bool Ostrelvanheim::getEffectName(char* name) { return writeEffectName(product_.identity, name); }

bool Ostrelvanheim::getVendorString(char* text) { return writeVendorString(text); }

bool Ostrelvanheim::getProductString(char* text) { return writeProductString(product_.identity, text); }

void Ostrelvanheim::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processHost(inputs, outputs, sampleFrames);
}

void Ostrelvanheim::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processHost(inputs, outputs, sampleFrames);
}

template <typename Sample>
void Ostrelvanheim::processHost(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  if (!inputs || !outputs || !inputs[0] || !outputs[0]) return;
  // An unconnected second pin is served by the first: the right channel then
  // processes a copy of the left input, or its result lands in output 0.
  Sample* inR = (isInputConnected(1) && inputs[1]) ? inputs[1] : inputs[0];
  Sample* outR = (isOutputConnected(1) && outputs[1]) ? outputs[1] : outputs[0];
  engine_.process(inputs[0], inR, outputs[0], outR, sampleFrames);
}
