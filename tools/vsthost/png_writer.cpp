#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cstdio>

#include "tools/vsthost/host_window.h"

namespace vsthost {
namespace {

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool writePng(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0) return false;
  std::vector<unsigned char> png;
  if (!stbi_write_png_to_func(appendBytes, &png, image.width, image.height, 4, image.rgba.data(),
                              image.width * 4))
    return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace vsthost
