// Preset records from files, the stored default preset and the A/B memories:
// a record of another identifier or type is ignored, one of either byte order
// replaces the current program by the value and name rules, gives its global
// values to every program and is applied, and a stored value of any other
// size is ignored whole.
#include "presets/stored_presets.h"
#include "tests/fuzz/fuzz_effect.h"

namespace {

using namespace fuzz;

// What readPreset must make of the record over the programs before; false
// when it must ignore it.
bool expectedPreset(const std::uint8_t* record, bool endianReversed, const Snapshot& before,
                    Programs& expected) {
  const std::uint32_t id = word(record);
  if ((id != kId && id != reversed(kId)) || record[4] != 0x21) return false;
  const bool swap = (id != kId) != endianReversed;
  expected = programsOf(before.chunk);
  const int c = expected.current;
  ruledName(record + 5, expected.names.data() + kNameBytes * static_cast<std::size_t>(c));
  for (int i = 0; i < kParams; ++i) {
    const std::uint32_t bits = word(record + 5 + kNameBytes + 4 * static_cast<std::size_t>(i));
    expected.values[static_cast<std::size_t>(c * kParams + i)] =
        admitted(asFloat(swap ? reversed(bits) : bits));
  }
  expected.holdGlobals();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initialise();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const RecordTarget kPreset = {kPresetBytes, presets::readPreset, presets::kDefaultPresetValue,
                                       presets::loadDefaultPreset, expectedPreset};
  // The program the preset lands in follows from the input, so every one is reached.
  const int current = static_cast<int>(size > 0 ? data[size - 1] : 0) % kPrograms;
  return fuzzRecord(kPreset, data, size, current);
}
