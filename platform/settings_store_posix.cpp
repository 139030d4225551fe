#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/settings_store.h"
#include "platform/temporary_file.h"

namespace platform {
namespace {

constexpr const char* kVendorFolder = "Brenmoorworks";
constexpr std::size_t kHeaderBytes = 8;
constexpr char kMagic[4] = {'J', 'Y', 'X', 'S'};

std::string configHome() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::string(home) + "/.config";
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return std::string(pw->pw_dir) + "/.config";
  return {};
}

// Value names and stems become file and folder names: only plain names pass.
bool isPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                    c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

bool makeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  return false;
}

bool makeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    if (!makeFolder(path.substr(0, slash))) return false;
  }
  return makeFolder(path);
}

// A value is written to a temporary file ".<name>.tmp-<process>-<counter>"
// beside it and renamed over <name>.
std::string temporaryPrefix(const char* name) { return std::string(".") + name; }

bool allDigits(const std::string& s) {
  if (s.empty() || s.size() > 12) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// A temporary file whose writer can no longer finish it: its process is gone,
// or it is older than any write takes (the process number may have been
// taken again since).
bool isStaleTemporary(const std::string& folder, const std::string& entry, const std::string& prefix) {
  if (entry.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string rest = entry.substr(prefix.size());
  const std::size_t dash = rest.find('-');
  if (dash == std::string::npos) return false;
  const std::string process = rest.substr(0, dash);
  if (!allDigits(process) || !allDigits(rest.substr(dash + 1))) return false;
  const long pid = std::strtol(process.c_str(), nullptr, 10);
  if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
  constexpr std::time_t kLongestWrite = 60 * 60;
  struct stat st {};
  return ::lstat((folder + "/" + entry).c_str(), &st) == 0 &&
         std::time(nullptr) - st.st_mtime > kLongestWrite;
}

// Removes what writers of this value that were killed mid-write left behind.
void removeStaleTemporaries(const std::string& folder, const char* name) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::string prefix = temporaryNameStart(temporaryPrefix(name));
  while (const dirent* e = ::readdir(dir)) {
    const std::string entry = e->d_name;
    if (isStaleTemporary(folder, entry, prefix)) ::unlink((folder + "/" + entry).c_str());
  }
  ::closedir(dir);
}

}  // namespace

std::string settingsRootFolder() {
  const std::string home = configHome();
  return home.empty() ? std::string() : home + "/" + kVendorFolder;
}

SettingsKey::SettingsKey(const std::string& stem, Access access) {
  const std::string root = settingsRootFolder();
  if (root.empty() || !isPlainName(stem)) return;
  folder_ = root + "/" + stem;
  if (access == Access::Write) {
    open_ = makeFolders(folder_);
  } else {
    struct stat st {};
    open_ = stat(folder_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
}

SettingsKey::~SettingsKey() = default;

bool SettingsKey::readAny(const char* name, SettingsType& type, std::string& bytes, std::size_t maxBytes) {
  if (!open_ || !name || !isPlainName(name)) return false;
  const std::string path = folder_ + "/" + name;
  // Only a regular file is a value. Anything else (a FIFO, a device, a
  // folder) counts as missing, is never waited on, and a device is not even
  // opened; the open itself cannot block, and the opened file is checked
  // again in case it was swapped in between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string content;
  char chunk[4096];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    content.append(chunk, static_cast<std::size_t>(n));
    if (content.size() > kHeaderBytes + maxBytes) {  // longer than the caller accepts
      ok = false;
      break;
    }
  }
  ::close(fd);
  if (!ok || content.size() < kHeaderBytes || std::memcmp(content.data(), kMagic, 4) != 0) return false;
  std::uint32_t code = 0;
  for (int i = 0; i < 4; ++i)
    code |= static_cast<std::uint32_t>(static_cast<unsigned char>(content[4 + i])) << (8 * i);
  type = static_cast<SettingsType>(code);
  bytes = content.substr(kHeaderBytes);
  return true;
}

bool SettingsKey::write(const char* name, SettingsType type, const void* data, std::size_t size) {
  if (!open_ || !name || !isPlainName(name) || (size > 0 && !data)) return false;
  removeStaleTemporaries(folder_, name);
  const std::string path = folder_ + "/" + name;
  std::string temp;
  const int fd = createTemporaryFile(AT_FDCWD, folder_ + "/" + temporaryPrefix(name), 0600, temp);
  if (fd < 0) return false;
  char header[kHeaderBytes];
  std::memcpy(header, kMagic, 4);
  const auto code = static_cast<std::uint32_t>(type);
  for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<char>((code >> (8 * i)) & 0xFF);
  bool ok = writeAll(fd, header, sizeof header) && writeAll(fd, data, size);
  ok = syncAndClose(fd) && ok;
  if (ok) {
    ok = std::rename(temp.c_str(), path.c_str()) == 0;
    // The rename replaces a FIFO, a device or a link in the value's place,
    // but not a folder: an empty one is removed first; one with anything in
    // it stays, and the value is not written.
    if (!ok && errno == EISDIR && ::rmdir(path.c_str()) == 0)
      ok = std::rename(temp.c_str(), path.c_str()) == 0;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool SettingsKey::remove(const char* name) {
  if (!open_ || !name || !isPlainName(name)) return false;
  return ::unlink((folder_ + "/" + name).c_str()) == 0;
}

}  // namespace platform
