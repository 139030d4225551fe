#include "products/tindravelle/tindravelle.h"

#include "dsp/metering.h"
#include "presets/meter_preferences.h"
#include "products/common/parameter_values.h"
#include "products/common/sample_rate.h"
#include "products/tindravelle/editor_layout.h"
#include "products/tindravelle/factory_presets.h"
#include "products/tindravelle/parameter_indices.h"

namespace {

using namespace tindravelle;

constexpr ProductIdentity kIdentity = {"JYX Tindravelle",
                                       "JYX Tindravelle - analog track saturation & compression emulator"};

// The meter preferences among the editor-only indices. The knob mode is read
// but never written: it keeps what the second generation last stored.
constexpr presets::MeterPreferenceSlot kPreferences[] = {
    {kVuIntegr, &presets::kVuIntegration, true},   {kVuRefer, &presets::kVuReference, true},
    {kPpmIntegr, &presets::kPpmIntegration, true}, {kPpmReturn, &presets::kPpmReturn, true},
    {kOverIndic, &presets::kOverCounter, true},    {kKnobMode, &presets::kKnobMode, false},
};

}  // namespace

Tindravelle::Tindravelle(audioMasterCallback audioMaster)
    : CPresetSystemEffect(audioMaster, tindravelle::kPresetTraits) {
  // Every member has its start value from its declaration; the steps below
  // read some of them (Speed, the ring positions) before they set them.
  TrackEngine& e = engine_;
  suspendDone = false;
  e.editorIsOpen = 0;
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

  // The meter preferences go through the parameter model; there is no editor.
  for (VstInt32 index = kVuIntegr; index <= kKnobMode; ++index)
    setParameter(index, presets::loadMeterPreference(kPreferences, index));

  unnamedSwitch = meterDelay = meterClick = 0;
  e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
  metersValue = 0;
  e.meterSource = 1;

  setNumInputs(2);
  setNumOutputs(2);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  setUniqueID(tindravelle::kUniqueId);

  setInitialDelay(static_cast<VstInt32>(getDelaySamples()));
  getOutputLatency();
  updateBlockSize();
  sampleRate = clampedSampleRate(sampleRate);
  e.setSampleRate(sampleRate);

  e.resetDetectorsNow();
  e.resetMetersNow();
  e.updateFilterCoefficients();
  e.updateTimeConstants();
  e.clearDelayRingsNow();

  // The editor object exists from here on, whether or not a window is open;
  // it registers itself as the effect's editor.
  productEditor_ = new OstrelvanheimEditor(this, this, tindravelle::kEditorTraits);
  loadEditorDefaults();
  selectProgram(0);

  suspend();
}

Tindravelle::~Tindravelle() {
  presets::saveMeterPreference(kPreferences, kVuIntegr, static_cast<float>(vuIntegr));
  presets::saveMeterPreference(kPreferences, kVuRefer, static_cast<float>(vuRefer));
  presets::saveMeterPreference(kPreferences, kPpmIntegr, static_cast<float>(ppmIntegr));
  presets::saveMeterPreference(kPreferences, kPpmReturn, static_cast<float>(ppmReturn));
  presets::saveMeterPreference(kPreferences, kOverIndic, overIndicValue);
}

void Tindravelle::suspend() {
  TrackEngine& e = engine_;
  e.applyPendingRequests();
  e.resetVuFiltersNow();
  getOutputLatency();
  updateBlockSize();
  sampleRate = clampedSampleRate(getSampleRate());
  e.setSampleRate(sampleRate);
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.updateFilterCoefficients();
  e.updateTimeConstants();
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.resetMetersNow();
  if (productEditor_) productEditor_->resetMeters();
  suspendDone = true;
  resume();
  suspendDone = true;
}

void Tindravelle::resume() {
  if (!suspendDone) suspend();
  TrackEngine& e = engine_;
  e.applyPendingRequests();
  getOutputLatency();
  updateBlockSize();
  sampleRate = sampleRateOrDefault(getSampleRate());
  setInitialDelay(static_cast<VstInt32>(getDelaySamples()));
  e.setSampleRate(sampleRate);
  e.resetRingPositions();
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.updateFilterCoefficients();
  e.applyPendingRequests();  // the VU filters follow the new rate now
  e.updateTimeConstants();
  // A chunk that ran meanwhile on the audio thread may have met the values
  // above half written: start it all afresh once more from the finished ones.
  e.restartNow();
  // The window shows the delay the host has just been told.
  if (productEditor_) productEditor_->updateDelayDisplays();
  refreshHook();
  suspendDone = false;
}

float Tindravelle::getDelaySamples() { return static_cast<float>(TrackEngine::ringMaskAt(sampleRate)); }

float Tindravelle::getDelayMs() {
  const double rate = (sampleRate > 200000.0f || sampleRate < 20000.0f) ? 44100.0 : sampleRate;
  return static_cast<float>(getDelaySamples() * 1000.0 / rate);
}

float Tindravelle::editorMeterLevel(int channel) {
  return channel == 0 || channel == 1 ? meterLevelOf(engine_.meterLevels[channel]) : 0.0f;
}

float Tindravelle::takeEditorOverFlag(int channel) {
  return channel == 0 || channel == 1 ? takeOverFlag(engine_.overFlags[channel]) : 0.0f;
}

void Tindravelle::setEditorIsOpen(bool open) { engine_.editorIsOpen.store(open ? 1 : 0); }

int Tindravelle::getMeterScaleMode() { return switchState(engine_.meterScaleValue); }

bool Tindravelle::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
  // Only the channel counts matter. Any pair but mono to mono, mono to stereo
  // and stereo to stereo, or a pair the host gave only in part, is refused
  // and leaves stereo in and out.
  bool in = true, out = true, accepted = false;
  if (input && output) {
    const VstInt32 ins = input->numChannels, outs = output->numChannels;
    accepted = (ins == 1 && (outs == 1 || outs == 2)) || (ins == 2 && outs == 2);
    if (accepted) {
      in = ins == 2;
      out = outs == 2;
    }
  }
  inputStereo = in;
  outputStereo = out;
  return accepted;
}

bool Tindravelle::getInputProperties(VstInt32 index, VstPinProperties* p) {
  return inputPinProperties(index, p);
}

bool Tindravelle::getOutputProperties(VstInt32 index, VstPinProperties* p) {
  return outputPinProperties(index, p);
}

bool Tindravelle::getEffectName(char* name) { return writeEffectName(kIdentity, name); }

bool Tindravelle::getVendorString(char* text) { return writeVendorString(text); }

bool Tindravelle::getProductString(char* text) { return writeProductString(kIdentity, text); }

void Tindravelle::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processHost(inputs, outputs, sampleFrames);
}

void Tindravelle::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processHost(inputs, outputs, sampleFrames);
}

template <typename Sample>
void Tindravelle::processHost(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  if (!inputs || !outputs || !inputs[0] || !outputs[0]) return;
  // The host is asked once per block whether the second pins are connected;
  // a second pin out of use, unconnected or without a buffer is served by
  // the first: the input then feeds both channels, the output receives the
  // right channel's result last.
  const bool stereoIn = inputStereo.load() && isInputConnected(1) && inputs[1];
  const bool stereoOut = outputStereo.load() && isOutputConnected(1) && outputs[1];
  Sample* inR = stereoIn ? inputs[1] : inputs[0];
  Sample* outR = stereoOut ? outputs[1] : outputs[0];
  engine_.process(inputs[0], inR, outputs[0], outR, sampleFrames, stereoIn);
}
