// The files the user chooses: paths split at the platform's separators, files
// read only at exactly their expected length, and files replaced in one step
// so that a failed write leaves the old file whole.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/current_directory.h"
#include "tests/support/file_contents.h"
#include "tests/support/settings_sandbox.h"

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

// Everything in the folder and below it, by paths relative to it.
std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  const fs::path root = fs::u8path(folder);
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
    const std::u8string name = e.path().lexically_relative(root).generic_u8string();
    names.emplace(name.begin(), name.end());
  }
  return names;
}

// A file name of exactly the given length in bytes of UTF-8, most of it in a
// script of three bytes a character.
std::string nameOfBytes(std::size_t bytes) {
  const std::string extension = ".jyb";
  std::string name;
  while (name.size() + 3 + extension.size() <= bytes) name += "\xE9\x9B\xAA";
  name.append(bytes - extension.size() - name.size(), 'a');
  return name + extension;
}

#ifndef _WIN32
// Root may write any file whatever its mode. When the tests run as root (as
// they do in CI), body runs in a child process that has become the user
// nobody, with the folder handed to that user, and the child's failures fail
// the test; run as any other user, body runs here. Where root cannot become
// anyone else (a user namespace that maps no other user) or nobody cannot
// reach the folder, body runs here as root and is told that the modes do not
// bind, so that it leaves out what only they decide.
void asAUserThatModesBind(const testsupport::TempFolder& folder, const std::function<void(bool)>& body) {
  if (::geteuid() != 0) return body(true);
  const auto asRoot = [&](const char* why) {
    std::printf("[   NOTE   ] file modes do not bind here: %s\n", why);
    body(false);
  };
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) return asRoot("there is no user nobody");
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  if (::chown(folder.path().c_str(), uid, gid) != 0) return asRoot("no folder can be given to nobody");
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child ends here whatever happens in body: it never goes on with
    // the other tests.
    bool ran = false;
    try {
      ran = ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0 &&
            ::access(folder.path().c_str(), W_OK | X_OK) == 0;
      if (ran) body(true);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    } catch (...) {
      ADD_FAILURE() << "an exception";
    }
    std::fflush(nullptr);
    ::_exit(!ran ? 2 : ::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child was ended by signal " << WTERMSIG(status);
  if (WEXITSTATUS(status) == 2) return asRoot("root cannot become nobody, or nobody cannot reach the folder");
  EXPECT_EQ(WEXITSTATUS(status), 0) << "as the user nobody (see above)";
}
#else
void asAUserThatModesBind(const testsupport::TempFolder&, const std::function<void(bool)>& body) { body(true); }
#endif

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

