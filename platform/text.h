// Conversions between the UTF-8 texts of the program and the UTF-16 texts of
// the settings store and the Windows file functions.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string utf8ToUtf16(const std::string& text);
std::string utf16ToUtf8(const std::u16string& text);

// The code point of UTF-8 starting at text[i]; i moves past it. A malformed
// sequence answers false, moves one byte and gives that byte as cp.
bool decodeUtf8(const std::string& text, std::size_t& i, char32_t& cp);
// A surrogate or a value beyond U+10FFFF is written as U+FFFD.
void appendUtf8(std::string& out, char32_t cp);

// The length of the longest prefix of text that has at most maxBytes bytes
// and does not end inside a character: a text held to a byte bound is cut at
// a character boundary.
std::size_t utf8PrefixBytes(std::string_view text, std::size_t maxBytes);

}  // namespace platform
