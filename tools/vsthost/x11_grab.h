// Photographs an X11 window (with the windows inside it) as RGBA pixels.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "tools/vsthost/host_window.h"

namespace vsthost {

bool grabWindow(Display* display, Window window, Image& image, std::string& error);

}  // namespace vsthost
