#include "ui/utf8.h"

namespace jyxui {
namespace {
bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

char32_t decodeUtf8(const std::string& text, std::size_t& i) {
  const auto c0 = static_cast<unsigned char>(text[i]);
  int extra = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (c0 < 0x80) {
    ++i;
    return c0;
  } else if ((c0 & 0xE0) == 0xC0) {
    extra = 1, cp = c0 & 0x1F, minimum = 0x80;
  } else if ((c0 & 0xF0) == 0xE0) {
    extra = 2, cp = c0 & 0x0F, minimum = 0x800;
  } else if ((c0 & 0xF8) == 0xF0) {
    extra = 3, cp = c0 & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + extra >= text.size()) {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if (!isContinuation(c)) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFD;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

void appendUtf8(std::string& text, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    text += static_cast<char>(cp);
  } else if (cp < 0x800) {
    text += static_cast<char>(0xC0 | (cp >> 6));
    text += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    text += static_cast<char>(0xE0 | (cp >> 12));
    text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (cp >> 18));
    text += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::size_t utf8PrefixBytes(const std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  std::size_t n = maxBytes;
  // Step back over the continuation bytes of a character cut in two.
  while (n > 0 && isContinuation(static_cast<unsigned char>(text[n]))) --n;
  return n;
}

std::string utf8Cut(const std::string& text, std::size_t maxBytes) {
  return text.substr(0, utf8PrefixBytes(text, maxBytes));
}

std::size_t utf8Previous(const std::string& text, std::size_t i) {
  if (i == 0) return 0;
  if (i > text.size()) i = text.size();
  --i;
  while (i > 0 && isContinuation(static_cast<unsigned char>(text[i]))) --i;
  return i;
}

std::size_t utf8Next(const std::string& text, std::size_t i) {
  if (i >= text.size()) return text.size();
  ++i;
  while (i < text.size() && isContinuation(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

}  // namespace jyxui
