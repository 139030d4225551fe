// The parameter model of the Ostrelvanheim plug-ins: what every meaning
// stores, the quantities it derives, and its name, unit and display texts.
// The product's map turns its indices into meanings (the second generation's
// indices: 0-41 the host's, 31-41 spare, 43-48 and 57 the editor's own); the
// programs, the global rule and the spare values keep the product's indices.
#include <algorithm>
#include <cmath>
#include <optional>

#include "dsp/channel_routing.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"
#include "products/common/parameter_values.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"

namespace {

// Names and unit labels by meaning as the host shows them, blanks included.
constexpr ParameterText kTexts[49] = {
    {" Process ", ""},
    {" Mode", ""},
    {" Mono Stereo", ""},
    {" Link", ""},
    {" Drive ", " dB "},
    {" Knee ", " % "},
    {" Speed ", " % "},
    {" Release ", " * "},
    {" HighAdjust ", " dB "},
    {" LowAdjust ", " dB "},
    {" HighFreq ", " Hz "},
    {" LowFreq ", " Hz "},
    {" Mix ", " % "},
    {" Ceiling ", " dB "},
    {" Output ", " dB "},
    {" LowSat", " dB "},
    {" MidSat ", " dB "},
    {" HighSat ", " dB "},
    {" LowRel ", " * "},
    {" MidRel ", " * "},
    {" HighRel ", " * "},
    {" Meters ", ""},
    {" MeterType ", ""},
    {"-", " ms "},
    {" FineTune ", " % "},
    {" MeterScale ", " dB "},
    {" FAT ", ""},
    {" Long ", ""},
    {" Auto ", ""},
    {" Brickwall ", ""},
    {" L R ", ""},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {"-", "-"},
    {" VU Integr ", " ms "},
    {" VU Refer ", " dBFS "},
    {" PPM Integr ", " ms "},
    {" PPM Return ", " ms "},
    {" OverIndic ", " samples "},
    {" Knob Mode ", " "},
};

// The product's own text for a meaning, if it has one.
const OwnParameterText* ownText(const OstrelvanheimProduct& product, VstInt32 meaning) {
  for (const OwnParameterText& t : product.ownTexts)
    if (t.meaning == meaning) return &t;
  return nullptr;
}

ParameterText sharedText(VstInt32 meaning) {
  return meaning >= 0 && meaning < static_cast<VstInt32>(std::size(kTexts)) ? kTexts[meaning]
                                                                            : ParameterText{"-", "-"};
}

// The routing the block loop runs for the stored stereo-mode and left/right
// values. The texts, plain values and channel mode tell this one, not the
// stored values by thresholds of their own: at a stereo mode of exactly 0.5
// the one-channel kernels run, and the left/right value counts only there.
enum class Routing { Mono, Left, Right, Stereo };

Routing runningRouting(const CompressorEngine& e) {
  if (stereoKernelsRun(e.monoStereoValue)) return Routing::Stereo;
  switch (monoRouting(e.lrValue)) {
    case MonoRouting::Left: return Routing::Left;
    case MonoRouting::Right: return Routing::Right;
    case MonoRouting::Both: break;
  }
  return Routing::Mono;
}

// The Meters text of what the meters read.
const char* metersText(float metersValue) {
  static const char* const kSourceTexts[] = {" Pre ", " GainRed ", " Post "};
  return kSourceTexts[meterSourceOf(metersValue)];
}

}  // namespace

float Ostrelvanheim::applyParameter(VstInt32 index, float v) {
  const VstInt32 meaning = product_.parameters.meaningOf(index);
  if (!applyMeterPreference(index, v)) applyMeaning(meaning, v);
  // The meter-display delay passes on the value it keeps, to the programs too.
  const bool passKept =
      meaning == Meaning::kMeterDelay && !(meterDelay == 0.0f && product_.meterDelayPassesAutomaticValue);
  return passKept ? meterDelay : v;
}

void Ostrelvanheim::applyCeilingAndKnee() {
  CompressorEngine& e = engine_;
  e.curveScale = e.inverseSaturationCurve(static_cast<float>(1.0 / e.ceilingGain));
  e.ceilingLevel = e.ceilingGain;
  e.smallSignalGainValue = e.smallSignalGain();
}

