#include "tests/fuzz/fuzz_effect.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/settings_store.h"
#ifdef JYX_FUZZ_FIRST_GENERATION
#include "products/ostrelvanheim/product.h"
#endif
#include "tests/support/settings_sandbox.h"

namespace fuzz {
namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

constexpr int kBlock = 128;

struct World {
  testsupport::SettingsSandbox sandbox;  // before the effect: its constructor reads the store
#ifdef JYX_FUZZ_FIRST_GENERATION
  Ostrelvanheim fx{hostCallback, ostrelvanheim::kProduct};
#else
  Ostrelvanheim fx{hostCallback, ostrelvanheim2::kProduct};
#endif
  Bytes factory;
  float input[2][kBlock] = {};
  float output[2][kBlock] = {};
};

World* gWorld = nullptr;

void endWorld() {
  delete gWorld;
  gWorld = nullptr;
}

}  // namespace

void initialise() {
  if (gWorld) return;
  // The reader targets write a stored value for every input: keep the sandbox
  // in memory where the system has such a folder.
  struct stat st {};
  if (!std::getenv("TMPDIR") && stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode))
    setenv("TMPDIR", "/dev/shm", 1);
  gWorld = new World;
  std::atexit(endWorld);
  gWorld->factory = chunk();
  std::uint32_t state = 12345;
  for (auto& channel : gWorld->input) {
    for (float& v : channel) {
      state = state * 1664525u + 1013904223u;
      v = static_cast<float>(static_cast<double>(state >> 8) / 8388608.0 - 1.0);
    }
  }
}

Ostrelvanheim& effect() { return gWorld->fx; }

void fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  // libFuzzer ends the process without running exit handlers; the sandbox goes first.
  std::error_code ec;
  if (gWorld) std::filesystem::remove_all(gWorld->sandbox.folder(), ec);
  std::abort();
}

Bytes chunk() {
  void* data = nullptr;
  const VstInt32 size = effect().getChunk(&data, false);
  check(size == static_cast<VstInt32>(kChunkBytes) && data, "getChunk gives the whole bank");
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return Bytes(bytes, bytes + size);
}

void restoreFactory(int current) {
  Bytes factory = gWorld->factory;
  check(effect().setChunk(factory.data(), static_cast<VstInt32>(factory.size()), false) == 0,
        "the factory bank loads");
  effect().selectProgram(current);
}

Snapshot snapshot() {
  Snapshot s;
  s.chunk = chunk();
  for (VstInt32 i = 0; i < 2 * kParams; ++i) {
    const float v = effect().getParameter(i);
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    s.valueBits.push_back(bits);
  }
  return s;
}

bool operator==(const Snapshot& a, const Snapshot& b) {
  return a.chunk == b.chunk && a.valueBits == b.valueBits;
}

