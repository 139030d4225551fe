#include "ui/bitmap.h"

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
    if (d.type == CResourceDescription::kStringType && !d.name.empty() && r.name && d.name == r.name) return &r;
  }
  return nullptr;
}

}  // namespace

CBitmap::CBitmap(const CResourceDescription& description) : description_(description) {
  if (const EmbeddedResource* r = findResource(description)) decode(r->bytes, r->size);
}

CBitmap::CBitmap(CCoord width, CCoord height) {
  if (width >= 1 && height >= 1 && width <= 1 << 15 && height <= 1 << 15) {
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    rgba_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4, 0);
  }
}

CBitmap::CBitmap(const unsigned char* pngBytes, std::size_t size) { decode(pngBytes, size); }

bool CBitmap::decode(const unsigned char* bytes, std::size_t size) {
  if (!bytes || size == 0 || size > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
  int w = 0, h = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
  if (!pixels) return false;
  if (w > 0 && h > 0) {
    width_ = w;
    height_ = h;
    rgba_.assign(pixels, pixels + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  }
  stbi_image_free(pixels);
  return isLoaded();
}

void CBitmap::draw(CDrawContext* context, const CRect& destRect, const CPoint& offset, float alpha) {
  if (context) context->drawBitmap(this, destRect, offset, alpha);
}

CColor CBitmap::getPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CColor{0, 0, 0, 0};
  const std::uint8_t* p = &rgba_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  return CColor{p[0], p[1], p[2], p[3]};
}

void CBitmap::setPixel(int x, int y, CColor c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = &rgba_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  p[0] = c.red;
  p[1] = c.green;
  p[2] = c.blue;
  p[3] = c.alpha;
}

bool CBitmap::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CBitmap") == 0) || CBaseObject::isTypeOf(name);
}

}  // namespace jyxui
