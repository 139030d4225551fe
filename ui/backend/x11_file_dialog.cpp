#include "ui/backend/x11_file_dialog.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/current_directory.h"
#include "ui/backend/x11_common.h"
#include "ui/backend/x11_input.h"
#include "ui/draw_context.h"
#include "ui/font.h"
#include "ui/text_engine.h"
#include "ui/utf8.h"

extern char** environ;

namespace jyxui::x11 {
namespace {

constexpr int kIdleEveryMs = 20;

std::string findInPath(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    std::string candidate = end > start ? folders.substr(start, end - start) : std::string(1, '.');
    candidate.append(1, '/').append(name);
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

std::string initialDialogPath(const FileDialogRequest& request) {
  std::string path =
      request.initialDirectory.empty() ? platform::currentDirectory() : request.initialDirectory;
  if (!path.empty() && path.back() != '/') path += '/';
  if (request.kind == FileDialogRequest::Kind::SaveFile) path += request.defaultSaveName;
  return path;
}

DialogProgram findDialogProgram() {
  const char* chosen = std::getenv("JYX_FILE_DIALOG");
  const std::string want = chosen ? chosen : "";
  if (want == "builtin") return {};
  DialogProgram program;
  if (want.empty() || want == "zenity") {
    program.path = findInPath("zenity");
    if (!program.path.empty()) program.kind = DialogProgram::kZenity;
  }
  if (program.kind == DialogProgram::kNoProgram && (want.empty() || want == "kdialog")) {
    program.path = findInPath("kdialog");
    if (!program.path.empty()) program.kind = DialogProgram::kKDialog;
  }
  return program;
}

std::vector<std::string> dialogProgramArguments(const DialogProgram& program,
                                                const FileDialogRequest& request) {
  using Kind = FileDialogRequest::Kind;
  std::vector<std::string> args{program.path};
  const std::string start = initialDialogPath(request);
  const std::vector<FileType> types = typesDefaultFirst(request);
  if (program.kind == DialogProgram::kZenity) {
    args.emplace_back("--file-selection");
    if (!request.title.empty()) args.push_back("--title=" + request.title);
    if (request.kind == Kind::SaveFile) {
      args.emplace_back("--save");
      args.emplace_back("--confirm-overwrite");
    }
    if (request.kind == Kind::SelectDirectory) args.emplace_back("--directory");
    if (request.allowMultiple && request.kind == Kind::OpenFile) {
      args.emplace_back("--multiple");
      args.emplace_back("--separator=\n");
    }
    if (!start.empty()) args.push_back("--filename=" + start);
    if (request.kind != Kind::SelectDirectory && !types.empty()) {
      for (const FileType& t : types)
        args.push_back("--file-filter=" + t.description + " (*." + t.extension + ") | *." + t.extension);
      args.emplace_back("--file-filter=All files | *");
    }
  } else if (program.kind == DialogProgram::kKDialog) {
    if (!request.title.empty()) {
      args.emplace_back("--title");
      args.push_back(request.title);
    }
    args.emplace_back(request.kind == Kind::SaveFile          ? "--getsavefilename"
                      : request.kind == Kind::SelectDirectory ? "--getexistingdirectory"
                                                              : "--getopenfilename");
    args.push_back(start.empty() ? "." : start);
    if (request.kind != Kind::SelectDirectory && !types.empty()) {
      std::string filter;
      for (const FileType& t : types) {
        if (!filter.empty()) filter += '\n';
        filter += "*." + t.extension + "|" + t.description + " (*." + t.extension + ")";
      }
      args.push_back(filter);
    }
    if (request.allowMultiple && request.kind == Kind::OpenFile) {
      args.emplace_back("--multiple");
      args.emplace_back("--separate-output");
    }
  }
  return args;
}

bool runDialogProgram(const std::vector<std::string>& arguments, const std::function<bool()>& idle,
                      std::vector<std::string>& chosen) {
  chosen.clear();
  if (arguments.empty()) return false;
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, arguments[0].c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return false;
  }
  fcntl(out[0], F_SETFL, fcntl(out[0], F_GETFL) | O_NONBLOCK);

  std::string output;
  bool eof = false;
  bool reaped = false;
  int status = 1;
  std::uint64_t lastIdle = monotonicMs();
  // No thread of our own: the program is waited for between idle calls.
  while (!eof || !reaped) {
    if (!eof) {
      pollfd fd{out[0], POLLIN, 0};
      poll(&fd, 1, kIdleEveryMs / 2);
      char buffer[4096];
      for (;;) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n > 0) {
          output.append(buffer, static_cast<std::size_t>(n));
        } else {
          if (n == 0) eof = true;
          if (n < 0 && errno != EAGAIN && errno != EINTR) eof = true;
          break;
        }
      }
    } else {
      poll(nullptr, 0, kIdleEveryMs / 2);
    }
    if (!reaped) {
      int st = 0;
      const pid_t r = waitpid(pid, &st, WNOHANG);
      if (r == pid) {
        reaped = true;
        status = WIFEXITED(st) ? WEXITSTATUS(st) : 1;
      } else if (r < 0 && errno == ECHILD) {
        // The host reaped it for us: what it printed is the answer.
        reaped = true;
        status = 0;
      }
    }
    if (monotonicMs() - lastIdle >= kIdleEveryMs) {
      lastIdle = monotonicMs();
      if (!idle()) {
        kill(pid, SIGTERM);
        if (!reaped) waitpid(pid, nullptr, 0);
        close(out[0]);
        return false;
      }
    }
  }
  close(out[0]);
  if (status != 0) return true;  // cancelled
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) chosen.push_back(line);
    start = end + 1;
  }
  return true;
}