void Ostrelvanheim::applyMeaning(VstInt32 meaning, float v) {
  CompressorEngine& e = engine_;
  const double f = fineTuneFactor;
  const double g = std::sqrt(f);
  switch (meaning) {
    case Meaning::kProcess:
      process = v;
      e.processOn = switchState(v);
      e.requestClearDelayRings();
      break;
    case Meaning::kMode:
      mode = v;
      e.modeValue = v;
      e.multiBand = switchState(v);
      e.requestResetDetectors();
      e.updateFilterCoefficients();
      e.updateTimeConstants();
      break;
    case Meaning::kMonoStereo: e.monoStereoValue = v; break;
    case Meaning::kLink:
      link = v;
      e.linked = switchState(v);
      break;
    case Meaning::kDrive:
      drive = v;
      e.driveGain = std::pow(256.0, f * v) / std::pow(16.0, f);
      e.smallSignalGainValue = e.smallSignalGain();
      break;
    case Meaning::kKnee:
      knee = v;
      {
        const KneeSetting k = kneeOf(v);
        e.kneeMode = k.mode;
        e.kneeAmount = k.amount;
      }
      applyCeilingAndKnee();
      break;
    case Meaning::kSpeed:
      speed = v;
      e.speedValue = v;
      e.updateTimeConstants();
      break;
    case Meaning::kRelease:
      release = v;
      e.releaseValue = v;
      e.releaseFactor = 0.25 * std::pow(16.0, static_cast<double>(v));
      e.updateTimeConstants();
      break;
    case Meaning::kHighAdjust:
      highAdjust = v;
      e.highAdjustGain = std::pow(16.0, f * v) / std::pow(4.0, f);
      break;
    case Meaning::kLowAdjust:
      lowAdjust = v;
      e.lowAdjustGain = std::pow(16.0, f * v) / std::pow(4.0, f);
      break;
    case Meaning::kHighFreq:
      highFreq = v;
      e.highFreqHz = 1000.0 * std::pow(16.0, static_cast<double>(v));
      e.updateFilterCoefficients();
      break;
    case Meaning::kLowFreq:
      lowFreq = v;
      e.lowFreqHz = 12.5 * std::pow(16.0, static_cast<double>(v));
      e.updateFilterCoefficients();
      break;
    case Meaning::kMix:
      mixValue = v;
      e.mix = v;
      break;
    case Meaning::kCeiling:
      ceiling = v;
      e.ceilingGain = std::pow(16.0, g * v) / std::pow(4.0, g);
      applyCeilingAndKnee();
      break;
    case Meaning::kOutput:
      output = v;
      e.outputGain = std::pow(16.0, g * v) / std::pow(4.0, g);
      break;
    case Meaning::kLowSat:
    case Meaning::kMidSat:
    case Meaning::kHighSat: {
      const int b = meaning - Meaning::kLowSat;
      satValues[b] = v;
      e.satLevels[b] = product_.saturationLevel.at(v);
      e.satInverses[b] = 1.0 / e.satLevels[b];
      break;
    }
    case Meaning::kLowRel:
    case Meaning::kMidRel:
    case Meaning::kHighRel: {
      const int b = meaning - Meaning::kLowRel;
      releaseValues[b] = v;
      e.bandReleaseFactors[b] = product_.bandRelease.at(v);
      e.updateTimeConstants();
      break;
    }
    case Meaning::kMeters:
      metersValue = v;
      e.meterSource = meterSourceOf(v);
      break;
    case Meaning::kMeterType: e.meterTypeValue = v; break;
    case Meaning::kMeterDelay: meterDelay = v < 0.06125f ? 0.0f : std::max(v, 0.125f); break;
    case Meaning::kFineTune: {
      fineTune = v;
      const int k = static_cast<int>(3.0f * v + 0.5f);
      fineTuneFactor = std::pow(0.125, 1.0 - k / 3.0);
      // The gains that scale with the fine-tune factor follow it at once.
      setParameter(indexOf(Meaning::kCeiling), ceiling);
      setParameter(indexOf(Meaning::kDrive), drive);
      setParameter(indexOf(Meaning::kHighAdjust), highAdjust);
      setParameter(indexOf(Meaning::kLowAdjust), lowAdjust);
      setParameter(indexOf(Meaning::kOutput), output);
      break;
    }
    case Meaning::kMeterScale:
      meterScale = v;
      meterScaleMode = switchState(v);
      break;
    case Meaning::kFat:
      fat = v;
      if (!e.hasOversampledPath()) {
        // Stored and global, but there is no oversampled path to switch on.
        e.fatOn = 0;
        break;
      }
      e.fatOn = getSampleRate() <= 100000.0f ? switchState(v) : 0;
      e.updateFilterCoefficients();
      e.updateTimeConstants();
      e.requestCleanStart();
      break;
    case Meaning::kLong:
      longValue = v;
      e.longOn = switchState(v);
      e.updateTimeConstants();
      break;
    case Meaning::kAuto:
      autoValue = v;
      e.autoOn = switchState(v);
      break;
    case Meaning::kBrickwall:
      brickwall = v;
      e.brickwallOn = switchState(v);
      break;
    case Meaning::kLR: e.lrValue = v; break;
    case Meaning::kKnobMode: knobModeValue = knobModeCopy = v; break;
    case Meaning::kChannelMode: {
      const double previous = channelModeValue;
      channelModeValue = v;
      if (static_cast<int>(100.0 * channelModeValue) != static_cast<int>(100.0 * previous)) {
        e.requestCleanStart();
      }
      if (v < 0.25f) {
        e.monoStereoValue = 0.0f;
        e.lrValue = 0.0f;
      } else if (v < 0.5f) {
        e.monoStereoValue = 0.0f;
        e.lrValue = 0.5f;
      } else if (v < 0.75f) {
        e.monoStereoValue = 0.0f;
        e.lrValue = 1.0f;
      } else {
        e.monoStereoValue = 1.0f;
        e.lrValue = 0.0f;
      }
      break;
    }
    default: break;  // spare and unknown indices: only the common steps
  }
}