// Any name the file system takes can be saved, and a save over a file keeps
// what the user set on it: a read-only file is refused and left alone, a
// replaced one keeps its permission bits, a link stays and the file behind it
// is replaced, and a file the user may write is written in place when its
// folder takes no new file. Nothing else is left in the folder.
TEST(ReplaceFile, SavesAnyNameAndKeepsWhatTheUserSetOnTheFile) {
  using P = fs::perms;
  constexpr P kUsual = P::owner_read | P::owner_write | P::group_read | P::others_read;
  constexpr P kReadOnly = P::owner_read | P::group_read | P::others_read;
  constexpr P kFolder = P::owner_all | P::group_read | P::group_exec | P::others_read | P::others_exec;
  struct Case {
    const char* what;
    std::string name;
    bool oldFile;      // a file of other bytes and another length is there
    P fileMode;        // the old file's
    bool throughLink;  // the save names a link to the file, which lies in a folder of its own
    P folderMode;      // the file's folder's while the save runs
    bool saved;        // the new bytes are in place
    bool modesDecide;  // only a user whom the modes bind sees this outcome
  };
  const Case cases[] = {
      {"a new name of 200 bytes", nameOfBytes(200), false, kUsual, false, kFolder, true, false},
      {"a new name of 240 bytes", nameOfBytes(240), false, kUsual, false, kFolder, true, false},
      {"a name of 255 bytes over an old file", nameOfBytes(255), true, kUsual, false, kFolder, true, false},
      {"a read-only file", "locked.jyx", true, kReadOnly, false, kFolder, false, true},
#ifndef _WIN32
      {"a file only its owner may read and write", "own.jyx", true, P::owner_read | P::owner_write, false,
       kFolder, true, false},
      {"a link to a file elsewhere", "link.jyx", true, P::owner_read | P::owner_write | P::group_read, true,
       kFolder, true, false},
      {"a writable file in a folder that is not writable", "fixed.jyx", true, kUsual, false,
       kFolder & ~P::owner_write, true, true},
      {"a new file in a folder that is not writable", "new.jyx", false, kUsual, false,
       kFolder & ~P::owner_write, false, true},
#endif
  };
  const Bytes old(300, 0x44);
  const Bytes fresh(197, 0x66);
  testsupport::TempFolder top;
  asAUserThatModesBind(top, [&](bool modesBind) {
    int row = 0;
    for (const Case& c : cases) {
      if (c.modesDecide && !modesBind) continue;
      SCOPED_TRACE(c.what);
      const std::string folder = inFolder(top, "row" + std::to_string(row++));
      ASSERT_TRUE(fs::create_directory(fs::u8path(folder)));
      const std::string saved = folder + platform::kPathSeparator + c.name;
      const std::string fileFolder = c.throughLink ? folder + platform::kPathSeparator + "elsewhere" : folder;
      const std::string file = c.throughLink ? fileFolder + platform::kPathSeparator + "target.jyx" : saved;
      if (c.throughLink) {
        fs::create_directory(fs::u8path(fileFolder));
        fs::create_symlink("elsewhere/target.jyx", fs::u8path(saved));
      }
      if (c.oldFile) {
        writeFileContent(file, old);
        fs::permissions(fs::u8path(file), c.fileMode);
      }
      if (c.folderMode != kFolder) fs::permissions(fs::u8path(fileFolder), c.folderMode);
      std::set<std::string> names = namesIn(folder);
      if (c.saved && !c.oldFile) names.insert(c.name);
      const auto modeOf = [](const std::string& path) {
        return static_cast<unsigned>(fs::status(fs::u8path(path)).permissions());
      };
      const unsigned mode = c.oldFile ? modeOf(file) : 0;

      EXPECT_EQ(platform::replaceFile(saved, fresh.data(), fresh.size()), c.saved);
      EXPECT_EQ(fs::exists(fs::u8path(file)), c.saved || c.oldFile);
      EXPECT_EQ(fileContent(file), c.saved ? fresh : c.oldFile ? old : Bytes{});
      if (c.oldFile) {
        EXPECT_EQ(modeOf(file), mode);
      }
      if (c.throughLink) {
        EXPECT_TRUE(fs::is_symlink(fs::u8path(saved)));
        std::error_code error;
        EXPECT_EQ(fs::read_symlink(fs::u8path(saved), error).string(), "elsewhere/target.jyx");
      }
      EXPECT_EQ(namesIn(folder), names) << "no temporary file is left";
      // Open again, so that the folder can be removed.
      if (c.folderMode != kFolder) fs::permissions(fs::u8path(fileFolder), kFolder);
      if (fs::exists(fs::u8path(file))) fs::permissions(fs::u8path(file), kUsual);
    }
  });
}

#ifndef _WIN32
// A replaced file keeps its owner and group: root's save gives the new file
// to them, and a user who may write another user's file, but not make it
// theirs, writes it in place.
TEST(ReplaceFile, AReplacedFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  const passwd* nobody = ::getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  const Bytes fresh(197, 0x66);
  struct Owner {
    uid_t uid;
    gid_t gid;
    mode_t mode;
  };
  const auto ownerOf = [](const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return Owner{st.st_uid, st.st_gid, st.st_mode & 07777};
  };

  testsupport::TempFolder folder;
  const std::string theirs = inFolder(folder, "theirs.jyx");
  writeFileContent(theirs, Bytes(300, 0x44));
  if (::chown(theirs.c_str(), uid, gid) != 0)
    GTEST_SKIP() << "no file can be given to another user here (a user namespace that maps no one else)";
  ASSERT_EQ(::chmod(theirs.c_str(), 0640), 0);
  EXPECT_TRUE(platform::replaceFile(theirs, fresh.data(), fresh.size()));
  EXPECT_EQ(fileContent(theirs), fresh);
  const Owner kept = ownerOf(theirs);
  EXPECT_EQ(kept.uid, uid);
  EXPECT_EQ(kept.gid, gid);
  EXPECT_EQ(kept.mode, 0640u);

  testsupport::TempFolder shared;
  const std::string roots = inFolder(shared, "roots.jyx");
  writeFileContent(roots, Bytes(300, 0x44));
  ASSERT_EQ(::chmod(roots.c_str(), 0666), 0);
  asAUserThatModesBind(shared,
                       [&](bool) { EXPECT_TRUE(platform::replaceFile(roots, fresh.data(), fresh.size())); });
  EXPECT_EQ(fileContent(roots), fresh);
  const Owner stays = ownerOf(roots);
  EXPECT_EQ(stays.uid, 0u);
  EXPECT_EQ(stays.gid, 0u);
  EXPECT_EQ(stays.mode, 0666u);
  EXPECT_EQ(entriesIn(shared.path()), 1u) << "no temporary file is left";
}
#endif

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