std::uint32_t word(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t reversed(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

float asFloat(std::uint32_t bits) {
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

float admitted(float v) {
  if (std::isnan(v)) return 0.0f;
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}

void ruledName(const std::uint8_t* field, std::uint8_t* out) {
  std::size_t length = 0;
  while (length < kNameBytes && field[length] != 0) ++length;
  std::memset(out, 0, kNameBytes);
  std::memcpy(out, field, length);
}

Bytes foreignChunk(Bytes c) {
  auto reverseAt = [&](std::size_t at) {
    std::swap(c[at], c[at + 3]);
    std::swap(c[at + 1], c[at + 2]);
  };
  for (std::size_t at = 0; at < 32; at += 4) reverseAt(at);
  for (int k = 0; k < kPrograms; ++k)
    for (int i = 0; i < kParams; ++i)
      reverseAt(32 + kEntryBytes * static_cast<std::size_t>(k) + kNameBytes +
                4 * static_cast<std::size_t>(i));
  return c;
}

Programs programsOf(const Bytes& c) {
  Programs p;
  p.current = static_cast<int>(word(c.data() + 12));
  for (int k = 0; k < kPrograms; ++k) {
    const std::uint8_t* entry = c.data() + 32 + kEntryBytes * static_cast<std::size_t>(k);
    p.names.insert(p.names.end(), entry, entry + kNameBytes);
    for (int i = 0; i < kParams; ++i)
      p.values.push_back(asFloat(word(entry + kNameBytes + 4 * static_cast<std::size_t>(i))));
  }
  return p;
}

void expectPrograms(const Programs& expected, bool applied, const Snapshot& before) {
  const Bytes c = chunk();
  check(word(c.data()) == kVersion && word(c.data() + 4) == kId && word(c.data() + 8) == kPrograms,
        "the chunk header after a load");
  check(static_cast<int>(word(c.data() + 12)) == expected.current, "the current program after a load");
  for (std::size_t at = 16; at < 32; ++at) check(c[at] == 0, "reserved chunk bytes stay zero");
  const Programs stored = programsOf(c);
  check(stored.names == expected.names, "program names as loaded");
  check(std::memcmp(stored.values.data(), expected.values.data(), 4 * stored.values.size()) == 0,
        "program values as loaded, by the value rule");
  Ostrelvanheim& fx = effect();
  for (VstInt32 i = 0; i < kParams; ++i) {
    const float v = fx.getParameter(i);
    if (isSpare(i)) {
      check(v == expected.value(expected.current, i), "spare indices read the current program");
    } else if (!applied) {
      std::uint32_t bits;
      std::memcpy(&bits, &v, 4);
      check(bits == before.valueBits[static_cast<std::size_t>(i)],
            "parameters stay when no program is applied");
    } else if (i == kMeterDelayIndex) {
      check(v == 0.0f || (v >= 0.125f && v <= 1.0f), "the meter delay keeps its steps");
    } else {
      check(v == expected.value(expected.current, i), "the current program's values are applied");
    }
  }
}

void expectSane() {
  Ostrelvanheim& fx = effect();
  for (VstInt32 i = 0; i < 2 * kParams; ++i) {
    const float v = fx.getParameter(i);
    check(std::isfinite(v) && v >= 0.0f && v <= 1.0f, "every parameter finite within 0..1");
  }
  for (VstInt32 k = 0; k < kPrograms; ++k) {
    char text[64];
    std::memset(text, 0x5A, sizeof text);
    check(fx.getProgramNameIndexed(0, k, text), "every program has a name");
    check(std::memchr(text, 0, kNameBytes + 1) != nullptr, "program names end within 24 characters");
    for (std::size_t at = kNameBytes + 1; at < sizeof text; ++at)
      check(text[at] == 0x5A, "program names stay within 25 bytes");
  }
  const Bytes c = chunk();
  Bytes copy = c;
  check(fx.setChunk(copy.data(), static_cast<VstInt32>(copy.size()), false) == 0 && chunk() == c,
        "the chunk round trip gives back identical bytes");
  Bytes foreign = foreignChunk(c);
  check(fx.setChunk(foreign.data(), static_cast<VstInt32>(foreign.size()), false) == 0 && chunk() == c,
        "the byte-reversed chunk loads the same bank");

  float* in[2] = {gWorld->input[0], gWorld->input[1]};
  float* out[2] = {gWorld->output[0], gWorld->output[1]};
  fx.processReplacing(in, out, kBlock);
  for (auto& channel : gWorld->output)
    for (float v : channel) check(std::isfinite(v), "processing stays finite");
}

int fuzzRecord(const RecordTarget& target, const std::uint8_t* data, std::size_t size, int current) {
  Ostrelvanheim& fx = effect();
  std::optional<Snapshot> readNative;
  if (size == target.bytes) {
    for (bool endianReversed : {false, true}) {
      restoreFactory(current);
      const Snapshot before = snapshot();
      Programs expected;
      const bool accepted = target.expected(data, endianReversed, before, expected);
      Bytes record(data, data + size);
      target.read(fx, record.data(), endianReversed, nullptr);
      check(std::memcmp(record.data(), data, size) == 0, "the reader leaves the record alone");
      if (accepted)
        expectPrograms(expected, true, before);
      else
        check(snapshot() == before, "a record of another identifier or type changes nothing");
      if (!endianReversed) readNative = snapshot();
    }
  }

  // The same bytes as the stored value.
  restoreFactory(current);
  const Snapshot before = snapshot();
  {
    platform::SettingsKey key(fx.presetTraits().settingsStem, platform::SettingsKey::Access::Write);
    check(key.write(target.storedValue, platform::SettingsType::Binary, data, size),
          "the sandboxed store takes the value");
  }
  target.loadStored(fx, nullptr);
  if (readNative)
    check(snapshot() == *readNative, "the stored value reads like the record");
  else
    check(snapshot() == before, "a stored value of another size changes nothing");
  expectSane();
  return 0;
}

}  // namespace fuzz
