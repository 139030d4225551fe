// VST 2.x layer of the effect base: opcodes 25-79 and the host-callback wrappers.
#pragma once

#include "host/audioeffect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
      : AudioEffect(audioMaster, numPrograms, numParams) {}
  ~AudioEffectX() override = default;

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
  void resume() override;

  // Parameters.
  virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
  virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
  virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) { return false; }
  virtual bool beginEdit(VstInt32 index);
  virtual bool endEdit(VstInt32 index);

  // Programs.
  virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) {
    return false;
  }
  virtual bool beginSetProgram() { return false; }
  virtual bool endSetProgram() { return false; }
  virtual VstInt32 beginLoadBank(VstPatchChunkInfo* /*info*/) { return 0; }
  virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* /*info*/) { return 0; }

  // Connections and configuration.
  virtual bool ioChanged();
  virtual double updateSampleRate();
  virtual VstInt32 updateBlockSize();
  virtual VstInt32 getInputLatency();
  virtual VstInt32 getOutputLatency();
  virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*p*/) { return false; }
  virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*p*/) { return false; }
  // Either arrangement may be null: the host gave none.
  virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*in*/, VstSpeakerArrangement* /*out*/) {
    return false;
  }
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) {
    *in = nullptr;
    *out = nullptr;
    return false;
  }
  virtual bool setBypass(bool /*onOff*/) { return false; }
  virtual bool setPanLaw(VstInt32 /*type*/, float /*value*/) { return false; }
  virtual bool setProcessPrecision(VstInt32 /*precision*/) { return false; }
  virtual VstInt32 getNumMidiInputChannels() { return 0; }
  virtual VstInt32 getNumMidiOutputChannels() { return 0; }

  // Realtime.
  virtual VstTimeInfo* getTimeInfo(VstInt32 filter);
  virtual VstInt32 getCurrentProcessLevel();
  virtual VstInt32 getAutomationState();
  virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
  virtual VstInt32 startProcess() { return 0; }
  virtual VstInt32 stopProcess() { return 0; }
  virtual bool processVariableIo(VstVariableIo* /*io*/) { return false; }
  virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }

  // Host properties.
  virtual bool getHostVendorString(char* text);
  virtual bool getHostProductString(char* text);
  virtual VstInt32 getHostVendorVersion();
  virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual VstInt32 canHostDo(char* text);
  virtual VstInt32 getHostLanguage();
  virtual void isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
  virtual void noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }
  virtual VstInt32 getGetTailSize() { return 0; }
  virtual void* getDirectory();

  // Plug-in properties.
  virtual bool getEffectName(char* /*name*/) { return false; }
  virtual bool getVendorString(char* /*text*/) { return false; }
  virtual bool getProductString(char* /*text*/) { return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  virtual VstIntPtr vendorSpecific(VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
    return 0;
  }
  virtual VstInt32 canDo(char* /*text*/) { return 0; }
  virtual VstInt32 getVstVersion() { return kVstVersion; }
  virtual VstPlugCategory getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
  }

  // MIDI programs.
  virtual VstInt32 getMidiProgramName(VstInt32 /*channel*/, MidiProgramName* /*name*/) { return 0; }
  virtual VstInt32 getCurrentMidiProgram(VstInt32 /*channel*/, MidiProgramName* /*name*/) { return -1; }
  virtual VstInt32 getMidiProgramCategory(VstInt32 /*channel*/, MidiProgramCategory* /*c*/) { return 0; }
  virtual bool hasMidiProgramsChanged(VstInt32 /*channel*/) { return false; }
  virtual bool getMidiKeyName(VstInt32 /*channel*/, MidiKeyName* /*keyName*/) { return false; }

  // Host display and window.
  virtual bool updateDisplay();
  virtual bool sizeWindow(VstInt32 width, VstInt32 height);
  virtual bool openFileSelector(VstFileSelect* ptr);
  virtual bool closeFileSelector(VstFileSelect* ptr);
  virtual VstInt32 getNextShellPlugin(char* /*name*/) { return 0; }

  // Speaker-arrangement helpers.
  virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels);
  virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
  virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
  virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);

  // Offline processing.
  virtual bool offlineRead(VstAudioFile* file, VstInt32 option, bool readSource);
  virtual bool offlineWrite(VstAudioFile* file, VstInt32 option);
  virtual bool offlineStart(VstAudioFile* file, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles);
  virtual VstInt32 offlineGetCurrentPass();
  virtual VstInt32 offlineGetCurrentMetaPass();
  virtual bool offlineNotify(VstAudioFile* /*ptr*/, VstInt32 /*numAudioFiles*/, bool /*start*/) {
    return false;
  }
  virtual bool offlinePrepare(void* /*offline*/, VstInt32 /*count*/) { return false; }
  virtual bool offlineRun(void* /*offline*/, VstInt32 /*count*/) { return false; }

  // Deprecated operations: no effect of the family calls them.
  virtual VstInt32 getNumAutomatableParametersDeprecated() { return 0; }
  virtual VstInt32 getParameterQuantizationDeprecated() { return 0; }
  virtual bool wantEvents(VstInt32 filter = 1);
  virtual VstInt32 tempoAt(VstInt32 pos);
  virtual VstInt32 getNumAutomatableParameters();
  virtual VstInt32 getParameterQuantization();
  virtual VstInt32 getNumCategories() { return 1; }
  virtual bool copyProgram(VstInt32 /*destination*/) { return false; }
  virtual bool needIdle();
  virtual AEffect* getPreviousPlug(VstInt32 input);
  virtual AEffect* getNextPlug(VstInt32 output);
  virtual void inputConnected(VstInt32 /*index*/, bool /*state*/) {}
  virtual void outputConnected(VstInt32 /*index*/, bool /*state*/) {}
  virtual VstInt32 willProcessReplacing();
  virtual void wantAsyncOperation(bool state) { setFlag(effFlagsExtIsAsync, state); }
  virtual void hasExternalBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
  virtual VstInt32 reportCurrentPosition() { return 0; }
  virtual float* reportDestinationBuffer() { return nullptr; }
  virtual bool setOutputSamplerate(float samplerate);
  virtual VstSpeakerArrangement* getInputSpeakerArrangement();
  virtual VstSpeakerArrangement* getOutputSpeakerArrangement();
  virtual void* openWindow(void* window);
  virtual bool closeWindow(void* window);
  virtual void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
  }
  virtual bool getErrorText(char* /*text*/) { return false; }
  virtual VstIntPtr getIcon() { return 0; }
  virtual bool setViewPosition(VstInt32 /*x*/, VstInt32 /*y*/) { return false; }
  virtual VstInt32 fxIdle() { return 0; }
  virtual bool keysRequired() { return false; }
  virtual bool getChunkFile(void* nativePath);
};
