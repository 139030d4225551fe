// A host whose threads meet at the programs: one loads chunks, banks and
// presets, another plays audio and automates parameters from it, a third reads
// and renames programs and takes chunks, all at once, for every product.
// Every chunk taken is whole, and at the end of every round what the effect
// plays is what it plays again from the chunk it then gives: no value set from
// any thread is lost.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "presets/preset_editor.h"
#include "tests/robustness/host_driver.h"
#include "tests/robustness/robust_products.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using records::kNameBytes;

constexpr int kRounds = 150;
constexpr int kLoadsPerRound = 4;
constexpr int kAutomationBlocks = 12;
constexpr int kChangesPerBlock = 6;
constexpr int kNameReadsPerRound = 12;
constexpr const char* kRenamed = "Renamed";
constexpr const char* kPresetName = "Loaded preset";

std::string entryName(const std::uint8_t* entry) {
  char text[kNameBytes + 1];
  records::nameText(reinterpret_cast<const char*>(entry), text);
  return text;
}

// A bank in the product's chunk form: program k named "<stem> k", values all
// of the bank's own, the current program given.
Bytes bankChunk(CPresetSystemEffect& fx, const std::string& stem, int current, unsigned seed) {
  Bytes chunk = robust::getChunk(fx.getAeffect());
  const records::Layout layout = fx.presetTraits().layout;
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int k = 0; k < layout.numPrograms; ++k) {
    std::uint8_t* entry = chunk.data() + records::kChunkHeaderBytes + layout.entryBytes() * k;
    records::storeName(reinterpret_cast<char*>(entry), (stem + " " + std::to_string(k)).c_str());
    for (int i = 0; i < layout.numParams; ++i) records::writeFloat(entry + kNameBytes + 4 * i, unit(rng));
  }
  records::writeInt32(chunk.data() + 12, current);
  return chunk;
}

// The same programs as a bank record, and one program of them as a preset record.
Bytes bankRecord(CPresetSystemEffect& fx, const Bytes& chunk) {
  Bytes record(fx.presetTraits().layout.bankRecordBytes());
  records::writeInt32(record.data(), fx.getPresetId());
  record[4] = records::kBankType;
  std::copy(chunk.begin() + records::kChunkHeaderBytes, chunk.end(), record.begin() + 5);
  return record;
}

Bytes presetRecord(CPresetSystemEffect& fx, const Bytes& chunk, int program) {
  const records::Layout layout = fx.presetTraits().layout;
  Bytes record(layout.presetRecordBytes());
  records::writeInt32(record.data(), fx.getPresetId());
  record[4] = records::kPresetType;
  const auto entry =
      chunk.begin() + static_cast<long>(records::kChunkHeaderBytes + layout.entryBytes() * program);
  std::copy(entry, entry + static_cast<long>(layout.entryBytes()), record.begin() + 5);
  records::storeName(reinterpret_cast<char*>(record.data() + 5), kPresetName);
  return record;
}

bool singleProgramName(const std::string& name) {
  return name.rfind(kRenamed, 0) == 0 || name == kPresetName;
}

// A chunk taken while programs are loaded is one load's programs, whole: its
// names come from one bank, but for programs renamed or loaded one at a time
// since.
::testing::AssertionResult wholeChunk(CPresetSystemEffect& fx, const Bytes& chunk) {
  const records::Layout layout = fx.presetTraits().layout;
  if (chunk.size() != layout.chunkBytes()) return ::testing::AssertionFailure() << "size " << chunk.size();
  if (records::readInt32(chunk.data()) != records::kChunkVersion ||
      records::readInt32(chunk.data() + 4) != fx.getPresetId() ||
      records::readInt32(chunk.data() + 8) != layout.numPrograms)
    return ::testing::AssertionFailure() << "a torn header";
  const int current = records::readInt32(chunk.data() + 12);
  if (current < 0 || current >= layout.numPrograms)
    return ::testing::AssertionFailure() << "current program " << current;
  std::string stem;
  for (int k = 0; k < layout.numPrograms; ++k) {
    const std::string name = entryName(chunk.data() + records::kChunkHeaderBytes + layout.entryBytes() * k);
    if (singleProgramName(name)) continue;
    const std::size_t space = name.rfind(' ');
    const bool numbered = space != std::string::npos && name.substr(space + 1) == std::to_string(k);
    const std::string own = numbered ? name.substr(0, space) : name;
    if (stem.empty()) stem = own;
    if (!numbered || own != stem)
      return ::testing::AssertionFailure()
             << "program " << k << " is \"" << name << "\" in a bank of \"" << stem << "\"";
  }
  return ::testing::AssertionSuccess();
}

