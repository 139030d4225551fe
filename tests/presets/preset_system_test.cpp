// The preset system with each product's constants: program store, global
// parameters, program names, the host chunk, the record readers and writers,
// and the defaults, memories and paths in the settings store.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "platform/current_directory.h"
#include "platform/settings_store.h"
#include "presets/stored_presets.h"
#include "tests/presets/preset_test_effect.h"
#include "tests/support/settings_sandbox.h"

namespace {

using presettest::PresetTestEditor;
using presettest::PresetTestEffect;
using presettest::ProductConstants;
using Bytes = std::vector<std::uint8_t>;

int gUpdateDisplays = 0;
VstIntPtr countingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterUpdateDisplay) ++gUpdateDisplays;
  return opcode == audioMasterVersion ? 2400 : 0;
}

class PresetSystemTest : public ::testing::TestWithParam<ProductConstants> {
 protected:
  const ProductConstants& c() const { return GetParam(); }
  int N() const { return c().numParams; }
  int P() const { return c().numPrograms; }
  records::Layout layout() const { return {N(), P()}; }
  float factory(int program, int index) const { return presettest::factoryValue(c(), program, index); }

  std::unique_ptr<PresetTestEffect> makeEffect(bool withEditor = false) {
    auto fx = std::make_unique<PresetTestEffect>(countingHost, c());
    if (withEditor) new PresetTestEditor(fx.get());
    return fx;
  }
  static PresetTestEditor& editorOf(PresetTestEffect& fx) {
    return *static_cast<PresetTestEditor*>(fx.getEditor());
  }
  static VstIntPtr dispatch(PresetTestEffect& fx, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                            void* ptr = nullptr) {
    AEffect* e = fx.getAeffect();
    return e->dispatcher(e, opcode, index, value, ptr, 0.0f);
  }
  static Bytes chunkOf(PresetTestEffect& fx) {
    void* data = nullptr;
    const auto size = dispatch(fx, effGetChunk, 0, 0, &data);
    const auto* p = static_cast<const std::uint8_t*>(data);
    return Bytes(p, p + size);
  }
  static VstIntPtr giveChunk(PresetTestEffect& fx, Bytes bytes) {
    return dispatch(fx, effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
  }
  Bytes storeBytes(PresetTestEffect& fx) const {
    const std::uint8_t* p = fx.programStore()->data();
    return Bytes(p, p + layout().storeBytes());
  }
  // Every 32-bit word of the chunk but the identifier, and every value, reversed.
  Bytes byteReversedChunk(Bytes chunk) const {
    for (std::size_t offset : {0u, 8u, 12u, 16u, 20u, 24u, 28u}) records::swapBytes32(chunk.data() + offset);
    for (int k = 0; k < P(); ++k)
      for (int i = 0; i < N(); ++i)
        records::swapBytes32(chunk.data() + 32 + layout().entryBytes() * k + 24 + 4 * i);
    return chunk;
  }

  testsupport::SettingsSandbox sandbox_;
};

// ---- program store and global rule ----

TEST_P(PresetSystemTest, NewEffectHoldsTheFactoryProgramsWithProgramZeroCurrent) {
  auto fx = makeEffect();
  EXPECT_EQ(fx->getAeffect()->numPrograms, 1);
  EXPECT_EQ(fx->getAeffect()->numParams, N());
  EXPECT_EQ(fx->getAeffect()->flags & effFlagsProgramChunks, effFlagsProgramChunks);
  EXPECT_EQ(fx->getCurrentProgram(), 0);
  for (int k = 0; k < P(); ++k) {
    EXPECT_STREQ(fx->programStore()->name(k), presettest::factoryName(k).c_str());
    for (int i = 0; i < N(); ++i) ASSERT_EQ(fx->programStore()->value(k, i), factory(k, i));
  }
}

TEST_P(PresetSystemTest, GlobalParameterFollowsIntoEveryProgramOthersStayInTheirs) {
  auto fx = makeEffect();
  fx->selectProgram(5);
  for (int i = 0; i < N(); ++i) {
    const bool global = std::find(c().globals.begin(), c().globals.end(), i) != c().globals.end();
    fx->selectProgram(5);
    fx->setParameter(i, 0.123f);
    EXPECT_EQ(fx->programStore()->value(5, i), 0.123f) << "index " << i;
    fx->selectProgram(9);
    EXPECT_EQ(fx->values[static_cast<std::size_t>(i)], global ? 0.123f : factory(9, i))
        << "index " << i << (global ? " (global)" : "");
  }
}

TEST_P(PresetSystemTest, ApplyingAProgramWritesNothingBackButTellsTheEditorOfEachValue) {
  auto fx = makeEffect(true);
  const Bytes before = storeBytes(*fx);
  fx->calls.clear();
  const int displaysBefore = gUpdateDisplays;
  fx->selectProgram(3);
  ASSERT_EQ(fx->calls.size(), static_cast<std::size_t>(N()));
  for (int i = 0; i < N(); ++i) {
    EXPECT_EQ(fx->calls[static_cast<std::size_t>(i)].index, i);
    EXPECT_TRUE(fx->calls[static_cast<std::size_t>(i)].applying);
    EXPECT_EQ(fx->calls[static_cast<std::size_t>(i)].value, factory(3, i));
  }
  EXPECT_EQ(storeBytes(*fx), before);
  EXPECT_EQ(editorOf(*fx).told.size(), static_cast<std::size_t>(N()));
  EXPECT_EQ(gUpdateDisplays, displaysBefore + 1);
  EXPECT_FALSE(fx->isApplyingProgram());
}

// A host thread sets parameters while another thread holds the programs (here
// the test's own, which applies a program meanwhile): the calls return at
// once, and their last values are applied, as ordinary changes stored into
// the program then current, when the programs are free again.
TEST_P(PresetSystemTest, ParametersSetWhileAnotherThreadHoldsTheProgramsWaitForNothingAndAreKept) {
  auto fx = makeEffect(true);
  fx->selectProgram(4);
  fx->calls.clear();
  {
    const CPresetSystemEffect::StoreScope held(*fx);
    std::thread([&] {
      fx->setParameter(1, 0.75f);
      fx->setParameter(N() + 1, 0.25f);
      fx->setParameter(1, 0.875f);
    }).join();
    EXPECT_TRUE(fx->calls.empty()) << "nothing ran beside the thread holding the programs";
    fx->selectProgram(7);
  }
  ASSERT_EQ(fx->calls.size(), static_cast<std::size_t>(N() + 2));
  const presettest::SetCall& one = fx->calls[static_cast<std::size_t>(N())];
  const presettest::SetCall& above = fx->calls[static_cast<std::size_t>(N() + 1)];
  EXPECT_EQ(one.index, 1);
  EXPECT_EQ(one.value, 0.875f);
  EXPECT_FALSE(one.applying);
  EXPECT_EQ(above.index, N() + 1);
  EXPECT_EQ(above.value, 0.25f);
  EXPECT_EQ(fx->values[1], 0.875f);
  EXPECT_EQ(fx->programStore()->value(7, 1), 0.875f);
  EXPECT_EQ(fx->programStore()->value(4, 1), factory(4, 1)) << "the program left keeps its value";
  EXPECT_EQ(editorOf(*fx).told.back().index, N() + 1) << "the editor follows";
}

// A host may answer the display update by waiting for a thread of its own
// that reads the programs (its window asking for the program name): the
// effect has let the programs go before it tells the host, so neither waits
// for the other.
PresetTestEffect* gWatched = nullptr;
std::vector<bool> gStoreFreeAtUpdate;
VstIntPtr waitingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterUpdateDisplay && gWatched) {
    bool free = false;
    std::thread([&] {
      free = CPresetSystemEffect::StoreScope(*gWatched, CPresetSystemEffect::StoreScope::Wait::No).held();
    }).join();
    gStoreFreeAtUpdate.push_back(free);
  }
  return opcode == audioMasterVersion ? 2400 : 0;
}