float Ostrelvanheim::getParameter(VstInt32 index) {
  if (const std::optional<float> value = meterPreferenceValue(index)) return *value;
  const CompressorEngine& e = engine_;
  switch (product_.parameters.meaningOf(index)) {
    case Meaning::kProcess: return process;
    case Meaning::kMode: return mode;
    case Meaning::kMonoStereo: return e.monoStereoValue;
    case Meaning::kLink: return link;
    case Meaning::kDrive: return drive;
    case Meaning::kKnee: return knee;
    case Meaning::kSpeed: return speed;
    case Meaning::kRelease: return release;
    case Meaning::kHighAdjust: return highAdjust;
    case Meaning::kLowAdjust: return lowAdjust;
    case Meaning::kHighFreq: return highFreq;
    case Meaning::kLowFreq: return lowFreq;
    case Meaning::kMix: return mixValue;
    case Meaning::kCeiling: return ceiling;
    case Meaning::kOutput: return output;
    case Meaning::kLowSat: return satValues[0];
    case Meaning::kMidSat: return satValues[1];
    case Meaning::kHighSat: return satValues[2];
    case Meaning::kLowRel: return releaseValues[0];
    case Meaning::kMidRel: return releaseValues[1];
    case Meaning::kHighRel: return releaseValues[2];
    case Meaning::kMeters: return metersValue;
    case Meaning::kMeterType: return e.meterTypeValue;
    case Meaning::kMeterDelay: return meterDelay;
    case Meaning::kFineTune: return fineTune;
    case Meaning::kMeterScale: return meterScale;
    case Meaning::kFat: return fat;
    case Meaning::kLong: return longValue;
    case Meaning::kAuto: return autoValue;
    case Meaning::kBrickwall: return brickwall;
    case Meaning::kLR: return e.lrValue;
    case Meaning::kSpare: return programStore() ? programStore()->value(getCurrentProgram(), index) : 0.0f;
    case Meaning::kKnobMode: return static_cast<float>(knobModeValue);
    case Meaning::kChannelMode:
      switch (runningRouting(e)) {
        case Routing::Mono: return 0.0f;
        case Routing::Left: return 0.333f;
        case Routing::Right: return 0.667f;
        case Routing::Stereo: return 1.0f;
      }
      return 0.0f;
    default: return 0.0f;
  }
}

