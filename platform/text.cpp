#include "platform/text.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A byte that is no part of valid UTF-8 (a Linux file name may hold any
// bytes) travels as the lone low surrogate U+DC00 + byte and comes back as
// that byte, so every path survives the trip through UTF-16 whole.
constexpr char32_t kEscapeBase = 0xDC00;

char32_t escaped(unsigned char byte) { return kEscapeBase + byte; }

}  // namespace

bool decodeUtf8(const std::string& text, std::size_t& i, char32_t& cp) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const auto malformed = [&] {
    cp = byte(i++);
    return false;
  };
  const unsigned char lead = byte(i);
  int extra = 0;
  if (lead < 0x80) {
    cp = lead;
    ++i;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return malformed();
  }
  if (i + extra >= text.size()) return malformed();
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return malformed();
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return malformed();
  i += static_cast<std::size_t>(extra) + 1;
  return true;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::size_t utf8PrefixBytes(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  std::size_t n = maxBytes;
  // Step back over the continuation bytes of a character cut in two.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

std::u16string utf8ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    // A malformed byte travels escaped.
    if (!decodeUtf8(text, i, cp)) cp = escaped(static_cast<unsigned char>(cp));
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string utf16ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
      out += static_cast<char>(cp - kEscapeBase);
      continue;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace platform
