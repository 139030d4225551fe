// Builds without a window system: the editor command reports that it cannot
// open a window.
#include "tools/vsthost/host_window.h"

namespace vsthost {

std::unique_ptr<HostWindow> HostWindow::create(const std::string&, int, int, std::string& error) {
  error = "this build has no window system";
  return nullptr;
}

}  // namespace vsthost
