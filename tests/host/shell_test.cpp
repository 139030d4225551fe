// The shell through a test effect: the record, the dispatchers, the close path,
// the host-callback wrappers and the text helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/host/test_effect.h"

namespace {

struct CallbackLog {
  VstIntPtr version = kVstVersion;
  VstIntPtr pinAnswer = 0;
  std::vector<std::pair<VstInt32, VstInt32>> calls;  // opcode, index
  float lastOpt = 0.0f;
  VstIntPtr lastValue = 0;
};
CallbackLog gHost;

VstIntPtr testHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt) {
  gHost.calls.emplace_back(opcode, index);
  gHost.lastOpt = opt;
  gHost.lastValue = value;
  switch (opcode) {
    case audioMasterVersion: return gHost.version;
    case audioMasterPinConnected: return gHost.pinAnswer;
    default: return 0;
  }
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gTestLog = {};
    gTestTexts = {};
    gHost = {};
  }
  void TearDown() override {
    if (effect_) AudioEffect::dispatchEffectClass(effect_->getAeffect(), effClose, 0, 0, nullptr, 0);
    EXPECT_EQ(gTestLog.effects, 0);
    EXPECT_EQ(gTestLog.editors, 0);
  }

  TestEffect& make(bool withEditor = false) {
    effect_ = new TestEffect(testHost, withEditor);
    return *effect_;
  }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    AEffect* e = effect_->getAeffect();
    return e->dispatcher(e, opcode, index, value, ptr, opt);
  }
  // Reads a text opcode into a zeroed buffer and returns how many bytes changed.
  std::string readText(VstInt32 opcode, std::size_t& written, VstInt32 index = 0) {
    char buffer[300];
    std::memset(buffer, 0x7E, sizeof buffer);
    dispatch(opcode, index, 0, buffer);
    written = 0;
    for (std::size_t i = 0; i < sizeof buffer; ++i)
      if (static_cast<unsigned char>(buffer[i]) != 0x7E) written = i + 1;
    buffer[sizeof buffer - 1] = 0;
    return buffer;
  }

  TestEffect* effect_ = nullptr;
};

TEST_F(ShellTest, RecordHoldsTheFixedFieldsAtTheirOffsets) {
  TestEffect& fx = make();
  const auto* bytes = reinterpret_cast<const unsigned char*>(fx.getAeffect());
  // "VstP" with the first character in the top byte, stored little-endian.
  EXPECT_EQ(0, std::memcmp(bytes, "PtsV", 4));
  const AEffect& e = *fx.getAeffect();
  EXPECT_EQ(e.magic, 0x56737450);
  EXPECT_EQ(e.version, 1);
  EXPECT_EQ(e.ioRatio, 1.0f);
  EXPECT_EQ(e.object, &fx);
  EXPECT_EQ(e.numPrograms, 1);
  EXPECT_EQ(e.numParams, TestEffect::kNumParams);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.flags, effFlagsCanReplacing);
  EXPECT_EQ(e.initialDelay, 0);
  EXPECT_EQ(e.user, nullptr);
  EXPECT_EQ(e.resvd1, 0);
  EXPECT_EQ(e.processReplacing, &AudioEffect::processClassReplacing);
  EXPECT_EQ(e.processDoubleReplacing, &AudioEffect::processClassDoubleReplacing);
  for (unsigned char b : e.future) EXPECT_EQ(b, 0);
}

TEST_F(ShellTest, BaseConstructorFillsDefaultIdentityAndOneInput) {
  struct Bare : AudioEffect {
    Bare() : AudioEffect(nullptr, 3, 7) {}
    void processReplacing(float**, float**, VstInt32) override {}
  } bare;
  EXPECT_EQ(bare.getAeffect()->uniqueID, 0x4E6F4566);
  EXPECT_EQ(bare.getAeffect()->numInputs, 1);
  EXPECT_EQ(bare.getAeffect()->numOutputs, 2);
  EXPECT_EQ(bare.getSampleRate(), 44100.0f);
  EXPECT_EQ(bare.getBlockSize(), 1024);
}

