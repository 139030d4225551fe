#include <cstring>

#include "platform/settings_store.h"
#include "platform/text.h"

namespace platform {

bool SettingsKey::writeString(const char* name, const std::string& utf8) {
  const std::u16string wide = utf8ToUtf16(utf8);
  std::string bytes;
  bytes.reserve((wide.size() + 1) * 2);
  for (char16_t c : wide) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  bytes += '\0';
  bytes += '\0';
  return write(name, SettingsType::String, bytes.data(), bytes.size());
}

bool SettingsKey::readString(const char* name, std::string& utf8, std::size_t maxChars) {
  SettingsType type{};
  std::string bytes;
  // Room for the characters and the terminator; a longer value is refused.
  if (!readAny(name, type, bytes, (maxChars + 1) * 2) || type != SettingsType::String) return false;
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (c == 0) break;
    wide += c;
  }
  if (wide.size() > maxChars) return false;
  utf8 = utf16ToUtf8(wide);
  return true;
}

bool SettingsKey::readExact(const char* name, SettingsType type, void* data, std::size_t size) {
  SettingsType storedType{};
  std::string bytes;
  if (!readAny(name, storedType, bytes, size)) return false;
  if (storedType != type || bytes.size() != size) return false;
  std::memcpy(data, bytes.data(), size);
  return true;
}

bool SettingsKey::readExactAnyType(const char* name, void* data, std::size_t size) {
  SettingsType storedType{};
  std::string bytes;
  if (!readAny(name, storedType, bytes, size) || bytes.size() != size) return false;
  std::memcpy(data, bytes.data(), size);
  return true;
}

}  // namespace platform
