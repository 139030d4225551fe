// Base class of every effect: owns the AEffect record handed to the host, the
// six static entry functions it points to, and the VST 1.x dispatcher.
#pragma once

#include "host/vst_abi.h"

class AEffEditor;
class AudioEffect;

// Each product defines this factory; the library entry calls it.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}

  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(VstInt32 size) { blockSize = size; }

  // Audio thread.
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}

  // Any host thread.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  virtual void setProgramName(char* /*name*/) {}
  virtual void getProgramName(char* name) { *name = 0; }
  virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = 0; }
  virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = 0; }
  virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = 0; }

  virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
  virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }

  virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
  virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }

  virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
  virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
  virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

  virtual AEffEditor* getEditor() { return editor; }
  virtual AEffect* getAeffect() { return &cEffect; }
  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }

  // Host calls; each answers its default without a host callback.
  virtual VstInt32 getMasterVersion();
  virtual VstInt32 getCurrentUniqueId();
  virtual void masterIdle();
  virtual bool isInputConnected(VstInt32 input);
  virtual bool isOutputConnected(VstInt32 output);

  // Number-to-text helpers: each writes at most maxLen characters and a zero at
  // text[maxLen], so text must hold maxLen + 1 bytes.
  virtual void dB2string(float value, char* text, VstInt32 maxLen);
  virtual void Hz2string(float samples, char* text, VstInt32 maxLen);
  virtual void ms2string(float samples, char* text, VstInt32 maxLen);
  virtual void float2string(float value, char* text, VstInt32 maxLen);
  virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);

  // Deprecated members, kept so that the operation set is complete.
  virtual void process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
  virtual float getVu() { return 0.0f; }
  virtual void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
  virtual void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
  virtual void canMono(bool state) { setFlag(effFlagsCanMono, state); }
  virtual void setRealtimeQualities(VstInt32 qualities) { cEffect.realQualities = qualities; }
  virtual void setOfflineQualities(VstInt32 qualities) { cEffect.offQualities = qualities; }

  // Stores the editor and sets effFlagsHasEditor exactly when it is not null.
  void setEditor(AEffEditor* newEditor);

  // The record's entry functions.
  static VstIntPtr dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                       void* ptr, float opt);
  static float getParameterClass(AEffect* e, VstInt32 index);
  static void setParameterClass(AEffect* e, VstInt32 index, float value);
  static void processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames);
  static void processClassReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames);
  static void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);

 protected:
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void setFlag(VstInt32 flag, bool state);

  audioMasterCallback audioMaster;
  AEffEditor* editor = nullptr;
  float sampleRate = 44100.0f;
  VstInt32 blockSize = 1024;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 curProgram = 0;
  AEffect cEffect;
};

// Copies text into a buffer of maxLen + 1 bytes: at most maxLen characters,
// the rest up to and including text[maxLen] zero. A negative maxLen writes nothing.
void copyHostText(char* text, const char* source, VstInt32 maxLen);

// Hands a text to the host: at most maxChars characters and one terminator,
// and not a byte more, whatever buffer size the host had in mind.
void deliverHostText(char* text, const char* source, VstInt32 maxChars);

// Where the products write their texts before they reach the host, so that no
// product text can run past the host's buffer.
struct HostTextScratch {
  char text[256 + 16] = {};
};
