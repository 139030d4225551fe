// The X11 back end: the editor's window as a child of the window the host
// passes to the editor, on a connection of the plug-in's own. Events are
// read when the host calls the editor's idle (and in our modal loops); the
// timers are checked on every such pump.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "ui/backend/popup_menu_model.h"
#include "ui/backend/timer_table.h"
#include "ui/backend/x11_common.h"
#include "ui/backend/x11_file_dialog.h"
#include "ui/backend/x11_input.h"

namespace jyxui {
namespace {

using x11::ErrorTrap;

// Keys are asked for only while typed entry holds the keyboard: outside it,
// keys typed with the pointer over the editor reach the host's windows as
// the host's own (hosts take synthetic key events for no shortcut).
constexpr long kWindowEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
constexpr long kEntryEvents = KeyPressMask | KeyReleaseMask | FocusChangeMask;
constexpr int kModalIdleMs = 20;

class X11Window : public IPlatformWindow {
 public:
  X11Window(Display* display, Window parent, const XWindowAttributes& parentAttributes, const CRect& rect,
            IPlatformWindowClient& client);
  ~X11Window() override;
  bool created() const { return window_ != 0; }

  void present(const PixelBuffer& pixels, const PixelRegion& area) override;
  void pumpEvents() override;
  bool pointerLocation(CPoint& where) const override;
  void takeKeyboardFocus() override;
  void releaseKeyboardFocus() override;
  std::uint64_t now() const override { return x11::monotonicMs(); }
  TimerId setTimer(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user) override {
    return timers_.set(id, periodMs, proc, user, now());
  }
  bool killTimer(TimerId id) override { return timers_.kill(id); }
  int popupMenu(const PopupMenuRequest& request) override;
  bool runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) override;
  void* nativeHandle() const override {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_));
  }

 private:
  // Delivers one event of the editor window; false when the window died in a callback.
  bool dispatch(XEvent& event, PixelRect& exposed);
  bool flushExposed(PixelRect& exposed);
  // The focus left our window for another one while typed entry held it.
  bool keyboardTaken(const XFocusChangeEvent& event);
  // A modal loop's view of this window.
  x11::ModalOwner modalOwner(const std::function<void()>& idle);

  Display* display_;
  Window parent_;
  Window window_ = 0;
  Window root_ = 0;
  GC gc_ = nullptr;
  IPlatformWindowClient& client_;
  std::unique_ptr<x11::ImageWriter> image_;
  TimerTable timers_;
  CButtonState held_ = 0;
  bool modal_ = false;
  // Typed entry holds the keyboard; the focus it took the keyboard from, and
  // the first request of the entry (older focus events are not the entry's).
  bool keyboard_ = false;
  Window focusBefore_ = None;
  int revertBefore_ = RevertToParent;
  unsigned long entrySerial_ = 0;
  LifeToken life_;
};

X11Window::X11Window(Display* display, Window parent, const XWindowAttributes& pa, const CRect& rect,
                     IPlatformWindowClient& client)
    : display_(display), parent_(parent), root_(pa.root), client_(client) {
  const PixelBuffer& pixels = client.platformPixels();
  const unsigned width = static_cast<unsigned>(std::max(pixels.width(), 1));
  const unsigned height = static_cast<unsigned>(std::max(pixels.height(), 1));
  XSetWindowAttributes wa{};
  wa.event_mask = kWindowEvents;
  wa.background_pixmap = None;  // our picture covers the window; no flash of a colour first
  wa.colormap = pa.colormap;
  wa.border_pixel = 0;
  ErrorTrap trap(display_);
  window_ =
      XCreateWindow(display_, parent, snapCoord(rect.left), snapCoord(rect.top), width, height, 0, pa.depth,
                    InputOutput, pa.visual, CWEventMask | CWBackPixmap | CWColormap | CWBorderPixel, &wa);
  if (trap.failed() || !window_) {
    window_ = 0;
    return;
  }
  x11::setWindowTitle(display_, window_, "JYX editor");
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  image_ = std::make_unique<x11::ImageWriter>(display_, pa.visual, pa.depth, pixels.width(), pixels.height());
  XMapWindow(display_, window_);
  if (trap.failed()) {
    XDestroyWindow(display_, window_);
    window_ = 0;
  }
}

X11Window::~X11Window() {
  // Closed during typed entry: the keyboard goes back first.
  releaseKeyboardFocus();
  timers_ = TimerTable{};
  image_.reset();
  {
    ErrorTrap trap(display_);
    if (gc_) XFreeGC(display_, gc_);
    // The host may have destroyed its window, and ours with it, already.
    if (window_) XDestroyWindow(display_, window_);
  }
  x11::Connection::close(display_);
}

