// Photographs the X11 screen, one window of it, or an area of the screen as
// it is shown (other windows over it included) into a PNG (a PPM when FILE
// ends in .ppm): the test scripts keep pictures of menus and dialogs that are
// windows of their own, and read the pixels of other programs' windows.
//   xshot FILE [WINDOW-ID | X Y WIDTH HEIGHT]
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "tools/vsthost/x11_grab.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3 && argc != 6) {
    std::fprintf(stderr, "usage: xshot FILE [WINDOW-ID | X Y WIDTH HEIGHT]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "xshot: cannot open the display\n");
    return 1;
  }
  const Window window =
      argc == 3 ? static_cast<Window>(std::strtoul(argv[2], nullptr, 0)) : DefaultRootWindow(display);
  vsthost::Image image;
  std::string error;
  const bool grabbed =
      argc == 6 ? vsthost::grabArea(display, window, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                    std::atoi(argv[5]), image, error)
                : vsthost::grabWindow(display, window, image, error);
  const bool ok = grabbed && vsthost::writeImage(argv[1], image);
  XCloseDisplay(display);
  if (!ok) {
    std::fprintf(stderr, "xshot: %s\n", error.empty() ? "cannot write the picture" : error.c_str());
    return 1;
  }
  return 0;
}
