// The test host's own top-level window, in which it opens a plug-in's editor:
// X11 on Linux, Win32 on Windows. It can photograph itself (the editor's
// picture included) for tests and people to look at.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vsthost {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // rows top first, 4 bytes a pixel
};

// A PNG, or a binary PPM (the colours without alpha) when the path ends in
// ".ppm": scripts read those without a PNG decoder.
bool writeImage(const std::string& path, const Image& image);

class HostWindow {
 public:
  // Null (and error set) when there is no window system to open one on.
  static std::unique_ptr<HostWindow> create(const std::string& title, int width, int height,
                                            std::string& error);
  virtual ~HostWindow() = default;

  // What effEditOpen gets: the X11 Window id or the HWND.
  virtual void* parentHandle() const = 0;
  // The window's id as tools name it (for xdotool: a decimal X11 id).
  virtual std::string id() const = 0;
  virtual void resize(int width, int height) = 0;
  // Where the window's client area (the editor's origin) lies on the screen.
  virtual void screenOrigin(int& x, int& y) const = 0;
  // Handles the window's own events; false once the user closed it.
  virtual bool processEvents() = 0;
  // Waits for events of the window system, at most ms.
  virtual void waitEvents(int ms) = 0;
  // The window's client area as it is on the screen, editor included.
  virtual bool capture(Image& image, std::string& error) = 0;
};

}  // namespace vsthost
