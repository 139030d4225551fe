#include "platform/files.h"

#include <atomic>
#include <cstdio>

#include "platform/current_directory.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/text.h"
#else
#include <fcntl.h>
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

// "<folder>.<name>.tmp-<process>-<counter>": next to the target, so that the
// rename never crosses a file system.
std::string temporaryPathFor(const std::string& path, unsigned long process) {
  static std::atomic<unsigned> counter{0};
  std::string folder;
  std::string name = path;
  splitPath(path, folder, name);
  return folder + "." + name + ".tmp-" + std::to_string(process) + "-" + std::to_string(counter.fetch_add(1));
}

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
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = widePath(temporaryPathFor(path, GetCurrentProcessId()));
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

bool replaceFile(const std::string& path, const void* data, std::size_t size) {
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = temporaryPathFor(path, static_cast<unsigned long>(::getpid()));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = true;
  const auto* bytes = static_cast<const char*>(data);
  for (std::size_t left = size; ok && left > 0;) {
    const ssize_t n = ::write(fd, bytes, left);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) {
      bytes += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

#endif

}  // namespace platform
