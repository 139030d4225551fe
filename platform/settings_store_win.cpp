#include <windows.h>

#include "platform/settings_store.h"
#include "platform/text.h"

namespace platform {
namespace {

std::wstring wide(const std::string& utf8) {
  const std::u16string w = utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::wstring keyPath(const std::string& stem) { return L"SOFTWARE\\Brenmoorworks\\" + wide(stem); }

HKEY asKey(void* key) { return static_cast<HKEY>(key); }

}  // namespace

std::string settingsRootFolder() { return {}; }

SettingsKey::SettingsKey(const std::string& stem, Access access) {
  HKEY key = nullptr;
  LONG result;
  if (access == Access::Write) {
    result = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(stem).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_WRITE, nullptr, &key, nullptr);
  } else {
    const REGSAM sam = access == Access::Query ? KEY_QUERY_VALUE : KEY_SET_VALUE;
    result = RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(stem).c_str(), 0, sam, &key);
  }
  open_ = result == ERROR_SUCCESS;
  key_ = open_ ? key : nullptr;
}

SettingsKey::~SettingsKey() {
  if (key_) RegCloseKey(asKey(key_));
}

bool SettingsKey::readAny(const char* name, SettingsType& type, std::string& bytes, std::size_t maxBytes) {
  if (!open_ || !name) return false;
  const std::wstring valueName = wide(name);
  DWORD storedType = 0;
  DWORD size = 0;
  if (RegQueryValueExW(asKey(key_), valueName.c_str(), nullptr, &storedType, nullptr, &size) != ERROR_SUCCESS)
    return false;
  if (size > maxBytes) return false;
  std::string content(size, '\0');
  DWORD got = size;
  if (RegQueryValueExW(asKey(key_), valueName.c_str(), nullptr, &storedType,
                       reinterpret_cast<BYTE*>(content.data()), &got) != ERROR_SUCCESS ||
      got != size)
    return false;
  type = static_cast<SettingsType>(storedType);
  bytes = std::move(content);
  return true;
}

bool SettingsKey::write(const char* name, SettingsType type, const void* data, std::size_t size) {
  if (!open_ || !name || size > 0xFFFFFFFFu) return false;
  return RegSetValueExW(asKey(key_), wide(name).c_str(), 0, static_cast<DWORD>(type),
                        static_cast<const BYTE*>(data), static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool SettingsKey::remove(const char* name) {
  if (!open_ || !name) return false;
  return RegDeleteValueW(asKey(key_), wide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
