// The font file embedded at build time (Liberation Sans Regular).
#pragma once

#include <cstddef>

namespace jyxui {

struct EmbeddedFont {
  const unsigned char* bytes;
  std::size_t size;
};

EmbeddedFont embeddedSansFont();

}  // namespace jyxui