TEST_P(PresetSystemTest, TheHostIsToldOfANewProgramOnlyOnceTheProgramsAreFree) {
  auto fx = std::make_unique<PresetTestEffect>(waitingHost, c());
  new PresetTestEditor(fx.get());
  const Bytes chunk = chunkOf(*fx);
  gWatched = fx.get();
  gStoreFreeAtUpdate.clear();
  fx->selectProgram(2);
  fx->setCurrentProgramName("renamed");
  EXPECT_EQ(giveChunk(*fx, chunk), 0);
  gWatched = nullptr;
  EXPECT_EQ(gStoreFreeAtUpdate, std::vector<bool>({true, true, true}));
}

TEST_P(PresetSystemTest, IndicesAtOrAboveTheParameterCountReachNoProgram) {
  auto fx = makeEffect();
  const Bytes before = storeBytes(*fx);
  fx->setParameter(N(), 0.9f);
  fx->setParameter(N() + 5, 0.9f);
  fx->setParameter(-1, 0.9f);
  EXPECT_EQ(storeBytes(*fx), before);
}

TEST_P(PresetSystemTest, HostProgramChangeIsIgnored) {
  auto fx = makeEffect();
  fx->selectProgram(4);
  const Bytes before = storeBytes(*fx);
  dispatch(*fx, effSetProgram, 0, 0);
  EXPECT_EQ(fx->getCurrentProgram(), 4);
  EXPECT_EQ(dispatch(*fx, effGetProgram), 0);
  EXPECT_EQ(storeBytes(*fx), before);
}

