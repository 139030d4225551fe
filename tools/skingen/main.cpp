// skingen: draws every image of the three skins, the preset strip and the
// controls demo's panel.
//
//   skingen --out <folder>      writes the PNGs under <folder> (the source
//                               tree's root to regenerate the checked-in skins)
//   skingen --preview <folder>  composites each editor for a person to look at
//   --fonts <folder>            the Liberation fonts (default: the system's)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "skin.h"

int main(int argc, char** argv) {
  std::string fontFolder = "/usr/share/fonts/truetype/liberation", out, preview;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 < argc && a == "--out")
      out = argv[++i];
    else if (i + 1 < argc && a == "--preview")
      preview = argv[++i];
    else if (i + 1 < argc && a == "--fonts")
      fontFolder = argv[++i];
    else {
      std::fprintf(stderr, "usage: skingen [--fonts <folder>] [--out <folder>] [--preview <folder>]\n");
      return 2;
    }
  }
  if (out.empty() && preview.empty()) {
    std::fprintf(stderr, "skingen: nothing to do (give --out or --preview)\n");
    return 2;
  }
  if (!skingen::loadFonts(fontFolder)) {
    std::fprintf(stderr, "skingen: the Liberation fonts are missing in %s (package fonts-liberation)\n",
                 fontFolder.c_str());
    return 1;
  }
  skingen::Skins skins;
  skingen::drawPresetStrip(skins);
  skingen::drawOstrelvanheim2(skins);
  skingen::drawOstrelvanheim(skins);
  skingen::drawTindravelle(skins);
  skingen::drawControlsDemo(skins);
  if (!out.empty()) {
    for (const skingen::SkinFile& f : skins.files()) {
      std::filesystem::path folder = std::filesystem::path(out) / f.folder;
      std::filesystem::create_directories(folder);
      std::string path = (folder / f.name).string();
      if (!f.image.writePng(path, f.alpha)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  if (!preview.empty() && !skingen::writePreviews(skins, preview)) {
    std::fprintf(stderr, "skingen: cannot write the previews into %s\n", preview.c_str());
    return 1;
  }
  return 0;
}
