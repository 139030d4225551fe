// UTF-8 helpers: every text of the layer is UTF-8, and a text held to a byte
// bound is cut at a character boundary, never inside a character.
#pragma once

#include <cstddef>
#include <string>

namespace jyxui {

// The code point starting at text[i]; i moves past it. A malformed sequence
// gives U+FFFD and moves one byte.
char32_t decodeUtf8(const std::string& text, std::size_t& i);
void appendUtf8(std::string& text, char32_t codePoint);
// The longest prefix of text that has at most maxBytes bytes and ends on a
// character boundary.
std::size_t utf8PrefixBytes(const std::string& text, std::size_t maxBytes);
std::string utf8Cut(const std::string& text, std::size_t maxBytes);
// Boundaries next to byte position i.
std::size_t utf8Previous(const std::string& text, std::size_t i);
std::size_t utf8Next(const std::string& text, std::size_t i);

}  // namespace jyxui
