// The Win32 back end: the editor's window as a child of the host's window, of
// a window class named after the plug-in's module, so that two plug-ins (or
// two copies of one) never share a class. Windows delivers its messages on
// the thread that made it; the host's idle also dispatches what is pending.
// Unicode throughout: the wide API outside, UTF-8 inside.
#include <windows.h>
// After windows.h, which they build on.
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/module.h"
#include "platform/text.h"
#include "ui/backend/popup_menu_model.h"

namespace jyxui {
namespace {

constexpr int kModalIdleMs = 20;
constexpr UINT_PTR kDialogIdleTimer = 0x4A59;  // our own timer while a dialog runs

std::wstring wide(const std::string& utf8) {
  const std::u16string u16 = platform::utf8ToUtf16(utf8);
  return std::wstring(u16.begin(), u16.end());
}

std::string narrow(const wchar_t* text, std::size_t length) {
  return platform::utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text), length));
}

// The module whose code this is: the plug-in's DLL (or the program).
HINSTANCE moduleInstance() {
  if (void* handle = platform::moduleHandle()) return static_cast<HINSTANCE>(handle);
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&moduleInstance), &self);
  return self;
}

// The window classes of this module: registered with the first window and
// unregistered with the last, so that an unloaded plug-in leaves none behind.
class WindowClasses {
 public:
  static bool acquire(WNDPROC frameProc, WNDPROC menuProc) {
    if (users_++ > 0) return true;
    HINSTANCE instance = moduleInstance();
    wchar_t suffix[32];
    std::swprintf(suffix, 32, L"%p", static_cast<void*>(instance));
    frameName_ = std::wstring(L"JyxFrame") + suffix;
    menuName_ = std::wstring(L"JyxMenu") + suffix;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = frameName_.c_str();
    const bool frameOk = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    wc.lpfnWndProc = menuProc;
    wc.style = CS_DROPSHADOW;
    wc.lpszClassName = menuName_.c_str();
    const bool menuOk = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    if (!frameOk || !menuOk) {
      release();
      return false;
    }
    return true;
  }
  static void release() {
    if (users_ == 0 || --users_ > 0) return;
    UnregisterClassW(frameName_.c_str(), moduleInstance());
    UnregisterClassW(menuName_.c_str(), moduleInstance());
  }
  static const wchar_t* frame() { return frameName_.c_str(); }
  static const wchar_t* menu() { return menuName_.c_str(); }

 private:
  static inline int users_ = 0;
  static inline std::wstring frameName_;
  static inline std::wstring menuName_;
};

// Shows part of a picture on a device context.
void showPixels(HDC dc, const PixelBuffer& pixels, const PixelRect& area) {
  const PixelRect r = area.intersected(pixels.bounds());
  if (r.isEmpty() || !dc) return;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(r.height()) *
                                 4);
  pixels.copyBgrx(r, bits.data(), static_cast<std::size_t>(r.width()) * 4);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = r.width();
  bmi.bmiHeader.biHeight = -r.height();  // top row first
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.width()), static_cast<DWORD>(r.height()), 0, 0, 0,
                    static_cast<UINT>(r.height()), bits.data(), &bmi, DIB_RGB_COLORS);
}

CButtonState modifierBits(WPARAM keys) {
  CButtonState bits = 0;
  if (keys & MK_SHIFT) bits |= kShift;
  if (keys & MK_CONTROL) bits |= kControl;
  if (GetKeyState(VK_MENU) < 0) bits |= kAlt;
  return bits;
}

CButtonState heldButtons(WPARAM keys) {
  CButtonState bits = 0;
  if (keys & MK_LBUTTON) bits |= kLButton;
  if (keys & MK_MBUTTON) bits |= kMButton;
  if (keys & MK_RBUTTON) bits |= kRButton;
  return bits;
}

unsigned char keyModifiers() {
  unsigned char m = 0;
  if (GetKeyState(VK_SHIFT) < 0) m |= MODIFIER_SHIFT;
  if (GetKeyState(VK_MENU) < 0) m |= MODIFIER_ALTERNATE;
  if (GetKeyState(VK_CONTROL) < 0) m |= MODIFIER_CONTROL;
  return m;
}

