// The parameter model of JYX Ostrelvanheim2: what every index stores, the
// quantities it derives, and its name, unit and display texts. Indices 0-41
// are the host's (31-41 spare), 43-48 and 57 the editor's own.
#include <algorithm>
#include <cmath>

#include "dsp/saturation_curve.h"
#include "products/common/parameter_values.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"

namespace {

// Names and unit labels as the host shows them, blanks included.
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

}  // namespace

void Ostrelvanheim::setParameter(VstInt32 index, float value) {
  const float v = admittedValue(value);
  applyParameter(index, v);
  // The meter-display delay keeps the value it stored, in the programs too.
  finishSetParameter(index, index == 23 ? meterDelay : v);
}

void Ostrelvanheim::applyCeilingAndKnee() {
  CompressorEngine& e = engine_;
  e.curveScale = e.inverseSaturationCurve(static_cast<float>(1.0 / e.ceilingGain));
  e.ceilingLevel = e.ceilingGain;
  e.smallSignalGainValue = e.smallSignalGain();
}

void Ostrelvanheim::applyParameter(VstInt32 index, float v) {
  CompressorEngine& e = engine_;
  const double f = fineTuneFactor;
  const double g = std::sqrt(f);
  switch (index) {
    case 0:
      process = v;
      e.processOn = switchState(v);
      e.requestClearDelayRings();
      break;
    case 1:
      mode = v;
      e.modeValue = v;
      e.multiBand = switchState(v);
      e.requestResetDetectors();
      e.updateFilterCoefficients();
      e.updateTimeConstants();
      break;
    case 2: e.monoStereoValue = v; break;
    case 3:
      link = v;
      e.linked = switchState(v);
      break;
    case 4:
      drive = v;
      e.driveGain = std::pow(256.0, f * v) / std::pow(16.0, f);
      e.smallSignalGainValue = e.smallSignalGain();
      break;
    case 5:
      knee = v;
      {
        const KneeSetting k = kneeOf(v);
        e.kneeMode = k.mode;
        e.kneeAmount = k.amount;
      }
      applyCeilingAndKnee();
      break;
    case 6:
      speed = v;
      e.speedValue = v;
      e.updateTimeConstants();
      break;
    case 7:
      release = v;
      e.releaseValue = v;
      e.releaseFactor = 0.25 * std::pow(16.0, static_cast<double>(v));
      e.updateTimeConstants();
      break;
    case 8:
      highAdjust = v;
      e.highAdjustGain = std::pow(16.0, f * v) / std::pow(4.0, f);
      break;
    case 9:
      lowAdjust = v;
      e.lowAdjustGain = std::pow(16.0, f * v) / std::pow(4.0, f);
      break;
    case 10:
      highFreq = v;
      e.highFreqHz = 1000.0 * std::pow(16.0, static_cast<double>(v));
      e.updateFilterCoefficients();
      break;
    case 11:
      lowFreq = v;
      e.lowFreqHz = 12.5 * std::pow(16.0, static_cast<double>(v));
      e.updateFilterCoefficients();
      break;
    case 12:
      mixValue = v;
      e.mix = v;
      break;
    case 13:
      ceiling = v;
      e.ceilingGain = std::pow(16.0, g * v) / std::pow(4.0, g);
      applyCeilingAndKnee();
      break;
    case 14:
      output = v;
      e.outputGain = std::pow(16.0, g * v) / std::pow(4.0, g);
      break;
    case 15:
    case 16:
    case 17: {
      const int b = index - 15;
      satValues[b] = v;
      e.satLevels[b] = 0.25 * std::pow(16.0, static_cast<double>(v));
      e.satInverses[b] = 1.0 / e.satLevels[b];
      break;
    }
    case 18:
    case 19:
    case 20: {
      const int b = index - 18;
      releaseValues[b] = v;
      e.bandReleaseFactors[b] = std::pow(256.0, static_cast<double>(v)) / 16.0;
      e.updateTimeConstants();
      break;
    }
    case 21:
      metersValue = v;
      e.meterSource = std::min(static_cast<int>(3.0f * v), 2);
      break;
    case 22: e.meterTypeValue = v; break;
    case 23: meterDelay = v < 0.06125f ? 0.0f : std::max(v, 0.125f); break;
    case 24: {
      fineTune = v;
      const int k = static_cast<int>(3.0f * v + 0.5f);
      fineTuneFactor = std::pow(0.125, 1.0 - k / 3.0);
      // The gains that scale with the fine-tune factor follow it at once.
      setParameter(13, ceiling);
      setParameter(4, drive);
      setParameter(8, highAdjust);
      setParameter(9, lowAdjust);
      setParameter(14, output);
      break;
    }
    case 25:
      meterScale = v;
      meterScaleMode = switchState(v);
      break;
    case 26:
      fat = v;
      e.fatOn = getSampleRate() <= 100000.0f ? switchState(v) : 0;
      e.updateFilterCoefficients();
      e.updateTimeConstants();
      e.requestCleanStart();
      break;
    case 27:
      longValue = v;
      e.longOn = switchState(v);
      e.updateTimeConstants();
      break;
    case 28:
      autoValue = v;
      e.autoOn = switchState(v);
      break;
    case 29:
      brickwall = v;
      e.brickwallOn = switchState(v);
      break;
    case 30: e.lrValue = v; break;
    case 43:
      vuIntegr = v;
      vuIntegrationMs = 30.0 * std::pow(100.0, vuIntegr);
      e.requestVuFrequency(700.0 / vuIntegrationMs);
      break;
    case 44:
      vuRefer = v;
      vuReference = std::pow(0.06125, 1.0 - vuRefer);
      e.vuReferenceInverse = 1.0 / vuReference;
      break;
    case 45:
      ppmIntegr = v;
      e.ppmIntegrationMs = std::pow(101.0, ppmIntegr) - 1.0;
      e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
      break;
    case 46:
      ppmReturn = v;
      e.ppmReturnMs = 100.0 * std::pow(100.0, ppmReturn);
      e.ppmTimeRatio = static_cast<float>(e.ppmIntegrationMs / e.ppmReturnMs);
      break;
    case 47:
      overIndicValue = static_cast<float>(static_cast<int>(9.0 * v + 0.5) / 9.0);
      e.overThreshold = 9.0 * static_cast<double>(overIndicValue) + 1.0;
      break;
    case 48: knobModeValue = knobModeCopy = v; break;
    case kChannelModeIndex: {
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
  const CompressorEngine& e = engine_;
  switch (index) {
    case 0: return process;
    case 1: return mode;
    case 2: return e.monoStereoValue;
    case 3: return link;
    case 4: return drive;
    case 5: return knee;
    case 6: return speed;
    case 7: return release;
    case 8: return highAdjust;
    case 9: return lowAdjust;
    case 10: return highFreq;
    case 11: return lowFreq;
    case 12: return mixValue;
    case 13: return ceiling;
    case 14: return output;
    case 15:
    case 16:
    case 17: return satValues[index - 15];
    case 18:
    case 19:
    case 20: return releaseValues[index - 18];
    case 21: return metersValue;
    case 22: return e.meterTypeValue;
    case 23: return meterDelay;
    case 24: return fineTune;
    case 25: return meterScale;
    case 26: return fat;
    case 27: return longValue;
    case 28: return autoValue;
    case 29: return brickwall;
    case 30: return e.lrValue;
    case 43: return static_cast<float>(vuIntegr);
    case 44: return static_cast<float>(vuRefer);
    case 45: return static_cast<float>(ppmIntegr);
    case 46: return static_cast<float>(ppmReturn);
    case 47: return overIndicValue;
    case 48: return static_cast<float>(knobModeValue);
    case kChannelModeIndex:
      if (e.monoStereoValue < 0.5f && e.lrValue < 0.333f) return 0.0f;
      if (e.monoStereoValue >= 0.5f && e.lrValue < 0.333f) return 1.0f;
      return e.lrValue < 0.66f ? 0.333f : 0.667f;
    default:
      if (index >= 31 && index <= 41 && programStore())
        return programStore()->value(getCurrentProgram(), index);
      return 0.0f;
  }
}

void Ostrelvanheim::getParameterName(VstInt32 index, char* text) {
  writeText(text, index >= 0 && index < 49 ? kTexts[index].name : "-");
}

void Ostrelvanheim::getParameterLabel(VstInt32 index, char* label) {
  writeText(label, index >= 0 && index < 49 ? kTexts[index].label : "-");
}

void Ostrelvanheim::getParameterDisplay(VstInt32 index, char* text) {
  const CompressorEngine& e = engine_;
  const double f = fineTuneFactor;
  const double g = std::sqrt(f);
  *text = 0;
  switch (index) {
    case 0: writeText(text, process >= 0.5f ? " On " : " Off "); break;
    case 1: writeText(text, mode >= 0.5f ? " MultiBand " : " SingleBnd "); break;
    case 2:
      if (e.lrValue < 0.333f)
        writeText(text, e.monoStereoValue >= 0.5f ? " Stereo " : " Mono ");
      else
        writeText(text, " L-R ");
      break;
    case 3: writeText(text, link >= 0.5f ? " Linked " : " Unlinked "); break;
    case 4: writeNumber(text, (48.0 * drive - 24.0) * f, 2); break;
    case 5: writeNumber(text, 100.0 * knee, 1); break;
    case 6: writeNumber(text, 100.0 * speed, 1); break;
    case 7: writeNumber(text, e.releaseFactor, 2); break;
    case 8: writeNumber(text, (24.0 * highAdjust - 12.0) * f, 2); break;
    case 9: writeNumber(text, (24.0 * lowAdjust - 12.0) * f, 2); break;
    case 10: writeNumber(text, e.highFreqHz, 0); break;
    case 11: writeNumber(text, 2.0 * e.lowFreqHz, 1); break;
    case 12: writeNumber(text, 100.0 * mixValue, 1); break;
    case 13: writeNumber(text, g * (24.0 * ceiling - 12.0), 2); break;
    case 14: writeNumber(text, g * (24.0 * output - 12.0), 2); break;
    case 15:
    case 16:
    case 17: writeNumber(text, 24.0 * satValues[index - 15] - 12.0, 2); break;
    case 18:
    case 19:
    case 20: writeNumber(text, e.bandReleaseFactors[index - 18], 2); break;
    case 21:
      writeText(text,
                metersValue < 0.3333333f ? " Pre " : (metersValue < 0.6666667f ? " GainRed " : " Post "));
      break;
    case 22: writeText(text, e.meterTypeValue >= 0.5f ? " PPM " : " VU "); break;
    case 23: writeText(text, "-"); break;
    case 24: writeNumber(text, 100.0 * f, 0); break;
    case 25: writeText(text, meterScaleMode == 1 ? "-40..+6" : "-20..+3"); break;
    case 26: writeText(text, fat >= 0.5f ? " FAT " : " Off "); break;
    case 27: writeText(text, longValue >= 0.5f ? " Long " : " Off "); break;
    case 28: writeText(text, autoValue >= 0.5f ? " Auto " : " Off "); break;
    case 29: writeText(text, brickwall >= 0.5f ? " BrickWall " : " Off "); break;
    case 30: writeText(text, e.lrValue < 0.333f ? " OO-O" : (e.lrValue < 0.66f ? " L " : " R ")); break;
    case 43: writeNumber(text, vuIntegrationMs, 0); break;
    case 44: writeNumber(text, vuReference, 1); break;
    case 45: writeNumber(text, e.ppmIntegrationMs, 0); break;
    case 46: writeNumber(text, e.ppmReturnMs, 0); break;
    case 47: float2string(static_cast<float>(e.overThreshold), text, 12); break;
    case 48: writeText(text, knobModeValue >= 0.5 ? " Linear " : " Circular "); break;
    default: break;
  }
}

float Ostrelvanheim::getParameterPlainValue(VstInt32 index) {
  const CompressorEngine& e = engine_;
  const double f = fineTuneFactor;
  const double g = std::sqrt(f);
  double value = 0.0;
  switch (index) {
    case 0: value = e.processOn; break;
    case 1: value = e.multiBand; break;
    case 2: value = switchState(e.monoStereoValue); break;
    case 3: value = e.linked; break;
    case 4: value = (drive - 0.5) * 48.0 * f; break;
    case 5: value = 100.0 * knee; break;
    case 6: value = 100.0 * speed; break;
    case 7: value = e.releaseFactor; break;
    case 8: value = (highAdjust - 0.5) * 24.0 * f; break;
    case 9: value = (lowAdjust - 0.5) * 24.0 * f; break;
    case 10: value = e.highFreqHz; break;
    case 11: value = 2.0 * e.lowFreqHz; break;
    case 12: value = 100.0 * mixValue; break;
    case 13: value = g * (ceiling - 0.5) * 24.0; break;
    case 14: value = g * (output - 0.5) * 24.0; break;
    case 15:
    case 16:
    case 17: value = e.satLevels[index - 15]; break;
    case 18:
    case 19:
    case 20: value = e.bandReleaseFactors[index - 18]; break;
    case 23: value = meterDelay == 0.0f ? -1.0 : (meterDelay - 0.125) * 1000.0 / 0.875; break;
    case 24: value = f; break;
    case 26: value = e.fatOn; break;
    case 27: value = e.longOn; break;
    case 28: value = e.autoOn; break;
    case 29: value = e.brickwallOn; break;
    case 30: value = e.lrValue < 0.333f ? 0.0 : (e.lrValue < 0.66f ? 0.5 : 1.0); break;
    case 43: value = vuIntegrationMs; break;
    case 44: value = vuReference; break;
    case 45: value = e.ppmIntegrationMs; break;
    case 46: value = e.ppmReturnMs; break;
    case 47: value = e.overThreshold; break;
    case 48: value = knobModeValue; break;
    default: break;
  }
  return static_cast<float>(value);
}

bool Ostrelvanheim::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
  switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 22:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29: return integerProperties(p, kSwitchProperties, 1);
    case 21: return integerProperties(p, kSelectorProperties, 2);
    case 24: return integerProperties(p, kSelectorProperties, 3);
    default: return false;
  }
}
