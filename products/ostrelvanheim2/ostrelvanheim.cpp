#include "products/ostrelvanheim2/ostrelvanheim.h"

#include "products/common/parameter_values.h"

Ostrelvanheim::Ostrelvanheim(audioMasterCallback audioMaster, const OstrelvanheimProduct& product)
    : ProductEffect(audioMaster, product.presets, product.identity, product.meterPreferences, product.engine),
      product_(product) {
  CompressorEngine& e = engine_;
  setStartValues();
  for (double& c : e.bandReleaseCoeffs) c = 1.0;
  e.mix = 1;
  fineTuneFactor = 1;
  for (int b = 0; b < 3; ++b) e.satInverses[b] = e.satLevels[b] = e.bandReleaseFactors[b] = 1;

  loadMeterPreferences();

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

  announceToHost(product_.uniqueId);

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

  createEditor(product_.editor);
  loadEditorDefaults();
  selectProgram(0);

  suspend();
  resume();
  suspend();
}

void Ostrelvanheim::suspend() {
  beginSuspend();
  CompressorEngine& e = engine_;
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.resetOversamplersNow();
  if (product_.suspendRecomputesCoefficients) {
    e.updateFilterCoefficients();
    e.updateTimeConstants();
  }
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  endSuspend();
}

void Ostrelvanheim::resume() {
  beginResume();
  CompressorEngine& e = engine_;
  // FAT off above 100000 Hz; back at or below it the stored FAT switch is in
  // force again, so that the processing and the display agree.
  e.setSampleRate(sampleRate, switchState(fat));
  reportInitialDelay();
  e.resetRingPositions();
  e.clearDelayRingsNow();
  e.resetDetectorsNow();
  e.resetOversamplersNow();
  updateCoefficientsNow();
  endResume();
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
