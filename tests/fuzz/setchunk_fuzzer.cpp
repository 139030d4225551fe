// The host chunk from a damaged or hostile project: setChunk answers -1 for a
// wrong size, identifier or program count and 0 for another format version,
// both without changing anything, and otherwise loads the bank in either byte
// order with every value made safe, the current program's global values in
// every program and the current program applied.
#include <cstring>

#include "tests/fuzz/fuzz_effect.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initialise();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fuzz;
  restoreFactory(size % kPrograms);
  const Snapshot before = snapshot();

  // What the chunk's layout says the answer is.
  int answer = -1;
  bool loads = false;
  Programs expected;
  if (size == kChunkBytes) {
    const std::uint32_t id = word(data + 4);
    if (id == kId || id == reversed(kId)) {
      const bool foreign = id != kId;
      auto at = [&](std::size_t offset) {
        return foreign ? reversed(word(data + offset)) : word(data + offset);
      };
      if (at(0) != kVersion) {
        answer = 0;
      } else if (at(8) == static_cast<std::uint32_t>(kPrograms)) {
        answer = 0;
        loads = true;
        // An index out of range keeps the current program; either way it is applied.
        const auto current = static_cast<std::int32_t>(at(12));
        expected.current =
            current >= 0 && current < kPrograms ? current : static_cast<int>(word(before.chunk.data() + 12));
        for (int k = 0; k < kPrograms; ++k) {
          const std::size_t entry = 32 + kEntryBytes * static_cast<std::size_t>(k);
          // The chunk keeps names as they are, unlike the record readers.
          expected.names.insert(expected.names.end(), data + entry, data + entry + kNameBytes);
          for (int i = 0; i < kParams; ++i)
            expected.values.push_back(
                admitted(asFloat(at(entry + kNameBytes + 4 * static_cast<std::size_t>(i)))));
        }
        expected.holdGlobals();
      }
    }
  }

  Bytes hostMemory(data, data + size);
  const VstInt32 got =
      effect().setChunk(hostMemory.empty() ? nullptr : hostMemory.data(), static_cast<VstInt32>(size), false);
  check(got == answer, "setChunk answers by the chunk's size, identifier, version and count");
  check(size == 0 || std::memcmp(hostMemory.data(), data, size) == 0, "the host's memory is never written");
  if (loads) {
    expectPrograms(expected, true, before);
  } else {
    check(snapshot() == before, "a refused chunk changes nothing");
  }
  expectSane();
  return 0;
}
