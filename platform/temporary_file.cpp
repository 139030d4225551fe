#include "platform/temporary_file.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace platform {
namespace {

unsigned long processNumber() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(::getpid());
#endif
}

}  // namespace

std::string temporaryNameStart(const std::string& prefix) { return prefix + ".tmp-"; }

std::string temporaryName(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  return temporaryNameStart(prefix) + std::to_string(processNumber()) + "-" +
         std::to_string(counter.fetch_add(1));
}

#ifndef _WIN32

int createTemporaryFile(int folder, const std::string& prefix, mode_t mode, std::string& name) {
  // A name left by a process of the same number before is passed over.
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = temporaryName(prefix);
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool syncAndClose(int fd) {
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

#endif

}  // namespace platform
