// The process's current directory, which every preset or bank file load or save
// moves to that file's folder.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The folder separator of the platform's paths.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The longest path the platform's file functions take, in bytes of UTF-8.
#ifdef _WIN32
constexpr std::size_t kMaxPathBytes = 32767 * 3;
#else
constexpr std::size_t kMaxPathBytes = 4096;
#endif

// The current directory with a trailing separator, or empty when it cannot be read.
std::string currentDirectory();
bool setCurrentDirectory(const std::string& folder);

}  // namespace platform
