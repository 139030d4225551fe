#include "platform/files.h"

#include <cstdio>

#include "platform/current_directory.h"
#include "platform/temporary_file.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/text.h"
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace platform {
namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "\\/";
#else
constexpr const char* kSeparators = "/";
#endif

// A save goes to "<folder>.jyx-save.tmp-<process>-<counter>" first: next to
// the target, so that the rename never crosses a file system, and short, so
// that any name the file system takes for the target can be saved.
constexpr const char* kTemporaryPrefix = ".jyx-save";

// Reads exactly size bytes from the file and closes it; false for a missing
// file and for one shorter or longer than that.
bool readAndClose(std::FILE* file, void* data, std::size_t size) {
  if (!file) return false;
  // One byte more than expected tells a longer file from a file of the right length.
  const std::size_t got = std::fread(data, 1, size, file);
  const bool longer = got == size && std::fgetc(file) != EOF;
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return got == size && !longer && !failed;
}

#ifdef _WIN32
// Paths beyond the old limit of 260 characters reach the file functions with
// the prefix that lifts it.
std::wstring widePath(const std::string& path) {
  const std::u16string w16 = utf8ToUtf16(path);
  std::wstring w(w16.begin(), w16.end());
  const bool absolute = w.size() > 2 && w[1] == L':' && (w[2] == L'\\' || w[2] == L'/');
  if (absolute && w.size() >= MAX_PATH) {
    for (wchar_t& c : w)
      if (c == L'/') c = L'\\';
    w = L"\\\\?\\" + w;
  }
  return w;
}
#endif

}  // namespace

bool splitPath(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t last = path.find_last_of(kSeparators);
  if (last == std::string::npos) return false;
  folder = path.substr(0, last + 1);
  name = path.substr(last + 1);
  return true;
}

std::string absolutePath(const std::string& path) {
#ifdef _WIN32
  // "C:\..." or anything starting at a root ("\\server\...", "\...").
  const bool absolute = (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
                        (!path.empty() && (path[0] == '\\' || path[0] == '/'));
#else
  const bool absolute = !path.empty() && path[0] == '/';
#endif
  return absolute || path.empty() ? path : currentDirectory() + path;
}

#ifdef _WIN32

bool readFileExactly(const std::string& path, void* data, std::size_t size) {
  const std::wstring w = widePath(path);
  const DWORD attributes = GetFileAttributesW(w.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return readAndClose(_wfopen(w.c_str(), L"rb"), data, size);
}

bool replaceFile(const std::string& path, const void* data, std::size_t size) {
  const std::wstring target = widePath(path);
  // A read-only file is refused and left alone, as opening it for writing would be.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  std::string folder;
  std::string name;
  splitPath(path, folder, name);
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = widePath(folder + temporaryName(kTemporaryPrefix));
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  const auto* bytes = static_cast<const char*>(data);
  for (std::size_t left = size; ok && left > 0;) {
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(file, bytes, chunk, &written, nullptr) && written > 0;
    bytes += written;
    left -= written;
  }
  ok = FlushFileBuffers(file) && ok;
  ok = CloseHandle(file) && ok;
  if (ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

#else

bool readFileExactly(const std::string& path, void* data, std::size_t size) {
  // Only a regular file is read: a FIFO or a device is neither waited on nor read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return readAndClose(file, data, size);
}

namespace {

// The file a save lands in. A symbolic link at path is followed, through a
// chain of them, so that the file it points to is replaced and the link
// stays. Answers that file's folder (empty: the current one) and name.
bool followLinks(const std::string& path, std::string& folder, std::string& name) {
  constexpr int kMostLinks = 40;  // as many as the system follows when it opens a path
  std::string at = path;
  for (int hops = 0; hops <= kMostLinks; ++hops) {
    folder.clear();
    name = at;
    splitPath(at, folder, name);
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string text(PATH_MAX, '\0');
    const ssize_t n = ::readlink(at.c_str(), text.data(), text.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= text.size()) return false;
    text.resize(static_cast<std::size_t>(n));
    at = text[0] == '/' ? text : folder + text;
  }
  return false;
}

// A new file takes the owner, the group and the permission bits of the one
// it replaces.
bool takeOwnerAndMode(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
    return false;
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

enum class Beside {
  Replaced,    // the new file took the old one's place
  NotAllowed,  // no new file could be made, keep the old one's owner, or be renamed there
  Failed,      // a write, the flush or the close failed
};

// Writes the bytes to a temporary file in the folder and renames it over
// name; old is the regular file that was there, if any. Whatever the
// outcome, no temporary file is left and what was at name is unchanged
// unless it was replaced.
Beside replaceBeside(int folder, const std::string& name, const struct stat* old, const void* data,
                     std::size_t size) {
  std::string temp;
  const int fd = createTemporaryFile(folder, kTemporaryPrefix, old ? 0600 : 0666, temp);
  if (fd < 0) return Beside::NotAllowed;
  if (old && !takeOwnerAndMode(fd, *old)) {
    ::close(fd);
    ::unlinkat(folder, temp.c_str(), 0);
    return Beside::NotAllowed;
  }
  bool ok = writeAll(fd, data, size);
  ok = syncAndClose(fd) && ok;
  if (ok && ::renameat(folder, temp.c_str(), folder, name.c_str()) == 0) return Beside::Replaced;
  // A folder with the sticky bit lets no one rename over another user's file.
  const bool notAllowed = ok && (errno == EACCES || errno == EPERM);
  ::unlinkat(folder, temp.c_str(), 0);
  return notAllowed ? Beside::NotAllowed : Beside::Failed;
}

// The plain way, for a file that no new file may replace: the bytes over the
// old ones from the start, the rest cut off, every step checked. A file of
// the same length (a preset over a preset) needs no new room on the disk.
bool overwrite(int fd, const void* data, std::size_t size) {
  const bool ok = writeAll(fd, data, size) && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
  return syncAndClose(fd) && ok;
}

bool replaceIn(int folder, const std::string& name, const void* data, std::size_t size) {
  struct stat old {};
  const bool exists = ::fstatat(folder, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && S_ISDIR(old.st_mode)) return false;
  // A file that may not be opened for writing is refused and left alone. The
  // one opened is written in place when no new file can take its place.
  const bool regular = exists && S_ISREG(old.st_mode);
  const int inPlace = regular ? ::openat(folder, name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC) : -1;
  if (regular && inPlace < 0) return false;
  const Beside beside = replaceBeside(folder, name, regular ? &old : nullptr, data, size);
  if (beside == Beside::NotAllowed && inPlace >= 0) return overwrite(inPlace, data, size);
  if (inPlace >= 0) ::close(inPlace);
  return beside == Beside::Replaced;
}

}  // namespace

bool replaceFile(const std::string& path, const void* data, std::size_t size) {
  std::string folderPath;
  std::string name;
  if (!followLinks(path, folderPath, name) || name.empty()) return false;
  // The temporary file and the rename go through the folder itself, so that
  // no path longer than the target's is ever formed.
  const int folder = ::open(folderPath.empty() ? "." : folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return false;
  const bool ok = replaceIn(folder, name, data, size);
  ::close(folder);
  return ok;
}

#endif

}  // namespace platform
