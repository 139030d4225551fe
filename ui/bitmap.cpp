#include "ui/bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "ui/draw_context.h"
#include "ui/resources.h"

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace jyxui {
namespace {

const EmbeddedResource* findResource(const CResourceDescription& d) {
  const ResourceTable& table = moduleResources();
  for (std::size_t i = 0; i < table.count; ++i) {
    const EmbeddedResource& r = table.entries[i];
    if (d.type == CResourceDescription::kIntegerType && r.number != 0 && r.number == d.id) return &r;
    if (d.type == CResourceDescription::kStringType && !d.name.empty() && r.name && d.name == r.name)
      return &r;
  }
  return nullptr;
}

}  // namespace

CBitmap::CBitmap(const CResourceDescription& description) : description_(description) {
  if (const EmbeddedResource* r = findResource(description)) decode(r->bytes, r->size);
}

CBitmap::CBitmap(CCoord width, CCoord height) {
  if (width >= 1 && height >= 1 && width <= 1 << 15 && height <= 1 << 15)
    pixels_ = PixelBuffer(static_cast<int>(width), static_cast<int>(height), CColor{0, 0, 0, 0});
}

CBitmap::CBitmap(const unsigned char* pngBytes, std::size_t size) { decode(pngBytes, size); }

bool CBitmap::decode(const unsigned char* bytes, std::size_t size) {
  if (!bytes || size == 0 || size > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
  int w = 0, h = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
  if (!pixels) return false;
  if (w > 0 && h > 0) {
    pixels_ = PixelBuffer(w, h);
    std::copy(pixels, pixels + pixels_.stride() * static_cast<std::size_t>(h), pixels_.data());
  }
  stbi_image_free(pixels);
  return isLoaded();
}

void CBitmap::draw(CDrawContext* context, const CRect& destRect, const CPoint& offset, float alpha) {
  if (context) context->drawBitmap(this, destRect, offset, alpha);
}

PixelRect CBitmap::differingArea(const CPoint& a, const CPoint& b, int width, int height) const {
  const PixelRect whole{0, 0, std::max(width, 0), std::max(height, 0)};
  if (whole.isEmpty()) return {};
  const int ax = snapCoord(a.x), ay = snapCoord(a.y);
  const int bx = snapCoord(b.x), by = snapCoord(b.y);
  auto inside = [&](int x, int y) {
    return x >= 0 && y >= 0 && x + whole.right <= pixels_.width() && y + whole.bottom <= pixels_.height();
  };
  if (!inside(ax, ay) || !inside(bx, by)) return whole;
  auto row = [&](int x, int y) {
    return pixels_.data() + static_cast<std::size_t>(y) * pixels_.stride() + static_cast<std::size_t>(x) * 4;
  };
  const std::size_t rowBytes = static_cast<std::size_t>(whole.right) * 4;
  PixelRect found{whole.right, whole.bottom, 0, 0};
  for (int y = 0; y < whole.bottom; ++y) {
    const std::uint8_t* rowA = row(ax, ay + y);
    const std::uint8_t* rowB = row(bx, by + y);
    if (std::memcmp(rowA, rowB, rowBytes) == 0) continue;
    int first = 0, last = whole.right - 1;
    while (std::memcmp(rowA + first * 4, rowB + first * 4, 4) == 0) ++first;
    while (std::memcmp(rowA + last * 4, rowB + last * 4, 4) == 0) --last;
    found.left = std::min(found.left, first);
    found.right = std::max(found.right, last + 1);
    found.top = std::min(found.top, y);
    found.bottom = y + 1;
  }
  return found.isEmpty() ? PixelRect{} : found;
}

bool CBitmap::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CBitmap") == 0) || CBaseObject::isTypeOf(name);
}

}  // namespace jyxui
