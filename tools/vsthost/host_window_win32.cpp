#include <windows.h>

#include <string>

#include "platform/text.h"
#include "tools/vsthost/host_window.h"

namespace vsthost {
namespace {

constexpr wchar_t kClassName[] = L"JyxVstHostWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

class Win32HostWindow : public HostWindow {
 public:
  explicit Win32HostWindow(HWND hwnd) : hwnd_(hwnd) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Win32HostWindow() override {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }

  void* parentHandle() const override { return hwnd_; }
  std::string id() const override { return std::to_string(reinterpret_cast<std::uintptr_t>(hwnd_)); }

  void resize(int width, int height) override {
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, kStyle, FALSE);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  }

  void screenOrigin(int& x, int& y) const override {
    POINT p{0, 0};
    ClientToScreen(hwnd_, &p);
    x = p.x;
    y = p.y;
  }

  bool processEvents() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) closed_ = true;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return !closed_;
  }

  void waitEvents(int ms) override {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms), QS_ALLINPUT);
  }

  bool capture(Image& image, std::string& error) override {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) {
      error = "the window has no area";
      return false;
    }
    HDC windowDC = GetDC(hwnd_);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memoryDC, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib && bits) {
      HGDIOBJ old = SelectObject(memoryDC, dib);
      ok = BitBlt(memoryDC, 0, 0, w, h, windowDC, 0, 0, SRCCOPY | CAPTUREBLT) != 0;
      GdiFlush();
      if (ok) {
        image.width = w;
        image.height = h;
        image.rgba.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
        const auto* src = static_cast<const std::uint8_t*>(bits);
        for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
          image.rgba[i] = src[i + 2];
          image.rgba[i + 1] = src[i + 1];
          image.rgba[i + 2] = src[i];
          image.rgba[i + 3] = 255;
        }
      }
      SelectObject(memoryDC, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(memoryDC);
    ReleaseDC(hwnd_, windowDC);
    if (!ok) error = "BitBlt failed";
    return ok;
  }

  void markClosed() { closed_ = true; }

 private:
  HWND hwnd_;
  bool closed_ = false;
};

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // The session closes the editor first, then the window.
    if (auto* self = reinterpret_cast<Win32HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      self->markClosed();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<HostWindow> HostWindow::create(const std::string& title, int width, int height,
                                               std::string& error) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    error = "cannot register the window class";
    return nullptr;
  }
  const std::u16string wideTitle = platform::utf8ToUtf16(title);
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, kStyle, FALSE);
  HWND hwnd = CreateWindowExW(0, kClassName, reinterpret_cast<const wchar_t*>(wideTitle.c_str()), kStyle, 0,
                              0, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  if (!hwnd) {
    error = "cannot create the window";
    return nullptr;
  }
  auto window = std::make_unique<Win32HostWindow>(hwnd);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  window->processEvents();
  return window;
}

}  // namespace vsthost
