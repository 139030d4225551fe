// The file dialog of the X11 back end: an installed dialog program (zenity or
// kdialog) when there is one, else a small dialog window of our own with a
// path field. Either way the editor's idle keeps running while the user
// chooses: we wait on the child process, or run our own event loop.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/backend/platform_window.h"

namespace jyxui::x11 {

// What a modal loop of ours needs from the editor window that opened it.
struct ModalOwner {
  Display* display = nullptr;
  Window window = 0;  // the editor's window
  // Handles an event of the connection that is not the modal window's (the
  // editor window's exposes). False when the editor window is gone.
  std::function<bool(XEvent&)> passOn;
  // Runs the editor's idle. False when the editor window is gone: the loop
  // then ends at once without touching the connection again.
  std::function<bool()> idle;
};

// ---- dialog programs ----

struct DialogProgram {
  enum Kind { kNoProgram, kZenity, kKDialog } kind = kNoProgram;
  std::string path;
};

// The dialog program to use: JYX_FILE_DIALOG ("zenity", "kdialog" or
// "builtin") chooses; without it zenity, then kdialog, from PATH.
DialogProgram findDialogProgram();
// The program's command line for the request (argv[0] is the program).
std::vector<std::string> dialogProgramArguments(const DialogProgram& program,
                                                const FileDialogRequest& request);
// Runs a dialog program and waits for it, calling idle about every 20 ms.
// False when it could not be started or idle answered false (the program is
// then ended); otherwise chosen holds the paths it printed, one per line,
// empty when the user cancelled.
bool runDialogProgram(const std::vector<std::string>& arguments, const std::function<bool()>& idle,
                      std::vector<std::string>& chosen);

// ---- our own dialog ----

// False when the editor window went away while it was open.
bool runBuiltinFileDialog(ModalOwner& owner, const FileDialogRequest& request,
                          std::vector<std::string>& chosen);

// The path the builtin dialog starts with: the initial folder, plus the
// default name when saving.
std::string initialDialogPath(const FileDialogRequest& request);

}  // namespace jyxui::x11