ParameterText Ostrelvanheim::parameterText(VstInt32 index) const {
  const VstInt32 meaning = product_.parameters.meaningOf(index);
  if (const OwnParameterText* own = ownText(product_, meaning)) return {own->name, own->label};
  return sharedText(meaning);
}

void Ostrelvanheim::getParameterDisplay(VstInt32 index, char* text) {
  const CompressorEngine& e = engine_;
  const double f = fineTuneFactor;
  const double g = std::sqrt(f);
  const VstInt32 meaning = product_.parameters.meaningOf(index);
  *text = 0;
  if (const OwnParameterText* own = ownText(product_, meaning); own && own->display) {
    writeText(text, own->display);
    return;
  }
  switch (meaning) {
    case Meaning::kProcess: writeText(text, process >= 0.5f ? " On " : " Off "); break;
    case Meaning::kMode: writeText(text, mode >= 0.5f ? " MultiBand " : " SingleBnd "); break;
    case Meaning::kMonoStereo: {
      const Routing r = runningRouting(e);
      writeText(text, r == Routing::Stereo ? " Stereo " : (r == Routing::Mono ? " Mono " : " L-R "));
      break;
    }
    case Meaning::kLink: writeText(text, link >= 0.5f ? " Linked " : " Unlinked "); break;
    case Meaning::kDrive: writeNumber(text, (48.0 * drive - 24.0) * f, 2); break;
    case Meaning::kKnee: writeNumber(text, 100.0 * knee, 1); break;
    case Meaning::kSpeed: writeNumber(text, 100.0 * speed, 1); break;
    case Meaning::kRelease: writeNumber(text, e.releaseFactor, 2); break;
    case Meaning::kHighAdjust: writeNumber(text, (24.0 * highAdjust - 12.0) * f, 2); break;
    case Meaning::kLowAdjust: writeNumber(text, (24.0 * lowAdjust - 12.0) * f, 2); break;
    case Meaning::kHighFreq: writeNumber(text, e.highFreqHz, 0); break;
    case Meaning::kLowFreq: writeNumber(text, 2.0 * e.lowFreqHz, 1); break;
    case Meaning::kMix: writeNumber(text, 100.0 * mixValue, 1); break;
    case Meaning::kCeiling: writeNumber(text, g * (24.0 * ceiling - 12.0), 2); break;
    case Meaning::kOutput: writeNumber(text, g * (24.0 * output - 12.0), 2); break;
    case Meaning::kLowSat:
    case Meaning::kMidSat:
    case Meaning::kHighSat: {
      const double span = product_.saturationDisplaySpan;
      writeNumber(text, span * satValues[meaning - Meaning::kLowSat] - 0.5 * span, 2);
      break;
    }
    case Meaning::kLowRel:
    case Meaning::kMidRel:
    case Meaning::kHighRel: writeNumber(text, e.bandReleaseFactors[meaning - Meaning::kLowRel], 2); break;
    case Meaning::kMeters: writeText(text, metersText(metersValue)); break;
    case Meaning::kMeterType: writeText(text, e.meterTypeValue >= 0.5f ? " PPM " : " VU "); break;
    case Meaning::kMeterDelay: writeText(text, "-"); break;
    case Meaning::kFineTune: writeNumber(text, 100.0 * f, 0); break;
    case Meaning::kMeterScale: writeText(text, meterScaleMode == 1 ? "-40..+6" : "-20..+3"); break;
    case Meaning::kFat: writeText(text, fat >= 0.5f ? " FAT " : " Off "); break;
    case Meaning::kLong: writeText(text, longValue >= 0.5f ? " Long " : " Off "); break;
    case Meaning::kAuto: writeText(text, autoValue >= 0.5f ? " Auto " : " Off "); break;
    case Meaning::kBrickwall: writeText(text, brickwall >= 0.5f ? " BrickWall " : " Off "); break;
    case Meaning::kLR: {
      // Both channels are processed in stereo as in the one-channel routing of both.
      const Routing r = runningRouting(e);
      writeText(text, r == Routing::Left ? " L " : (r == Routing::Right ? " R " : " OO-O"));
      break;
    }
    case Meaning::kVuIntegr: writeNumber(text, vuIntegrationMs, 0); break;
    case Meaning::kVuRefer: writeNumber(text, vuReference, 1); break;
    case Meaning::kPpmIntegr: writeNumber(text, e.ppmIntegrationMs, 0); break;
    case Meaning::kPpmReturn: writeNumber(text, e.ppmReturnMs, 0); break;
    case Meaning::kOverIndic: float2string(static_cast<float>(e.overThreshold), text, 12); break;
    case Meaning::kKnobMode: writeText(text, knobModeValue >= 0.5 ? " Linear " : " Circular "); break;
    default: break;
  }
}

