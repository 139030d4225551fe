#include "ui/backend/x11_common.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace jyxui::x11 {
namespace {

struct Errors {
  Display* display;
  unsigned long count;
};

std::mutex gMutex;
std::vector<Errors> gConnections;  // our open connections and their error counts
int gTrapDepth = 0;
int (*gOuterHandler)(Display*, XErrorEvent*) = nullptr;

int trapHandler(Display* display, XErrorEvent* event) {
  int (*forward)(Display*, XErrorEvent*) = nullptr;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    auto found = std::find_if(gConnections.begin(), gConnections.end(),
                              [display](const Errors& e) { return e.display == display; });
    if (found != gConnections.end()) {
      ++found->count;
      return 0;
    }
    forward = gOuterHandler;
  }
  return forward ? forward(display, event) : 0;
}

unsigned long errorCount(Display* display) {
  std::lock_guard<std::mutex> lock(gMutex);
  for (const Errors& e : gConnections)
    if (e.display == display) return e.count;
  return 0;
}

}  // namespace

Display* openDisplay() {
  for (int attempt = 0;; ++attempt) {
    errno = 0;
    if (Display* display = XOpenDisplay(nullptr)) return display;
    // Refused (EAGAIN) or dropped while being set up (ECONNRESET): both pass.
    if ((errno != EAGAIN && errno != ECONNRESET) || attempt == 40) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

Display* Connection::open() {
  Display* display = openDisplay();
  if (!display) return nullptr;
  std::lock_guard<std::mutex> lock(gMutex);
  gConnections.push_back({display, 0});
  return display;
}

void Connection::close(Display* display) {
  if (!display) return;
  {
    ErrorTrap trap(display);
    XSync(display, False);
    trap.forget();
    XCloseDisplay(display);
  }
  std::lock_guard<std::mutex> lock(gMutex);
  gConnections.erase(std::remove_if(gConnections.begin(), gConnections.end(),
                                    [display](const Errors& e) { return e.display == display; }),
                     gConnections.end());
}

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
  int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(trapHandler);
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gTrapDepth++ == 0) gOuterHandler = previous;
  }
  previous_ = previous;
  errorsBefore_ = errorCount(display_);
}

namespace {

// True when the server may still answer one of our requests: its error,
// should there be one, has not been read yet. A reply read since the last
// request means that every request up to it has been dealt with.
bool requestsOutstanding(Display* display) {
  return XLastKnownRequestProcessed(display) + 1 != XNextRequest(display);
}

}  // namespace

ErrorTrap::~ErrorTrap() {
  // Errors of requests sent under the trap arrive under it. With nothing
  // outstanding (only events read, or a request whose reply came) there is
  // nothing to wait for, and an idle costs no round trip to the server.
  if (display_ && requestsOutstanding(display_)) XSync(display_, False);
  XSetErrorHandler(previous_);
  std::lock_guard<std::mutex> lock(gMutex);
  if (--gTrapDepth == 0) gOuterHandler = nullptr;
}

bool ErrorTrap::failed() {
  if (!display_) return false;
  XSync(display_, False);
  return errorCount(display_) != errorsBefore_;
}

std::uint64_t monotonicMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void waitForEvents(Display* display, int timeoutMs) {
  XFlush(display);
  if (XPending(display)) return;
  pollfd fd{ConnectionNumber(display), POLLIN, 0};
  poll(&fd, 1, std::max(timeoutMs, 0));
}

// ---- images ----

ImageWriter::ImageWriter(Display* display, Visual* visual, int depth, int width, int height)
    : display_(display), depth_(depth) {
  if (width <= 0 || height <= 0) return;
  const int bitmapPad = 32;
  image_ = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                        static_cast<unsigned>(width), static_cast<unsigned>(height), bitmapPad, 0);
  if (!image_) return;
  image_->data = static_cast<char*>(
      std::calloc(static_cast<std::size_t>(image_->bytes_per_line), static_cast<std::size_t>(height)));
  if (!image_->data) {
    XDestroyImage(image_);
    image_ = nullptr;
    return;
  }
  // Blue, green, red and a spare byte in a 32-bit pixel of the server's own
  // order: the picture's rows copy straight in.
  directCopy_ = image_->bits_per_pixel == 32 && image_->byte_order == LSBFirst &&
                image_->red_mask == 0xFF0000 && image_->green_mask == 0xFF00 && image_->blue_mask == 0xFF;
}

ImageWriter::~ImageWriter() {
  if (image_) XDestroyImage(image_);  // frees the pixel memory too
}

namespace {

unsigned long scaleToMask(unsigned value, unsigned long mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  unsigned long bits = mask >> shift;
  int width = 0;
  while ((bits >> width) & 1) ++width;
  const unsigned long scaled = width >= 8 ? static_cast<unsigned long>(value) << (width - 8)
                                          : static_cast<unsigned long>(value) >> (8 - width);
  return (scaled << shift) & mask;
}

}  // namespace

void ImageWriter::put(Drawable target, GC gc, const PixelBuffer& pixels, const PixelRect& area) {
  if (!image_) return;
  const PixelRect r =
      area.intersected(pixels.bounds()).intersected(PixelRect{0, 0, image_->width, image_->height});
  if (r.isEmpty()) return;
  if (directCopy_) {
    auto* dest = reinterpret_cast<std::uint8_t*>(image_->data) +
                 static_cast<std::size_t>(r.top) * image_->bytes_per_line +
                 static_cast<std::size_t>(r.left) * 4;
    pixels.copyBgrx(r, dest, static_cast<std::size_t>(image_->bytes_per_line));
    if (depth_ == 32) {
      // A visual with alpha: the picture is opaque.
      for (int y = r.top; y < r.bottom; ++y) {
        auto* row = reinterpret_cast<std::uint8_t*>(image_->data) +
                    static_cast<std::size_t>(y) * image_->bytes_per_line;
        for (int x = r.left; x < r.right; ++x) row[x * 4 + 3] = 0xFF;
      }
    }
  } else {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const CColor c = pixels.pixel(x, y);
        XPutPixel(image_, x, y,
                  scaleToMask(c.red, image_->red_mask) | scaleToMask(c.green, image_->green_mask) |
                      scaleToMask(c.blue, image_->blue_mask));
      }
    }
  }
  XPutImage(display_, target, gc, image_, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.width()),
            static_cast<unsigned>(r.height()));
}

void setWindowTitle(Display* display, Window window, const char* utf8) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
  const auto length = static_cast<int>(std::strlen(utf8));
  XChangeProperty(display, window, netName, utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8), length);
  XChangeProperty(display, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8), length);
}

}  // namespace jyxui::x11
