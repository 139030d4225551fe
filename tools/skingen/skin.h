// The three skins and the preset strip's buttons, drawn into memory.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "canvas.h"
#include "layouts.h"
#include "text.h"

namespace skingen {

inline constexpr const char* kPresetFolder = "presets/skin";
inline constexpr const char* kGen2Folder = "products/ostrelvanheim2/skin";
inline constexpr const char* kGen1Folder = "products/ostrelvanheim/skin";
inline constexpr const char* kTrackFolder = "products/tindravelle/skin";

struct SkinFile {
  std::string folder, name;  // name: "<number>.png" or a file name
  Image image;
  bool alpha;  // RGBA, else RGB
};

class Skins {
 public:
  void add(const std::string& folder, int number, Image image, bool alpha);
  void add(const std::string& folder, const std::string& name, Image image, bool alpha);
  const Image& get(const std::string& folder, int number) const;
  const Image& get(const std::string& folder, const std::string& name) const;
  const std::vector<SkinFile>& files() const { return files_; }

 private:
  std::vector<SkinFile> files_;
};

// Colours and finish of one product's panels.
struct Theme {
  Color panel;          // base of the front panel
  Color backPanel;      // base of the back page
  double brush = 0.05;  // strength of the brushed finish
  int seed = 1;
  Color label;     // printed legends
  Color labelDim;  // secondary legends
  Color line;      // engraved lines
  Color window;    // light readout windows (dark text)
  Color lcd;       // dark readout windows (light text)
  Color counter;   // counter window
  Color plate;     // the back page's name plate
  Color plateInk;
  Color strip;      // the preset strip's row
  Color nameField;  // the program name field
};

TextStyle labelStyle(const Theme& t, double size = 8.0);
TextStyle smallStyle(const Theme& t, double size = 7.0);

// Pieces of panel shared by the products.
void panelBase(Image& im, int rows, const Color& base, const Theme& t);
void cornerScrews(Image& im, int bottom);
void meterBezel(Image& im, int left, int top, int right, int bottom);
void stripRow(Image& im, int top, int bottom, const Theme& t);
void namePlate(Image& im, const Rect& area, const Rect& version, const std::string& product,
               const std::string& subtitle, const Theme& t);
void pageSwitchPlate(Image& im, const Rect& area, const std::string& text, const Theme& t);
void readoutWindow(Image& im, int left, int top, int right, int bottom, const Color& inside);

// The Ostrelvanheim panels, drawn for either generation.
Image ostrelvanheimFront(const Theme& t, const std::string& product, bool withFat);
Image ostrelvanheimBack(const Theme& t, const std::string& product);

void drawPresetStrip(Skins& skins);
void drawOstrelvanheim2(Skins& skins);
void drawOstrelvanheim(Skins& skins);
void drawTindravelle(Skins& skins);

// Composites each editor with its controls at a few values into `folder`.
bool writePreviews(const Skins& skins, const std::string& folder);

}  // namespace skingen
