// Conversions between the UTF-8 texts of the program and the UTF-16 texts of
// the settings store and the Windows file functions.
#pragma once

#include <string>

namespace platform {

std::u16string utf8ToUtf16(const std::string& text);
std::string utf16ToUtf8(const std::u16string& text);

}  // namespace platform