TEST_P(PresetSystemTest, ProgramNamesAreKeptToTwentyFourCharacters) {
  auto fx = makeEffect(true);
  struct Case {
    std::string given, expected;
  };
  // Cut between characters: a UTF-8 character the field cannot hold whole is left out.
  const Case cases[] = {{"Short", "Short"},
                        {std::string(24, 'n'), std::string(24, 'n')},
                        {std::string(30, 'm'), std::string(24, 'm')},
                        {"aaaaaaaaaaaaaaaaaaaaaa\xC3\xA9", "aaaaaaaaaaaaaaaaaaaaaa\xC3\xA9"},
                        {"aaaaaaaaaaaaaaaaaaaaaaa\xC3\xA9", "aaaaaaaaaaaaaaaaaaaaaaa"},
                        {"bbbbbbbbbbbbbbbbbbbbbb\xE2\x98\x83z", "bbbbbbbbbbbbbbbbbbbbbb"}};
  for (const auto& cs : cases) {
    std::string given = cs.given;
    dispatch(*fx, effSetProgramName, 0, 0, given.data());
    char out[64];
    std::memset(out, 0x55, sizeof out);
    dispatch(*fx, effGetProgramName, 0, 0, out);
    EXPECT_EQ(std::string(out), cs.expected);
    EXPECT_EQ(out[25], 0x55) << "25 bytes at most";
    EXPECT_EQ(editorOf(*fx).renamed.back(), cs.expected);
  }
  // A short name leaves no trace of the longer one before it.
  std::string shortName = "ab";
  dispatch(*fx, effSetProgramName, 0, 0, shortName.data());
  const char* field = fx->programStore()->name(fx->getCurrentProgram());
  for (int i = 2; i < 24; ++i) EXPECT_EQ(field[i], 0);
}

TEST_P(PresetSystemTest, IndexedProgramNamesExistForEveryProgramAndNoOther) {
  auto fx = makeEffect();
  char out[64];
  EXPECT_EQ(dispatch(*fx, effGetProgramNameIndexed, P() - 1, 0, out), 1);
  EXPECT_EQ(std::string(out), presettest::factoryName(P() - 1));
  EXPECT_EQ(dispatch(*fx, effGetProgramNameIndexed, P(), 0, out), 0);
  EXPECT_EQ(dispatch(*fx, effGetProgramNameIndexed, -1, 0, out), 0);
}

// ---- host chunk ----

TEST_P(PresetSystemTest, ChunkRoundTripGivesBackIdenticalBytesAndSelectsTheCurrentProgram) {
  auto fx = makeEffect();
  fx->selectProgram(7);
  fx->setParameter(1, 0.75f);
  const Bytes chunk = chunkOf(*fx);
  ASSERT_EQ(chunk.size(), layout().chunkBytes());
  EXPECT_EQ(records::readInt32(chunk.data()), records::kChunkVersion);
  EXPECT_EQ(records::readInt32(chunk.data() + 4), c().uniqueId);
  EXPECT_EQ(records::readInt32(chunk.data() + 8), P());
  EXPECT_EQ(records::readInt32(chunk.data() + 12), 7);

  auto other = makeEffect();
  other->selectProgram(2);
  EXPECT_EQ(giveChunk(*other, chunk), 0);
  EXPECT_EQ(other->getCurrentProgram(), 7);
  EXPECT_EQ(other->values[1], 0.75f);
  EXPECT_EQ(chunkOf(*other), chunk);
}