// Keys without a character of their own; the others arrive as WM_CHAR.
unsigned char virtualKey(WPARAM vk, LPARAM flags) {
  switch (vk) {
    case VK_BACK: return VKEY_BACK;
    case VK_TAB: return VKEY_TAB;
    case VK_CLEAR: return VKEY_CLEAR;
    case VK_RETURN: return (flags & (1 << 24)) ? VKEY_ENTER : VKEY_RETURN;
    case VK_PAUSE: return VKEY_PAUSE;
    case VK_ESCAPE: return VKEY_ESCAPE;
    case VK_PRIOR: return VKEY_PAGEUP;
    case VK_NEXT: return VKEY_PAGEDOWN;
    case VK_END: return VKEY_END;
    case VK_HOME: return VKEY_HOME;
    case VK_LEFT: return VKEY_LEFT;
    case VK_UP: return VKEY_UP;
    case VK_RIGHT: return VKEY_RIGHT;
    case VK_DOWN: return VKEY_DOWN;
    case VK_SELECT: return VKEY_SELECT;
    case VK_PRINT: return VKEY_PRINT;
    case VK_SNAPSHOT: return VKEY_SNAPSHOT;
    case VK_INSERT: return VKEY_INSERT;
    case VK_DELETE: return VKEY_DELETE;
    case VK_HELP: return VKEY_HELP;
    case VK_NUMLOCK: return VKEY_NUMLOCK;
    case VK_SCROLL: return VKEY_SCROLL;
    case VK_SHIFT: return VKEY_SHIFT;
    case VK_CONTROL: return VKEY_CONTROL;
    case VK_MENU: return VKEY_ALT;
    default: break;
  }
  if (vk >= VK_F1 && vk <= VK_F12) return static_cast<unsigned char>(VKEY_F1 + (vk - VK_F1));
  return 0;
}

class Win32Window : public IPlatformWindow {
 public:
  Win32Window(HWND parent, const CRect& rect, IPlatformWindowClient& client);
  ~Win32Window() override;
  bool created() const { return hwnd_ != nullptr; }

  void present(const PixelBuffer& pixels, const PixelRegion& area) override;
  void pumpEvents() override;
  bool pointerLocation(CPoint& where) const override;
  void takeKeyboardFocus() override;
  void releaseKeyboardFocus() override;
  std::uint64_t now() const override { return GetTickCount64(); }
  TimerId setTimer(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user) override;
  bool killTimer(TimerId id) override;
  int popupMenu(const PopupMenuRequest& request) override;
  bool runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) override;
  void* nativeHandle() const override { return hwnd_; }

  static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK menuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  CPoint pointOf(LPARAM lParam) const { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }
  void press(CButtonState button, WPARAM wParam, LPARAM lParam);
  void release(CButtonState button, WPARAM wParam, LPARAM lParam);
  bool key(bool down, const VstKeyCode& code);

  struct Timer {
    TimerProc proc;
    void* user;
  };

  IPlatformWindowClient& client_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  // Typed entry holds the keyboard, taken from this window.
  bool keyboard_ = false;
  HWND focusBefore_ = nullptr;
  bool classHeld_ = false;
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  CButtonState held_ = 0;
  bool tracking_ = false;
  wchar_t highSurrogate_ = 0;
  bool modal_ = false;
  std::function<void()> modalIdle_;
  LifeToken life_;
};

