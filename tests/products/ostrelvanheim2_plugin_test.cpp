// The built JYX Ostrelvanheim2 library as a host loads it, through both
// exported names.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/settings_sandbox.h"
#include "tools/vsthost/plugin_host.h"
#include "tools/vsthost/signals.h"

namespace {

class Ostrelvanheim2Plugin : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { ASSERT_TRUE(library_.open(JYX_OSTRELVANHEIM2_PLUGIN)) << library_.error(); }
  testsupport::SettingsSandbox sandbox_;
  vsthost::PluginLibrary library_;
};

TEST_P(Ostrelvanheim2Plugin, LoadsAndShowsItsParametersAndLatency) {
  auto plugin = vsthost::HostedPlugin::create(library_.entry(GetParam()));
  ASSERT_NE(plugin, nullptr);
  AEffect* e = plugin->effect();
  EXPECT_EQ(e->uniqueID, fourCharCode('J', 'Y', 'O', 's'));
  EXPECT_EQ(e->numParams, 42);
  EXPECT_EQ(e->initialDelay, 639);
  EXPECT_EQ(e->flags, 0x1030);
  EXPECT_EQ(plugin->parameterName(8), " HighAdjust ");
  EXPECT_EQ(plugin->parameterLabel(4), " dB ");
  EXPECT_EQ(plugin->parameterDisplay(10), "16000");
  EXPECT_EQ(plugin->programName(), "Default");
  for (VstInt32 i = 0; i < e->numParams; ++i) {
    plugin->parameterName(i);
    plugin->parameterLabel(i);
    plugin->parameterDisplay(i);
  }
  EXPECT_TRUE(plugin->textGuardsIntact());
}

TEST_P(Ostrelvanheim2Plugin, ChunkRoundTripRestoresProgramsAndParameters) {
  auto plugin = vsthost::HostedPlugin::create(library_.entry(GetParam()));
  ASSERT_NE(plugin, nullptr);
  plugin->setParameter(1, 1.0f);
  plugin->setParameter(4, 0.7f);
  const auto chunk = plugin->getChunk();
  ASSERT_EQ(chunk.size(), 5792u);
  auto other = vsthost::HostedPlugin::create(library_.entry(GetParam()));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->setChunk(chunk), 0);
  EXPECT_EQ(other->getParameter(1), 1.0f);
  EXPECT_EQ(other->getParameter(4), 0.7f);
  EXPECT_EQ(other->getChunk(), chunk);
  auto shortChunk = chunk;
  shortChunk.pop_back();
  EXPECT_EQ(other->setChunk(shortChunk), -1);
}

TEST_P(Ostrelvanheim2Plugin, ImpulseArrivesAfterTheReportedDelay) {
  auto plugin = vsthost::HostedPlugin::create(library_.entry(GetParam()));
  ASSERT_NE(plugin, nullptr);
  plugin->setParameter(1, 1.0f);
  plugin->resume();
  std::vector<std::vector<float>> in = {vsthost::toFloat(vsthost::impulse(2048, 100, 0.5)),
                                        vsthost::toFloat(vsthost::impulse(2048, 100, 0.5))};
  std::vector<std::vector<float>> out;
  plugin->processSignal(in, out, 256);
  std::size_t peak = 0;
  for (std::size_t i = 0; i < out[0].size(); ++i)
    if (std::fabs(out[0][i]) > std::fabs(out[0][peak])) peak = i;
  EXPECT_EQ(peak, 100u + 639u);
}

INSTANTIATE_TEST_SUITE_P(BothExportNames, Ostrelvanheim2Plugin, ::testing::Values("VSTPluginMain", "main"));

}  // namespace
