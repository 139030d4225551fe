#include "host/audioeffect.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "host/aeffeditor.h"

namespace {

constexpr VstInt32 kDefaultUniqueId = fourCharCode('N', 'o', 'E', 'f');
constexpr VstIntPtr kIdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');

VstIntPtr deliverText(void* ptr, const char* text, VstInt32 maxChars) {
  deliverHostText(static_cast<char*>(ptr), text, maxChars);
  return 0;
}

AudioEffect* effectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

}  // namespace

void deliverHostText(char* text, const char* source, VstInt32 maxChars) {
  if (!text || maxChars < 0) return;
  VstInt32 n = 0;
  if (source) {
    while (n < maxChars && source[n] != 0) {
      text[n] = source[n];
      ++n;
    }
  }
  text[n] = 0;
}

void copyHostText(char* text, const char* source, VstInt32 maxLen) {
  if (!text || maxLen < 0) return;
  deliverHostText(text, source, maxLen);
  for (VstInt32 n = static_cast<VstInt32>(std::strlen(text)); n <= maxLen; ++n) text[n] = 0;
}

AEffEditor::AEffEditor(AudioEffect* owner) : effect(owner) {
  if (effect) effect->setEditor(this);
}

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEffectClass;
  cEffect.process = processClass;
  cEffect.setParameter = setParameterClass;
  cEffect.getParameter = getParameterClass;
  cEffect.numPrograms = programs;
  cEffect.numParams = params;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = effFlagsCanReplacing;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = kDefaultUniqueId;
  cEffect.version = 1;
  cEffect.processReplacing = processClassReplacing;
  cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() {
  delete editor;
  editor = nullptr;
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(effFlagsHasEditor, newEditor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  // Opcodes that read or write through ptr do nothing without it.
  switch (opcode) {
    case effSetProgramName:
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effEditGetRect:
    case effEditOpen:
    case effGetChunk:
      if (!ptr) return 0;
      break;
    default: break;
  }

  switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
      if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName: {
      // The name is read from the host's text; a terminated copy keeps a missing
      // terminator from running off its end. One byte past the name's length
      // tells the effect whether the text goes on, so that it can cut a longer
      // name between two characters.
      char name[kProgramNameChars + 2] = {};
      std::strncpy(name, static_cast<const char*>(ptr), kProgramNameChars + 1);
      setProgramName(name);
      return 0;
    }
    case effGetProgramName: {
      HostTextScratch s;
      getProgramName(s.text);
      return deliverText(ptr, s.text, kProgramNameChars);
    }
    case effGetParamLabel: {
      HostTextScratch s;
      getParameterLabel(index, s.text);
      return deliverText(ptr, s.text, kParamTextBytes - 1);
    }
    case effGetParamDisplay: {
      HostTextScratch s;
      getParameterDisplay(index, s.text);
      return deliverText(ptr, s.text, kParamTextBytes - 1);
    }
    case effGetParamName: {
      HostTextScratch s;
      getParameterName(index, s.text);
      return deliverText(ptr, s.text, kParamTextBytes - 1);
    }
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
      if (value)
        resume();
      else
        suspend();
      return 0;
    case effEditGetRect: return (editor && editor->getRect(static_cast<ERect**>(ptr))) ? 1 : 0;
    case effEditOpen: return (editor && editor->open(ptr)) ? 1 : 0;
    case effEditClose:
      if (editor) editor->close();
      return 0;
    case effEditIdle:
      if (editor) editor->idle();
      return 0;
    case effIdentify: return kIdentifyAnswer;
    case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      // A null chunk reaches setChunk, which refuses it with its own answer.
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
  }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  // The effect is updated before the host records the change.
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
  if (!audioMaster) return 1;
  const VstIntPtr version = callHost(audioMasterVersion);
  return version ? static_cast<VstInt32>(version) : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() { return static_cast<VstInt32>(callHost(audioMasterCurrentId)); }

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

bool AudioEffect::isInputConnected(VstInt32 input) {
  return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
  return callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0.0f)
    copyHostText(text, "-oo", maxLen);
  else
    float2string(20.0f * std::log10(value), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
  const float sampleRateNow = getSampleRate();
  if (samples == 0.0f)
    float2string(0.0f, text, maxLen);
  else
    float2string(sampleRateNow / samples, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
  float2string(samples * 1000.0f / getSampleRate(), text, maxLen);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
  // Eight character positions: the sign and the point count as one each.
  char out[32];
  const bool negative = value < 0.0f;
  const double magnitude = std::fabs(static_cast<double>(value));
  if (std::isnan(value)) {
    copyHostText(text, "NaN", maxLen);
    return;
  }
  if ((negative && magnitude > 9999999.0) || (!negative && magnitude > 99999999.0)) {
    copyHostText(text, "Huge!", maxLen);
    return;
  }

  // Integer digits, built from the right. The range test above leaves at most
  // eight (seven for a negative value); all of them are kept.
  char digits[16];
  int d = 0;
  auto integer = static_cast<std::uint64_t>(std::floor(magnitude));
  do {
    digits[d++] = static_cast<char>('0' + integer % 10);
    integer /= 10;
  } while (integer > 0);

  int len = 0;
  if (negative) out[len++] = '-';
  while (d > 0) out[len++] = digits[--d];
  out[len++] = '.';

  const int positions = len;
  if (positions < 8) {
    const int n = 8 - positions;
    double fraction = std::fmod(magnitude, 1.0) * std::pow(10.0, n);
    for (int i = n - 1; i >= 0; --i) {
      if (fraction <= 0.0) {
        out[len + i] = '0';
      } else {
        out[len + i] = static_cast<char>('0' + static_cast<int>(std::fmod(fraction, 10.0)));
        fraction /= 10.0;
      }
    }
    len += n;
  }
  out[len] = 0;
  copyHostText(text, out, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
  if (value >= 100000000) {
    copyHostText(text, "Huge!", maxLen);
    return;
  }
  char out[16];
  char digits[12];
  int d = 0;
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  do {
    digits[d++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  int len = 0;
  if (value < 0) out[len++] = '-';
  while (d > 0) out[len++] = digits[--d];
  out[len] = 0;
  copyHostText(text, out, maxLen);
}

VstIntPtr AudioEffect::dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return 0;
  // Nothing may unwind into the host (an opcode that runs out of memory answers 0).
  try {
    if (opcode == effClose) {
      // An open editor window goes first, while the effect it shows still exists.
      if (effect->editor && effect->editor->isOpen()) effect->editor->close();
      effect->dispatcher(opcode, index, value, ptr, opt);
      delete effect;
      return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

float AudioEffect::getParameterClass(AEffect* e, VstInt32 index) {
  AudioEffect* effect = effectOf(e);
  return effect ? effect->getParameter(index) : 0.0f;
}

void AudioEffect::setParameterClass(AEffect* e, VstInt32 index, float value) {
  if (AudioEffect* effect = effectOf(e)) effect->setParameter(index, value);
}

void AudioEffect::processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = effectOf(e)) effect->process(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = effectOf(e)) effect->processReplacing(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                              VstInt32 sampleFrames) {
  if (AudioEffect* effect = effectOf(e)) effect->processDoubleReplacing(inputs, outputs, sampleFrames);
}
