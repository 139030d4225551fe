// Per-user settings of the plug-ins: one key per stem under
// "SOFTWARE\Brenmoorworks\", holding named values of a type and some bytes.
// On Windows this is the registry under HKEY_CURRENT_USER. Elsewhere each key
// is the folder $XDG_CONFIG_HOME/Brenmoorworks/<stem> (~/.config when the
// variable is unset) and each value one file in it holding the type and the
// bytes; a value is replaced by writing a temporary file and renaming it over
// the old one, so instances writing at the same time never leave a torn value.
// Only a regular file is a value: anything else in its place (a FIFO, a
// device, a folder) reads as missing without being waited on, and the next
// write replaces it where it can (not a folder with something in it). A write
// also removes the temporary files that killed writers of the value left.
//
// Thread contract: no shared state; every call opens what it needs. Never
// called from the audio thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class SettingsType : std::uint32_t {
  String = 1,  // REG_SZ: UTF-16 text with its terminator
  Binary = 3,  // REG_BINARY
};

class SettingsKey {
 public:
  enum class Access {
    Query,     // read values; fails when the key does not exist
    Write,     // create the key when needed, write values
    SetValue,  // change or delete values of an existing key
  };

  SettingsKey(const std::string& stem, Access access);
  ~SettingsKey();
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;

  bool isOpen() const { return open_; }

  // Fills data only when the stored value has exactly this type and size;
  // otherwise the buffer is left untouched and the answer is false.
  bool readExact(const char* name, SettingsType type, void* data, std::size_t size);
  // The same for a value of any type.
  bool readExactAnyType(const char* name, void* data, std::size_t size);
  bool write(const char* name, SettingsType type, const void* data, std::size_t size);
  bool remove(const char* name);

  // Text values, stored as UTF-16 with a terminator (2 x (characters + 1) bytes).
  bool writeString(const char* name, const std::string& utf8);
  // False when the value is missing, of another type or longer than maxChars.
  bool readString(const char* name, std::string& utf8, std::size_t maxChars);

 private:
  // False when the value is missing or longer than maxBytes.
  bool readAny(const char* name, SettingsType& type, std::string& bytes, std::size_t maxBytes);

  bool open_ = false;
#ifdef _WIN32
  void* key_ = nullptr;
#else
  std::string folder_;
#endif
};

// The folder of the Linux store's keys, for tools and tests; empty on Windows.
std::string settingsRootFolder();

}  // namespace platform
