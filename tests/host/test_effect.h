// A test-only effect on the shell, with an editor whose answers the tests set.
// It records which operations the dispatcher reached and with what.
#pragma once

#include <string>

#include "host/aeffeditor.h"
#include "host/audioeffectx.h"

struct TestLog {
  int effects = 0;  // live effect objects
  int editors = 0;  // live editor objects
  int closes = 0;   // effect close() calls
  int editorCloses = 0;
  int programSets = 0;
  int textCalls = 0;  // calls of the text operations
  int chunkGets = 0;
  bool lastChunkWasPreset = false;
  int suspends = 0;
  int resumes = 0;
  float lastSampleRate = 0.0f;
  int lastBlockSize = 0;
  bool editorClosedBeforeEffectClose = false;
};

extern TestLog gTestLog;

// Texts the test effect hands out; tests make them long to check the bounds.
struct TestTexts {
  std::string parameterName = "Gain";
  std::string parameterLabel = "dB";
  std::string parameterDisplay = "0.0";
  std::string programName = "Init";
  std::string effectName = "Test Effect";
  std::string vendor = "Test Vendor";
  std::string product = "Test Product";
};

extern TestTexts gTestTexts;

class TestEditor : public AEffEditor {
 public:
  explicit TestEditor(AudioEffect* effect);
  ~TestEditor() override;

  bool getRect(ERect** rect) override;
  bool open(void* ptr) override;
  void close() override;
  bool onKeyDown(VstKeyCode& key) override;

  bool rectAnswer = true;
  bool openAnswer = true;
  bool keyAnswer = true;
  VstKeyCode lastKey{};
  ERect rect{0, 0, 300, 400};
};

class TestEffect : public AudioEffectX {
 public:
  static constexpr VstInt32 kNumParams = 4;

  explicit TestEffect(audioMasterCallback audioMaster, bool withEditor = false);
  ~TestEffect() override;

  void open() override {}
  void close() override;
  void suspend() override { ++gTestLog.suspends; }
  void resume() override { ++gTestLog.resumes; }
  void setSampleRate(float rate) override;
  void setBlockSize(VstInt32 size) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames) override;
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void setProgram(VstInt32 program) override;
  void getProgramName(char* name) override;
  void getParameterName(VstInt32 index, char* text) override;
  void getParameterLabel(VstInt32 index, char* text) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  VstInt32 getChunk(void** data, bool isPreset) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;

  TestEditor* testEditor() { return static_cast<TestEditor*>(editor); }
  AEffect& record() { return cEffect; }

 private:
  float values_[kNumParams] = {};
  char chunk_[16] = "test chunk";
};
