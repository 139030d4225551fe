// The three skins and the preset strip's buttons, drawn into memory.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "layouts.h"
#include "parts.h"
#include "text.h"

namespace skingen {

inline constexpr const char* kPresetFolder = "presets/skin";
inline constexpr const char* kGen2Folder = "products/ostrelvanheim2/skin";
inline constexpr const char* kGen1Folder = "products/ostrelvanheim/skin";
inline constexpr const char* kTrackFolder = "products/tindravelle/skin";
inline constexpr const char* kDemoFolder = "tests/ui/demo/skin";

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
  Color panel = rgb(50, 52, 56);      // base of the front panel
  Color backPanel = rgb(44, 46, 50);  // base of the back page
  double brush = 0.06;                // strength of the brushed finish
  int seed = 21;
  Color label = rgb(232, 228, 214);     // printed legends
  Color labelDim = rgb(170, 168, 158);  // secondary legends
  Color tint = rgb(92, 94, 98);         // button caps
  Color window = rgb(226, 222, 200);    // light readout windows (dark text)
  Color lcd = rgb(22, 24, 26);          // dark readout windows (light text)
  Color counter = rgb(14, 12, 10);      // counter window
  Color plate = rgb(226, 220, 200);     // the back page's name plate
  Color plateInk = rgb(30, 30, 30);
  Color strip = rgb(30, 31, 34);         // the preset strip's row
  Color nameField = rgb(209, 227, 238);  // the program name field
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
// The light window of the two delay readouts with its legend, and the
// counter's dark window.
void delayAndCounterWindows(Image& im, const Rect& delayMs, const Rect& delaySamples, const Rect& counter,
                            const Theme& t);
// The product's name at the top left, what it does at the top right.
void panelTitle(Image& im, const std::string& product, const std::string& subtitle, const Theme& t);
// A group heading between two engraved lines from x0 to x1.
void sectionHeader(Image& im, const std::string& text, double x0, double x1, double baseline, const Theme& t);

// Button caps and lamp selectors in a product's colours.
ButtonLook buttonLook(const Theme& t, const Color& led);
SelectorDesign ledSelector(const Theme& t, int width, int height, std::vector<std::string> legends);

// The Ostrelvanheim panels, drawn for either generation.
Image ostrelvanheimFront(const Theme& t, const std::string& product, const OstrelvanheimLayout& layout);
Image ostrelvanheimBack(const Theme& t, const std::string& product, const OstrelvanheimLayout& layout);

void drawPresetStrip(Skins& skins);
void drawOstrelvanheim2(Skins& skins);
void drawOstrelvanheim(Skins& skins);
void drawTindravelle(Skins& skins);
// The panel of the controls demo plug-in (tests/ui/demo).
void drawControlsDemo(Skins& skins);

// Composites each editor with its controls at a few values into `folder`.
bool writePreviews(const Skins& skins, const std::string& folder);

}  // namespace skingen
