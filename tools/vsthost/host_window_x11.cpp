#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>

#include "tools/vsthost/host_window.h"
#include "tools/vsthost/x11_grab.h"

namespace vsthost {
namespace {

class X11HostWindow : public HostWindow {
 public:
  X11HostWindow(Display* display, Window window) : display_(display), window_(window) {
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &deleteWindow_, 1);
  }
  ~X11HostWindow() override {
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }

  void* parentHandle() const override {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_));
  }
  std::string id() const override { return std::to_string(window_); }

  void resize(int width, int height) override {
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display_, window_, &hints);
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display_);
  }

  void screenOrigin(int& x, int& y) const override {
    Window child = 0;
    x = y = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  }

  bool processEvents() override {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_)
        closed_ = true;
      if (event.type == DestroyNotify && event.xdestroywindow.window == window_) closed_ = true;
    }
    return !closed_;
  }

  void waitEvents(int ms) override {
    XFlush(display_);
    if (XPending(display_)) return;
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, ms);
  }

  bool capture(Image& image, std::string& error) override {
    return grabWindow(display_, window_, image, error);
  }

  // Waits until the window is on the screen, so that the editor opens into a
  // window that can be drawn on.
  bool waitMapped(int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
      XWindowAttributes a{};
      if (XGetWindowAttributes(display_, window_, &a) && a.map_state == IsViewable) return true;
      processEvents();
      waitEvents(10);
    }
    return false;
  }

 private:
  Display* display_;
  Window window_;
  Atom deleteWindow_ = 0;
  bool closed_ = false;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::create(const std::string& title, int width, int height,
                                               std::string& error) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    error = "cannot open the X display (is DISPLAY set?)";
    return nullptr;
  }
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                            static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                            BlackPixel(display, screen), BlackPixel(display, screen));
  XSelectInput(display, window, StructureNotifyMask);
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, netName, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.c_str()), static_cast<int>(title.size()));
  XStoreName(display, window, title.c_str());
  auto host = std::make_unique<X11HostWindow>(display, window);
  host->resize(width, height);
  XMapRaised(display, window);
  if (!host->waitMapped(5000)) {
    error = "the window did not appear";
    return nullptr;
  }
  return host;
}

}  // namespace vsthost
