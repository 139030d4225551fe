#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cstdio>
#include <string>

#include "tools/vsthost/host_window.h"

namespace vsthost {
namespace {

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

bool isPpmPath(const std::string& path) {
  return path.size() > 4 && path.compare(path.size() - 4, 4, ".ppm") == 0;
}

void appendPpm(std::vector<unsigned char>& out, const Image& image) {
  const std::string header =
      "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
  out.assign(header.begin(), header.end());
  out.reserve(out.size() + image.rgba.size() / 4 * 3);
  for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4)
    out.insert(out.end(), &image.rgba[i], &image.rgba[i + 3]);
}

}  // namespace

bool writeImage(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0) return false;
  std::vector<unsigned char> bytes;
  if (isPpmPath(path))
    appendPpm(bytes, image);
  else if (!stbi_write_png_to_func(appendBytes, &bytes, image.width, image.height, 4, image.rgba.data(),
                                   image.width * 4))
    return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace vsthost