float Ostrelvanheim::getParameterPlainValue(VstInt32 index) {
  if (const std::optional<double> value = meterPreferencePlainValue(index)) return static_cast<float>(*value);
  const CompressorEngine& e = engine_;
  const double f = fineTuneFactor;
  const double g = std::sqrt(f);
  double value = 0.0;
  switch (product_.parameters.meaningOf(index)) {
    case Meaning::kProcess: value = e.processOn; break;
    case Meaning::kMode: value = e.multiBand; break;
    case Meaning::kMonoStereo: value = runningRouting(e) == Routing::Stereo ? 1.0 : 0.0; break;
    case Meaning::kLink: value = e.linked; break;
    case Meaning::kDrive: value = (drive - 0.5) * 48.0 * f; break;
    case Meaning::kKnee: value = 100.0 * knee; break;
    case Meaning::kSpeed: value = 100.0 * speed; break;
    case Meaning::kRelease: value = e.releaseFactor; break;
    case Meaning::kHighAdjust: value = (highAdjust - 0.5) * 24.0 * f; break;
    case Meaning::kLowAdjust: value = (lowAdjust - 0.5) * 24.0 * f; break;
    case Meaning::kHighFreq: value = e.highFreqHz; break;
    case Meaning::kLowFreq: value = 2.0 * e.lowFreqHz; break;
    case Meaning::kMix: value = 100.0 * mixValue; break;
    case Meaning::kCeiling: value = g * (ceiling - 0.5) * 24.0; break;
    case Meaning::kOutput: value = g * (output - 0.5) * 24.0; break;
    case Meaning::kLowSat: value = e.satLevels[0]; break;
    case Meaning::kMidSat: value = e.satLevels[1]; break;
    case Meaning::kHighSat: value = e.satLevels[2]; break;
    case Meaning::kLowRel: value = e.bandReleaseFactors[0]; break;
    case Meaning::kMidRel: value = e.bandReleaseFactors[1]; break;
    case Meaning::kHighRel: value = e.bandReleaseFactors[2]; break;
    case Meaning::kMeterDelay:
      value = meterDelay == 0.0f ? -1.0 : (meterDelay - 0.125) * 1000.0 / 0.875;
      break;
    case Meaning::kFineTune: value = f; break;
    case Meaning::kFat: value = e.fatOn; break;
    case Meaning::kLong: value = e.longOn; break;
    case Meaning::kAuto: value = e.autoOn; break;
    case Meaning::kBrickwall: value = e.brickwallOn; break;
    case Meaning::kLR: {
      const Routing r = runningRouting(e);
      value = r == Routing::Left ? 0.5 : (r == Routing::Right ? 1.0 : 0.0);
      break;
    }
    case Meaning::kKnobMode: value = knobModeValue; break;
    default: break;
  }
  return static_cast<float>(value);
}

bool Ostrelvanheim::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
  switch (product_.parameters.meaningOf(index)) {
    case Meaning::kProcess:
    case Meaning::kMode:
    case Meaning::kMonoStereo:
    case Meaning::kLink:
    case Meaning::kMeterType:
    case Meaning::kMeterScale:
    case Meaning::kFat:
    case Meaning::kLong:
    case Meaning::kAuto:
    case Meaning::kBrickwall: return integerProperties(p, kSwitchProperties, 1);
    case Meaning::kMeters: return integerProperties(p, kSelectorProperties, 2);
    case Meaning::kFineTune: return integerProperties(p, kSelectorProperties, 3);
    default: return false;
  }
}
