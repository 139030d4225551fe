// Test support: reading a frame's picture.
#pragma once

#include <cstdint>

#include "ui/bitmap.h"
#include "ui/pixel_buffer.h"

namespace jyxui::testkit {

// True when the area of the picture shows the bitmap's pixels from source on
// (what an opaque blit leaves).
bool showsBitmap(const PixelBuffer& picture, const PixelRect& area, const CBitmap& bitmap,
                 const CPoint& source);
// The pixels of the area that differ from the colour.
int countPixelsUnlike(const PixelBuffer& picture, const PixelRect& area, CColor color);
// A hash of the pixels (FNV-1a), to compare pictures across builds.
std::uint64_t pictureHash(const PixelBuffer& picture);

}  // namespace jyxui::testkit