TEST_F(ShellTest, FlagSettersSetAndClearTheirBits) {
  TestEffect& fx = make();
  fx.programsAreChunks(true);
  fx.canDoubleReplacing(true);
  EXPECT_EQ(fx.getAeffect()->flags, 0x1030);
  fx.canProcessReplacing(false);
  EXPECT_EQ(fx.getAeffect()->flags, 0x1020);
  fx.noTail(true);
  fx.isSynth(true);
  EXPECT_EQ(fx.getAeffect()->flags, 0x1320);
  EXPECT_EQ(fx.getPlugCategory(), kPlugCategSynth);
  fx.isSynth(false);
  fx.noTail(false);
  fx.setEditor(nullptr);
  EXPECT_EQ(fx.getAeffect()->flags, 0x1020);
}

TEST_F(ShellTest, EditorSetsTheEditorFlag) {
  TestEffect& fx = make(true);
  EXPECT_EQ(fx.getAeffect()->flags, effFlagsCanReplacing | effFlagsHasEditor);
  EXPECT_EQ(fx.getEditor(), fx.testEditor());
}

struct OpcodeAnswer {
  VstInt32 opcode;
  VstIntPtr value;
  VstIntPtr expected;
};

TEST_F(ShellTest, OpcodesWithoutActionAnswerTheBaseDefaults) {
  make();
  const OpcodeAnswer table[] = {
      {effOpen, 0, 0},
      {effGetProgram, 0, 0},
      {effGetVu, 0, 0},
      {effEditDraw, 0, 0},
      {effEditMouse, 0, 0},
      {effEditKey, 0, 0},
      {effEditTop, 0, 0},
      {effEditSleep, 0, 0},
      {effIdentify, 0, 0x4E764566},
      {effProcessEvents, 0, 0},
      {effCanBeAutomated, 0, 1},
      {28, 0, 0},
      {30, 0, 0},
      {31, 0, 0},
      {32, 0, 0},
      {effGetPlugCategory, 0, 0},
      {36, 0, 0},
      {37, 0, 0},
      {43, 0, 0},
      {effSetBypass, 1, 0},
      {46, 0, 0},
      {effGetVendorVersion, 0, 0},
      {effGetTailSize, 0, 0},
      {53, 0, 0},
      {54, 0, 0},
      {55, 0, 0},
      {57, 0, 0},
      {effGetVstVersion, 0, 2400},
      {effEditKeyDown, 0, 0},
      {effEditKeyUp, 0, 0},
      {effSetEditKnobMode, 2, 0},
      {effHasMidiProgramsChanged, 0, 0},
      {effBeginSetProgram, 0, 0},
      {effEndSetProgram, 0, 0},
      {effStartProcess, 0, 0},
      {effStopProcess, 0, 0},
      {effSetTotalSampleToProcess, 777, 777},
      {effSetPanLaw, 0, 0},
      {effSetProcessPrecision, 1, 0},
      {effGetNumMidiInputChannels, 0, 0},
      {effGetNumMidiOutputChannels, 0, 0},
      {80, 0, 0},
      {1000, 0, 0},
      {-1, 0, 0},
  };
  for (const auto& row : table) {
    EXPECT_EQ(dispatch(row.opcode, 0, row.value), row.expected) << "opcode " << row.opcode;
  }
  EXPECT_EQ(gTestLog.closes, 0);
}

TEST_F(ShellTest, IdentifyAnswersWhateverTheArguments) {
  make();
  char buffer[8];
  EXPECT_EQ(dispatch(effIdentify, 5, 9, buffer, 1.5f), 0x4E764566);
}

TEST_F(ShellTest, CanDoAnswersZeroForEveryString) {
  make();
  char midi[] = "receiveVstMidiEvent";
  char other[] = "sendVstEvents";
  EXPECT_EQ(dispatch(effCanDo, 0, 0, midi), 0);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, other), 0);
}

