// What the X11 window, its pop-up menu and its dialog share: one connection
// per editor window, errors caught while our code talks to the server, and
// waiting for events without a thread of our own.
//
// Thread contract: a connection belongs to the thread that opened it (the
// host's user-interface thread); nothing here is called from another one.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "ui/pixel_buffer.h"

namespace jyxui::x11 {

// A new connection to the display named by DISPLAY, null when there is none.
// A busy server whose queue of new connections is full refuses one for a
// moment (EAGAIN) or drops it before it is set up (ECONNRESET): the open is
// tried again for up to a fifth of a second.
Display* openDisplay();

// The plug-in's own connection to the host's display: opened per editor
// window, so that two editors, of one plug-in or of two, never share one.
class Connection {
 public:
  // Null when there is no display to talk to.
  static Display* open();
  static void close(Display* display);
};

// Catches the errors of our own connections while it lives (a window that
// the host destroyed before us, a parent id that is no window) instead of
// letting Xlib's default handler end the host. Errors of other connections
// go to the handler that was there before. Traps nest.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits for the server and tells whether one of our requests failed since
  // the trap was set.
  bool failed();
  // The connection is gone: the trap only restores the handler.
  void forget() { display_ = nullptr; }

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
  unsigned long errorsBefore_;
};

// Milliseconds of the monotonic clock.
std::uint64_t monotonicMs();
// Waits until the connection has events or the time has passed.
void waitForEvents(Display* display, int timeoutMs);

// Shows pixels in a drawable: the frame's RGBA picture converted to the
// window's visual once per present.
class ImageWriter {
 public:
  ImageWriter(Display* display, Visual* visual, int depth, int width, int height);
  ~ImageWriter();
  ImageWriter(const ImageWriter&) = delete;
  ImageWriter& operator=(const ImageWriter&) = delete;
  void put(Drawable target, GC gc, const PixelBuffer& pixels, const PixelRect& area);

 private:
  Display* display_;
  XImage* image_ = nullptr;
  int depth_;
  bool directCopy_ = false;
};

// The UTF-8 title of a window, for window managers old and new.
void setWindowTitle(Display* display, Window window, const char* utf8);

}  // namespace jyxui::x11
