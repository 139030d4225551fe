#include "ui/embedded_font.h"

namespace jyxui::embedded {
// Generated at build time from the fonts-liberation package.
extern const unsigned char kLiberationSansRegular[];
extern const std::size_t kLiberationSansRegularSize;
}  // namespace jyxui::embedded

namespace jyxui {

EmbeddedFont embeddedSansFont() {
  return {embedded::kLiberationSansRegular, embedded::kLiberationSansRegularSize};
}

}  // namespace jyxui