Win32Window::Win32Window(HWND parent, const CRect& rect, IPlatformWindowClient& client)
    : client_(client), parent_(parent) {
  if (!WindowClasses::acquire(&Win32Window::frameProc, &Win32Window::menuProc)) return;
  classHeld_ = true;
  const PixelBuffer& pixels = client.platformPixels();
  hwnd_ = CreateWindowExW(0, WindowClasses::frame(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                          snapCoord(rect.left), snapCoord(rect.top), std::max(pixels.width(), 1),
                          std::max(pixels.height(), 1), parent, nullptr, moduleInstance(), this);
  if (!hwnd_) return;
}

Win32Window::~Win32Window() {
  // Closed during typed entry: the keyboard goes back first.
  releaseKeyboardFocus();
  if (hwnd_) {
    // Timers die with the window, each killed by its own identifier, and no
    // message reaches this object any more.
    for (const auto& [id, timer] : timers_) KillTimer(hwnd_, id);
    timers_.clear();
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  if (classHeld_) WindowClasses::release();
}

LRESULT CALLBACK Win32Window::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    // Messages come before CreateWindowExW returns: the window is known from here on.
    auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Destroyed with the host's window before the editor closed: its timers
    // went with it, and nothing may be sent to it any more.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->timers_.clear();
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

void Win32Window::press(CButtonState button, WPARAM wParam, LPARAM lParam) {
  if (!held_) SetCapture(hwnd_);
  held_ |= button;
  client_.platformMouseDown(pointOf(lParam), button | modifierBits(wParam),
                            static_cast<std::uint32_t>(GetMessageTime()));
}

void Win32Window::release(CButtonState button, WPARAM wParam, LPARAM lParam) {
  held_ &= ~button;
  if (!held_ && GetCapture() == hwnd_) ReleaseCapture();
  client_.platformMouseUp(pointOf(lParam), button | modifierBits(wParam));
}

bool Win32Window::key(bool down, const VstKeyCode& code) {
  return down ? client_.platformKeyDown(code) : client_.platformKeyUp(code);
}

void Win32Window::takeKeyboardFocus() {
  if (!hwnd_) return;
  const HWND focus = GetFocus();
  if (focus != hwnd_) focusBefore_ = focus;
  keyboard_ = true;
  SetFocus(hwnd_);
}

void Win32Window::releaseKeyboardFocus() {
  if (!keyboard_) return;
  keyboard_ = false;
  // Another window took the keyboard meanwhile: it stays there.
  if (!hwnd_ || GetFocus() != hwnd_) return;
  // Back to the window that had it, else to the host's window.
  if (focusBefore_ && IsWindow(focusBefore_) && SetFocus(focusBefore_)) return;
  if (IsWindow(parent_)) SetFocus(parent_);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto alive = life_.watch();
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      const HWND hwnd = hwnd_;
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      client_.platformExposed(
          PixelRect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN: press(kLButton, wParam, lParam); return 0;
    case WM_MBUTTONDOWN: press(kMButton, wParam, lParam); return 0;
    case WM_RBUTTONDOWN: press(kRButton, wParam, lParam); return 0;
    case WM_LBUTTONUP: release(kLButton, wParam, lParam); return 0;
    case WM_MBUTTONUP: release(kMButton, wParam, lParam); return 0;
    case WM_RBUTTONUP: release(kRButton, wParam, lParam); return 0;
    case WM_CAPTURECHANGED:
      // A menu of ours or the system took the pointer: no button is ours any more.
      if (reinterpret_cast<HWND>(lParam) != hwnd_) held_ = 0;
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&tme) != 0;
      }
      client_.platformMouseMoved(pointOf(lParam), heldButtons(wParam) | modifierBits(wParam));
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (!held_) client_.platformMouseExited();
      return 0;
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd_, &p);
      const float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
      client_.platformWheel(CPoint(p.x, p.y), notches, modifierBits(GET_KEYSTATE_WPARAM(wParam)));
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_KILLFOCUS:
      // Another window took the keyboard from typed entry: the entry ends,
      // and the keyboard stays where it went.
      if (keyboard_) {
        keyboard_ = false;
        client_.platformKeyboardFocusLost();
      }
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
      const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
      VstKeyCode code{};
      code.virt = virtualKey(wParam, lParam);
      code.modifier = keyModifiers();
      if (code.virt && key(down, code)) return 0;
      if (!*alive) return 0;
      break;
    }
    case WM_CHAR: {
      const auto unit = static_cast<wchar_t>(wParam);
      if (unit >= 0xD800 && unit <= 0xDBFF) {
        highSurrogate_ = unit;
        return 0;
      }
      char32_t cp = unit;
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (!highSurrogate_) return 0;
        cp = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) + (unit - 0xDC00);
      }
      highSurrogate_ = 0;
      // Control characters came as their keys already.
      if (cp < 32 || cp == 127) return 0;
      VstKeyCode code{};
      code.character = static_cast<VstInt32>(cp);
      code.modifier = keyModifiers();
      key(true, code);
      return 0;
    }
    case WM_TIMER: {
      if (wParam == kDialogIdleTimer) {
        if (modalIdle_) modalIdle_();
        return 0;
      }
      auto found = timers_.find(static_cast<TimerId>(wParam));
      if (found != timers_.end()) found->second.proc(found->second.user, found->first);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// Always through a context of the window's own: the one a paint message
// begins with is clipped to the area the system asked for, and a pass run
// from the paint message also shows what changed elsewhere meanwhile.
void Win32Window::present(const PixelBuffer& pixels, const PixelRegion& area) {
  if (!hwnd_ || area.isEmpty()) return;
  HDC dc = GetDC(hwnd_);
  for (const PixelRect& part : area.parts()) showPixels(dc, pixels, part);
  ReleaseDC(hwnd_, dc);
}

void Win32Window::pumpEvents() {
  // A menu or dialog of ours runs its own loop; otherwise the messages the
  // host's loop has not dispatched yet go out now.
  if (!hwnd_ || modal_) return;
  const auto alive = life_.watch();
  MSG msg;
  while (*alive && hwnd_ && PeekMessageW(&msg, hwnd_, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool Win32Window::pointerLocation(CPoint& where) const {
  POINT p;
  if (!hwnd_ || !GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return false;
  where = CPoint(p.x, p.y);
  return true;
}

TimerId Win32Window::setTimer(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user) {
  if (!hwnd_ || !proc) return 0;
  if (id == 0) {
    while (timers_.count(nextTimer_) || nextTimer_ == 0 || nextTimer_ == kDialogIdleTimer) ++nextTimer_;
    id = nextTimer_++;
  }
  if (!SetTimer(hwnd_, id, std::max<UINT>(periodMs, USER_TIMER_MINIMUM), nullptr)) return 0;
  timers_[id] = Timer{proc, user};
  return id;
}

bool Win32Window::killTimer(TimerId id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return false;
  timers_.erase(found);
  if (hwnd_) KillTimer(hwnd_, id);
  return true;
}

// ---- the pop-up menu ----

struct MenuWindowData {
  PixelBuffer picture;
};

LRESULT CALLBACK Win32Window::menuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* data = reinterpret_cast<MenuWindowData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (data) showPixels(dc, data->picture, data->picture.bounds());
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

int Win32Window::popupMenu(const PopupMenuRequest& request) {
  if (!hwnd_ || modal_ || request.titles.empty()) return -1;
  const auto alive = life_.watch();
  PopupMenuModel model(request);
  MenuWindowData data{model.draw()};

  // On the screen at the model's place, kept inside the monitor's work area.
  const CPoint at = model.placement();
  POINT origin{static_cast<LONG>(at.x), static_cast<LONG>(at.y)};
  ClientToScreen(hwnd_, &origin);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTONEAREST), &monitor)) {
    origin.x = std::max(monitor.rcWork.left, std::min<LONG>(origin.x, monitor.rcWork.right - model.width()));
    origin.y = std::max(monitor.rcWork.top, std::min<LONG>(origin.y, monitor.rcWork.bottom - model.height()));
  }
  POINT opened{};
  GetCursorPos(&opened);
  HWND menu = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WindowClasses::menu(),
                              L"JYX menu", WS_POPUP, origin.x, origin.y, model.width(), model.height(),
                              GetAncestor(hwnd_, GA_ROOT), nullptr, moduleInstance(), &data);
  if (!menu) return -1;
  modal_ = true;
  ShowWindow(menu, SW_SHOWNOACTIVATE);
  UpdateWindow(menu);
  SetCapture(menu);

  enum class State { Open, Chosen, Cancelled } state = State::Open;
  int chosen = -1;
  bool pressedInMenu = false;
  auto redraw = [&] {
    data.picture = model.draw();
    InvalidateRect(menu, nullptr, FALSE);
  };
  auto highlightAt = [&](LPARAM lParam) {
    const int entry = model.entryAt(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    if (entry != model.highlight()) {
      model.setHighlight(entry);
      redraw();
    }
  };
  DWORD lastIdle = GetTickCount();
  while (state == State::Open && *alive) {
    MSG msg;
    while (state == State::Open && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        state = State::Cancelled;
        break;
      }
      const bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
      const bool keys = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
      if (mouse && msg.hwnd == menu) {
        const int x = GET_X_LPARAM(msg.lParam), y = GET_Y_LPARAM(msg.lParam);
        const bool inside = x >= 0 && y >= 0 && x < model.width() && y < model.height();
        switch (msg.message) {
          case WM_MOUSEMOVE: highlightAt(msg.lParam); break;
          case WM_LBUTTONDOWN:
          case WM_RBUTTONDOWN:
          case WM_MBUTTONDOWN:
            if (!inside) {
              state = State::Cancelled;
            } else {
              pressedInMenu = true;
              highlightAt(msg.lParam);
            }
            break;
          case WM_LBUTTONUP:
          case WM_RBUTTONUP:
          case WM_MBUTTONUP: {
            // The release of the click that opened the menu chooses only
            // after the pointer went somewhere; a click leaves it open.
            POINT now{};
            GetCursorPos(&now);
            const bool moved = std::abs(now.x - opened.x) > 4 || std::abs(now.y - opened.y) > 4;
            const int entry = model.entryAt(CPoint(x, y));
            if (entry >= 0 && (pressedInMenu || moved)) {
              chosen = entry;
              state = State::Chosen;
            }
            pressedInMenu = false;
            break;
          }
          default: break;
        }
        continue;
      }
      if (mouse) continue;  // the editor's own mouse waits while the menu is open
      if (keys) {
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
          VstKeyCode code{};
          code.virt = virtualKey(msg.wParam, msg.lParam);
          const int answer = model.key(code);
          if (answer == PopupMenuModel::kCancelled) {
            state = State::Cancelled;
          } else if (answer >= 0) {
            chosen = answer;
            state = State::Chosen;
          } else {
            redraw();
          }
        }
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (!*alive) break;
    }
    if (!*alive || state != State::Open) break;
    // Another window took the pointer (the user switched away): the menu closes.
    if (GetCapture() != menu) state = State::Cancelled;
    if (GetTickCount() - lastIdle >= kModalIdleMs) {
      lastIdle = GetTickCount();
      if (request.idle) request.idle();
      if (!*alive) break;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kModalIdleMs / 2, QS_ALLINPUT);
  }
  if (GetCapture() == menu) ReleaseCapture();
  DestroyWindow(menu);
  if (!*alive) return -1;
  modal_ = false;
  return state == State::Chosen ? chosen : -1;
}

// ---- the file dialog ----

bool Win32Window::runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) {
  chosen.clear();
  using Kind = FileDialogRequest::Kind;
  if (!hwnd_ || modal_ || request.kind == Kind::SelectDirectory) return false;
  const auto alive = life_.watch();

  // The filter: pairs of description and pattern, the default type first.
  const std::vector<FileType> types = typesDefaultFirst(request);
  std::wstring filter;
  for (const FileType& t : types) {
    filter += wide(t.description + " (*." + t.extension + ")");
    filter.push_back(L'\0');
    filter += wide("*." + t.extension);
    filter.push_back(L'\0');
  }
  filter += L"All files (*.*)";
  filter.push_back(L'\0');
  filter += L"*.*";
  filter.push_back(L'\0');
  filter.push_back(L'\0');

  std::vector<wchar_t> file(32768, L'\0');
  if (request.kind == Kind::SaveFile) {
    const std::wstring name = wide(request.defaultSaveName);
    std::copy_n(name.begin(), std::min(name.size(), file.size() - 1), file.begin());
  }
  const std::wstring title = wide(request.title);
  const std::wstring folder = wide(request.initialDirectory);
  const std::wstring defaultExtension =
      request.defaultType >= 0 && request.defaultType < static_cast<int>(request.types.size())
          ? wide(request.types[static_cast<std::size_t>(request.defaultType)].extension)
          : std::wstring();

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetAncestor(hwnd_, GA_ROOT);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  // The preset system moves the current directory itself.
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (request.kind == Kind::OpenFile) ofn.Flags |= OFN_FILEMUSTEXIST;
  if (request.kind == Kind::SaveFile) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (request.allowMultiple && request.kind == Kind::OpenFile) ofn.Flags |= OFN_ALLOWMULTISELECT;

  // The dialog's own loop dispatches our timer: the editor's idle goes on.
  modal_ = true;
  modalIdle_ = request.idle;
  SetTimer(hwnd_, kDialogIdleTimer, kModalIdleMs, nullptr);
  const BOOL ok = request.kind == Kind::SaveFile ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  const DWORD failure = ok ? 0 : CommDlgExtendedError();
  if (!*alive) return false;
  KillTimer(hwnd_, kDialogIdleTimer);
  modalIdle_ = nullptr;
  modal_ = false;
  if (!ok) return failure == 0;  // 0: the user cancelled
  // One path, or a folder followed by names, each ended by a zero.
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < file.size() && file[i];) {
    std::size_t end = i;
    while (end < file.size() && file[end]) ++end;
    parts.push_back(narrow(file.data() + i, end - i));
    i = end + 1;
  }
  if (parts.size() == 1) {
    chosen = parts;
  } else if (parts.size() > 1) {
    std::string directory = parts[0];
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    for (std::size_t i = 1; i < parts.size(); ++i) chosen.push_back(directory + parts[i]);
  }
  return true;
}

// ---- the back end ----

class Win32Backend : public Backend {
 public:
  const char* name() const override { return "win32"; }
  std::unique_ptr<IPlatformWindow> createWindow(void* parent, const CRect& rect,
                                                IPlatformWindowClient& client) override {
    HWND parentWindow = static_cast<HWND>(parent);
    if (!parentWindow || !IsWindow(parentWindow)) return nullptr;
    auto window = std::make_unique<Win32Window>(parentWindow, rect, client);
    if (!window->created()) return nullptr;
    return window;
  }
};

}  // namespace

Backend& defaultBackend() {
  static Win32Backend backend;
  return backend;
}

}  // namespace jyxui
