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

}  // namespace jyxui
