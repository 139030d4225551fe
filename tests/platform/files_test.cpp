// The files the user chooses: paths split at the platform's separators, files
// read only at exactly their expected length, and files replaced in one step
// so that a failed write leaves the old file whole.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "platform/current_directory.h"
#include "tests/support/file_contents.h"
#include "tests/support/settings_sandbox.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testsupport::fileContent;
using testsupport::writeFileContent;

std::string inFolder(const testsupport::TempFolder& folder, const std::string& name) {
  return folder.path() + platform::kPathSeparator + name;
}

std::size_t entriesIn(const std::string& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(fs::u8path(folder)), fs::directory_iterator()));
}

TEST(SplitPath, SplitsAtTheLastSeparatorOfThePlatform) {
  struct Case {
    std::string path;
    bool split;
    std::string folder, name;
  };
  const Case cases[] = {
      {"/home/me/presets/warm.jyx", true, "/home/me/presets/", "warm.jyx"},
      {"/warm.jyx", true, "/", "warm.jyx"},
      {"/home/me/", true, "/home/me/", ""},
      {"warm.jyx", false, "", ""},
#ifdef _WIN32
      {"C:\\Users\\me\\warm.jyx", true, "C:\\Users\\me\\", "warm.jyx"},
      {"C:\\Users\\me/sub/warm.jyx", true, "C:\\Users\\me/sub/", "warm.jyx"},
      {"C:/Users\\me\\warm.jyx", true, "C:/Users\\me\\", "warm.jyx"},
#else
      {"/home/back\\slash.jyx", true, "/home/", "back\\slash.jyx"},
#endif
  };
  for (const Case& c : cases) {
    std::string folder, name;
    EXPECT_EQ(platform::splitPath(c.path, folder, name), c.split) << c.path;
    EXPECT_EQ(folder, c.folder) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
  }
}

TEST(AbsolutePath, ARelativePathIsTakenFromTheCurrentFolder) {
  const std::string cwd = platform::currentDirectory();
  EXPECT_EQ(platform::absolutePath("warm.jyx"), cwd + "warm.jyx");
  const std::string absolute = cwd + "sub" + platform::kPathSeparator + "warm.jyx";
  EXPECT_EQ(platform::absolutePath(absolute), absolute);
}

TEST(ReadFileExactly, ReadsOnlyAFileOfExactlyTheExpectedLength) {
  testsupport::TempFolder folder;
  const Bytes record{1, 2, 3, 4, 5, 6, 7};
  struct Case {
    const char* what;
    Bytes content;
    bool read;
  };
  const Case cases[] = {
      {"exact", record, true},
      {"one byte short", Bytes(record.begin(), record.end() - 1), false},
      {"one byte long",
       [&] {
         Bytes b = record;
         b.push_back(8);
         return b;
       }(),
       false},
      {"empty", {}, false},
  };
  for (const Case& c : cases) {
    const std::string path = inFolder(folder, "record");
    writeFileContent(path, c.content);
    Bytes got(record.size(), 0xEE);
    EXPECT_EQ(platform::readFileExactly(path, got.data(), got.size()), c.read) << c.what;
    if (c.read) {
      EXPECT_EQ(got, record);
    }
  }
  Bytes got(record.size());
  EXPECT_FALSE(platform::readFileExactly(inFolder(folder, "missing"), got.data(), got.size()));
  EXPECT_FALSE(platform::readFileExactly(folder.path(), got.data(), got.size())) << "a folder";
#ifndef _WIN32
  // A FIFO is neither waited on nor read.
  const std::string fifo = inFolder(folder, "fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(platform::readFileExactly(fifo, got.data(), got.size()));
#endif
}

TEST(ReplaceFile, WritesANewFileOrReplacesTheOldOneLeavingNothingElse) {
  testsupport::TempFolder folder;
  const std::string name = "Pr\xC3\xA9r\xC3\xA9glage \xE2\x98\x83.jyb";
  const std::string path = inFolder(folder, name);
  const Bytes first(5765, 0x11);
  const Bytes second(197, 0x22);
  ASSERT_TRUE(platform::replaceFile(path, first.data(), first.size()));
  EXPECT_EQ(fileContent(path), first);
  ASSERT_TRUE(platform::replaceFile(path, second.data(), second.size()));
  EXPECT_EQ(fileContent(path), second);
  EXPECT_EQ(entriesIn(folder.path()), 1u) << "no temporary file is left";
  Bytes back(second.size());
  EXPECT_TRUE(platform::readFileExactly(path, back.data(), back.size()));
  EXPECT_EQ(back, second);
}

TEST(ReplaceFile, AFailedSaveLeavesWhatWasThere) {
  testsupport::TempFolder folder;
  const Bytes bytes(64, 0x33);
  // The folder does not exist.
  EXPECT_FALSE(platform::replaceFile(inFolder(folder, "no") + platform::kPathSeparator + "x.jyx",
                                     bytes.data(), bytes.size()));
  // A folder with something in it stands where the file would go.
  const std::string taken = inFolder(folder, "taken.jyx");
  fs::create_directory(fs::u8path(taken));
  writeFileContent(taken + platform::kPathSeparator + "inside", {1});
  EXPECT_FALSE(platform::replaceFile(taken, bytes.data(), bytes.size()));
  EXPECT_TRUE(fs::is_directory(fs::u8path(taken)));
  EXPECT_EQ(entriesIn(folder.path()), 1u) << "no temporary file is left";
}

#ifndef _WIN32
// A write that fails part way (here: the file-size limit of the process)
// leaves the old file as it was and no temporary file.
TEST(ReplaceFile, AWriteFailingPartWayLeavesTheOldFileWhole) {
  testsupport::TempFolder folder;
  const std::string path = inFolder(folder, "bank.jyb");
  const Bytes old(100, 0x44);
  writeFileContent(path, old);
  const Bytes bank(5765, 0x55);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool written = platform::replaceFile(path, bank.data(), bank.size());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_EQ(fileContent(path), old);
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}
#endif

}  // namespace