TEST_P(PresetSystemTest, ByteReversedChunkLoadsTheSamePrograms) {
  auto fx = makeEffect();
  fx->selectProgram(11 % P());
  const Bytes chunk = chunkOf(*fx);
  Bytes reversed = byteReversedChunk(chunk);
  // The identifier itself is byte-reversed too.
  records::swapBytes32(reversed.data() + 4);
  auto other = makeEffect();
  EXPECT_EQ(giveChunk(*other, reversed), 0);
  EXPECT_EQ(other->getCurrentProgram(), 11 % P());
  EXPECT_EQ(chunkOf(*other), chunk);
}

// What the effect plays after such a chunk is what its current program holds,
// so the next chunk the host saves is what it heard.
TEST_P(PresetSystemTest, ChunkWhoseCurrentIndexIsOutOfRangeKeepsTheCurrentProgramAndAppliesItAgain) {
  auto source = makeEffect();
  source->setParameter(0, 0.5f);  // global: changes every program
  source->selectProgram(1);
  source->setParameter(1, 0.875f);
  Bytes chunk = chunkOf(*source);
  records::writeInt32(chunk.data() + 12, P());
  auto fx = makeEffect();
  fx->selectProgram(1);
  fx->calls.clear();
  EXPECT_EQ(giveChunk(*fx, chunk), 0);
  EXPECT_EQ(fx->getCurrentProgram(), 1);
  EXPECT_EQ(fx->calls.size(), static_cast<std::size_t>(N())) << "program 1 is applied again";
  EXPECT_EQ(fx->values[1], 0.875f);
  EXPECT_EQ(fx->values[0], 0.5f);
  EXPECT_EQ(fx->programStore()->value(4, 0), 0.5f);
  EXPECT_EQ(records::readInt32(chunkOf(*fx).data() + 12), 1);
}

// However a file or the host made them drift apart, after a load every
// program holds the current program's value of each global parameter.
TEST_P(PresetSystemTest, EveryLoadLeavesTheGlobalParametersEqualInAllPrograms) {
  const VstInt32 global = c().globals[1];
  const int other = P() - 2;
  auto drifted = [&](std::uint8_t* entries, int program, float value) {
    records::writeFloat(entries + layout().entryBytes() * program + 24 + 4 * global, value);
  };
  struct Case {
    const char* what;
    int current;     // the current program after the load
    float expected;  // its value of the global parameter
    std::function<void(PresetTestEffect&, const Bytes& bank, const Bytes& preset)> load;
  };
  const Case cases[] = {
      {"chunk", 2, 0.25f,
       [&](PresetTestEffect& fx, const Bytes& bank, const Bytes&) {
         Bytes chunk(layout().chunkBytes(), 0);
         records::writeInt32(chunk.data(), records::kChunkVersion);
         records::writeInt32(chunk.data() + 4, c().uniqueId);
         records::writeInt32(chunk.data() + 8, P());
         records::writeInt32(chunk.data() + 12, 2);
         std::memcpy(chunk.data() + 32, bank.data() + 5, layout().storeBytes());
         EXPECT_EQ(giveChunk(fx, chunk), 0);
       }},
      {"bank", 0, 0.125f,
       [&](PresetTestEffect& fx, const Bytes& bank, const Bytes&) {
         editorOf(fx).readBank(bank.data(), false);
       }},
      {"preset", 3, 0.75f,
       [&](PresetTestEffect& fx, const Bytes&, const Bytes& preset) {
         fx.selectProgram(3);
         editorOf(fx).readPreset(preset.data(), false);
       }},
      {"default bank", 0, 0.125f,
       [&](PresetTestEffect& fx, const Bytes& bank, const Bytes&) {
         presets::storeRecord(fx, presets::kDefaultBankValue, bank);
         fx.loadEditorDefaults();
       }},
  };
  for (const Case& cs : cases) {
    auto fx = makeEffect(true);
    Bytes bank(layout().bankRecordBytes(), 0);
    editorOf(*fx).writeBank(bank.data());
    drifted(bank.data() + 5, 0, 0.125f);
    drifted(bank.data() + 5, 2, 0.25f);
    drifted(bank.data() + 5, other, 0.625f);
    Bytes preset(layout().presetRecordBytes(), 0);
    editorOf(*fx).writePreset(preset.data());
    drifted(preset.data() + 5, 0, 0.75f);
    cs.load(*fx, bank, preset);
    EXPECT_EQ(fx->getCurrentProgram(), cs.current) << cs.what;
    EXPECT_EQ(fx->values[static_cast<std::size_t>(global)], cs.expected) << cs.what;
    for (int k = 0; k < P(); ++k)
      ASSERT_EQ(fx->programStore()->value(k, global), cs.expected) << cs.what << " " << k;
    presets::deleteValue(*fx, presets::kDefaultBankValue);
  }
}

