// Bank records from files and from the stored default bank: a record of
// another identifier or type is ignored, one of either byte order is read by
// the value rule with names by the name rule and program 0 applied, and a
// stored value of any other size is ignored whole.
#include "presets/stored_presets.h"
#include "tests/fuzz/fuzz_effect.h"

namespace {

using namespace fuzz;

// What readBank must make of the record; false when it must ignore it.
bool expectedBank(const std::uint8_t* record, bool endianReversed, const Snapshot& /*before*/,
                  Programs& expected) {
  const std::uint32_t id = word(record);
  if ((id != kId && id != reversed(kId)) || record[4] != 0x37) return false;
  const bool swap = (id != kId) != endianReversed;
  expected.current = 0;
  for (int k = 0; k < kPrograms; ++k) {
    const std::uint8_t* entry = record + 5 + kEntryBytes * static_cast<std::size_t>(k);
    std::uint8_t name[kNameBytes];
    ruledName(entry, name);
    expected.names.insert(expected.names.end(), name, name + kNameBytes);
    for (int i = 0; i < kParams; ++i) {
      const std::uint32_t bits = word(entry + kNameBytes + 4 * static_cast<std::size_t>(i));
      expected.values.push_back(admitted(asFloat(swap ? reversed(bits) : bits)));
    }
  }
  expected.holdGlobals();
  return true;
}

constexpr int kCurrentBefore = 3;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initialise();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const RecordTarget kBank = {kBankBytes, presets::readBank, presets::kDefaultBankValue,
                                     presets::loadDefaultBank, expectedBank};
  return fuzzRecord(kBank, data, size, kCurrentBefore);
}