TEST_F(ShellTest, SetProgramIgnoresValuesOutsideTheProgramCount) {
  make();
  dispatch(effSetProgram, 0, 1);
  dispatch(effSetProgram, 0, -1);
  EXPECT_EQ(gTestLog.programSets, 0);
  dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(gTestLog.programSets, 1);
}

TEST_F(ShellTest, MainsChangedSuspendsAndResumesAndRateAndBlockArriveWhole) {
  make();
  dispatch(effMainsChanged, 0, 0);
  dispatch(effMainsChanged, 0, 1);
  dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  dispatch(effSetBlockSize, 0, 333);
  EXPECT_EQ(gTestLog.suspends, 1);
  EXPECT_EQ(gTestLog.resumes, 1);
  EXPECT_EQ(gTestLog.lastSampleRate, 96000.0f);
  EXPECT_EQ(gTestLog.lastBlockSize, 333);
}

TEST_F(ShellTest, GetChunkAsksForTheBankWithIndexZeroAndThePresetOtherwise) {
  make();
  void* data = nullptr;
  EXPECT_EQ(dispatch(effGetChunk, 0, 0, &data), 16);
  EXPECT_FALSE(gTestLog.lastChunkWasPreset);
  EXPECT_EQ(dispatch(effGetChunk, 3, 0, &data), 16);
  EXPECT_TRUE(gTestLog.lastChunkWasPreset);
  EXPECT_STREQ(static_cast<const char*>(data), "test chunk");
}

TEST_F(ShellTest, OpcodesThatUsePtrDoNothingWithoutIt) {
  make(true);
  const VstInt32 opcodes[] = {effSetProgramName,
                              effGetProgramName,
                              effGetParamLabel,
                              effGetParamDisplay,
                              effGetParamName,
                              effEditGetRect,
                              effEditOpen,
                              effGetChunk,
                              effString2Parameter,
                              effGetProgramNameIndexed,
                              effGetInputProperties,
                              effGetOutputProperties,
                              effGetEffectName,
                              effGetVendorString,
                              effGetProductString,
                              effCanDo,
                              effGetParameterProperties,
                              effGetSpeakerArrangement,
                              effSetSpeakerArrangement,
                              effGetMidiKeyName,
                              effShellGetNextPlugin,
                              effBeginLoadBank,
                              effBeginLoadProgram};
  for (VstInt32 op : opcodes) EXPECT_EQ(dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
  EXPECT_EQ(gTestLog.textCalls, 0);
  EXPECT_EQ(gTestLog.chunkGets, 0);
  EXPECT_FALSE(effect_->testEditor()->isOpen());
}

TEST_F(ShellTest, EditorOpcodesAnswerOneOnlyWhenTheEditorSucceeds) {
  make(true);
  TestEditor& ed = *effect_->testEditor();
  ERect* rect = nullptr;
  int parent = 0;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &ed.rect);
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_TRUE(ed.isOpen());
  dispatch(effEditClose);
  EXPECT_FALSE(ed.isOpen());

  ed.rectAnswer = false;
  ed.openAnswer = false;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 0);
}

TEST_F(ShellTest, EditorOpcodesWithoutEditorAnswerZero) {
  make(false);
  ERect* rect = nullptr;
  int parent = 0;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 0);
  EXPECT_EQ(dispatch(effEditClose), 0);
  EXPECT_EQ(dispatch(effEditIdle), 0);
  EXPECT_EQ(dispatch(effEditKeyDown, 'a', 1, nullptr, 2.0f), 0);
}

TEST_F(ShellTest, NamesAnEffectDoesNotHaveLeaveTheHostBufferAlone) {
  struct Bare : AudioEffectX {
    Bare() : AudioEffectX(nullptr, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
  } bare;
  for (VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString}) {
    char buffer[80];
    std::memset(buffer, 0x7E, sizeof buffer);
    AEffect* e = bare.getAeffect();
    EXPECT_EQ(e->dispatcher(e, opcode, 0, 0, buffer, 0.0f), 0);
    for (char c : buffer) ASSERT_EQ(c, 0x7E) << "opcode " << opcode;
  }
}

