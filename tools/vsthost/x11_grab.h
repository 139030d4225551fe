// Photographs an X11 window (with the windows inside it), or an area of it,
// as RGBA pixels.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "tools/vsthost/host_window.h"

namespace vsthost {

bool grabWindow(Display* display, Window window, Image& image, std::string& error);
// The area, in the window's coordinates, must lie inside the window.
bool grabArea(Display* display, Window window, int x, int y, int width, int height, Image& image,
              std::string& error);

}  // namespace vsthost