void X11Window::present(const PixelBuffer& pixels, const PixelRegion& area) {
  if (!window_ || !image_ || area.isEmpty()) return;
  ErrorTrap trap(display_);
  for (const PixelRect& part : area.parts()) image_->put(window_, gc_, pixels, part);
}

void X11Window::pumpEvents() {
  // While a menu or dialog of ours is open, its loop reads the events.
  if (!window_ || modal_) return;
  const auto alive = life_.watch();
  {
    ErrorTrap trap(display_);
    PixelRect exposed;
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (!dispatch(event, exposed)) {
        trap.forget();
        return;
      }
    }
    if (!flushExposed(exposed)) {
      trap.forget();
      return;
    }
  }
  timers_.runDue(now(), alive);
}

bool X11Window::flushExposed(PixelRect& exposed) {
  if (exposed.isEmpty()) return true;
  const auto alive = life_.watch();
  const PixelRect area = exposed;
  exposed = PixelRect{};
  client_.platformExposed(area);
  return *alive;
}

bool X11Window::dispatch(XEvent& event, PixelRect& exposed) {
  if (event.xany.window != window_) return true;
  const auto alive = life_.watch();
  switch (event.type) {
    case Expose: {
      const XExposeEvent& e = event.xexpose;
      exposed = exposed.united(PixelRect{e.x, e.y, e.x + e.width, e.y + e.height});
      break;
    }
    case ButtonPress: {
      const XButtonEvent& e = event.xbutton;
      const CPoint where(e.x, e.y);
      if (const float notches = x11::wheelNotches(e.button); notches != 0) {
        client_.platformWheel(where, notches, x11::stateBits(e.state, false));
        break;
      }
      const CButtonState button = x11::buttonBit(e.button);
      if (!button) break;
      held_ |= button;
      client_.platformMouseDown(where, button | x11::stateBits(e.state, false), e.time);
      break;
    }
    case ButtonRelease: {
      const XButtonEvent& e = event.xbutton;
      const CButtonState button = x11::buttonBit(e.button);
      if (!button) break;
      held_ &= ~button;
      client_.platformMouseUp(CPoint(e.x, e.y), button | x11::stateBits(e.state, false));
      break;
    }
    case MotionNotify: {
      // Only the latest of a run of moves matters.
      while (XEventsQueued(display_, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(display_, &next);
        if (next.type != MotionNotify || next.xany.window != window_) break;
        XNextEvent(display_, &event);
      }
      const XMotionEvent& e = event.xmotion;
      client_.platformMouseMoved(CPoint(e.x, e.y), x11::stateBits(e.state, true));
      break;
    }
    case LeaveNotify: {
      const XCrossingEvent& e = event.xcrossing;
      // Leaving for a child is no leaving; while a button is held the drag
      // goes on, and its release outside ends the grab with a leave of its own.
      if (e.detail == NotifyInferior || e.mode == NotifyGrab) break;
      if (held_ && e.mode != NotifyUngrab) break;
      client_.platformMouseExited();
      break;
    }
    case KeyPress:
    case KeyRelease: {
      XKeyEvent& e = event.xkey;
      char text[16];
      KeySym keysym = NoSymbol;
      XLookupString(&e, text, sizeof text, &keysym, nullptr);
      const VstKeyCode key = x11::keyCode(keysym, e.state);
      if (key.character == 0 && key.virt == 0) break;
      const bool used = event.type == KeyPress ? client_.platformKeyDown(key) : client_.platformKeyUp(key);
      if (!*alive) return false;
      // A key the editor does not use is the host's (its shortcuts).
      if (!used && parent_) {
        e.window = parent_;
        XSendEvent(display_, parent_, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
      }
      break;
    }
    case FocusOut:
      if (keyboardTaken(event.xfocus)) client_.platformKeyboardFocusLost();
      break;
    case DestroyNotify:
      // Destroyed with the host's window: nothing may be sent to it any more.
      window_ = 0;
      break;
    default: break;
  }
  return *alive;
}

bool X11Window::keyboardTaken(const XFocusChangeEvent& e) {
  if (!keyboard_ || e.serial < entrySerial_) return false;
  // A grab (a menu, a window manager's switcher) only borrows the keyboard;
  // the focus moving to the window under the pointer keeps it ours.
  if (e.mode == NotifyGrab || e.mode == NotifyUngrab || e.detail == NotifyInferior || e.detail == NotifyPointer)
    return false;
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  return focus != window_;
}

bool X11Window::pointerLocation(CPoint& where) const {
  if (!window_) return false;
  ErrorTrap trap(display_);
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  // Answers the position relative to our window also when the pointer is
  // elsewhere on the same screen.
  if (!XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
  where = CPoint(x, y);
  return true;
}

void X11Window::takeKeyboardFocus() {
  if (!window_) return;
  ErrorTrap trap(display_);
  Window focus = None;
  int revert = RevertToParent;
  XGetInputFocus(display_, &focus, &revert);
  if (focus != window_) {
    focusBefore_ = focus;
    revertBefore_ = revert;
  }
  keyboard_ = true;
  entrySerial_ = NextRequest(display_);
  XSelectInput(display_, window_, kWindowEvents | kEntryEvents);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
}

void X11Window::releaseKeyboardFocus() {
  if (!keyboard_) return;
  keyboard_ = false;
  if (!window_) return;
  ErrorTrap trap(display_);
  XSelectInput(display_, window_, kWindowEvents);
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  // Another window took the keyboard meanwhile: it stays there.
  if (focus != window_) return;
  // Back to the window that had it (PointerRoot included), else to the
  // host's window: a window that is gone or unmapped refuses the focus.
  if (focusBefore_ != None) {
    ErrorTrap attempt(display_);
    XSetInputFocus(display_, focusBefore_, revertBefore_, CurrentTime);
    if (!attempt.failed()) return;
  }
  XSetInputFocus(display_, parent_, RevertToParent, CurrentTime);
}

x11::ModalOwner X11Window::modalOwner(const std::function<void()>& idle) {
  x11::ModalOwner owner;
  owner.display = display_;
  owner.window = window_;
  const auto alive = life_.watch();
  owner.passOn = [this, alive](XEvent& event) {
    // The editor window is shown again when uncovered; its other input waits.
    PixelRect exposed;
    if (event.type == Expose && event.xany.window == window_) {
      if (!dispatch(event, exposed)) return false;
      return flushExposed(exposed);
    }
    if (event.type == DestroyNotify && event.xany.window == window_) window_ = 0;
    return *alive;
  };
  owner.idle = [this, alive, idle] {
    if (idle) idle();
    if (!*alive) return false;
    // The editor's own timers (the preset strip's) keep running as well.
    return timers_.runDue(now(), alive);
  };
  return owner;
}

// ---- the pop-up menu ----

int X11Window::popupMenu(const PopupMenuRequest& request) {
  if (!window_ || modal_ || request.titles.empty()) return -1;
  const auto alive = life_.watch();
  modal_ = true;
  x11::ModalOwner owner = modalOwner(request.idle);
  PopupMenuModel model(request);
  PixelBuffer picture = model.draw();

  ErrorTrap trap(display_);
  // Where the menu goes on the screen, kept on it.
  const CPoint at = model.placement();
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window_, root_, static_cast<int>(at.x), static_cast<int>(at.y), &x, &y,
                        &child);
  int pointerX = 0, pointerY = 0;
  XTranslateCoordinates(display_, window_, root_, static_cast<int>(request.pointer.x),
                        static_cast<int>(request.pointer.y), &pointerX, &pointerY, &child);
  XWindowAttributes ra{};
  XGetWindowAttributes(display_, root_, &ra);
  x = std::max(0, std::min(x, ra.width - model.width()));
  y = std::max(0, std::min(y, ra.height - model.height()));

  XSetWindowAttributes wa{};
  wa.override_redirect = True;
  wa.save_under = True;
  wa.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                  StructureNotifyMask;
  const Window menu = XCreateWindow(display_, root_, x, y, static_cast<unsigned>(model.width()),
                                    static_cast<unsigned>(model.height()), 0, CopyFromParent, InputOutput,
                                    CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWEventMask, &wa);
  x11::setWindowTitle(display_, menu, "JYX menu");
  x11::ImageWriter writer(display_, DefaultVisual(display_, DefaultScreen(display_)),
                          DefaultDepth(display_, DefaultScreen(display_)), model.width(), model.height());
  GC gc = XCreateGC(display_, menu, 0, nullptr);
  XMapRaised(display_, menu);

  enum class State { Open, Chosen, Cancelled, OwnerGone } state = State::Open;
  int chosen = -1;
  bool grabbed = false;
  bool pressedInMenu = false;  // a press of the menu's own (not the one that opened it)
  const std::uint64_t opened = x11::monotonicMs();
  std::uint64_t lastIdle = opened;
  auto show = [&] {
    picture = model.draw();
    writer.put(menu, gc, picture, picture.bounds());
  };
  auto highlightAt = [&](int px, int py) {
    const int entry = model.entryAt(CPoint(px, py));
    if (entry != model.highlight()) {
      model.setHighlight(entry);
      show();
    }
  };

  while (state == State::Open) {
    if (!grabbed) {
      // A grab needs the window on the screen; until then keep trying.
      grabbed = XGrabPointer(display_, menu, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                             GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
      if (grabbed) XGrabKeyboard(display_, menu, False, GrabModeAsync, GrabModeAsync, CurrentTime);
      if (!grabbed && x11::monotonicMs() - opened > 2000) state = State::Cancelled;
    }
    while (state == State::Open && XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.xany.window != menu) {
        if (!owner.passOn(event)) state = State::OwnerGone;
        continue;
      }
      switch (event.type) {
        case Expose:
          if (event.xexpose.count == 0) show();
          break;
        case MotionNotify: highlightAt(event.xmotion.x, event.xmotion.y); break;
        case ButtonPress: {
          const XButtonEvent& e = event.xbutton;
          if (x11::wheelNotches(e.button) != 0) break;
          const bool inside = e.x >= 0 && e.y >= 0 && e.x < model.width() && e.y < model.height();
          if (!inside) {
            state = State::Cancelled;
          } else {
            pressedInMenu = true;
            highlightAt(e.x, e.y);
          }
          break;
        }
        case ButtonRelease: {
          const XButtonEvent& e = event.xbutton;
          if (x11::wheelNotches(e.button) != 0) break;
          const int entry = model.entryAt(CPoint(e.x, e.y));
          // The release of the click that opened the menu chooses only when
          // the pointer went somewhere first (press, drag, release); a click
          // leaves the menu open.
          const bool moved = std::abs(e.x_root - pointerX) > 4 || std::abs(e.y_root - pointerY) > 4;
          if (entry >= 0 && (pressedInMenu || moved)) {
            chosen = entry;
            state = State::Chosen;
          }
          pressedInMenu = false;
          break;
        }
        case KeyPress: {
          char text[16];
          KeySym keysym = NoSymbol;
          XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
          const int answer = model.key(x11::keyCode(keysym, event.xkey.state));
          if (answer == PopupMenuModel::kCancelled) {
            state = State::Cancelled;
          } else if (answer >= 0) {
            chosen = answer;
            state = State::Chosen;
          } else {
            show();
          }
          break;
        }
        default: break;
      }
    }
    if (state != State::Open) break;
    if (x11::monotonicMs() - lastIdle >= kModalIdleMs) {
      lastIdle = x11::monotonicMs();
      if (!owner.idle()) state = State::OwnerGone;
      if (state != State::Open) break;
    }
    x11::waitForEvents(display_, kModalIdleMs / 2);
  }
  if (state == State::OwnerGone) {
    // The connection closed with the editor window; the menu went with it.
    trap.forget();
    return -1;
  }
  if (grabbed) {
    XUngrabKeyboard(display_, CurrentTime);
    XUngrabPointer(display_, CurrentTime);
  }
  XFreeGC(display_, gc);
  XDestroyWindow(display_, menu);
  modal_ = false;
  return state == State::Chosen ? chosen : -1;
}

// ---- the file dialog ----

bool X11Window::runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) {
  chosen.clear();
  if (!window_ || modal_) return false;
  const auto alive = life_.watch();
  modal_ = true;
  x11::ModalOwner owner = modalOwner(request.idle);
  bool ran = false;
  const x11::DialogProgram program = x11::findDialogProgram();
  if (program.kind != x11::DialogProgram::kNoProgram) {
    // The program's window is its own; ours only keeps being shown and idled.
    auto pump = [&] {
      ErrorTrap trap(display_);
      while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (!owner.passOn(event)) {
          trap.forget();
          return false;
        }
      }
      if (!owner.idle()) {
        trap.forget();
        return false;
      }
      return true;
    };
    ran = x11::runDialogProgram(x11::dialogProgramArguments(program, request), pump, chosen);
    if (!*alive) return false;
  }
  if (!ran) {
    chosen.clear();
    ran = x11::runBuiltinFileDialog(owner, request, chosen);
    if (!*alive) return false;
  }
  modal_ = false;
  return ran;
}

// ---- the back end ----

class X11Backend : public Backend {
 public:
  const char* name() const override { return "x11"; }
  std::unique_ptr<IPlatformWindow> createWindow(void* parent, const CRect& rect,
                                                IPlatformWindowClient& client) override {
    const auto parentId = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
    if (!parentId) return nullptr;
    Display* display = x11::Connection::open();
    if (!display) return nullptr;
    XWindowAttributes attributes{};
    bool parentOk = false;
    {
      ErrorTrap trap(display);
      parentOk = XGetWindowAttributes(display, parentId, &attributes) != 0 && !trap.failed();
    }
    if (!parentOk) {
      x11::Connection::close(display);
      return nullptr;
    }
    auto window = std::make_unique<X11Window>(display, parentId, attributes, rect, client);
    if (!window->created()) return nullptr;  // its destructor closed the connection
    return window;
  }
};

}  // namespace

Backend& defaultBackend() {
  static X11Backend backend;
  return backend;
}

}  // namespace jyxui
