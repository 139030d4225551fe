// The parameter model of JYX Tindravelle: what every index stores, the
// quantities it derives, and its name, unit and display texts. The host sees
// indices 0-21; 23-28 are the editor's own.
#include <cmath>
#include <iterator>
#include <optional>

#include "dsp/channel_routing.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"
#include "products/common/parameter_values.h"
#include "products/tindravelle/parameter_indices.h"
#include "products/tindravelle/tindravelle.h"

using namespace tindravelle;

namespace {

// Names and unit labels as the host shows them; only these few carry blanks.
constexpr ParameterText kTexts[29] = {
    {"Process", ""},
    {"", ""},
    {"Stereo-Mono", ""},
    {"Link", ""},
    {"Speed", "%"},
    {"ReleaseMul", "*"},
    {"Drive", "dB"},
    {"", ""},
    {"", ""},
    {"LowAdjust", "dB"},
    {"", ""},
    {"HighAdjust", "dB"},
    {"Knee", "%"},
    {"Output", "dB"},
    {"Meters", ""},
    {"MeterScale", ""},
    {" MeterDelay ", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"VU Integr", "ms"},
    {"VU Refer", "dBFS"},
    {"PPM Integr", "ms"},
    {"PPM Return", "ms"},
    {"OverIndic", " samples "},
    {"KnobMode", " "},
};

// The gains from 16^v / 4: 0.25 to 4, -12 to +12 dB.
double adjustGain(float v) { return std::pow(16.0, static_cast<double>(v)) / 4.0; }

// Indices whose value lives only in the current program.
bool programRowOnly(VstInt32 index) {
  return index == 7 || index == 8 || index == 10 || (index >= 18 && index <= 21);
}

}  // namespace

void dBDisplayString(double value, int decimals, char* text) {
  if (value <= 0.0) {
    writeText(text, "-oo");
    return;
  }
  // 6 dB per doubling, each step rounded to 32 bits.
  const float product = static_cast<float>(6.0 * std::log10(value));
  const float d = static_cast<float>(product / std::log10(2.0));
  floatToStringDecimals(d, decimals, text);
}

float Tindravelle::applyParameter(VstInt32 index, float v) {
  if (applyMeterPreference(index, v)) return v;
  TrackEngine& e = engine_;
  switch (index) {
    case kProcess:
      processValue = v;
      e.processOn = switchState(v);
      e.requestClearDelayRings();
      break;
    case kUnnamedSwitch: unnamedSwitch = v; break;
    case kStereoMono: e.monoStereoValue = v; break;
    case kLink:
      linkValue = v;
      e.linked = switchState(v);
      break;
    case kSpeed:
      speed = v;
      e.speedValue = v;
      e.updateTimeConstants();
      break;
    case kReleaseMul:
      releaseValue = v;
      e.releaseFactor = 0.25 * std::pow(16.0, static_cast<double>(v));
      e.updateTimeConstants();
      break;
    case kDrive:
      drive = v;
      e.driveGain = std::pow(256.0, static_cast<double>(v)) / 16.0;
      e.smallSignalGainValue = e.smallSignalGain();
      break;
    case kLowAdjust:
      lowAdjust = v;
      e.lowFreqHz = 80.0;
      e.lowAdjustGain = adjustGain(v);
      e.updateFilterCoefficients();
      break;
    case kHighAdjust:
      highAdjust = v;
      e.highFreqHz = 12000.0;
      e.highAdjustGain = adjustGain(v);
      e.updateFilterCoefficients();
      break;
    case kKnee:
      knee = v;
      {
        const KneeSetting k = kneeOf(v);
        e.kneeMode = k.mode;
        e.kneeAmount = k.amount;
      }
      e.curveScale = e.inverseSaturationCurve(static_cast<float>(1.0 / e.ceilingGain));
      e.ceilingLevel = e.ceilingGain;
      e.smallSignalGainValue = e.smallSignalGain();
      break;
    case kOutput:
      output = v;
      e.outputGain = adjustGain(v);
      break;
    case kMeters:
      metersValue = v;
      e.meterSource = meterSourceOf(v);
      break;
    case kMeterScale: e.meterScaleValue = v; break;
    case kMeterDelay: meterDelay = v; break;
    case kMeterClick: meterClick = v; break;
    case kKnobMode: knobModeValue = v; break;
    default: break;  // spare and unknown indices: only the common steps
  }
  return v;
}