TEST_F(ShellTest, SpeakerArrangementQueryNullsWhicheverPointerItGets) {
  make();
  VstSpeakerArrangement dummy{};
  VstSpeakerArrangement* out = &dummy;
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, 0, &out), 0);
  EXPECT_EQ(out, nullptr);
  VstSpeakerArrangement* in = &dummy;
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), nullptr), 0);
  EXPECT_EQ(in, nullptr);
}

TEST_F(ShellTest, KeyDownCarriesCharacterVirtualKeyAndModifier) {
  make(true);
  EXPECT_EQ(dispatch(effEditKeyDown, 'q', 0x1FF, nullptr, 3.7f), 1);
  const VstKeyCode& key = effect_->testEditor()->lastKey;
  EXPECT_EQ(key.character, 'q');
  EXPECT_EQ(key.virt, 0xFF);  // one byte of the value
  EXPECT_EQ(key.modifier, 3);
  dispatch(effEditKeyDown, 'q', 0, nullptr, std::nanf(""));
  EXPECT_EQ(effect_->testEditor()->lastKey.modifier, 0) << "a modifier no integer holds counts as none";
  effect_->testEditor()->keyAnswer = false;
  EXPECT_EQ(dispatch(effEditKeyDown, 'q', 0, nullptr, 0), 0);
}

TEST_F(ShellTest, CloseAnswersOneAndLeavesNoEffectOrEditor) {
  make(true);
  AEffect* e = effect_->getAeffect();
  effect_ = nullptr;
  EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(gTestLog.closes, 1);
  EXPECT_EQ(gTestLog.effects, 0);
  EXPECT_EQ(gTestLog.editors, 0);
}

TEST_F(ShellTest, CloseWithAnOpenWindowClosesTheWindowFirst) {
  make(true);
  int parent = 0;
  dispatch(effEditOpen, 0, 0, &parent);
  AEffect* e = effect_->getAeffect();
  effect_ = nullptr;
  EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(gTestLog.editorCloses, 1);
  EXPECT_TRUE(gTestLog.editorClosedBeforeEffectClose);
  EXPECT_EQ(gTestLog.editors, 0);
}

struct TextLimit {
  const char* what;
  VstInt32 opcode;
  std::string TestTexts::*field;
  std::size_t maxChars;
};

TEST_F(ShellTest, TextsReachTheHostWholeButNeverPastTheirLimit) {
  make();
  const TextLimit limits[] = {
      {"parameter name", effGetParamName, &TestTexts::parameterName, 23},
      {"parameter label", effGetParamLabel, &TestTexts::parameterLabel, 23},
      {"parameter display", effGetParamDisplay, &TestTexts::parameterDisplay, 23},
      {"program name", effGetProgramName, &TestTexts::programName, 24},
      {"effect name", effGetEffectName, &TestTexts::effectName, 31},
      {"vendor", effGetVendorString, &TestTexts::vendor, 63},
      {"product", effGetProductString, &TestTexts::product, 63},
  };
  for (const auto& limit : limits) {
    const std::string exact(limit.maxChars, 'x');
    gTestTexts.*limit.field = " HighAdjust ";  // a twelve-character parameter text
    std::size_t written = 0;
    EXPECT_EQ(readText(limit.opcode, written), " HighAdjust ") << limit.what;
    EXPECT_EQ(written, 13u) << limit.what << ": the text and its terminator, nothing more";

    gTestTexts.*limit.field = exact;
    EXPECT_EQ(readText(limit.opcode, written), exact) << limit.what;

    gTestTexts.*limit.field = std::string(200, 'y');
    EXPECT_EQ(readText(limit.opcode, written), std::string(limit.maxChars, 'y')) << limit.what;
    EXPECT_EQ(written, limit.maxChars + 1) << limit.what;
  }
}

