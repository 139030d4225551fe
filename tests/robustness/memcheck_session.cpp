// One host session with a built plug-in library, for valgrind's memcheck:
// load, create, process in every kernel and path (FAT off and on where there
// is FAT) and speaker arrangement at every rate band in both precisions, the
// chunk out and back in (native, byte-reversed, damaged), every parameter
// text, close and unload. The library's unique ID picks its row of the table
// below. Every output is looked at, so a value computed from uninitialised
// memory reaches a decision valgrind reports. Exits non-zero when a check
// fails.
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "products/ostrelvanheim/kernel_modes.h"
#include "products/ostrelvanheim2/kernel_modes.h"
#include "products/tindravelle/kernel_modes.h"
#include "tests/support/settings_sandbox.h"
#include "tools/vsthost/plugin_host.h"
#include "tools/vsthost/signals.h"

namespace {

struct Product {
  VstInt32 uniqueId;
  std::span<const KernelMode> modes;
  // Settings each mode also runs with: its paths.
  std::vector<std::vector<ParameterSetting>> paths;
  VstInt32 params, programs;
  std::size_t chunkBytes;
  VstInt32 chunkIndex;  // a parameter the chunk carries changed
};

const Product kProducts[] = {
    {fourCharCode('J', 'Y', 'O', 's'),
     ostrelvanheim2::kKernelModes,
     {{{26, 0.0f}, {28, 1.0f}, {29, 1.0f}}, {{26, 1.0f}, {28, 1.0f}, {29, 1.0f}}},
     42,
     30,
     5792,
     4},
    // Auto and Brickwall on, the oversampling index (which switches nothing) off and on.
    {fourCharCode('J', 'y', 'O', 's'),
     ostrelvanheim::kKernelModes,
     {{{31, 0.0f}, {33, 1.0f}, {34, 1.0f}}, {{31, 1.0f}, {33, 1.0f}, {34, 1.0f}}},
     48,
     30,
     6512,
     4},
    {fourCharCode('J', 'y', 'T', 'i'), tindravelle::kKernelModes, {{{6, 0.8f}, {12, 0.6f}}}, 22, 13, 1488, 6},
};

// The speaker arrangements a session sets: stereo, then the ones with one input.
constexpr int kArrangements[][2] = {{2, 2}, {1, 2}, {1, 1}};

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

std::vector<std::uint8_t> byteReversed(std::vector<std::uint8_t> chunk, std::size_t params) {
  // The chunk as a host of the other byte order keeps it: every header word
  // and every value reversed, the names as they are.
  auto swapAt = [&](std::size_t at) {
    std::swap(chunk[at], chunk[at + 3]);
    std::swap(chunk[at + 1], chunk[at + 2]);
  };
  for (std::size_t at = 0; at < 32; at += 4) swapAt(at);
  for (std::size_t entry = 32; entry < chunk.size(); entry += 24 + 4 * params)
    for (std::size_t value = 0; value < params; ++value) swapAt(entry + 24 + 4 * value);
  return chunk;
}

void arrange(vsthost::HostedPlugin& p, const int (&channels)[2]) {
  VstSpeakerArrangement in{}, out{};
  in.numChannels = channels[0];
  out.numChannels = channels[1];
  p.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
}

void processEverywhere(vsthost::HostedPlugin& p, const Product& product) {
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
    for (const auto& channels : kArrangements) {
      arrange(p, channels);
      for (const KernelMode& mode : product.modes) {
        for (std::size_t path = 0; path < product.paths.size(); ++path) {
          for (const auto& [index, value] : mode.parameters()) p.setParameter(index, value);
          for (const auto& [index, value] : product.paths[path]) p.setParameter(index, value);
          std::vector<std::vector<float>> outFloat;
          std::vector<std::vector<double>> out;
          p.processSignal(inFloat, outFloat, 512);
          p.processSignal(in, out, 333);
          const std::string what = std::string(mode.name) + " path " + std::to_string(path) + ", " +
                                   std::to_string(channels[0]) + " in " + std::to_string(channels[1]) +
                                   " out at " + std::to_string(static_cast<int>(rate));
          check(allFinite(outFloat), what + ": finite 32-bit output");
          check(allFinite(out), what + ": finite 64-bit output");
        }
      }
    }
  }
}

void chunkRoundTrip(vsthost::HostedPlugin& p, vsthost::PluginEntry entry, const Product& product) {
  p.setParameter(product.chunkIndex, 0.7f);
  const std::vector<std::uint8_t> chunk = p.getChunk();
  check(chunk.size() == product.chunkBytes, "chunk size");
  auto other = vsthost::HostedPlugin::create(entry);
  check(other != nullptr, "second instance");
  if (!other) return;
  check(other->setChunk(chunk) == 0, "chunk accepted");
  check(other->getChunk() == chunk, "chunk comes back identical");
  check(other->setChunk(byteReversed(chunk, static_cast<std::size_t>(product.params))) == 0,
        "byte-reversed chunk accepted");
  check(other->getChunk() == chunk, "byte-reversed chunk loads the same programs");
  std::vector<std::uint8_t> truncated(chunk.begin(), chunk.end() - 1);
  check(other->setChunk(truncated) == -1, "truncated chunk refused");
  std::vector<std::uint8_t> otherVersion = chunk;
  otherVersion[3] = 2;
  check(other->setChunk(otherVersion) == 0, "other version answers 0");
  check(other->getChunk() == chunk, "other version changes nothing");
  check(other->getParameter(product.chunkIndex) == 0.7f, "parameter restored");
  other->close();
}

void everyText(vsthost::HostedPlugin& p, const Product& product) {
  for (VstInt32 i = 0; i < product.params; ++i) {
    p.parameterName(i);
    p.parameterLabel(i);
    p.parameterDisplay(i);
    check(std::isfinite(p.getParameter(i)), "value of " + std::to_string(i));
  }
  for (VstInt32 k = 0; k < product.programs; ++k)
    check(!p.text(effGetProgramNameIndexed, k).empty(), "program name");
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
    const Product* product = nullptr;
    for (const Product& candidate : kProducts)
      if (plugin && plugin->effect()->uniqueID == candidate.uniqueId) product = &candidate;
    check(product != nullptr, "the library is one of the products");
    if (plugin && product) {
      everyText(*plugin, *product);
      processEverywhere(*plugin, *product);
      chunkRoundTrip(*plugin, entry, *product);
    }
    if (plugin) plugin->close();
  }
  if (gFailures == 0) std::printf("memcheck session: all checks passed\n");
  return gFailures == 0 ? 0 : 1;
}
