#include "tests/host/test_effect.h"

#include <cstring>

TestLog gTestLog;
TestTexts gTestTexts;

namespace {
// Writes the whole text, as a careless product would: the shell must bound it.
void writeUnbounded(char* out, const std::string& text) { std::memcpy(out, text.c_str(), text.size() + 1); }
}  // namespace

TestEditor::TestEditor(AudioEffect* owner) : AEffEditor(owner) { ++gTestLog.editors; }
TestEditor::~TestEditor() { --gTestLog.editors; }

bool TestEditor::getRect(ERect** r) {
  *r = rectAnswer ? &rect : nullptr;
  return rectAnswer;
}

bool TestEditor::open(void* ptr) {
  AEffEditor::open(ptr);
  return openAnswer;
}

void TestEditor::close() {
  ++gTestLog.editorCloses;
  AEffEditor::close();
}

bool TestEditor::onKeyDown(VstKeyCode& key) {
  lastKey = key;
  return keyAnswer;
}

TestEffect::TestEffect(audioMasterCallback audioMaster, bool withEditor)
    : AudioEffectX(audioMaster, 1, kNumParams) {
  ++gTestLog.effects;
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(fourCharCode('T', 'e', 's', 't'));
  if (withEditor) new TestEditor(this);  // registers itself with the effect
}

TestEffect::~TestEffect() { --gTestLog.effects; }

void TestEffect::close() {
  ++gTestLog.closes;
  gTestLog.editorClosedBeforeEffectClose = editor && !editor->isOpen() && gTestLog.editorCloses > 0;
}

void TestEffect::setSampleRate(float rate) {
  AudioEffectX::setSampleRate(rate);
  gTestLog.lastSampleRate = rate;
}

void TestEffect::setBlockSize(VstInt32 size) {
  AudioEffectX::setBlockSize(size);
  gTestLog.lastBlockSize = size;
}

void TestEffect::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  for (VstInt32 c = 0; c < 2; ++c)
    for (VstInt32 i = 0; i < frames; ++i) outputs[c][i] = inputs[c][i] * 0.5f;
}

void TestEffect::processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames) {
  for (VstInt32 c = 0; c < 2; ++c)
    for (VstInt32 i = 0; i < frames; ++i) outputs[c][i] = inputs[c][i] * 0.5;
}

void TestEffect::setParameter(VstInt32 index, float value) {
  if (index >= 0 && index < kNumParams) values_[index] = value;
}

float TestEffect::getParameter(VstInt32 index) {
  return (index >= 0 && index < kNumParams) ? values_[index] : 0.0f;
}

void TestEffect::setProgram(VstInt32 program) {
  ++gTestLog.programSets;
  AudioEffectX::setProgram(program);
}

void TestEffect::getProgramName(char* name) {
  ++gTestLog.textCalls;
  writeUnbounded(name, gTestTexts.programName);
}

void TestEffect::getParameterName(VstInt32, char* text) {
  ++gTestLog.textCalls;
  writeUnbounded(text, gTestTexts.parameterName);
}

void TestEffect::getParameterLabel(VstInt32, char* text) {
  ++gTestLog.textCalls;
  writeUnbounded(text, gTestTexts.parameterLabel);
}

void TestEffect::getParameterDisplay(VstInt32, char* text) {
  ++gTestLog.textCalls;
  writeUnbounded(text, gTestTexts.parameterDisplay);
}

VstInt32 TestEffect::getChunk(void** data, bool isPreset) {
  ++gTestLog.chunkGets;
  gTestLog.lastChunkWasPreset = isPreset;
  *data = chunk_;
  return sizeof chunk_;
}

bool TestEffect::getEffectName(char* name) {
  writeUnbounded(name, gTestTexts.effectName);
  return true;
}

bool TestEffect::getVendorString(char* text) {
  writeUnbounded(text, gTestTexts.vendor);
  return true;
}

bool TestEffect::getProductString(char* text) {
  writeUnbounded(text, gTestTexts.product);
  return true;
}
