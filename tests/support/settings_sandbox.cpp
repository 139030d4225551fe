#include "tests/support/settings_sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {
namespace {

std::string uniqueTempPath() {
  std::random_device rd;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto p = base / ("jyx-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) return p.string();
  }
}

#ifdef _WIN32
void removeVendorKey() { RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Brenmoorworks"); }
#endif

}  // namespace

TempFolder::TempFolder() : path_(uniqueTempPath()) {}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

SettingsSandbox::SettingsSandbox() {
#ifdef _WIN32
  removeVendorKey();
#else
  if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
    hadPrevious_ = true;
    previous_ = old;
  }
  folder_ = uniqueTempPath();
  setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
#endif
}

SettingsSandbox::~SettingsSandbox() {
#ifdef _WIN32
  removeVendorKey();
#else
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
  if (hadPrevious_)
    setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
#endif
}

}  // namespace testsupport
