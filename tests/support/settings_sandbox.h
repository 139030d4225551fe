// Keeps the tests' settings away from the user's: on Linux every sandbox points
// XDG_CONFIG_HOME at a fresh temporary folder of its own; on Windows (the
// build's own wine prefix) it removes the vendor key before and after.
#pragma once

#include <string>

namespace testsupport {

class SettingsSandbox {
 public:
  SettingsSandbox();
  ~SettingsSandbox();
  SettingsSandbox(const SettingsSandbox&) = delete;
  SettingsSandbox& operator=(const SettingsSandbox&) = delete;

  // Linux: the folder XDG_CONFIG_HOME points at; empty on Windows.
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::string previous_;
  bool hadPrevious_ = false;
};

// A temporary folder, removed with its contents at destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace testsupport
