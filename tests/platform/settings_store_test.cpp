// The settings store as the preset system and the meter preferences use it.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/current_directory.h"
#include "platform/text.h"
#include "tests/support/settings_sandbox.h"

#ifndef _WIN32
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
