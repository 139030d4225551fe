// Each built plug-in library as a host loads it, through both exported names:
// its record, some exact parameter texts, its latency, its chunk.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/settings_sandbox.h"
#include "tools/vsthost/plugin_host.h"
#include "tools/vsthost/signals.h"

namespace {

struct Text {
  VstInt32 opcode, index;
  const char* text;
};

struct Library {
  const char* name;
  const char* path;
  VstInt32 uniqueId, parameters, delay;
  VstInt32 flags;  // with effFlagsHasEditor once the product has its editor
  std::size_t chunkBytes;
  std::vector<Text> texts;
  VstInt32 changedIndex;  // a parameter the chunk round trip changes
};

const Library kLibraries[] = {
    {"JYX_Ostrelvanheim2",
     JYX_OSTRELVANHEIM2_PLUGIN,
     fourCharCode('J', 'Y', 'O', 's'),
     42,
     639,
     0x1031,
     5792,
     {{effGetParamName, 8, " HighAdjust "},
      {effGetParamLabel, 4, " dB "},
      {effGetParamDisplay, 10, "16000"},
      {effGetProgramName, 0, "Default"}},
     4},
    {"JYX_Ostrelvanheim",
     JYX_OSTRELVANHEIM_PLUGIN,
     fourCharCode('J', 'y', 'O', 's'),
     48,
     127,
     0x1031,
     6512,
     {{effGetParamName, 8, " HighAdjust "},
      {effGetParamName, 35, " MeterScale "},
      {effGetParamName, 31, "-"},
      {effGetParamDisplay, 31, "-"},
      {effGetParamDisplay, 15, "0.00"},
      {effGetProgramName, 0, "Default"},
      {effGetEffectName, 0, "JYX Ostrelvanheim"}},
     4},
    {"JYX_Tindravelle",
     JYX_TINDRAVELLE_PLUGIN,
     fourCharCode('J', 'y', 'T', 'i'),
     22,
     63,
     0x1031,
     1488,
     {{effGetParamName, 2, "Stereo-Mono"},
      {effGetParamName, 16, " MeterDelay "},
      {effGetParamLabel, 6, "dB"},
      {effGetParamDisplay, 4, "100.0"},
      {effGetParamDisplay, 14, "GainRed"},
      {effGetProgramName, 0, "Default"},
      {effGetEffectName, 0, "JYX Tindravelle"}},
     6},
};

struct Case {
  const Library* library;
  const char* entry;
};

std::vector<Case> cases() {
  std::vector<Case> all;
  for (const Library& l : kLibraries)
    for (const char* entry : {"VSTPluginMain", "main"}) all.push_back({&l, entry});
  return all;
}

class PluginLibrary : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.open(GetParam().library->path)) << library_.error();
    plugin_ = vsthost::HostedPlugin::create(library_.entry(GetParam().entry));
    ASSERT_NE(plugin_, nullptr);
  }
  std::unique_ptr<vsthost::HostedPlugin> another() {
    return vsthost::HostedPlugin::create(library_.entry(GetParam().entry));
  }
  testsupport::SettingsSandbox sandbox_;
  vsthost::PluginLibrary library_;
  std::unique_ptr<vsthost::HostedPlugin> plugin_;
};

TEST_P(PluginLibrary, LoadsAndShowsItsParametersAndLatency) {
  const Library& l = *GetParam().library;
  AEffect* e = plugin_->effect();
  EXPECT_EQ(e->uniqueID, l.uniqueId);
  EXPECT_EQ(e->numParams, l.parameters);
  EXPECT_EQ(e->initialDelay, l.delay);
  EXPECT_EQ(e->flags, l.flags);
  for (const Text& t : l.texts)
    EXPECT_EQ(plugin_->text(t.opcode, t.index), t.text) << t.opcode << " " << t.index;
  for (VstInt32 i = 0; i < e->numParams; ++i) {
    plugin_->parameterName(i);
    plugin_->parameterLabel(i);
    plugin_->parameterDisplay(i);
  }
  EXPECT_TRUE(plugin_->textGuardsIntact());
}

TEST_P(PluginLibrary, ChunkRoundTripRestoresProgramsAndParameters) {
  const Library& l = *GetParam().library;
  plugin_->setParameter(l.changedIndex, 0.7f);
  const auto chunk = plugin_->getChunk();
  ASSERT_EQ(chunk.size(), l.chunkBytes);
  auto other = another();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->setChunk(chunk), 0);
  EXPECT_EQ(other->getParameter(l.changedIndex), 0.7f);
  EXPECT_EQ(other->getChunk(), chunk);
  auto shortChunk = chunk;
  shortChunk.pop_back();
  EXPECT_EQ(other->setChunk(shortChunk), -1);
}

TEST_P(PluginLibrary, ImpulseArrivesAfterTheReportedDelay) {
  plugin_->resume();
  std::vector<std::vector<float>> in = {vsthost::toFloat(vsthost::impulse(2048, 100, 0.5)),
                                        vsthost::toFloat(vsthost::impulse(2048, 100, 0.5))};
  std::vector<std::vector<float>> out;
  plugin_->processSignal(in, out, 256);
  std::size_t peak = 0;
  for (std::size_t i = 0; i < out[0].size(); ++i)
    if (std::fabs(out[0][i]) > std::fabs(out[0][peak])) peak = i;
  EXPECT_EQ(peak, 100u + static_cast<std::size_t>(GetParam().library->delay));
}

INSTANTIATE_TEST_SUITE_P(EveryLibraryAndExportName, PluginLibrary, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.library->name) + "_" + info.param.entry;
                         });

}  // namespace
