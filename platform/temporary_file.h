// Files replaced in one step: the new bytes go to a temporary file beside the
// target, which is renamed over it once every write, the flush and the close
// succeeded. The chosen files and the settings store on Linux share this.
//
// Thread contract: no shared state but a counter that keeps the temporary
// names of one process apart.
#pragma once

#include <cstddef>
#include <string>

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace platform {

// "<prefix>.tmp-<process>-<counter>": as short as its prefix, whatever the
// name of the file it will replace. temporaryNameStart is what every such
// name of the prefix begins with.
std::string temporaryNameStart(const std::string& prefix);
std::string temporaryName(const std::string& prefix);

#ifndef _WIN32
// Creates a new file of a fresh temporary name in the folder (a descriptor
// of it, or AT_FDCWD with a prefix that holds the folder), opened for
// writing with the given mode. Answers the descriptor and sets name, or -1
// with errno telling why no file could be created.
int createTemporaryFile(int folder, const std::string& prefix, mode_t mode, std::string& name);

// Writes all bytes, going on after interruptions; false at the first error.
bool writeAll(int fd, const void* data, std::size_t size);

// Flushes the file to its disk and closes it; false when either failed. The
// descriptor is closed in any case.
bool syncAndClose(int fd);
#endif

}  // namespace platform
