#include "presets/records.h"

#include <cmath>
#include <string_view>

#include "platform/text.h"

namespace records {

float sanitizeValue(float v) {
  if (std::isnan(v)) return 0.0f;
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}

ByteOrder recordOrder(std::int32_t firstWord, std::int32_t presetId) {
  if (firstWord == presetId) return ByteOrder::Native;
  if (static_cast<std::uint32_t>(firstWord) == swapBytes32(static_cast<std::uint32_t>(presetId)))
    return ByteOrder::Foreign;
  return ByteOrder::Unknown;
}

void storeName(char* field, const char* text) {
  // One byte past the field tells whether the text goes on; a longer text is
  // cut before the character that would not fit whole.
  std::size_t length = 0;
  while (length <= kNameBytes && text[length] != 0) ++length;
  std::memset(field, 0, kNameBytes);
  std::memcpy(field, text, platform::utf8PrefixBytes(std::string_view(text, length), kNameBytes));
}

void nameText(const char* field, char (&text)[kNameBytes + 1]) {
  std::memcpy(text, field, kNameBytes);
  text[kNameBytes] = 0;
}

}  // namespace records