// ---- our own dialog ----

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 150;
const CColor kBack{236, 236, 232, 255};
const CColor kInk{24, 24, 24, 255};
const CColor kFieldBack{255, 255, 255, 255};
const CColor kFieldFrame{120, 120, 120, 255};
const CColor kButtonBack{214, 214, 208, 255};
const CColor kWarning{170, 30, 30, 255};
const CRect kFieldRect(12, 58, kWidth - 12, 82);
const CRect kCancelRect(kWidth - 196, 110, kWidth - 108, 136);
const CRect kAcceptRect(kWidth - 100, 110, kWidth - 12, 136);
constexpr double kFieldTextSize = 13;

class BuiltinDialog {
 public:
  explicit BuiltinDialog(const FileDialogRequest& request)
      : request_(request), text_(initialDialogPath(request)) {
    caret_ = text_.size();
  }

  PixelBuffer draw() const;
  enum class Outcome { Open, Accepted, Cancelled };
  Outcome key(const VstKeyCode& key);
  Outcome click(const CPoint& where);
  std::string chosenPath() const { return resolved(); }

 private:
  std::string resolved() const;
  Outcome accept();
  double textStart() const;

  FileDialogRequest request_;
  std::string text_;
  std::size_t caret_ = 0;
  std::string message_;
  std::string confirmedReplace_;
};

std::string BuiltinDialog::resolved() const {
  std::string path = text_;
  if (path.rfind("~/", 0) == 0) {
    const char* home = std::getenv("HOME");
    if (home) path = std::string(home) + path.substr(1);
  }
  if (!path.empty() && path.front() != '/') {
    std::string folder =
        request_.initialDirectory.empty() ? platform::currentDirectory() : request_.initialDirectory;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    path = folder + path;
  }
  return path;
}

BuiltinDialog::Outcome BuiltinDialog::accept() {
  using Kind = FileDialogRequest::Kind;
  const std::string path = resolved();
  if (text_.empty() || path.empty()) return Outcome::Open;
  if (request_.kind == Kind::SelectDirectory) {
    if (isDirectory(path)) return Outcome::Accepted;
    message_ = "This is no folder.";
    return Outcome::Open;
  }
  if (path.back() == '/' || isDirectory(path)) {
    message_ = "Please give a file name.";
    return Outcome::Open;
  }
  if (request_.kind == Kind::OpenFile) {
    if (isFile(path)) return Outcome::Accepted;
    message_ = "There is no such file.";
    return Outcome::Open;
  }
  // Saving over a file asks once more.
  std::string final = path;
  const std::size_t slash = final.rfind('/');
  if (final.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos &&
      request_.defaultType >= 0 && request_.defaultType < static_cast<int>(request_.types.size()))
    final += "." + request_.types[static_cast<std::size_t>(request_.defaultType)].extension;
  if (isFile(final) && confirmedReplace_ != final) {
    confirmedReplace_ = final;
    message_ = "The file exists. Save again to replace it.";
    return Outcome::Open;
  }
  return Outcome::Accepted;
}

