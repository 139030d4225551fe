// One host session with the built JYX Ostrelvanheim2 library, for valgrind's
// memcheck: load, create, process in every kernel with and without FAT at
// every rate band in both precisions, the chunk out and back in (native,
// byte-reversed, damaged), every parameter text, close and unload. Every
// output is looked at, so a value computed from uninitialised memory reaches
// a decision valgrind reports. Exits non-zero when a check fails.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "products/ostrelvanheim2/kernel_modes.h"
#include "tests/support/settings_sandbox.h"
#include "tools/vsthost/plugin_host.h"
#include "tools/vsthost/signals.h"

namespace {

int gFailures = 0;

void check(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  ++gFailures;
}

template <typename Sample>
bool allFinite(const std::vector<std::vector<Sample>>& out) {
  bool finite = true;
  for (const auto& channel : out)
    for (Sample v : channel) finite = finite && std::isfinite(v);
  return finite;
}

std::vector<std::uint8_t> byteReversed(std::vector<std::uint8_t> chunk) {
  // The chunk as a host of the other byte order keeps it: every header word
  // and every value reversed, the names as they are.
  auto swapAt = [&](std::size_t at) {
    std::swap(chunk[at], chunk[at + 3]);
    std::swap(chunk[at + 1], chunk[at + 2]);
  };
  for (std::size_t at = 0; at < 32; at += 4) swapAt(at);
  for (std::size_t entry = 32; entry < chunk.size(); entry += 24 + 4 * 42)
    for (std::size_t value = 0; value < 42; ++value) swapAt(entry + 24 + 4 * value);
  return chunk;
}

void processEverywhere(vsthost::HostedPlugin& p) {
  const std::vector<double> left = vsthost::whiteNoise(3000, 5, 0.9);
  std::vector<double> right = vsthost::pinkNoise(3000, 6, 0.9);
  right[100] = std::numeric_limits<double>::quiet_NaN();
  right[200] = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<double>> in = {left, right};
  const std::vector<std::vector<float>> inFloat = {vsthost::toFloat(left), vsthost::toFloat(right)};
  for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
    p.suspend();
    p.setSampleRate(rate);
    p.resume();
    for (const ostrelvanheim2::KernelMode& mode : ostrelvanheim2::kKernelModes) {
      for (float fat : {0.0f, 1.0f}) {
        for (const auto& [index, value] : mode.parameters()) p.setParameter(index, value);
        p.setParameter(26, fat);
        p.setParameter(28, 1.0f);
        p.setParameter(29, 1.0f);
        std::vector<std::vector<float>> outFloat;
        std::vector<std::vector<double>> out;
        p.processSignal(inFloat, outFloat, 512);
        p.processSignal(in, out, 333);
        const std::string what = std::string(mode.name) + " FAT " + std::to_string(fat) + " at " +
                                 std::to_string(static_cast<int>(rate));
        check(allFinite(outFloat), what + ": finite 32-bit output");
        check(allFinite(out), what + ": finite 64-bit output");
      }
    }
  }
}

void chunkRoundTrip(vsthost::HostedPlugin& p, vsthost::PluginEntry entry) {
  p.setParameter(4, 0.7f);
  const std::vector<std::uint8_t> chunk = p.getChunk();
  check(chunk.size() == 5792, "chunk size");
  auto other = vsthost::HostedPlugin::create(entry);
  check(other != nullptr, "second instance");
  if (!other) return;
  check(other->setChunk(chunk) == 0, "chunk accepted");
  check(other->getChunk() == chunk, "chunk comes back identical");
  check(other->setChunk(byteReversed(chunk)) == 0, "byte-reversed chunk accepted");
  check(other->getChunk() == chunk, "byte-reversed chunk loads the same programs");
  std::vector<std::uint8_t> truncated(chunk.begin(), chunk.end() - 1);
  check(other->setChunk(truncated) == -1, "truncated chunk refused");
  std::vector<std::uint8_t> otherVersion = chunk;
  otherVersion[3] = 2;
  check(other->setChunk(otherVersion) == 0, "other version answers 0");
  check(other->getChunk() == chunk, "other version changes nothing");
  check(other->getParameter(4) == 0.7f, "parameter restored");
  other->close();
}

void everyText(vsthost::HostedPlugin& p) {
  for (VstInt32 i = 0; i < 42; ++i) {
    check(!p.parameterName(i).empty(), "name of " + std::to_string(i));
    p.parameterLabel(i);
    p.parameterDisplay(i);
    check(std::isfinite(p.getParameter(i)), "value of " + std::to_string(i));
  }
  for (VstInt32 k = 0; k < 30; ++k) p.text(effGetProgramNameIndexed, k);
  check(p.textGuardsIntact(), "texts stay inside their buffers");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: memcheck_session PLUGIN\n");
    return 2;
  }
  testsupport::SettingsSandbox sandbox;
  {
    vsthost::PluginLibrary library(argv[1]);
    if (!library.isOpen()) {
      std::fprintf(stderr, "cannot load %s: %s\n", argv[1], library.error().c_str());
      return 1;
    }
    const vsthost::PluginEntry entry = library.entry("VSTPluginMain");
    auto plugin = vsthost::HostedPlugin::create(entry);
    check(plugin != nullptr, "the entry gives an effect");
    if (plugin) {
      everyText(*plugin);
      processEverywhere(*plugin);
      chunkRoundTrip(*plugin, entry);
      plugin->close();
    }
  }
  if (gFailures == 0) std::printf("memcheck session: all checks passed\n");
  return gFailures == 0 ? 0 : 1;
}