// What the effect plays against what a twin plays once the host has loaded
// the chunk the effect gave it into the twin.
std::string playedButNotStored(CPresetSystemEffect& fx, CPresetSystemEffect& twin) {
  const Bytes chunk = robust::getChunk(fx.getAeffect());
  if (robust::setChunk(twin.getAeffect(), chunk) != 0) return " the chunk was refused";
  std::ostringstream out;
  for (VstInt32 i = 0; i < fx.presetTraits().layout.numParams; ++i) {
    if (fx.getParameter(i) != twin.getParameter(i))
      out << " index " << i << " plays " << fx.getParameter(i) << ", its chunk " << twin.getParameter(i)
          << ";";
  }
  return out.str();
}

class ProgramThreads : public ::testing::TestWithParam<const robust::Product*> {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_P(ProgramThreads, LoadsAutomationAndNamesAtOnceLoseNothingAndWhatPlaysIsStored) {
  const robust::Product& product = *GetParam();
  std::unique_ptr<CPresetSystemEffect> effect = robust::make(product);
  CPresetSystemEffect& fx = *effect;
  const std::unique_ptr<CPresetSystemEffect> twin = robust::make(product);
  AEffect* e = fx.getAeffect();
  robust::resume(e);
  const records::Layout layout = fx.presetTraits().layout;
  const int n = layout.numParams;
  const Bytes first = bankChunk(fx, "First", 3, 11);
  const Bytes second = bankChunk(fx, "Second", layout.numPrograms - 1, 12);
  const Bytes bank = bankRecord(fx, bankChunk(fx, "Bank", 0, 13));
  const Bytes preset = presetRecord(fx, second, 5);
  CPresetSystemEditor* editor = fx.presetEditor();

  int lostRounds = 0, tornRounds = 0;
  std::string firstLoss, firstTear;
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_EQ(robust::setChunk(e, first), 0);
    std::atomic<int> ready{0};
    auto startTogether = [&] {
      ready.fetch_add(1);
      while (ready.load() < 3) std::this_thread::yield();
    };
    // The host's main thread: the project's chunk, and the user's bank and preset files.
    std::thread loads([&] {
      startTogether();
      for (int k = 0; k < kLoadsPerRound; ++k) {
        switch ((round + k) % 4) {
          case 0: robust::setChunk(e, second); break;
          case 1:
            if (editor) editor->readBank(bank.data(), false);
            break;
          case 2:
            if (editor) editor->readPreset(preset.data(), false);
            break;
          default: robust::setChunk(e, first); break;
        }
      }
    });
    // The audio thread, playing back automation between its blocks.
    ::testing::AssertionResult audio = ::testing::AssertionSuccess();
    std::thread automation([&] {
      std::mt19937 rng(static_cast<unsigned>(round) * 7919u + 1u);
      std::uniform_real_distribution<float> unit(0.0f, 1.0f);
      robust::HostBlock<float> block;
      startTogether();
      for (int b = 0; b < kAutomationBlocks && audio; ++b) {
        for (int k = 0; k < kChangesPerBlock; ++k)
          fx.setParameter(static_cast<VstInt32>(rng() % static_cast<unsigned>(n)), unit(rng));
        audio = block.run(e, rng, 32);
      }
    });
    // The host's user-interface thread: program names and the chunk of a project save.
    ::testing::AssertionResult chunks = ::testing::AssertionSuccess();
    std::thread names([&] {
      startTogether();
      for (int k = 0; k < kNameReadsPerRound && chunks; ++k) {
        char text[256] = {};
        e->dispatcher(e, effGetProgramNameIndexed, k % layout.numPrograms, 0, text, 0.0f);
        e->dispatcher(e, effGetProgramName, 0, 0, text, 0.0f);
        if (k % 4 == 1) {
          std::string renamed = std::string(kRenamed) + " " + std::to_string(k);
          e->dispatcher(e, effSetProgramName, 0, 0, renamed.data(), 0.0f);
        }
        chunks = wholeChunk(fx, robust::getChunk(e));
      }
    });
    loads.join();
    automation.join();
    names.join();
    ASSERT_TRUE(audio) << "round " << round;
    if (!chunks && tornRounds++ == 0) firstTear = "round " + std::to_string(round) + ": " + chunks.message();
    const std::string loss = playedButNotStored(fx, *twin);
    if (!loss.empty() && lostRounds++ == 0) firstLoss = "round " + std::to_string(round) + ":" + loss;
  }
  EXPECT_EQ(tornRounds, 0) << "a chunk taken was not whole in " << tornRounds << " of " << kRounds
                           << " rounds; first " << firstTear;
  EXPECT_EQ(lostRounds, 0) << "what plays is not what is stored in " << lostRounds << " of " << kRounds
                           << " rounds; first " << firstLoss;
}

INSTANTIATE_TEST_SUITE_P(EveryProduct, ProgramThreads, ::testing::ValuesIn([] {
                           std::vector<const robust::Product*> all;
                           for (const robust::Product& p : robust::products()) all.push_back(&p);
                           return all;
                         }()),
                         [](const auto& info) { return info.param->name; });

}  // namespace