TEST_P(PresetSystemTest, RefusedChunksChangeNothing) {
  auto source = makeEffect();
  source->setParameter(0, 0.5f);
  const Bytes good = chunkOf(*source);
  struct Case {
    const char* what;
    Bytes bytes;
    VstIntPtr answer;
  };
  Bytes shorter(good.begin(), good.end() - 1);
  Bytes longer = good;
  longer.push_back(0);
  Bytes otherId = good;
  records::writeInt32(otherId.data() + 4, fourCharCode('X', 'X', 'X', 'X'));
  Bytes otherCount = good;
  records::writeInt32(otherCount.data() + 8, P() + 1);
  Bytes otherVersion = good;
  records::writeInt32(otherVersion.data(), 0x02000000);
  const Case cases[] = {{"one byte short", shorter, -1},
                        {"one byte long", longer, -1},
                        {"another identifier", otherId, -1},
                        {"another program count", otherCount, -1},
                        {"another format version", otherVersion, 0}};
  for (const auto& cs : cases) {
    auto fx = makeEffect();
    fx->selectProgram(2);
    const Bytes before = storeBytes(*fx);
    fx->calls.clear();
    EXPECT_EQ(giveChunk(*fx, cs.bytes), cs.answer) << cs.what;
    EXPECT_EQ(storeBytes(*fx), before) << cs.what;
    EXPECT_EQ(fx->getCurrentProgram(), 2) << cs.what;
    EXPECT_TRUE(fx->calls.empty()) << cs.what;
  }
  auto fx = makeEffect();
  EXPECT_EQ(fx->setChunk(nullptr, static_cast<VstInt32>(good.size()), false), -1);
}

