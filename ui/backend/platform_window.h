// The back-end interface: everything the layer needs from a platform window,
// and everything a window tells its frame. Back ends (offscreen here; X11 and
// Win32 windows, their pop-up menus and file dialogs) implement IPlatformWindow
// and a Backend that creates it; nothing above this interface includes a
// platform header.
//
// Thread contract: a window and its frame live on the editor's user-interface
// thread. There are no threads of our own: events, timers and painting run
// from the host's idle calls (pumpEvents), from the platform's own message
// dispatch (Win32) and from our modal loops.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/vst_abi.h"
#include "ui/base.h"
#include "ui/pixel_buffer.h"

namespace jyxui {

// ---- what a window tells its frame (CFrame implements this) ----

class IPlatformWindowClient {
 public:
  virtual ~IPlatformWindowClient() = default;

  // Points are in frame coordinates. buttons holds kLButton, kMButton or
  // kRButton and the modifiers kShift, kControl, kAlt; never kDoubleClick,
  // which the frame adds itself from the press times (timeMs, the window's
  // clock). The button of a press or release is in buttons.
  virtual void platformMouseDown(const CPoint& where, CButtonState buttons, std::uint64_t timeMs) = 0;
  virtual void platformMouseUp(const CPoint& where, CButtonState buttons) = 0;
  virtual void platformMouseMoved(const CPoint& where, CButtonState buttons) = 0;
  // The pointer left the window (not sent while a button is held inside).
  virtual void platformMouseExited() = 0;
  // One notch of the wheel is a distance of 1; away from the user is positive.
  virtual void platformWheel(const CPoint& where, float distance, CButtonState modifiers) = 0;
  // Keys typed while the window has the keyboard focus; true when used.
  virtual bool platformKeyDown(const VstKeyCode& key) = 0;
  virtual bool platformKeyUp(const VstKeyCode& key) = 0;
  // Another window took the keyboard while typed entry held it: the entry ends.
  virtual void platformKeyboardFocusLost() = 0;
  // The area must be shown again (expose, WM_PAINT): the frame paints what
  // is pending and presents the area through present().
  virtual void platformExposed(const PixelRect& area) = 0;
  // The picture the window shows, the frame's size.
  virtual const PixelBuffer& platformPixels() const = 0;
};

// ---- timers ----

// A timer's identifier: the one it was created with, and the only one that
// kills it. Never 0.
using TimerId = std::uintptr_t;
using TimerProc = void (*)(void* user, TimerId id);

// ---- pop-up menu ----

struct PopupMenuRequest {
  std::vector<std::string> titles;  // every title is an ordinary entry, "-" included
  int current = -1;                 // the entry marked and, in pop-up style, put under the pointer
  bool checkCurrent = false;
  int itemsPerColumn = 0;      // 0: a single column
  bool underPointer = false;   // pop-up style; otherwise the menu opens below the control
  CPoint pointer;              // frame coordinates
  CRect control;               // the menu control, frame coordinates
  std::function<void()> idle;  // keeps the editor's idle running while the menu is open
};

// ---- file dialog ----

struct FileType {
  std::string description;  // "JYX Preset"
  std::string extension;    // "jyx", without the point
};

struct FileDialogRequest {
  enum class Kind { OpenFile, SaveFile, SelectDirectory };
  Kind kind = Kind::OpenFile;
  std::string title;
  std::string initialDirectory;
  std::string defaultSaveName;
  std::vector<FileType> types;
  int defaultType = -1;  // index into types, or -1
  bool allowMultiple = false;
  std::function<void()> idle;  // keeps the editor's idle running while the dialog is open
};

// The request's types in the order a dialog offers them: the default first.
std::vector<FileType> typesDefaultFirst(const FileDialogRequest& request);

// ---- the window ----

class IPlatformWindow {
 public:
  IPlatformWindow();
  // Destroys the window; its timers die with it and call nothing more.
  virtual ~IPlatformWindow();
  IPlatformWindow(const IPlatformWindow&) = delete;
  IPlatformWindow& operator=(const IPlatformWindow&) = delete;

  // Shows these parts of the pixels on screen, and nothing else of them.
  virtual void present(const PixelBuffer& pixels, const PixelRegion& area) = 0;
  // Delivers pending events to the client and runs the timers that are due.
  // A callback may destroy the window (an editor closed from inside it):
  // after every callback an implementation checks its LifeToken and returns
  // at once when it is gone.
  virtual void pumpEvents() = 0;
  // The pointer in frame coordinates, also when it lies outside the window.
  virtual bool pointerLocation(CPoint& where) const = 0;
  // Typed entry asks for the keyboard (hosts do not give a plug-in's child
  // window the focus), remembering the window that had it. Outside typed
  // entry the window never takes the keyboard, and keys typed over it stay
  // the host's.
  virtual void takeKeyboardFocus() = 0;
  // Typed entry ended: the keyboard goes back to the window that had it
  // before the entry began, or to the host's window when that one is gone;
  // when another window took it meanwhile, it stays there.
  virtual void releaseKeyboardFocus() = 0;
  // Milliseconds of a monotonic clock: the times of events and timers.
  virtual std::uint64_t now() const = 0;

  // Calls proc(user, id) every periodMs, from pumpEvents (or the platform's
  // own timer message). id 0 asks for a fresh identifier; an id in use
  // replaces that timer. Answers the identifier, 0 on failure.
  virtual TimerId setTimer(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user) = 0;
  // False when no timer has this identifier.
  virtual bool killTimer(TimerId id) = 0;

  // Modal: the index chosen, or -1 when the menu was cancelled.
  virtual int popupMenu(const PopupMenuRequest& request) = 0;
  // Modal: true when the dialog ran; chosen holds the UTF-8 paths picked,
  // empty when the user cancelled.
  virtual bool runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) = 0;

  // The platform's own handle (X11 Window, HWND); null offscreen.
  virtual void* nativeHandle() const = 0;
};

// Windows alive in the process.
long livePlatformWindowCount();

// Watches an object's life across calls that may destroy it.
class LifeToken {
 public:
  LifeToken() : alive_(std::make_shared<bool>(true)) {}
  ~LifeToken() { *alive_ = false; }
  LifeToken(const LifeToken&) = delete;
  LifeToken& operator=(const LifeToken&) = delete;
  std::shared_ptr<const bool> watch() const { return alive_; }

 private:
  std::shared_ptr<bool> alive_;
};

// ---- back ends ----

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* name() const = 0;
  // A window as a child of parent (X11 Window id or HWND) at the rectangle's
  // position, the rectangle's size; null when the platform refuses.
  virtual std::unique_ptr<IPlatformWindow> createWindow(void* parent, const CRect& rect,
                                                        IPlatformWindowClient& client) = 0;
};

// The platform's back end: defined by the one back-end source each build
// links (ui/CMakeLists.txt chooses it).
Backend& defaultBackend();
// Windows without a screen: events injected by tests, pixels read by tests.
Backend& offscreenBackend();
// The back end frames with a parent window use: the default unless a test or
// tool set another. Frames without a parent window are always offscreen.
Backend& currentBackend();
void setCurrentBackend(Backend* backend);  // null: back to the default

}  // namespace jyxui
