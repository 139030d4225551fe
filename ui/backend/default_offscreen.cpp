// The build's platform back end while no window system is linked: frames with
// a parent window live offscreen too.
#include "ui/backend/platform_window.h"

namespace jyxui {

Backend& defaultBackend() { return offscreenBackend(); }

}  // namespace jyxui