TEST_F(ShellTest, SetParameterAutomatedUpdatesTheEffectBeforeTellingTheHost) {
  TestEffect& fx = make();
  fx.setParameterAutomated(2, 0.25f);
  EXPECT_EQ(fx.getParameter(2), 0.25f);
  ASSERT_FALSE(gHost.calls.empty());
  EXPECT_EQ(gHost.calls.back(), std::make_pair(VstInt32{audioMasterAutomate}, VstInt32{2}));
  EXPECT_EQ(gHost.lastOpt, 0.25f);

  TestEffect hostless(nullptr);
  hostless.setParameterAutomated(1, 0.75f);
  EXPECT_EQ(hostless.getParameter(1), 0.75f);
}

TEST_F(ShellTest, HostWrappersAnswerTheirDefaultsWithoutAHost) {
  TestEffect hostless(nullptr);
  EXPECT_EQ(hostless.getMasterVersion(), 1);
  EXPECT_EQ(hostless.getCurrentUniqueId(), 0);
  EXPECT_TRUE(hostless.isInputConnected(1));
  EXPECT_TRUE(hostless.isOutputConnected(1));
  EXPECT_EQ(hostless.updateBlockSize(), 1024);
  EXPECT_EQ(hostless.getOutputLatency(), 0);
  EXPECT_FALSE(hostless.updateDisplay());
  EXPECT_FALSE(hostless.beginEdit(3));
  EXPECT_FALSE(hostless.endEdit(3));
}

TEST_F(ShellTest, PinIsConnectedWhenTheHostAnswersZero) {
  TestEffect& fx = make();
  gHost.pinAnswer = 0;
  EXPECT_TRUE(fx.isInputConnected(1));
  EXPECT_EQ(gHost.lastValue, 0);
  EXPECT_TRUE(fx.isOutputConnected(1));
  EXPECT_EQ(gHost.lastValue, 1);
  gHost.pinAnswer = 1;
  EXPECT_FALSE(fx.isInputConnected(1));
  EXPECT_FALSE(fx.isOutputConnected(0));
}

TEST_F(ShellTest, MasterVersionZeroIsReportedAsOne) {
  TestEffect& fx = make();
  gHost.version = 0;
  EXPECT_EQ(fx.getMasterVersion(), 1);
  gHost.version = 2400;
  EXPECT_EQ(fx.getMasterVersion(), 2400);
}

TEST_F(ShellTest, BareEditorHasNoRectangleAndIsOpenOnlyBetweenOpenAndClose) {
  TestEffect& fx = make();
  AEffEditor bare(&fx);
  ERect* rect = reinterpret_cast<ERect*>(&fx);
  EXPECT_FALSE(bare.getRect(&rect));
  EXPECT_EQ(rect, nullptr);
  EXPECT_FALSE(bare.isOpen());
  int parent = 0;
  EXPECT_FALSE(bare.open(&parent));
  EXPECT_TRUE(bare.isOpen());
  bare.close();
  EXPECT_FALSE(bare.isOpen());
  EXPECT_FALSE(bare.setKnobMode(1));
  fx.setEditor(nullptr);  // the stack editor is not the effect's to delete
}

TEST_F(ShellTest, SpeakerArrangementHelpersCopyEverySpeaker) {
  TestEffect& fx = make();
  VstSpeakerArrangement* from = nullptr;
  ASSERT_TRUE(fx.allocateArrangement(&from, 8));
  from->type = 7;
  for (int i = 0; i < 8; ++i) {
    std::snprintf(from->speakers[i].name, sizeof from->speakers[i].name, "S%d", i);
    from->speakers[i].azimuth = static_cast<float>(i);
  }
  VstSpeakerArrangement* to = nullptr;
  ASSERT_TRUE(fx.matchArrangement(&to, from));
  EXPECT_EQ(to->numChannels, 8);
  EXPECT_EQ(to->type, 7);
  EXPECT_STREQ(to->speakers[7].name, "S7");
  EXPECT_EQ(to->speakers[7].azimuth, 7.0f);
  EXPECT_FALSE(fx.copySpeaker(nullptr, &from->speakers[0]));
  EXPECT_TRUE(fx.deallocateArrangement(&from));
  EXPECT_EQ(from, nullptr);
  fx.deallocateArrangement(&to);
}

