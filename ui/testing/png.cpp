#include "ui/testing/png.h"

#include <fstream>

#define STBIW_WINDOWS_UTF8
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace jyxui::testkit {

std::vector<unsigned char> encodePng(const PixelBuffer& pixels) {
  std::vector<unsigned char> bytes;
  if (pixels.width() <= 0 || pixels.height() <= 0) return bytes;
  auto append = [](void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* p = static_cast<const unsigned char*>(data);
    out->insert(out->end(), p, p + size);
  };
  stbi_write_png_to_func(append, &bytes, pixels.width(), pixels.height(), 4, pixels.data(),
                         static_cast<int>(pixels.stride()));
  return bytes;
}

bool writePng(const std::string& path, const PixelBuffer& pixels) {
  const std::vector<unsigned char> bytes = encodePng(pixels);
  if (bytes.empty()) return false;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace jyxui::testkit