BuiltinDialog::Outcome BuiltinDialog::key(const VstKeyCode& key) {
  message_.clear();
  switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER: return accept();
    case VKEY_ESCAPE: return Outcome::Cancelled;
    case VKEY_BACK:
      if (caret_ > 0) {
        const std::size_t from = utf8Previous(text_, caret_);
        text_.erase(from, caret_ - from);
        caret_ = from;
      }
      return Outcome::Open;
    case VKEY_DELETE:
      if (caret_ < text_.size()) text_.erase(caret_, utf8Next(text_, caret_) - caret_);
      return Outcome::Open;
    case VKEY_LEFT: caret_ = utf8Previous(text_, caret_); return Outcome::Open;
    case VKEY_RIGHT: caret_ = utf8Next(text_, caret_); return Outcome::Open;
    case VKEY_HOME: caret_ = 0; return Outcome::Open;
    case VKEY_END: caret_ = text_.size(); return Outcome::Open;
    default: break;
  }
  if (key.modifier & MODIFIER_CONTROL) {
    // Ctrl+U empties the field, as in a shell.
    if (key.character == 'u' || key.character == 'U') {
      text_.clear();
      caret_ = 0;
    }
    return Outcome::Open;
  }
  if (key.character >= 32 && key.character != 127 && key.character <= 0x10FFFF &&
      text_.size() < platform::kMaxPathBytes) {
    std::string encoded;
    appendUtf8(encoded, static_cast<char32_t>(key.character));
    text_.insert(caret_, encoded);
    caret_ += encoded.size();
  }
  return Outcome::Open;
}

BuiltinDialog::Outcome BuiltinDialog::click(const CPoint& where) {
  message_.clear();
  if (kAcceptRect.pointInside(where)) return accept();
  if (kCancelRect.pointInside(where)) return Outcome::Cancelled;
  if (kFieldRect.pointInside(where)) {
    // The caret goes to the character boundary nearest the click.
    const TextEngine& engine = TextEngine::instance();
    const double start = textStart();
    std::size_t best = 0;
    double bestDistance = std::abs(where.x - start);
    for (std::size_t i = 0; i < text_.size();) {
      i = utf8Next(text_, i);
      const double d = std::abs(where.x - (start + engine.width(text_.substr(0, i), kFieldTextSize)));
      if (d < bestDistance) bestDistance = d, best = i;
    }
    caret_ = best;
  }
  return Outcome::Open;
}

double BuiltinDialog::textStart() const {
  // A long path scrolls so that the caret stays in view.
  const TextEngine& engine = TextEngine::instance();
  const double room = kFieldRect.getWidth() - 12;
  const double caretX = engine.width(text_.substr(0, caret_), kFieldTextSize);
  return kFieldRect.left + 6 - std::max(0.0, caretX - room);
}

PixelBuffer BuiltinDialog::draw() const {
  PixelBuffer picture(kWidth, kHeight, kBack);
  CDrawContext context(picture);
  context.setFontColor(kInk);
  context.setFont(kNormalFont, 15);
  context.drawString(request_.title.empty() ? "Choose a file" : request_.title.c_str(),
                     CRect(12, 8, kWidth - 12, 30), kLeftText);
  context.setFont(kNormalFont, 12);
  std::string types;
  for (const FileType& t : typesDefaultFirst(request_)) {
    if (!types.empty()) types += ", ";
    types += t.description + " (*." + t.extension + ")";
  }
  if (!types.empty())
    context.drawString(("File type: " + types).c_str(), CRect(12, 32, kWidth - 12, 52), kLeftText);

  context.setFillColor(kFieldBack);
  context.drawRect(kFieldRect, kDrawFilled);
  context.setFrameColor(kFieldFrame);
  context.drawRect(kFieldRect, kDrawStroked);
  CRect inner = kFieldRect;
  inner.inset(2, 1);
  context.setClipRect(inner);
  context.setFont(kNormalFont, kFieldTextSize);
  const double start = textStart();
  context.drawString(text_.c_str(), CRect(start, kFieldRect.top, start + 100000, kFieldRect.bottom),
                     kLeftText);
  const double caretX =
      std::floor(start + TextEngine::instance().width(text_.substr(0, caret_), kFieldTextSize)) + 0.5;
  context.setFrameColor(kInk);
  context.drawLine(CPoint(caretX, kFieldRect.top + 4), CPoint(caretX, kFieldRect.bottom - 4));
  context.resetClipRect();

  if (!message_.empty()) {
    context.setFont(kNormalFont, 12);
    context.setFontColor(kWarning);
    context.drawString(message_.c_str(), CRect(12, 86, kWidth - 12, 104), kLeftText);
  }
  const char* acceptLabel = request_.kind == FileDialogRequest::Kind::SaveFile   ? "Save"
                            : request_.kind == FileDialogRequest::Kind::OpenFile ? "Open"
                                                                                 : "Choose";
  context.setFont(kNormalFont, 13);
  context.setFontColor(kInk);
  for (const auto& [rect, label] : {std::pair{kCancelRect, "Cancel"}, std::pair{kAcceptRect, acceptLabel}}) {
    context.setFillColor(kButtonBack);
    context.drawRect(rect, kDrawFilled);
    context.setFrameColor(kFieldFrame);
    context.drawRect(rect, kDrawStroked);
    context.drawString(label, rect, kCenterText);
  }
  return picture;
}

