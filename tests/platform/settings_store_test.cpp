// The settings store as the preset system and the meter preferences use it.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/current_directory.h"
#include "platform/text.h"
#include "tests/support/settings_sandbox.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#endif

namespace {

using platform::SettingsKey;
using platform::SettingsType;

constexpr const char* kStem = "StoreTest10";

class SettingsStoreTest : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_F(SettingsStoreTest, MissingKeyCannotBeOpenedForQueryButIsCreatedForWrite) {
  EXPECT_FALSE(SettingsKey(kStem, SettingsKey::Access::Query).isOpen());
  EXPECT_FALSE(SettingsKey(kStem, SettingsKey::Access::SetValue).isOpen());
  EXPECT_TRUE(SettingsKey(kStem, SettingsKey::Access::Write).isOpen());
  EXPECT_TRUE(SettingsKey(kStem, SettingsKey::Access::Query).isOpen());
}

TEST_F(SettingsStoreTest, BinaryValueComesBackOnlyWithItsExactTypeAndSize) {
  const std::array<unsigned char, 5> stored = {1, 2, 3, 4, 5};
  ASSERT_TRUE(SettingsKey(kStem, SettingsKey::Access::Write)
                  .write("Record", SettingsType::Binary, stored.data(), stored.size()));
  SettingsKey key(kStem, SettingsKey::Access::Query);

  std::array<unsigned char, 5> exact{};
  EXPECT_TRUE(key.readExact("Record", SettingsType::Binary, exact.data(), exact.size()));
  EXPECT_EQ(exact, stored);

  struct Refused {
    const char* why;
    SettingsType type;
    std::size_t size;
  };
  const Refused refused[] = {{"shorter than asked", SettingsType::Binary, 6},
                             {"longer than asked", SettingsType::Binary, 4},
                             {"another type", SettingsType::String, 5}};
  for (const auto& r : refused) {
    std::array<unsigned char, 8> buffer;
    buffer.fill(0xEE);
    EXPECT_FALSE(key.readExact("Record", r.type, buffer.data(), r.size)) << r.why;
    for (unsigned char b : buffer) EXPECT_EQ(b, 0xEE) << r.why;
  }
  EXPECT_FALSE(key.readExact("Missing", SettingsType::Binary, exact.data(), exact.size()));
}

TEST_F(SettingsStoreTest, RemovedValueIsGoneAndRemovingAgainFails) {
  const float value = 0.25f;
  SettingsKey(kStem, SettingsKey::Access::Write).write("knobmode", SettingsType::Binary, &value, 4);
  SettingsKey setter(kStem, SettingsKey::Access::SetValue);
  ASSERT_TRUE(setter.isOpen());
  EXPECT_TRUE(setter.remove("knobmode"));
  EXPECT_FALSE(setter.remove("knobmode"));
  float back = 1.0f;
  EXPECT_FALSE(
      SettingsKey(kStem, SettingsKey::Access::Query).readExact("knobmode", SettingsType::Binary, &back, 4));
  EXPECT_EQ(back, 1.0f);
}

TEST_F(SettingsStoreTest, TextIsStoredAsWideCharactersWithTheirTerminator) {
  SettingsKey writer(kStem, SettingsKey::Access::Write);
  ASSERT_TRUE(writer.writeString("CurrBank", "bank01.jyb"));
  SettingsKey reader(kStem, SettingsKey::Access::Query);
  // Ten characters and the wide terminator: 22 bytes.
  std::vector<unsigned char> raw(22);
  EXPECT_TRUE(reader.readExact("CurrBank", SettingsType::String, raw.data(), raw.size()));
  EXPECT_EQ(raw[0], 'b');
  EXPECT_EQ(raw[1], 0);
  EXPECT_EQ(raw[20], 0);
  std::string back;
  EXPECT_TRUE(reader.readString("CurrBank", back, 256));
  EXPECT_EQ(back, "bank01.jyb");
}

TEST_F(SettingsStoreTest, LongAndNonAsciiTextComesBackWhole) {
  const std::string folder = std::string(1000, 'd') + "/Pr\xC3\xA9sets \xE2\x82\xAC/";
  SettingsKey(kStem, SettingsKey::Access::Write).writeString("CurrDir", folder);
  std::string back;
  SettingsKey reader(kStem, SettingsKey::Access::Query);
  EXPECT_TRUE(reader.readString("CurrDir", back, platform::kMaxPathBytes));
  EXPECT_EQ(back, folder);
  EXPECT_FALSE(reader.readString("CurrDir", back, 100)) << "longer than the caller accepts";
}

TEST_F(SettingsStoreTest, ConcurrentWritersNeverLeaveATornValue) {
  constexpr std::size_t kSize = 5765;
  std::atomic<bool> stop{false};
  auto writer = [&](unsigned char fill) {
    std::vector<unsigned char> bytes(kSize, fill);
    while (!stop.load())
      SettingsKey(kStem, SettingsKey::Access::Write)
          .write("DefaultBank", SettingsType::Binary, bytes.data(), bytes.size());
  };
  SettingsKey(kStem, SettingsKey::Access::Write)
      .write("DefaultBank", SettingsType::Binary, std::vector<unsigned char>(kSize, 1).data(), kSize);
  std::thread a(writer, 1), b(writer, 2);
  int reads = 0;
  for (int i = 0; i < 300; ++i) {
    std::vector<unsigned char> got(kSize, 0);
    if (!SettingsKey(kStem, SettingsKey::Access::Query)
             .readExact("DefaultBank", SettingsType::Binary, got.data(), kSize))
      continue;
    ++reads;
    for (unsigned char c : got) ASSERT_EQ(c, got[0]) << "a read saw two writes mixed";
  }
  stop = true;
  a.join();
  b.join();
  EXPECT_GT(reads, 0);
}

#ifndef _WIN32
TEST_F(SettingsStoreTest, StoreLivesUnderTheConfigFolderAndIgnoresDamagedFiles) {
  const float value = 0.5f;
  SettingsKey(kStem, SettingsKey::Access::Write).write("vuintegration", SettingsType::Binary, &value, 4);
  const std::string path = sandbox_.folder() + "/Brenmoorworks/" + kStem + "/vuintegration";
  std::ifstream f(path, std::ios::binary);
  ASSERT_TRUE(f.good()) << path;
  f.close();
  {
    std::ofstream damaged(path, std::ios::binary | std::ios::trunc);
    damaged << "JY";
  }
  float back = 2.0f;
  EXPECT_FALSE(SettingsKey(kStem, SettingsKey::Access::Query)
                   .readExact("vuintegration", SettingsType::Binary, &back, 4));
  EXPECT_EQ(back, 2.0f);
}

TEST_F(SettingsStoreTest, NamesThatCouldLeaveTheKeyAreRefused) {
  SettingsKey key(kStem, SettingsKey::Access::Write);
  const char byte = 1;
  EXPECT_FALSE(key.write("../escape", SettingsType::Binary, &byte, 1));
  EXPECT_FALSE(key.write("", SettingsType::Binary, &byte, 1));
  EXPECT_FALSE(SettingsKey("../x", SettingsKey::Access::Write).isOpen());
}
#endif

// What a damaged or hostile folder may hold in a value's place. Reading it
// takes no time and counts as missing, so the default stays in force; the
// next write replaces it where the platform allows.
enum class Hostile { Fifo, EmptyFolder, FullFolder, DeviceLink, Truncated };

struct HostileCase {
  const char* name;
  Hostile kind;
  bool replacedByWrite;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* kHostileValue = "vuintegration";

class HostileValue : public ::testing::TestWithParam<HostileCase> {
 protected:
  // Puts the hostile kind in the value's place; the reason when the platform has no such thing.
  std::string make(Hostile kind) {
    SettingsKey writer(kStem, SettingsKey::Access::Write);
    const float value = 0.25f;
#ifdef _WIN32
    if (kind != Hostile::Truncated)
      return "the registry holds only typed values: no FIFO, folder or device link in a value's place";
    // A record cut short: two of its four bytes.
    return writer.write(kHostileValue, SettingsType::Binary, &value, 2) ? "" : "cannot write the short value";
#else
    const std::string path = sandbox_.folder() + "/Brenmoorworks/" + kStem + "/" + kHostileValue;
    bool made = false;
    switch (kind) {
      case Hostile::Fifo: made = ::mkfifo(path.c_str(), 0600) == 0; break;
      case Hostile::EmptyFolder: made = ::mkdir(path.c_str(), 0700) == 0; break;
      case Hostile::FullFolder:
        made = ::mkdir(path.c_str(), 0700) == 0 && std::ofstream(path + "/inside").good();
        break;
      case Hostile::DeviceLink: made = ::symlink("/dev/zero", path.c_str()) == 0; break;
      case Hostile::Truncated:
        // Killed mid-write by something that wrote in place: the header and two bytes.
        made =
            writer.write(kHostileValue, SettingsType::Binary, &value, 4) && ::truncate(path.c_str(), 10) == 0;
        break;
    }
    fifo_ = kind == Hostile::Fifo ? path : "";
    return made ? "" : "cannot make " + path;
#endif
  }