float Tindravelle::getParameter(VstInt32 index) {
  if (const std::optional<float> value = meterPreferenceValue(index)) return *value;
  const TrackEngine& e = engine_;
  switch (index) {
    case kProcess: return processValue;
    case kUnnamedSwitch: return unnamedSwitch;
    case kStereoMono: return e.monoStereoValue;
    case kLink: return linkValue;
    case kSpeed: return speed;
    case kReleaseMul: return releaseValue;
    case kDrive: return drive;
    case kLowAdjust: return lowAdjust;
    case kHighAdjust: return highAdjust;
    case kKnee: return knee;
    case kOutput: return output;
    case kMeters: return metersValue;
    case kMeterScale: return e.meterScaleValue;
    case kMeterDelay: return meterDelay;
    case kMeterClick: return meterClick;
    case kKnobMode: return static_cast<float>(knobModeValue);
    default:
      if (programRowOnly(index) && programStore()) return programStore()->value(getCurrentProgram(), index);
      return 0.0f;
  }
}

ParameterText Tindravelle::parameterText(VstInt32 index) const {
  return index >= 0 && index < static_cast<VstInt32>(std::size(kTexts)) ? kTexts[index] : ParameterText{"", ""};
}

void Tindravelle::getParameterDisplay(VstInt32 index, char* text) {
  const TrackEngine& e = engine_;
  *text = 0;
  switch (index) {
    case kProcess: writeText(text, processValue >= 0.5f ? "On" : "Off"); break;
    case kStereoMono: writeText(text, stereoKernelsRun(e.monoStereoValue) ? "Stereo" : "Mono"); break;
    case kLink: writeText(text, linkValue >= 0.5f ? "Linked" : "Unlinked"); break;
    case kSpeed: writeNumber(text, 100.0 * speed, 1); break;
    case kReleaseMul: writeNumber(text, e.releaseFactor, 2); break;
    case kDrive: dBDisplayString(e.driveGain, 2, text); break;
    case kLowAdjust: dBDisplayString(e.lowAdjustGain, 2, text); break;
    case kHighAdjust: dBDisplayString(e.highAdjustGain, 2, text); break;
    case kKnee: writeNumber(text, 100.0 * knee, 1); break;
    case kOutput: dBDisplayString(e.outputGain, 2, text); break;
    case kMeters: {
      static const char* const kSourceTexts[] = {"Pre", "GainRed", "Post"};
      writeText(text, kSourceTexts[meterSourceOf(metersValue)]);
      break;
    }
    case kMeterScale: writeText(text, e.meterScaleValue >= 0.5f ? "PPM" : "VU"); break;
    case kVuIntegr: writeNumber(text, vuIntegrationMs, 1); break;
    case kVuRefer: dBDisplayString(vuReference, 1, text); break;
    case kPpmIntegr: writeNumber(text, e.ppmIntegrationMs, 3); break;
    case kPpmReturn: writeNumber(text, e.ppmReturnMs, 3); break;
    case kOverIndic: writeNumber(text, e.overThreshold, 1); break;
    case kKnobMode: writeText(text, knobModeValue >= 0.5 ? " Linear " : " Circular "); break;
    default: break;
  }
}

float Tindravelle::getParameterPlainValue(VstInt32 index) {
  if (const std::optional<double> value = meterPreferencePlainValue(index)) return static_cast<float>(*value);
  const TrackEngine& e = engine_;
  double value = 0.0;
  switch (index) {
    case kProcess: value = e.processOn; break;
    case kStereoMono: value = stereoKernelsRun(e.monoStereoValue) ? 1.0 : 0.0; break;
    case kLink: value = e.linked; break;
    case kSpeed: value = 100.0 * speed; break;
    case kReleaseMul: value = e.releaseFactor; break;
    case kDrive: value = (drive - 0.5) * 48.0; break;
    case kLowAdjust: value = (lowAdjust - 0.5) * 24.0; break;
    case kHighAdjust: value = (highAdjust - 0.5) * 24.0; break;
    case kKnee: value = 100.0 * knee; break;
    case kOutput: value = (output - 0.5) * 24.0; break;
    case kMeterDelay: value = -1.0; break;
    case kKnobMode: value = knobModeValue; break;
    default: break;
  }
  return static_cast<float>(value);
}

float Tindravelle::getControlValue(VstInt32 index) {
  // At exactly 0.5 the mono kernel runs, so the button shows mono.
  if (index == kStereoMono) return stereoKernelsRun(engine_.monoStereoValue) ? 1.0f : 0.0f;
  return getParameter(index);
}

bool Tindravelle::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
  switch (index) {
    case kProcess:
    case kUnnamedSwitch:
    case kStereoMono:
    case kLink:
    case kMeterScale:
    case kMeterClick: return integerProperties(p, kSwitchProperties, 1);
    case kMeters: return integerProperties(p, kSelectorProperties, 2);
    default: return false;
  }
}
