#include "tools/vsthost/x11_grab.h"

#include <X11/Xutil.h>

namespace vsthost {
namespace {

int errorHandler(Display*, XErrorEvent*) { return 0; }

std::uint8_t channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const unsigned long bits = mask >> shift;
  const unsigned long value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>(value * 255 / bits);
}

}  // namespace

bool grabWindow(Display* display, Window window, Image& image, std::string& error) {
  XWindowAttributes a{};
  int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(errorHandler);
  const bool known = XGetWindowAttributes(display, window, &a) != 0;
  XSetErrorHandler(previous);
  if (!known) {
    error = "no such window";
    return false;
  }
  return grabArea(display, window, 0, 0, a.width, a.height, image, error);
}

bool grabArea(Display* display, Window window, int x0, int y0, int width, int height, Image& image,
              std::string& error) {
  XSync(display, False);
  int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(errorHandler);
  XImage* x = width > 0 && height > 0 ? XGetImage(display, window, x0, y0, static_cast<unsigned>(width),
                                                  static_cast<unsigned>(height), AllPlanes, ZPixmap)
                                      : nullptr;
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!x) {
    error = "XGetImage failed (window not viewable?)";
    return false;
  }
  image.width = x->width;
  image.height = x->height;
  image.rgba.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4, 255);
  for (int y = 0; y < image.height; ++y) {
    for (int xx = 0; xx < image.width; ++xx) {
      const unsigned long p = XGetPixel(x, xx, y);
      std::uint8_t* out = &image.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                                       static_cast<std::size_t>(xx)) *
                                      4];
      out[0] = channel(p, x->red_mask);
      out[1] = channel(p, x->green_mask);
      out[2] = channel(p, x->blue_mask);
    }
  }
  XDestroyImage(x);
  return true;
}

}  // namespace vsthost
