#include "products/tindravelle/tindravelle.h"

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
    : ProductEffect(audioMaster, tindravelle::kPresetTraits, kIdentity, kPreferences) {
  // Every member has its start value from its declaration; the steps below
  // read some of them (Speed, the ring positions) before they set them.
  TrackEngine& e = engine_;
  setStartValues();
  e.editorIsOpen = 0;

  loadMeterPreferences();

  unnamedSwitch = meterDelay = meterClick = 0;
  e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
  metersValue = 0;
  e.meterSource = 1;

  announceToHost(tindravelle::kUniqueId);

  e.resetDetectorsNow();
  e.resetMetersNow();
  e.updateFilterCoefficients();
  e.updateTimeConstants();
  e.clearDelayRingsNow();

  createEditor(&tindravelle::kEditorTraits);
  loadEditorDefaults();
  selectProgram(0);

  suspend();
}

void Tindravelle::suspend() {
  beginSuspend();
  TrackEngine& e = engine_;
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.updateFilterCoefficients();
  e.updateTimeConstants();
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  endSuspend();
}

void Tindravelle::resume() {
  beginResume();
  TrackEngine& e = engine_;
  reportInitialDelay();
  e.setSampleRate(sampleRate);  // the VU filters follow it with the coefficients below
  e.resetRingPositions();
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  updateCoefficientsNow();
  endResume();
}

float Tindravelle::getDelaySamples() { return static_cast<float>(TrackEngine::ringMaskAt(sampleRate)); }

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