  // Reads the value on a thread of its own; a read that waits is a failure,
  // and is released by opening the FIFO's other end, so the test still ends.
  bool readWithoutWaiting(float& back) {
    std::atomic<bool> done{false};
    bool found = true;
    std::thread reader([&] {
      found = SettingsKey(kStem, SettingsKey::Access::Query)
                  .readExact(kHostileValue, SettingsType::Binary, &back, sizeof back);
      done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done.load() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
#ifndef _WIN32
    if (!done.load() && !fifo_.empty()) {
      ADD_FAILURE() << "the read waited on the FIFO";
      const int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    }
#endif
    reader.join();
    return found;
  }

  testsupport::SettingsSandbox sandbox_;
  std::string fifo_;
};

TEST_P(HostileValue, ReadsAsMissingWithoutWaitingAndTheNextWriteReplacesItWhereItCan) {
  const HostileCase& c = GetParam();
  const std::string reason = make(c.kind);
  if (!reason.empty()) GTEST_SKIP() << reason;

  float back = 2.0f;
  EXPECT_FALSE(readWithoutWaiting(back));
  EXPECT_EQ(back, 2.0f) << "the default stays in force";

  const float value = 0.75f;
  EXPECT_EQ(SettingsKey(kStem, SettingsKey::Access::Write)
                .write(kHostileValue, SettingsType::Binary, &value, sizeof value),
            c.replacedByWrite);
  float again = 2.0f;
  EXPECT_EQ(readWithoutWaiting(again), c.replacedByWrite);
  EXPECT_EQ(again, c.replacedByWrite ? value : 2.0f);
}

INSTANTIATE_TEST_SUITE_P(InTheValuesPlace, HostileValue,
                         ::testing::Values(HostileCase{"Fifo", Hostile::Fifo, true},
                                           HostileCase{"EmptyFolder", Hostile::EmptyFolder, true},
                                           HostileCase{"FolderWithAFileInIt", Hostile::FullFolder, false},
                                           HostileCase{"SymbolicLinkToADevice", Hostile::DeviceLink, true},
                                           HostileCase{"TruncatedFile", Hostile::Truncated, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, AWriteRemovesTheTemporaryFilesItsKilledWritersLeft) {
#ifdef _WIN32
  GTEST_SKIP() << "the registry writes a value in place: there are no temporary files";
#else
  ASSERT_TRUE(SettingsKey(kStem, SettingsKey::Access::Write).isOpen());
  const std::string folder = sandbox_.folder() + "/Brenmoorworks/" + kStem + "/";
  // A writer killed mid-write: a process that has ended.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const std::string self = std::to_string(::getpid());

  struct Temporary {
    std::string name;
    bool old;
    bool removed;
    const char* why;
  };
  const Temporary temporaries[] = {
      {".CurrDir.tmp-" + std::to_string(gone) + "-3", false, true, "its writer is gone"},
      {".CurrDir.tmp-" + self + "-7", true, true, "older than any write takes"},
      {".CurrDir.tmp-" + self + "-8", false, false, "a write in progress"},
      {".CurrBank.tmp-" + std::to_string(gone) + "-1", false, false, "another value's"},
      {".CurrDir.tmp-" + std::to_string(gone) + "-x", false, false, "not a name the store writes"},
  };
  for (const Temporary& t : temporaries) {
    const std::string path = folder + t.name;
    ASSERT_TRUE(std::ofstream(path).good()) << path;
    if (t.old) {
      const timespec twoHoursAgo[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), twoHoursAgo, 0), 0);
    }
  }
  ASSERT_TRUE(SettingsKey(kStem, SettingsKey::Access::Write).writeString("CurrDir", "/presets"));
  for (const Temporary& t : temporaries) {
    struct stat st {};
    EXPECT_EQ(::stat((folder + t.name).c_str(), &st) != 0, t.removed) << t.name << ": " << t.why;
  }
  std::string back;
  EXPECT_TRUE(SettingsKey(kStem, SettingsKey::Access::Query).readString("CurrDir", back, 256));
  EXPECT_EQ(back, "/presets");
#endif
}

TEST(TextConversion, RoundTripsEveryPlaneAndAnyBytes) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5z";
  const std::u16string wide = platform::utf8ToUtf16(text);
  EXPECT_EQ(wide.size(), 6u);  // a, é, €, a surrogate pair, z
  EXPECT_EQ(platform::utf16ToUtf8(wide), text);
  // Bytes of no valid UTF-8 (a Linux folder may be named so) come back as they were.
  const std::string bytes = "/home/\xFF\xFE/x\xC3/\xE2\x82/\xED\xB2\x80/\x80";
  EXPECT_EQ(platform::utf16ToUtf8(platform::utf8ToUtf16(bytes)), bytes);
  EXPECT_EQ(platform::utf8ToUtf16("\xC3"), std::u16string(1, char16_t(0xDCC3)));
  // A lone surrogate from elsewhere becomes the replacement character.
  EXPECT_EQ(platform::utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(CurrentDirectory, MovesAndEndsWithTheSeparator) {
  const std::string before = platform::currentDirectory();
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(before.back(), platform::kPathSeparator);
  testsupport::TempFolder folder;
  ASSERT_TRUE(platform::setCurrentDirectory(folder.path()));
  const std::string now = platform::currentDirectory();
  EXPECT_NE(now, before);
  EXPECT_TRUE(platform::setCurrentDirectory(before));
  EXPECT_FALSE(platform::setCurrentDirectory(folder.path() + "/does-not-exist"));
}

}  // namespace
