#include "ui/utf8.h"

#include "platform/text.h"

namespace jyxui {
namespace {
bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

char32_t decodeUtf8(const std::string& text, std::size_t& i) {
  char32_t cp = 0;
  return platform::decodeUtf8(text, i, cp) ? cp : 0xFFFD;
}

void appendUtf8(std::string& text, char32_t codePoint) { platform::appendUtf8(text, codePoint); }

std::size_t utf8PrefixBytes(const std::string& text, std::size_t maxBytes) {
  return platform::utf8PrefixBytes(text, maxBytes);
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
