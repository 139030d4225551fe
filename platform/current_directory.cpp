#include "platform/current_directory.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/text.h"
#else
#include <unistd.h>

#include <vector>
#endif

namespace platform {

#ifdef _WIN32
std::string currentDirectory() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring buffer(needed, L'\0');
  const DWORD got = GetCurrentDirectoryW(needed, buffer.data());
  if (got == 0 || got >= needed) return {};
  buffer.resize(got);
  std::string folder = utf16ToUtf8(std::u16string(buffer.begin(), buffer.end()));
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

bool setCurrentDirectory(const std::string& folder) {
  const std::u16string w = utf8ToUtf16(folder);
  return SetCurrentDirectoryW(std::wstring(w.begin(), w.end()).c_str()) != 0;
}
#else
std::string currentDirectory() {
  std::vector<char> buffer(kMaxPathBytes + 1);
  if (!getcwd(buffer.data(), buffer.size())) return {};
  std::string folder(buffer.data());
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

bool setCurrentDirectory(const std::string& folder) { return chdir(folder.c_str()) == 0; }
#endif

}  // namespace platform
