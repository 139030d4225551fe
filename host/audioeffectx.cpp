#include "host/audioeffectx.h"

#include <cstdlib>
#include <cstring>

#include "host/aeffeditor.h"

namespace {

bool opcodeNeedsPtr(VstInt32 opcode) {
  switch (opcode) {
    case effString2Parameter:
    case effGetProgramNameIndexed:
    case effGetInputProperties:
    case effGetOutputProperties:
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effProcessVarIo:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effCanDo:
    case effGetParameterProperties:
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram:
    case effGetMidiProgramCategory:
    case effGetMidiKeyName:
    case effGetSpeakerArrangement:
    case effShellGetNextPlugin:
    case effBeginLoadBank:
    case effBeginLoadProgram: return true;
    default: return false;
  }
}

// Writes what a product produced into the host's buffer, never more than maxChars
// characters and a terminator.
template <typename Fill>
VstIntPtr boundedText(void* ptr, VstInt32 maxChars, Fill fill) {
  HostTextScratch s;
  if (!fill(s.text)) return 0;
  deliverHostText(static_cast<char*>(ptr), s.text, maxChars);
  return 1;
}

// The key modifier is one byte of the host's float; a value no integer can
// hold counts as no modifier.
unsigned char modifierByte(float opt) {
  return (opt > -2147483648.0f && opt < 2147483648.0f) ? static_cast<unsigned char>(static_cast<int>(opt))
                                                       : 0;
}

}  // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  // The speaker-arrangement opcodes carry their first record in value; of a
  // pair the host gives only in part, whichever pointer exists comes back null.
  // A pair to set reaches the effect as it is, null pointers included.
  if (opcode == effGetSpeakerArrangement && (!value || !ptr)) {
    if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = nullptr;
    if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = nullptr;
    return 0;
  }
  if (opcodeNeedsPtr(opcode) && !ptr) return 0;

  switch (opcode) {
    case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter: return string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
    case effGetProgramNameIndexed: {
      HostTextScratch s;
      if (!getProgramNameIndexed(static_cast<VstInt32>(value), index, s.text)) return 0;
      deliverHostText(static_cast<char*>(ptr), s.text, kProgramNameChars);
      return 1;
    }
    case effGetInputProperties: return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
      return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory: return getPlugCategory();
    case effOfflineNotify:
      return offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value), index != 0) ? 1 : 0;
    case effOfflinePrepare: return offlinePrepare(ptr, static_cast<VstInt32>(value)) ? 1 : 0;
    case effOfflineRun: return offlineRun(ptr, static_cast<VstInt32>(value)) ? 1 : 0;
    case effProcessVarIo: return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
    case effSetSpeakerArrangement:
      return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                   static_cast<VstSpeakerArrangement*>(ptr))
                 ? 1
                 : 0;
    case effSetBypass: return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
      return boundedText(ptr, kEffectNameChars, [&](char* t) { return getEffectName(t); });
    case effGetVendorString:
      return boundedText(ptr, kVendorStringChars, [&](char* t) { return getVendorString(t); });
    case effGetProductString:
      return boundedText(ptr, kProductStringChars, [&](char* t) { return getProductString(t); });
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return canDo(static_cast<char*>(ptr));
    case effGetTailSize: return getGetTailSize();
    case effGetParameterProperties:
      return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
      if (!editor) return 0;
      VstKeyCode key{};
      key.character = index;
      key.virt = static_cast<unsigned char>(value);
      key.modifier = modifierByte(opt);
      const bool handled = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
      return handled ? 1 : 0;
    }
    case effSetEditKnobMode: return (editor && editor->setKnobMode(static_cast<VstInt32>(value))) ? 1 : 0;
    case effGetMidiProgramName: return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
      return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged: return hasMidiProgramsChanged(index) ? 1 : 0;
    case effGetMidiKeyName: return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
    case effBeginSetProgram: return beginSetProgram() ? 1 : 0;
    case effEndSetProgram: return endSetProgram() ? 1 : 0;
    case effGetSpeakerArrangement:
      return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                   static_cast<VstSpeakerArrangement**>(ptr))
                 ? 1
                 : 0;
    case effShellGetNextPlugin: return getNextShellPlugin(static_cast<char*>(ptr));
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw: return setPanLaw(static_cast<VstInt32>(value), opt) ? 1 : 0;
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision: return setProcessPrecision(static_cast<VstInt32>(value)) ? 1 : 0;
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

void AudioEffectX::resume() {
  char receiveMidi[] = "receiveVstMidiEvent";
  if ((cEffect.flags & effFlagsIsSynth) || canDo(receiveMidi) == 1) wantEvents(1);
}

bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }
bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }

double AudioEffectX::updateSampleRate() {
  const VstIntPtr rate = callHost(audioMasterGetSampleRate);
  if (rate > 0) sampleRate = static_cast<float>(rate);
  return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
  const VstIntPtr size = callHost(audioMasterGetBlockSize);
  if (size > 0) blockSize = static_cast<VstInt32>(size);
  return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() {
  return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}
VstInt32 AudioEffectX::getOutputLatency() {
  return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
  return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}
VstInt32 AudioEffectX::getCurrentProcessLevel() {
  return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}
VstInt32 AudioEffectX::getAutomationState() {
  return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::getHostVendorString(char* text) {
  return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}
bool AudioEffectX::getHostProductString(char* text) {
  return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}
VstInt32 AudioEffectX::getHostVendorVersion() {
  return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}
VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}
VstInt32 AudioEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0; }
VstInt32 AudioEffectX::getHostLanguage() { return static_cast<VstInt32>(callHost(audioMasterGetLanguage)); }
void* AudioEffectX::getDirectory() { return reinterpret_cast<void*>(callHost(audioMasterGetDirectory)); }

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(audioMasterSizeWindow, width, height) != 0;
}
bool AudioEffectX::openFileSelector(VstFileSelect* ptr) {
  return ptr && callHost(audioMasterOpenFileSelector, 0, 0, ptr) != 0;
}
bool AudioEffectX::closeFileSelector(VstFileSelect* ptr) {
  return ptr && callHost(audioMasterCloseFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels) {
  if (!arrangement || channels < 0) return false;
  deallocateArrangement(arrangement);
  const std::size_t speakers = channels > 8 ? static_cast<std::size_t>(channels) : 8u;
  const std::size_t bytes =
      offsetof(VstSpeakerArrangement, speakers) + speakers * sizeof(VstSpeakerProperties);
  auto* result = static_cast<VstSpeakerArrangement*>(std::calloc(1, bytes));
  if (!result) return false;
  result->numChannels = channels;
  *arrangement = result;
  return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
  if (!arrangement) return false;
  std::free(*arrangement);
  *arrangement = nullptr;
  return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
  if (!to || !from) return false;
  copyHostText(to->name, from->name, kVstMaxNameLen - 1);
  to->type = from->type;
  to->azimuth = from->azimuth;
  to->elevation = from->elevation;
  to->radius = from->radius;
  to->reserved = from->reserved;
  std::memcpy(to->future, from->future, sizeof(to->future));
  return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
  if (!to || !from) return false;
  if (!allocateArrangement(to, from->numChannels)) return false;
  (*to)->type = from->type;
  for (VstInt32 i = 0; i < from->numChannels; ++i)
    if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i])) return false;
  return true;
}

bool AudioEffectX::offlineRead(VstAudioFile* file, VstInt32 option, bool readSource) {
  return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, file) != 0;
}
bool AudioEffectX::offlineWrite(VstAudioFile* file, VstInt32 option) {
  return callHost(audioMasterOfflineWrite, 0, option, file) != 0;
}
bool AudioEffectX::offlineStart(VstAudioFile* file, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles) {
  return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, file) != 0;
}
VstInt32 AudioEffectX::offlineGetCurrentPass() {
  return callHost(audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0;
}
VstInt32 AudioEffectX::offlineGetCurrentMetaPass() {
  return callHost(audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

bool AudioEffectX::wantEvents(VstInt32 filter) { return callHost(audioMasterWantMidi, 0, filter) != 0; }
VstInt32 AudioEffectX::tempoAt(VstInt32 pos) {
  return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, pos));
}
VstInt32 AudioEffectX::getNumAutomatableParameters() {
  return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}
VstInt32 AudioEffectX::getParameterQuantization() {
  return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}
bool AudioEffectX::needIdle() { return callHost(audioMasterNeedIdle) != 0; }
AEffect* AudioEffectX::getPreviousPlug(VstInt32 input) {
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug, 0, input));
}
AEffect* AudioEffectX::getNextPlug(VstInt32 output) {
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug, 0, output));
}
VstInt32 AudioEffectX::willProcessReplacing() {
  return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}
bool AudioEffectX::setOutputSamplerate(float samplerate) {
  return callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, samplerate) != 0;
}
VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}
VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetOutputSpeakerArrangement));
}
void* AudioEffectX::openWindow(void* window) {
  return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}
bool AudioEffectX::closeWindow(void* window) { return callHost(audioMasterCloseWindow, 0, 0, window) != 0; }
bool AudioEffectX::getChunkFile(void* nativePath) {
  return nativePath && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}