// The top-level window holding the editor's window, for the dialog to belong to.
Window topLevelOf(Display* display, Window window) {
  Window current = window;
  for (int depth = 0; depth < 64; ++depth) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, current, &root, &parent, &children, &count)) return window;
    if (children) XFree(children);
    if (parent == root || parent == 0) return current;
    current = parent;
  }
  return current;
}

}  // namespace

bool runBuiltinFileDialog(ModalOwner& owner, const FileDialogRequest& request,
                          std::vector<std::string>& chosen) {
  chosen.clear();
  Display* display = owner.display;
  ErrorTrap trap(display);
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  // Centred over the editor, kept on the screen.
  XWindowAttributes editor{};
  int x = 0, y = 0;
  Window child = 0;
  if (XGetWindowAttributes(display, owner.window, &editor))
    XTranslateCoordinates(display, owner.window, root, (editor.width - kWidth) / 2,
                          (editor.height - kHeight) / 2, &x, &y, &child);
  x = std::max(0, std::min(x, DisplayWidth(display, screen) - kWidth));
  y = std::max(0, std::min(y, DisplayHeight(display, screen) - kHeight));

  XSetWindowAttributes wa{};
  wa.event_mask = ExposureMask | ButtonPressMask | KeyPressMask | StructureNotifyMask;
  wa.background_pixmap = None;
  const Window dialog = XCreateWindow(display, root, x, y, kWidth, kHeight, 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWEventMask | CWBackPixmap, &wa);
  setWindowTitle(display, dialog, request.title.empty() ? "Choose a file" : request.title.c_str());
  XSetTransientForHint(display, dialog, topLevelOf(display, owner.window));
  const Atom windowType = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
  const Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display, dialog, windowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dialogType), 1);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, dialog, &deleteWindow, 1);
  XSizeHints hints{};
  hints.flags = PPosition | PMinSize | PMaxSize;
  hints.x = x;
  hints.y = y;
  hints.min_width = hints.max_width = kWidth;
  hints.min_height = hints.max_height = kHeight;
  XSetWMNormalHints(display, dialog, &hints);
  ImageWriter writer(display, DefaultVisual(display, screen), DefaultDepth(display, screen), kWidth, kHeight);
  GC gc = XCreateGC(display, dialog, 0, nullptr);
  XMapRaised(display, dialog);

  BuiltinDialog model(request);
  auto show = [&] {
    const PixelBuffer picture = model.draw();
    writer.put(dialog, gc, picture, picture.bounds());
  };
  BuiltinDialog::Outcome outcome = BuiltinDialog::Outcome::Open;
  bool ownerGone = false;
  std::uint64_t lastIdle = monotonicMs();
  while (outcome == BuiltinDialog::Outcome::Open && !ownerGone) {
    while (XPending(display) && outcome == BuiltinDialog::Outcome::Open) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.xany.window != dialog) {
        if (!owner.passOn(event)) {
          ownerGone = true;
          break;
        }
        continue;
      }
      switch (event.type) {
        case MapNotify: XSetInputFocus(display, dialog, RevertToParent, CurrentTime); break;
        case Expose:
          if (event.xexpose.count == 0) show();
          break;
        case ButtonPress:
          if (event.xbutton.button == Button1) {
            outcome = model.click(CPoint(event.xbutton.x, event.xbutton.y));
            show();
          }
          break;
        case KeyPress: {
          char text[16];
          KeySym keysym = NoSymbol;
          XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
          outcome = model.key(keyCode(keysym, event.xkey.state));
          show();
          break;
        }
        case ClientMessage:
          if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
            outcome = BuiltinDialog::Outcome::Cancelled;
          break;
        case DestroyNotify: outcome = BuiltinDialog::Outcome::Cancelled; break;
        default: break;
      }
    }
    if (ownerGone || outcome != BuiltinDialog::Outcome::Open) break;
    if (monotonicMs() - lastIdle >= kIdleEveryMs) {
      lastIdle = monotonicMs();
      if (!owner.idle()) {
        ownerGone = true;
        break;
      }
    }
    waitForEvents(display, kIdleEveryMs / 2);
  }
  if (ownerGone) {
    // The connection closed with the editor window, and the dialog with it.
    trap.forget();
    return false;
  }
  XFreeGC(display, gc);
  XDestroyWindow(display, dialog);
  if (outcome == BuiltinDialog::Outcome::Accepted) chosen.push_back(model.chosenPath());
  return true;
}

}  // namespace jyxui::x11
