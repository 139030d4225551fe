// Test support: PNG bytes from pixels, for test skins and screenshots.
#pragma once

#include <string>
#include <vector>

#include "ui/pixel_buffer.h"

namespace jyxui::testkit {

std::vector<unsigned char> encodePng(const PixelBuffer& pixels);
bool writePng(const std::string& path, const PixelBuffer& pixels);

}  // namespace jyxui::testkit
