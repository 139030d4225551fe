// The files the user chooses in the preset dialogs: paths split at the
// platform's separators, whole files read only when they have exactly the
// expected length, and files replaced in one step so that a failed write
// leaves the file that was there as it was. Paths are UTF-8; on Windows they
// reach the file functions as wide characters.
//
// Thread contract: no shared state; every call opens what it needs.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The folder of path (with its trailing separator) and the name after it.
// Linux separates at '/', Windows at '\' and '/'. A path without a separator
// answers false and leaves both untouched: it names a file in the current
// folder.
bool splitPath(const std::string& path, std::string& folder, std::string& name);

// A relative path taken from the current folder (a bare name is a file in
// the current folder); an absolute path as it is.
std::string absolutePath(const std::string& path);

// Reads the file into data when it is a regular file of exactly size bytes;
// anything else (missing, unreadable, shorter, longer) answers false.
bool readFileExactly(const std::string& path, void* data, std::size_t size);

// Writes the bytes to a new file of a short temporary name in the same
// folder, checks every write, the flush and the close, and renames it over
// path; answers whether the bytes are in place. A read-only file is refused
// and left alone, as opening it for writing would be. On Linux a replaced
// file also keeps its permission bits, owner and group; a symbolic link
// stays and the file it points to is replaced; and a file that may be
// written is written in place when its folder takes no new file (or the new
// one could not take the old one's owner). On failure the temporary file is
// removed and what was at path stays as it was, unless a write in place
// failed part way.
bool replaceFile(const std::string& path, const void* data, std::size_t size);

}  // namespace platform
