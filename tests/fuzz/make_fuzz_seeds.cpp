// Writes the seed corpora of the fuzz targets from the effect's own writers:
// valid records and chunks, the other byte order, truncated and extended ones,
// other versions, identifiers, types and counts, and hostile values and names.
// usage: make_fuzz_seeds SEED_FOLDER [CORPUS_FOLDER]
// (each gets one subfolder per target; the corpus folders are only created)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "presets/stored_presets.h"
#include "tests/fuzz/fuzz_effect.h"

namespace {

using namespace fuzz;
namespace fs = std::filesystem;

const char* const kTargets[] = {"setchunk", "read_bank", "read_preset", "read_settings"};

void put(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  std::ofstream f(folder / (name + ".bin"), std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) fail("cannot write a seed");
}

void setWord(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void reverseWord(Bytes& b, std::size_t at) { setWord(b, at, reversed(word(b.data() + at))); }

void setValue(Bytes& b, std::size_t at, float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  setWord(b, at, bits);
}

// Values no writer produces, from the first value on.
void hostileValues(Bytes& b, std::size_t firstValue) {
  const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          -1.0f,
                          2.0f,
                          -0.0f,
                          std::numeric_limits<float>::denorm_min(),
                          1.0000001f,
                          0.99999994f};
  for (std::size_t k = 0; k < std::size(values); ++k) setValue(b, firstValue + 4 * k, values[k]);
}

// A record of a 5-byte header: identifier and type, then entries or values.
void recordSeeds(const fs::path& folder, const Bytes& valid, std::size_t firstValue,
                 std::size_t valuesPerEntry, std::size_t entryStride, std::size_t entries, bool hasNames) {
  put(folder, "valid", valid);
  Bytes foreign = valid;
  reverseWord(foreign, 0);
  for (std::size_t e = 0; e < entries; ++e)
    for (std::size_t i = 0; i < valuesPerEntry; ++i)
      reverseWord(foreign, firstValue + e * entryStride + 4 * i);
  put(folder, "foreign", foreign);
  put(folder, "truncated", Bytes(valid.begin(), valid.end() - 1));
  put(folder, "header-only", Bytes(valid.begin(), valid.begin() + 5));
  Bytes extended = valid;
  extended.push_back(0);
  put(folder, "extended", extended);
  for (std::uint8_t type : {0x21, 0x37, 0x0B, 0x00}) {
    if (type == valid[4]) continue;
    Bytes other = valid;
    other[4] = type;
    put(folder, "type-" + std::to_string(type), other);
  }
  Bytes otherProduct = valid;
  setWord(otherProduct, 0, 0x4A594F76);  // another product's identifier
  put(folder, "other-identifier", otherProduct);
  put(folder, "zero-filled", Bytes(valid.size(), 0));
  Bytes hostile = valid;
  hostileValues(hostile, firstValue);
  put(folder, "hostile-values", hostile);
  Bytes hostileForeign = foreign;
  hostileValues(hostileForeign, firstValue);
  put(folder, "hostile-values-foreign", hostileForeign);
  if (hasNames) {
    Bytes names = valid;
    std::memcpy(names.data() + 5, "ABCDEFGHIJKLMNOPQRSTUVWX", kNameBytes);  // no terminator
    if (entries > 1) std::memcpy(names.data() + 5 + entryStride, "Ab\0garbage behind it!!", 23);
    put(folder, "names", names);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds SEED_FOLDER [CORPUS_FOLDER]\n");
    return 2;
  }
  const fs::path seeds = argv[1];
  for (const char* target : kTargets) {
    fs::create_directories(seeds / target);
    if (argc > 2) fs::create_directories(fs::path(argv[2]) / target);
  }
  initialise();
  Ostrelvanheim& fx = effect();
  fx.selectProgram(7);
  // Multiband with FAT, Drive, Auto and Brickwall in program 7 (by meaning).
  const std::pair<VstInt32, float> edits[] = {{Meaning::kMode, 1.0f},
                                              {Meaning::kFat, 1.0f},
                                              {Meaning::kDrive, 0.8f},
                                              {Meaning::kAuto, 1.0f},
                                              {Meaning::kBrickwall, 1.0f}};
  for (const auto& [meaning, value] : edits) fx.setParameter(fx.product().parameters.indexOf(meaning), value);
  fx.setCurrentProgramName("A name of 24 characters!");

  // The chunk.
  const fs::path chunkFolder = seeds / "setchunk";
  const Bytes valid = chunk();
  put(chunkFolder, "valid", valid);
  put(chunkFolder, "foreign", foreignChunk(valid));
  put(chunkFolder, "truncated", Bytes(valid.begin(), valid.end() - 1));
  put(chunkFolder, "header-only", Bytes(valid.begin(), valid.begin() + 32));
  Bytes extended = valid;
  extended.push_back(0);
  put(chunkFolder, "extended", extended);
  // Header words changed, in both byte orders: {offset, value} pairs.
  auto variant = [&](const std::string& name,
                     std::initializer_list<std::pair<std::size_t, std::uint32_t>> words) {
    Bytes native = valid;
    for (const auto& [at, v] : words) setWord(native, at, v);
    put(chunkFolder, name, native);
    put(chunkFolder, name + "-foreign", foreignChunk(native));
  };
  variant("version-2", {{0, 0x02000000}});
  variant("version-0", {{0, 0}});
  variant("count-29", {{8, 29}});
  variant("count-31", {{8, 31}});
  variant("version-2-count-29", {{0, 0x02000000}, {8, 29}});
  variant("current-30", {{12, 30}});
  variant("current-minus-1", {{12, 0xFFFFFFFFu}});
  variant("version-2-current-30", {{0, 0x02000000}, {12, 30}});
  variant("other-identifier", {{4, 0x4A594F76}});
  put(chunkFolder, "zero-filled", Bytes(valid.size(), 0));
  Bytes hostile = valid;
  hostileValues(hostile, 32 + kNameBytes);
  put(chunkFolder, "hostile-values", hostile);
  put(chunkFolder, "hostile-values-foreign", foreignChunk(hostile));

  // The records, from the editor-object writers.
  Bytes bank(kBankBytes, 0), preset(kPresetBytes, 0), settings(kSettingsBytes, 0);
  presets::writeBank(fx, bank.data());
  presets::writePreset(fx, preset.data());
  presets::writeSettings(fx, settings.data());
  recordSeeds(seeds / "read_bank", bank, 5 + kNameBytes, kParams, kEntryBytes, kPrograms, true);
  recordSeeds(seeds / "read_preset", preset, 5 + kNameBytes, kParams, kEntryBytes, 1, true);
  recordSeeds(seeds / "read_settings", settings, 5, kParams, 0, 1, false);
  std::printf("seeds written to %s\n", seeds.string().c_str());
  return 0;
}