TEST_F(ShellTest, GetSpeakerArrangementNullsBothPointers) {
  make();
  VstSpeakerArrangement dummy{};
  VstSpeakerArrangement* in = &dummy;
  VstSpeakerArrangement* out = &dummy;
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
}

// ---- text helpers ----

struct FloatCase {
  float value;
  const char* text;
};

TEST_F(ShellTest, Float2StringWritesEightPositions) {
  TestEffect& fx = make();
  const FloatCase cases[] = {
      {2.0f, "2.000000"},         {10.0f, "10.00000"},        {-1.5f, "-1.50000"},
      {0.0f, "0.000000"},         {1234.5f, "1234.500"},      {0.25f, "0.250000"},
      {-0.5f, "-0.50000"},        {9999999.0f, "9999999."},   {-1234567.0f, "-1234567."},
      {-9999999.0f, "-9999999."}, {12345678.0f, "12345678."}, {100000000.0f, "Huge!"},
      {-10000000.0f, "Huge!"},
  };
  for (const auto& c : cases) {
    char text[32];
    std::memset(text, 0x7E, sizeof text);
    fx.float2string(c.value, text, 24);
    EXPECT_STREQ(text, c.text) << c.value;
  }
}

TEST_F(ShellTest, TextHelpersNeverWritePastMaxLenPlusOne) {
  TestEffect& fx = make();
  char text[16];
  std::memset(text, 0x7E, sizeof text);
  fx.float2string(-1234567.0f, text, 5);
  EXPECT_STREQ(text, "-1234");
  for (std::size_t i = 6; i < sizeof text; ++i) EXPECT_EQ(text[i], 0x7E);

  std::memset(text, 0x7E, sizeof text);
  fx.int2string(-1234567, text, 8);
  EXPECT_STREQ(text, "-1234567");
  for (std::size_t i = 9; i < sizeof text; ++i) EXPECT_EQ(text[i], 0x7E);

  std::memset(text, 0x7E, sizeof text);
  fx.dB2string(0.0f, text, 0);
  EXPECT_EQ(text[0], 0);
  EXPECT_EQ(text[1], 0x7E);
}

struct IntCase {
  VstInt32 value;
  const char* text;
};

TEST_F(ShellTest, Int2StringWritesDigitsWithoutLeadingZeros) {
  TestEffect& fx = make();
  const IntCase cases[] = {
      {0, "0"},
      {-42, "-42"},
      {7, "7"},
      {99999999, "99999999"},
      {100000000, "Huge!"},
      {-1234567, "-1234567"},
      {-2147483647 - 1, "-2147483648"},
  };
  for (const auto& c : cases) {
    char text[32];
    fx.int2string(c.value, text, 24);
    EXPECT_STREQ(text, c.text) << c.value;
  }
}

TEST_F(ShellTest, DecibelHertzAndMillisecondHelpers) {
  TestEffect& fx = make();
  char text[32];
  fx.dB2string(0.0f, text, 24);
  EXPECT_STREQ(text, "-oo");
  fx.dB2string(-1.0f, text, 24);
  EXPECT_STREQ(text, "-oo");
  fx.dB2string(1.0f, text, 24);
  EXPECT_STREQ(text, "0.000000");
  fx.dB2string(10.0f, text, 24);
  EXPECT_STREQ(text, "20.00000");
  fx.Hz2string(0.0f, text, 24);
  EXPECT_STREQ(text, "0.000000");
  fx.Hz2string(441.0f, text, 24);
  EXPECT_STREQ(text, "100.0000");
  fx.ms2string(441.0f, text, 24);
  EXPECT_STREQ(text, "10.00000");
}

}  // namespace
