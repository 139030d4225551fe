// What the benchmarks share: a host that answers only its version, and a
// settings folder of the program's own, so that the user's settings are
// neither read nor written.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "host/vst_abi.h"

namespace bench {

inline VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// XDG_CONFIG_HOME points at a fresh temporary folder, removed at exit.
class SettingsFolder {
 public:
  explicit SettingsFolder(const char* program) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(program) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data())) {
      path_ = pattern;
      setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
  }
  ~SettingsFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  SettingsFolder(const SettingsFolder&) = delete;
  SettingsFolder& operator=(const SettingsFolder&) = delete;
  bool ok() const { return !path_.empty(); }

 private:
  std::string path_;
};

}  // namespace bench
