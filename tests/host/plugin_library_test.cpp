// The test plug-in as a host sees it: loaded by path, created through both
// exported names, driven through its record by the test host.
#include <gtest/gtest.h>

#include <string>

#include "tools/vsthost/plugin_host.h"
#include "tools/vsthost/signals.h"

namespace {

using vsthost::HostConfig;
using vsthost::HostedPlugin;
using vsthost::PluginLibrary;

class PluginLibraryTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { ASSERT_TRUE(library_.open(JYX_TEST_PLUGIN)) << library_.error(); }
  PluginLibrary library_;
};

TEST_P(PluginLibraryTest, HostThatAnswersVersionZeroGetsNoEffect) {
  HostConfig config;
  config.version = 0;
  EXPECT_EQ(HostedPlugin::create(library_.entry(GetParam()), config), nullptr);
}

TEST_P(PluginLibraryTest, EntryGivesARecordThatProcessesAndCloses) {
  auto plugin = HostedPlugin::create(library_.entry(GetParam()));
  ASSERT_NE(plugin, nullptr);
  AEffect* e = plugin->effect();
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->uniqueID, fourCharCode('T', 'e', 's', 't'));
  EXPECT_EQ(plugin->dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(plugin->text(effGetEffectName), "Test Effect");
  EXPECT_EQ(plugin->parameterName(0), "Gain");

  std::vector<std::vector<float>> in = {vsthost::toFloat(vsthost::sine(1000, 440, 44100)),
                                        vsthost::toFloat(vsthost::whiteNoise(1000, 7))};
  std::vector<std::vector<float>> out;
  plugin->resume();
  plugin->processSignal(in, out, 100);
  ASSERT_EQ(out.size(), 2u);
  for (std::size_t i = 0; i < 1000; ++i) {
    ASSERT_EQ(out[0][i], in[0][i] * 0.5f);
    ASSERT_EQ(out[1][i], in[1][i] * 0.5f);
  }
  EXPECT_TRUE(plugin->textGuardsIntact());
  plugin->close();
  EXPECT_EQ(plugin->effect(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothExportNames, PluginLibraryTest, ::testing::Values("VSTPluginMain", "main"));

TEST(PluginLibrary, MissingLibraryReportsAnError) {
  PluginLibrary library;
  EXPECT_FALSE(library.open(std::string(JYX_TEST_PLUGIN) + ".missing"));
  EXPECT_FALSE(library.error().empty());
  EXPECT_EQ(library.entry("VSTPluginMain"), nullptr);
}

}  // namespace