TEST_P(PresetSystemTest, HostMayHandBackThePluginsOwnChunkPointer) {
  auto fx = makeEffect();
  fx->selectProgram(3);
  void* data = nullptr;
  const auto size = dispatch(*fx, effGetChunk, 0, 0, &data);
  const Bytes before(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  fx->selectProgram(0);
  EXPECT_EQ(dispatch(*fx, effSetChunk, 0, size, data), 0);
  EXPECT_EQ(fx->getCurrentProgram(), 3);
  EXPECT_EQ(chunkOf(*fx), before);
}

TEST_P(PresetSystemTest, ChunkValuesOutsideZeroToOneAreMadeSafe) {
  auto source = makeEffect();
  Bytes chunk = chunkOf(*source);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float given[] = {nan, 2.0f, -1.0f, inf, -inf, 0.3f, 1.0f, 0.0f};
  const float stored[] = {0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.3f, 1.0f, 0.0f};
  for (int i = 0; i < 8; ++i) records::writeFloat(chunk.data() + 32 + 24 + 4 * i, given[i]);
  auto fx = makeEffect();
  EXPECT_EQ(giveChunk(*fx, chunk), 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(fx->programStore()->value(0, i), stored[i]) << i;
}

// ---- records ----

TEST_P(PresetSystemTest, PresetRecordReadBackReversedYieldsByteReversedValues) {
  auto fx = makeEffect(true);
  fx->selectProgram(2);
  Bytes record(layout().presetRecordBytes(), 0);
  editorOf(*fx).writePreset(record.data());
  EXPECT_EQ(record[4], records::kPresetType);
  fx->selectProgram(6);
  editorOf(*fx).readPreset(record.data(), true);
  EXPECT_STREQ(fx->programStore()->name(6), presettest::factoryName(2).c_str());
  for (int i = 0; i < N(); ++i) {
    std::uint32_t bits;
    const float original = factory(2, i);
    std::memcpy(&bits, &original, 4);
    bits = records::swapBytes32(bits);
    float reversed;
    std::memcpy(&reversed, &bits, 4);
    EXPECT_EQ(fx->programStore()->value(6, i), reversed) << i;
  }
}

TEST_P(PresetSystemTest, ForeignPresetIsReadInItsOwnOrderAndReapplied) {
  auto fx = makeEffect(true);
  fx->selectProgram(4);
  Bytes record(layout().presetRecordBytes(), 0);
  editorOf(*fx).writePreset(record.data());
  records::swapBytes32(record.data());
  for (int i = 0; i < N(); ++i) records::swapBytes32(record.data() + 5 + 24 + 4 * i);
  fx->selectProgram(7);
  fx->calls.clear();
  editorOf(*fx).readPreset(record.data(), false);
  for (int i = 0; i < N(); ++i) EXPECT_EQ(fx->programStore()->value(7, i), factory(4, i));
  EXPECT_EQ(fx->getCurrentProgram(), 7);
  EXPECT_EQ(fx->calls.size(), static_cast<std::size_t>(N())) << "the program is applied again";
  char name[64];
  fx->getProgramName(name);
  EXPECT_EQ(std::string(name), presettest::factoryName(4));
}

TEST_P(PresetSystemTest, RecordsOfAnotherTypeOrProductAreIgnored) {
  auto fx = makeEffect(true);
  fx->selectProgram(3);
  Bytes bank(layout().bankRecordBytes(), 0);
  editorOf(*fx).writeBank(bank.data());
  Bytes wrongType = bank;
  wrongType[4] = records::kPresetType;
  Bytes wrongProduct = bank;
  records::writeInt32(wrongProduct.data(), fourCharCode('Z', 'Z', 'Z', 'Z'));
  const Bytes before = storeBytes(*fx);
  fx->calls.clear();
  editorOf(*fx).readBank(wrongType.data(), false);
  editorOf(*fx).readBank(wrongProduct.data(), false);
  Bytes zero(layout().bankRecordBytes(), 0);
  editorOf(*fx).readBank(zero.data(), false);
  EXPECT_EQ(storeBytes(*fx), before);
  EXPECT_EQ(fx->getCurrentProgram(), 3);
  EXPECT_TRUE(fx->calls.empty());
}

TEST_P(PresetSystemTest, BankRecordRoundTripSelectsProgramZeroAndCleansNames) {
  auto fx = makeEffect(true);
  Bytes bank(layout().bankRecordBytes(), 0);
  editorOf(*fx).writeBank(bank.data());
  EXPECT_EQ(records::readInt32(bank.data()), c().uniqueId);
  EXPECT_EQ(bank[4], records::kBankType);
  // Bytes after a name's terminator do not survive the name rule.
  std::memcpy(bank.data() + 5, "abc\0garbage", 11);
  auto other = makeEffect(true);
  other->selectProgram(5);
  editorOf(*other).readBank(bank.data(), false);
  EXPECT_EQ(other->getCurrentProgram(), 0);
  const char* name = other->programStore()->name(0);
  EXPECT_STREQ(name, "abc");
  for (int i = 3; i < 24; ++i) EXPECT_EQ(name[i], 0);
  for (int k = 1; k < P(); ++k)
    EXPECT_STREQ(other->programStore()->name(k), presettest::factoryName(k).c_str());
}

TEST_P(PresetSystemTest, SettingsRecordCarriesTheEditorOnlyValues) {
  auto fx = makeEffect(true);
  for (int i = 0; i < N(); ++i) fx->setParameter(N() + i, static_cast<float>(i) / static_cast<float>(N()));
  Bytes record(layout().settingsRecordBytes(), 0);
  editorOf(*fx).writeSettings(record.data());
  EXPECT_EQ(record[4], records::kSettingsType);
  auto other = makeEffect(true);
  editorOf(*other).readSettings(record.data(), false);
  for (int i = 0; i < N(); ++i)
    EXPECT_EQ(other->values[static_cast<std::size_t>(N() + i)],
              static_cast<float>(i) / static_cast<float>(N()));
}

// ---- settings store ----

TEST_P(PresetSystemTest, WithNothingStoredANewInstanceStartsFromTheFactoryWithEmptyPaths) {
  auto fx = makeEffect(true);
  fx->loadEditorDefaults();
  EXPECT_EQ(fx->getCurrentProgram(), 0);
  EXPECT_STREQ(fx->programStore()->name(0), presettest::factoryName(0).c_str());
  EXPECT_EQ(editorOf(*fx).presetDirectory(), "");
  EXPECT_EQ(editorOf(*fx).bankFileName(), "");
  EXPECT_EQ(editorOf(*fx).presetFileName(), "");
}

TEST_P(PresetSystemTest, EditorStartsInTheCurrentDirectory) {
  auto fx = makeEffect(true);
  EXPECT_EQ(editorOf(*fx).presetDirectory(), platform::currentDirectory());
}

TEST_P(PresetSystemTest, DefaultPresetBecomesProgramZeroOfTheNextInstance) {
  for (bool withEditor : {true, false}) {
    {
      auto fx = makeEffect(true);
      fx->selectProgram(P() - 1);
      editorOf(*fx).storeDefaultPreset();
    }
    auto next = makeEffect(withEditor);
    next->loadEditorDefaults();
    next->selectProgram(0);
    EXPECT_STREQ(next->programStore()->name(0), presettest::factoryName(P() - 1).c_str());
    for (int i = 0; i < N(); ++i) EXPECT_EQ(next->values[static_cast<std::size_t>(i)], factory(P() - 1, i));
    EXPECT_STREQ(next->programStore()->name(P() - 1), presettest::factoryName(P() - 1).c_str());
    EXPECT_EQ(next->programStore()->value(P() - 1, 0), factory(P() - 1, 0));
  }
  {
    auto fx = makeEffect(true);
    editorOf(*fx).clearDefaultPreset();
  }
  auto cleared = makeEffect(true);
  cleared->loadEditorDefaults();
  EXPECT_STREQ(cleared->programStore()->name(0), presettest::factoryName(0).c_str());
}

TEST_P(PresetSystemTest, DefaultBankReplacesTheFactoryProgramsUntilCleared) {
  {
    auto fx = makeEffect(true);
    fx->selectProgram(1);
    std::string name = "Stored Bank Program";
    dispatch(*fx, effSetProgramName, 0, 0, name.data());
    editorOf(*fx).storeDefaultBank();
  }
  for (bool withEditor : {true, false}) {
    auto next = makeEffect(withEditor);
    next->loadEditorDefaults();
    EXPECT_STREQ(next->programStore()->name(1), "Stored Bank Program");
    EXPECT_EQ(next->getCurrentProgram(), 0);
  }
  {
    auto fx = makeEffect(true);
    editorOf(*fx).clearDefaultBank();
  }
  auto cleared = makeEffect(false);
  cleared->loadEditorDefaults();
  EXPECT_STREQ(cleared->programStore()->name(1), presettest::factoryName(1).c_str());
}

TEST_P(PresetSystemTest, MemoryRecallCopiesTheStoredProgramIntoTheCurrentOne) {
  auto fx = makeEffect(true);
  PresetTestEditor& ed = editorOf(*fx);
  fx->selectProgram(2);
  ed.storeMemoA();
  fx->selectProgram(3);
  ed.storeMemoB();
  fx->selectProgram(8);
  fx->calls.clear();
  ed.recallMemoA();
  EXPECT_STREQ(fx->programStore()->name(8), presettest::factoryName(2).c_str());
  for (int i = 0; i < N(); ++i) EXPECT_EQ(fx->values[static_cast<std::size_t>(i)], factory(2, i));
  EXPECT_EQ(fx->calls.size(), static_cast<std::size_t>(N()));
  ed.recallMemoB();
  EXPECT_STREQ(fx->programStore()->name(8), presettest::factoryName(3).c_str());
  EXPECT_EQ(fx->getCurrentProgram(), 8);
}

TEST_P(PresetSystemTest, SettingsOperationsGoThroughTheEditorsReadersAndWriters) {
  auto fx = makeEffect(true);
  PresetTestEditor& ed = editorOf(*fx);
  ed.storeDefaultBank();
  ed.storeMemoA();
  ed.recallMemoA();
  fx->loadEditorDefaults();
  EXPECT_EQ(ed.bankWrites, 1);
  EXPECT_EQ(ed.presetReads, 2) << "the memory and the default preset";
}

TEST_P(PresetSystemTest, PathsAreSavedAtDestructionAndComeBackWhole) {
  const std::string longFolder = "/" + std::string(255, 'f');
  const std::string longerFolder = "/" + std::string(2000, 'g') + "/";
  const std::string bytesFolder = "/home/m\xFC\x6C\x6C\x65r/\xFF/";  // a Linux name in no valid UTF-8
  for (const std::string& folder : {longFolder, longerFolder, bytesFolder}) {
    {
      auto fx = makeEffect(true);
      editorOf(*fx).paths_ = {folder, "bank01.jyb", "my preset.jyx"};
    }
    auto next = makeEffect(true);
    next->loadEditorDefaults();
    EXPECT_EQ(editorOf(*next).presetDirectory(), folder);
    EXPECT_EQ(editorOf(*next).bankFileName(), "bank01.jyb");
    EXPECT_EQ(editorOf(*next).presetFileName(), "my preset.jyx");
  }
  std::vector<std::uint8_t> raw(22);
  EXPECT_TRUE(platform::SettingsKey(c().stem, platform::SettingsKey::Access::Query)
                  .readExact("CurrBank", platform::SettingsType::String, raw.data(), raw.size()))
      << "ten characters and the terminator: 22 bytes";
}

TEST_P(PresetSystemTest, StoredRecordsOfAnotherSizeOrTypeAreIgnored) {
  Bytes preset(layout().presetRecordBytes(), 0);
  {
    auto fx = makeEffect(true);
    fx->selectProgram(P() - 1);
    editorOf(*fx).writePreset(preset.data());
  }
  struct Case {
    const char* what;
    platform::SettingsType type;
    std::size_t size;
  };
  const Case cases[] = {{"truncated", platform::SettingsType::Binary, preset.size() - 1},
                        {"too long", platform::SettingsType::Binary, preset.size() + 1},
                        {"text", platform::SettingsType::String, preset.size()}};
  for (const auto& cs : cases) {
    Bytes stored = preset;
    stored.resize(cs.size, 0);
    platform::SettingsKey(c().stem, platform::SettingsKey::Access::Write)
        .write(presets::kDefaultPresetValue, cs.type, stored.data(), stored.size());
    auto next = makeEffect(true);
    next->loadEditorDefaults();
    EXPECT_STREQ(next->programStore()->name(0), presettest::factoryName(0).c_str()) << cs.what;
  }
}

TEST_P(PresetSystemTest, ProductsKeepTheirSettingsApart) {
  auto fx = makeEffect(true);
  fx->selectProgram(1);
  editorOf(*fx).storeDefaultPreset();
  for (const ProductConstants& other : presettest::allProducts()) {
    if (std::string(other.stem) == c().stem) continue;
    EXPECT_FALSE(platform::SettingsKey(other.stem, platform::SettingsKey::Access::Query).isOpen())
        << other.product;
  }
}

INSTANTIATE_TEST_SUITE_P(AllProducts, PresetSystemTest, ::testing::ValuesIn(presettest::allProducts()),
                         [](const auto& info) { return std::string(info.param.product); });

TEST(RecordLayout, SizesOfEveryProduct) {
  struct Row {
    records::Layout layout;
    std::size_t entry, store, preset, bank, settings, chunk;
  };
  const Row rows[] = {{{42, 30}, 192, 5760, 197, 5765, 173, 5792},
                      {{48, 30}, 216, 6480, 221, 6485, 197, 6512},
                      {{22, 13}, 112, 1456, 117, 1461, 93, 1488}};
  for (const auto& r : rows) {
    EXPECT_EQ(r.layout.entryBytes(), r.entry);
    EXPECT_EQ(r.layout.storeBytes(), r.store);
    EXPECT_EQ(r.layout.presetRecordBytes(), r.preset);
    EXPECT_EQ(r.layout.bankRecordBytes(), r.bank);
    EXPECT_EQ(r.layout.settingsRecordBytes(), r.settings);
    EXPECT_EQ(r.layout.chunkBytes(), r.chunk);
  }
}

}  // namespace
