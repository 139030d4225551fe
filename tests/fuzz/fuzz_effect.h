// The real Ostrelvanheim effect as the fuzz targets drive it: one instance
// for the whole run, created after its settings were moved into a sandbox of
// their own, with the checks every target makes after each input. The
// answers expected from the chunk and the readers are worked out here from
// the byte layouts alone, independently of the code under test. The targets
// build for JYX Ostrelvanheim2, or with JYX_FUZZ_FIRST_GENERATION defined for
// JYX Ostrelvanheim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "presets/stored_presets.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"

namespace fuzz {

#ifdef JYX_FUZZ_FIRST_GENERATION
inline constexpr int kParams = 48;
inline constexpr std::size_t kEntryBytes = 216;
inline constexpr std::size_t kChunkBytes = 6512;
inline constexpr std::size_t kBankBytes = 6485;
inline constexpr std::size_t kPresetBytes = 221;
inline constexpr std::size_t kSettingsBytes = 197;
inline constexpr std::uint32_t kId = 0x4A794F73;  // 'JyOs'
inline constexpr int kMeterDelayIndex = 27;
// The host indices kept in the current program only.
inline constexpr bool isSpare(int i) { return (i >= 23 && i <= 26) || i == 29 || i == 30 || i >= 37; }
// The parameters every program holds alike.
inline constexpr int kGlobals[] = {0, 2, 21, 22, 27, 31, 35};
#else
inline constexpr int kParams = 42;
inline constexpr std::size_t kEntryBytes = 192;
inline constexpr std::size_t kChunkBytes = 5792;
inline constexpr std::size_t kBankBytes = 5765;
inline constexpr std::size_t kPresetBytes = 197;
inline constexpr std::size_t kSettingsBytes = 173;
inline constexpr std::uint32_t kId = 0x4A594F73;  // 'JYOs'
inline constexpr int kMeterDelayIndex = 23;
inline constexpr bool isSpare(int i) { return i >= 31; }
inline constexpr int kGlobals[] = {0, 2, 21, 22, 23, 25, 26};
#endif
inline constexpr int kPrograms = 30;
inline constexpr std::size_t kNameBytes = 24;
inline constexpr std::uint32_t kVersion = 0x01000000;

using Bytes = std::vector<std::uint8_t>;

// Settings sandbox and effect; call once from LLVMFuzzerInitialize.
void initialise();
Ostrelvanheim& effect();

// Ends the run with a message; libFuzzer keeps the input that got here.
[[noreturn]] void fail(const char* what);
inline void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

// The bank as the host would take it now.
Bytes chunk();
// Back to the factory bank with program `current` selected.
void restoreFactory(int current = 0);

// Everything an input may change: the chunk and the value of every index 0..83.
struct Snapshot {
  Bytes chunk;
  std::vector<std::uint32_t> valueBits;
};
Snapshot snapshot();
bool operator==(const Snapshot& a, const Snapshot& b);

// The expected program store and current program after an accepted load.
struct Programs {
  Bytes names;                // 30 x 24 bytes
  std::vector<float> values;  // 30 x 42
  int current = 0;
  float value(int program, int index) const {
    return values[static_cast<std::size_t>(program * kParams + index)];
  }
  // After every load the current program's global values are in every program.
  void holdGlobals() {
    for (int g : kGlobals)
      for (int k = 0; k < kPrograms; ++k)
        values[static_cast<std::size_t>(k * kParams + g)] = value(current, g);
  }
};
Programs programsOf(const Bytes& chunk);
// The store must hold `expected`; the parameters must show `expected.current`
// when `applied`, else the values of `before` (the spare indices always read the store).
void expectPrograms(const Programs& expected, bool applied, const Snapshot& before);

// Parameters finite within 0..1, names within their field, the chunk round
// trip in both byte orders, and a processed block without a non-finite sample.
void expectSane();

// One kind of record as a reader and the settings store take it.
struct RecordTarget {
  std::size_t bytes;
  void (*read)(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed,
               presets::PresetStripView* view);
  const char* storedValue;
  void (*loadStored)(CPresetSystemEffect& effect, presets::PresetStripView* view);
  // What the reader must make of the record over the state before; false
  // when it must ignore the record.
  bool (*expected)(const std::uint8_t* record, bool endianReversed, const Snapshot& before,
                   Programs& expected);
};

// One input as a record of either byte order and as the same bytes in the
// settings store: an accepted record loads as expected and is applied, any
// other changes nothing, and a stored value reads like the record or, of
// another size, is ignored whole. `current` is the program selected first.
int fuzzRecord(const RecordTarget& target, const std::uint8_t* data, std::size_t size, int current);

// Byte layout helpers, independent of presets/records.h.
std::uint32_t word(const std::uint8_t* p);
std::uint32_t reversed(std::uint32_t v);
float asFloat(std::uint32_t bits);
// The value rule for values from outside: NaN is 0, the rest clamped to 0..1.
float admitted(float v);
// The name rule: the characters up to the first zero, then zero-filled.
void ruledName(const std::uint8_t* field, std::uint8_t* out);
// The chunk as a host of the other byte order keeps it.
Bytes foreignChunk(Bytes chunk);

}  // namespace fuzz
