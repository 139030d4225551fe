// Settings records (the editor-only values above the announced parameters):
// a record of another identifier or type is ignored; an accepted one reaches
// the parameter model by the value rule and touches no program.
#include <cmath>
#include <cstring>

#include "presets/stored_presets.h"
#include "tests/fuzz/fuzz_effect.h"

namespace {

using namespace fuzz;

Bytes written() {
  Bytes record(kSettingsBytes, 0);
  presets::writeSettings(effect(), record.data());
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::initialise();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The readers take buffers of exactly the record's size only.
  if (size != kSettingsBytes) return 0;
  Ostrelvanheim& fx = effect();
  for (bool endianReversed : {false, true}) {
    restoreFactory(static_cast<int>(data[size - 1]) % kPrograms);
    const Snapshot before = snapshot();
    const std::uint32_t id = word(data);
    const bool accepted = (id == kId || id == reversed(kId)) && data[4] == 0x0B;
    const bool swap = (id != kId) != endianReversed;
    Bytes record(data, data + size);
    presets::readSettings(fx, record.data(), endianReversed);
    check(std::memcmp(record.data(), data, size) == 0, "the reader leaves the record alone");
    const Snapshot after = snapshot();
    if (!accepted) {
      check(after == before, "a settings record of another identifier or type changes nothing");
      continue;
    }
    check(after.chunk == before.chunk, "settings touch no program");
    for (int i = 0; i < kParams; ++i) {
      // Channel mode 57 sets the routing that indices 2 and 30 show.
      if (i != 2 && i != 30)
        check(after.valueBits[static_cast<std::size_t>(i)] == before.valueBits[static_cast<std::size_t>(i)],
              "settings leave the host's parameters alone");
    }
    auto value = [&](int index) {
      const std::uint32_t bits = word(data + 5 + 4 * static_cast<std::size_t>(index - kParams));
      return admitted(asFloat(swap ? reversed(bits) : bits));
    };
    for (int index : {43, 44, 45, 46, 48})
      check(fx.getParameter(index) == value(index), "meter preferences take the record's values");
    const float over = 9.0f * fx.getParameter(47);
    check(std::fabs(over - std::round(over)) < 1e-4f, "the over indicator keeps its steps");
    const float channelMode = fx.getParameter(fx.channelModeIndex());
    check(channelMode == 0.0f || channelMode == 0.333f || channelMode == 0.667f || channelMode == 1.0f,
          "the channel mode is one of its four");

    const Bytes first = written();
    presets::readSettings(fx, first.data(), false);
    check(written() == first, "written settings read back to the same record");
  }
  expectSane();
  return 0;
}
