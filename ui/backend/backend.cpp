#include <algorithm>
#include <atomic>

#include "ui/backend/platform_window.h"

namespace jyxui {
namespace {
std::atomic<long> gLiveWindows{0};
Backend* gCurrent = nullptr;
}  // namespace

IPlatformWindow::IPlatformWindow() { ++gLiveWindows; }
IPlatformWindow::~IPlatformWindow() { --gLiveWindows; }

long livePlatformWindowCount() { return gLiveWindows.load(); }

Backend& currentBackend() { return gCurrent ? *gCurrent : defaultBackend(); }

void setCurrentBackend(Backend* backend) { gCurrent = backend; }

std::vector<FileType> typesDefaultFirst(const FileDialogRequest& request) {
  std::vector<FileType> types = request.types;
  const int chosen = request.defaultType;
  if (chosen > 0 && chosen < static_cast<int>(types.size()))
    std::rotate(types.begin(), types.begin() + chosen, types.begin() + chosen + 1);
  return types;
}

}  // namespace jyxui
