// The X11 back end: how X input becomes the layer's (no display needed), the
// dialog programs it runs, and, where a display is there (the end-to-end
// script runs this program under Xvfb), real child windows: two editors at
// once, a host that destroys its window first, a parent that is no window,
// timers, painting, input, the pointer outside the window, and where the
// keyboard is before, during and after typed entry.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/current_directory.h"
#include "tests/ui/ui_test_support.h"

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "ui/backend/x11_common.h"
#include "ui/backend/x11_file_dialog.h"
#include "ui/backend/x11_input.h"

namespace {

using namespace uitest;
namespace x11 = jyxui::x11;

// ---------------------------------------------------------------- input

TEST(X11Input, PointerButtonsModifiersAndWheel) {
  struct Case {
    unsigned button;
    CButtonState bit;
    float notches;
  };
  for (const Case& c : {Case{Button1, kLButton, 0}, Case{Button2, kMButton, 0}, Case{Button3, kRButton, 0},
                        Case{Button4, 0, 1.0f}, Case{Button5, 0, -1.0f}, Case{6, 0, 0}, Case{8, 0, 0}}) {
    EXPECT_EQ(x11::buttonBit(c.button), c.bit) << "button " << c.button;
    EXPECT_EQ(x11::wheelNotches(c.button), c.notches) << "button " << c.button;
  }
  EXPECT_EQ(x11::stateBits(ShiftMask | ControlMask | Mod1Mask | Button1Mask, false),
            kShift | kControl | kAlt);
  EXPECT_EQ(x11::stateBits(Button1Mask | Button3Mask | LockMask, true), kLButton | kRButton)
      << "Caps Lock is no modifier of ours";
  EXPECT_EQ(x11::stateBits(Mod4Mask, true), 0);
}

TEST(X11Input, KeySymbolsBecomeKeyCodes) {
  struct Case {
    unsigned long keysym;
    unsigned state;
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
  };
  const Case cases[] = {
      {XK_a, 0, 'a', 0, 0},
      {XK_A, ShiftMask, 'A', 0, MODIFIER_SHIFT},
      {XK_a, ControlMask, 'a', 0, MODIFIER_CONTROL},
      {XK_a, Mod1Mask, 'a', 0, MODIFIER_ALTERNATE},
      {XK_udiaeresis, 0, 0xFC, 0, 0},
      {XK_EuroSign, 0, 0x20AC, 0, 0},
      {0x1000416, 0, 0x416, 0, 0},  // a Cyrillic letter from a Unicode key symbol
      {XK_space, 0, ' ', VKEY_SPACE, 0},
      {XK_Return, 0, 0, VKEY_RETURN, 0},
      {XK_KP_Enter, 0, 0, VKEY_ENTER, 0},
      {XK_BackSpace, 0, 0, VKEY_BACK, 0},
      {XK_Delete, 0, 0, VKEY_DELETE, 0},
      {XK_Escape, 0, 0, VKEY_ESCAPE, 0},
      {XK_ISO_Left_Tab, ShiftMask, 0, VKEY_TAB, MODIFIER_SHIFT},
      {XK_Left, 0, 0, VKEY_LEFT, 0},
      {XK_End, 0, 0, VKEY_END, 0},
      {XK_KP_5, 0, '5', VKEY_NUMPAD5, 0},
      {XK_KP_Decimal, 0, '.', VKEY_DECIMAL, 0},
      {XK_F5, 0, 0, VKEY_F5, 0},
      {XK_Shift_L, ShiftMask, 0, VKEY_SHIFT, MODIFIER_SHIFT},
      {XK_Multi_key, 0, 0, 0, 0},  // nothing the layer uses
  };
  for (const Case& c : cases) {
    const VstKeyCode k = x11::keyCode(c.keysym, c.state);
    EXPECT_EQ(k.character, c.character) << std::hex << c.keysym;
    EXPECT_EQ(k.virt, c.virt) << std::hex << c.keysym;
    EXPECT_EQ(k.modifier, c.modifier) << std::hex << c.keysym;
  }
}

// ---------------------------------------------------------------- dialog programs

FileDialogRequest saveRequest() {
  FileDialogRequest r;
  r.kind = FileDialogRequest::Kind::SaveFile;
  r.title = "Save preset";
  r.initialDirectory = "/home/user/presets";
  r.defaultSaveName = "Warm Bus";
  r.types = {{"JYX Bank", "jyb"}, {"JYX Preset", "jyx"}};
  r.defaultType = 1;
  return r;
}

TEST(X11DialogProgram, CommandLinesCarryTitleFolderNameAndFilters) {
  const FileDialogRequest save = saveRequest();
  EXPECT_EQ(x11::dialogProgramArguments({x11::DialogProgram::kZenity, "/usr/bin/zenity"}, save),
            (std::vector<std::string>{
                "/usr/bin/zenity", "--file-selection", "--title=Save preset", "--save", "--confirm-overwrite",
                "--filename=/home/user/presets/Warm Bus", "--file-filter=JYX Preset (*.jyx) | *.jyx",
                "--file-filter=JYX Bank (*.jyb) | *.jyb", "--file-filter=All files | *"}))
      << "the default type is offered first";
  EXPECT_EQ(x11::dialogProgramArguments({x11::DialogProgram::kKDialog, "/usr/bin/kdialog"}, save),
            (std::vector<std::string>{"/usr/bin/kdialog", "--title", "Save preset", "--getsavefilename",
                                      "/home/user/presets/Warm Bus",
                                      "*.jyx|JYX Preset (*.jyx)\n*.jyb|JYX Bank (*.jyb)"}));

  FileDialogRequest open;
  open.title = "Load bank (endian-reversed)";
  open.initialDirectory = "/data/";
  open.types = {{"JYX Bank", "jyb"}};
  open.allowMultiple = true;
  EXPECT_EQ(
      x11::dialogProgramArguments({x11::DialogProgram::kZenity, "zenity"}, open),
      (std::vector<std::string>{"zenity", "--file-selection", "--title=Load bank (endian-reversed)",
                                "--multiple", "--separator=\n", "--filename=/data/",
                                "--file-filter=JYX Bank (*.jyb) | *.jyb", "--file-filter=All files | *"}))
      << "an open dialog starts in the folder, with no name";
  EXPECT_EQ(
      x11::dialogProgramArguments({x11::DialogProgram::kKDialog, "kdialog"}, open),
      (std::vector<std::string>{"kdialog", "--title", "Load bank (endian-reversed)", "--getopenfilename",
                                "/data/", "*.jyb|JYX Bank (*.jyb)", "--multiple", "--separate-output"}));
}

TEST(X11DialogProgram, InitialPathIsTheFolderAndForSavingTheName) {
  FileDialogRequest r = saveRequest();
  r.initialDirectory = "/a/b";
  EXPECT_EQ(x11::initialDialogPath(r), "/a/b/Warm Bus");
  r.kind = FileDialogRequest::Kind::OpenFile;
  EXPECT_EQ(x11::initialDialogPath(r), "/a/b/");
  r.initialDirectory.clear();
  EXPECT_EQ(x11::initialDialogPath(r), platform::currentDirectory()) << "no folder: the current one";
}

// A folder of fake dialog programs, removed at the end.
class FakePrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("jyx-dialog-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string program(const std::string& name, const std::string& body) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path.string();
  }
  std::filesystem::path dir_;
};

TEST_F(FakePrograms, TheChosenPathsAreReadWhileTheEditorIdles) {
  struct Case {
    const char* body;
    bool ran;
    std::vector<std::string> chosen;
  };
  const Case cases[] = {
      {"sleep 0.2; printf '/home/u/Warm Bus.jyx\\n'", true, {"/home/u/Warm Bus.jyx"}},
      {"printf '/a/one.jyx\\n/a/two.jyx\\n'", true, {"/a/one.jyx", "/a/two.jyx"}},
      {"printf '/a/no-newline.jyx'", true, {"/a/no-newline.jyx"}},
      {"exit 1", true, {}},                           // cancelled
      {"printf '/a/half.jyx\\n'; exit 5", true, {}},  // failed: nothing is taken
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = program("dialog" + std::to_string(n++), c.body);
    int idles = 0;
    std::vector<std::string> chosen{"stale"};
    EXPECT_EQ(x11::runDialogProgram(
                  {path}, [&] { return ++idles, true; }, chosen),
              c.ran)
        << c.body;
    EXPECT_EQ(chosen, c.chosen) << c.body;
    if (std::string(c.body).rfind("sleep", 0) == 0) {
      EXPECT_GE(idles, 3) << "the editor idled while waiting";
    }
  }
}

TEST_F(FakePrograms, AnEditorThatGoesAwayEndsTheProgram) {
  const std::string path = program("slow", "sleep 30; echo /never");
  std::vector<std::string> chosen;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(x11::runDialogProgram(
      {path}, [] { return false; }, chosen));
  EXPECT_TRUE(chosen.empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(x11::runDialogProgram(
      {(dir_ / "missing").string()}, [] { return true; }, chosen))
      << "a program that does not start";
}

TEST_F(FakePrograms, TheProgramIsFoundInThePathOrChosenByTheEnvironment) {
  const std::string zenity = program("zenity", "exit 1");
  const std::string kdialog = program("kdialog", "exit 1");
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  const char* oldChoice = std::getenv("JYX_FILE_DIALOG");
  const std::string savedChoice = oldChoice ? oldChoice : "";
  setenv("PATH", dir_.c_str(), 1);
  struct Case {
    const char* choice;
    x11::DialogProgram::Kind kind;
    std::string path;
  };
  for (const Case& c : {Case{nullptr, x11::DialogProgram::kZenity, zenity},
                        Case{"kdialog", x11::DialogProgram::kKDialog, kdialog},
                        Case{"builtin", x11::DialogProgram::kNoProgram, ""}}) {
    if (c.choice)
      setenv("JYX_FILE_DIALOG", c.choice, 1);
    else
      unsetenv("JYX_FILE_DIALOG");
    const x11::DialogProgram found = x11::findDialogProgram();
    EXPECT_EQ(found.kind, c.kind) << (c.choice ? c.choice : "default");
    EXPECT_EQ(found.path, c.path);
  }
  setenv("PATH", oldPath.c_str(), 1);
  if (oldChoice)
    setenv("JYX_FILE_DIALOG", savedChoice.c_str(), 1);
  else
    unsetenv("JYX_FILE_DIALOG");
}

// ---------------------------------------------------------------- real windows

// The host's side: its own connection and top-level windows, events sent to
// our windows as a window system would.
class X11WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = x11::openDisplay();
    if (!host_) GTEST_SKIP() << "no X display (scripts/ui-e2e.sh runs this under Xvfb)";
    objectsBefore_ = liveObjectCount();
    windowsBefore_ = livePlatformWindowCount();
  }
  void TearDown() override {
    if (!host_) return;
    for (Window w : parents_) XDestroyWindow(host_, w);
    XCloseDisplay(host_);
    EXPECT_EQ(liveObjectCount(), objectsBefore_) << "closing left objects behind";
    EXPECT_EQ(livePlatformWindowCount(), windowsBefore_);
  }
  Window makeParent(int x = 0) {
    const Window w = XCreateSimpleWindow(host_, DefaultRootWindow(host_), x, 0, 200, 150, 0, 0, 0);
    XMapWindow(host_, w);
    XSync(host_, False);
    parents_.push_back(w);
    return w;
  }
  static Window windowOf(CFrame* frame) {
    return static_cast<Window>(reinterpret_cast<std::uintptr_t>(frame->getPlatformWindow()->nativeHandle()));
  }
  void sendButton(Window to, unsigned button, int x, int y, unsigned state = 0) {
    XEvent e{};
    e.xbutton.type = ButtonPress;
    e.xbutton.window = to;
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = button;
    e.xbutton.state = state;
    e.xbutton.same_screen = True;
    XSendEvent(host_, to, False, ButtonPressMask, &e);
    XSync(host_, False);
  }
  // Pumps until the condition holds, at most a few seconds.
  template <typename Condition>
  bool pumpUntil(std::initializer_list<CFrame*> frames, Condition done) {
    for (int i = 0; i < 300; ++i) {
      for (CFrame* f : frames) f->idle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  Display* host_ = nullptr;
  std::vector<Window> parents_;
  long objectsBefore_ = 0;
  long windowsBefore_ = 0;
};

TEST_F(X11WindowTest, TwoEditorsAtOnceEachGetTheirOwnEvents) {
  const Window parentA = makeParent(0), parentB = makeParent(300);
  LogEditor editorA, editorB;
  CFrame* a = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parentA), &editorA);
  CFrame* b = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parentB), &editorB);
  ASSERT_EQ(OffscreenWindow::of(a), nullptr) << "a real window";
  ASSERT_NE(windowOf(a), windowOf(b));
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  ASSERT_TRUE(XQueryTree(host_, windowOf(a), &root, &parent, &children, &count));
  if (children) XFree(children);
  EXPECT_EQ(parent, parentA) << "a child of the host's window";

  auto* viewA = new LogMouseView(CRect(0, 0, 200, 150));
  auto* viewB = new LogMouseView(CRect(0, 0, 200, 150));
  a->addView(viewA);
  b->addView(viewB);
  sendButton(windowOf(a), Button1, 20, 30, ControlMask);
  sendButton(windowOf(b), Button4, 5, 5);
  sendButton(windowOf(b), Button3, 40, 50);
  ASSERT_TRUE(pumpUntil({a, b}, [&] { return viewA->downs.size() == 1 && viewB->downs.size() == 1; }));
  EXPECT_EQ(viewA->downs[0].first, CPoint(20, 30));
  EXPECT_EQ(viewA->downs[0].second, kLButton | kControl);
  EXPECT_EQ(viewB->downs[0].second, kRButton);
  EXPECT_EQ(viewB->wheel, 1.0f);
  EXPECT_EQ(viewA->wheel, 0.0f);
  a->close();
  b->close();
}

TEST_F(X11WindowTest, ThePictureReachesTheWindow) {
  const Window parent = makeParent();
  LogEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
  frame->setBackgroundColor(CColor{200, 40, 90, 255});
  frame->invalid();
  unsigned long pixel = 0;
  ASSERT_TRUE(pumpUntil({frame},
                        [&] {
                          XImage* image =
                              XGetImage(host_, windowOf(frame), 100, 70, 1, 1, AllPlanes, ZPixmap);
                          if (!image) return false;
                          pixel = XGetPixel(image, 0, 0);
                          XDestroyImage(image);
                          return pixel == 0xC8285A;
                        }))
      << std::hex << pixel;
  frame->close();
}

// A paint pass sends the window the parts it painted and nothing else: a
// mark drawn on the window elsewhere stays until that area changes.
TEST_F(X11WindowTest, OnlyThePartsPaintedReachTheWindow) {
  const Window parent = makeParent();
  LogEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
  auto shown = [&](int x, int y) {
    XImage* image = XGetImage(host_, windowOf(frame), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
  };
  frame->setBackgroundColor(CColor{200, 40, 90, 255});
  frame->invalid();
  ASSERT_TRUE(pumpUntil({frame}, [&] { return shown(100, 70) == 0xC8285A; }));
  GC gc = XCreateGC(host_, windowOf(frame), 0, nullptr);
  XSetForeground(host_, gc, 0x000000);
  XFillRectangle(host_, windowOf(frame), gc, 80, 102, 10, 6);  // between the parts to come
  XFreeGC(host_, gc);
  XSync(host_, False);
  frame->setBackgroundColor(CColor{20, 140, 60, 255});
  frame->invalidRect(CRect(150, 100, 160, 110));
  frame->invalidRect(CRect(30, 100, 40, 110));
  ASSERT_TRUE(pumpUntil({frame}, [&] { return shown(155, 105) == 0x148C3C && shown(35, 105) == 0x148C3C; }));
  EXPECT_EQ(shown(85, 105), 0x000000u) << "the mark was not painted over";
  EXPECT_EQ(shown(120, 105), 0xC8285Au) << "between the parts";
  frame->close();
}

TEST_F(X11WindowTest, AHostThatDestroysItsWindowFirstDoesNotEndTheProcess) {
  const Window parent = makeParent();
  LogEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
  frame->idle();
  XDestroyWindow(host_, parent);
  parents_.clear();
  XSync(host_, False);
  // Before the editor hears of it: a picture, the focus and the window's end
  // all go to a window that is gone.
  frame->invalid();
  frame->updateScreen();
  frame->getPlatformWindow()->takeKeyboardFocus();
  frame->close();
  SUCCEED();
}

TEST_F(X11WindowTest, AParentThatIsNoWindowLeavesAnEditorOffscreen) {
  LogEditor editor;
  CFrame* frame =
      new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(std::uintptr_t{0x7FFFFF0}), &editor);
  EXPECT_NE(OffscreenWindow::of(frame), nullptr);
  frame->close();
}

void countCall(void* user, TimerId) { ++*static_cast<int*>(user); }

TEST_F(X11WindowTest, TimersRunFromThePumpAndDieWithTheWindow) {
  const Window parent = makeParent();
  LogEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
  IPlatformWindow* window = frame->getPlatformWindow();
  int calls = 0, killedCalls = 0;
  const TimerId id = window->setTimer(0, 10, countCall, &calls);
  const TimerId killed = window->setTimer(0, 10, countCall, &killedCalls);
  ASSERT_NE(id, 0u);
  ASSERT_NE(id, killed);
  EXPECT_TRUE(window->killTimer(killed));
  EXPECT_FALSE(window->killTimer(killed)) << "killed once";
  ASSERT_TRUE(pumpUntil({frame}, [&] { return calls >= 2; }));
  EXPECT_EQ(killedCalls, 0);
  frame->close();
  SUCCEED() << "no call can reach the closed editor: the timers went with the window";
}

TEST_F(X11WindowTest, ThePointerIsFoundAlsoOutsideTheWindow) {
  const Window parent = makeParent();
  LogEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
  frame->idle();
  XWarpPointer(host_, None, DefaultRootWindow(host_), 0, 0, 0, 0, 260, 170);
  XSync(host_, False);
  CPoint where;
  EXPECT_TRUE(frame->getCurrentMouseLocation(where));
  EXPECT_EQ(where, CPoint(260, 170)) << "the window lies at the screen's origin";
  frame->close();
}

TEST_F(X11WindowTest, KeysReachTheTextFieldThatHasTheFocus) {
  const Window parent = makeParent();
  LogEditor editor;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
  auto* field = new CTextEdit(CRect(10, 10, 150, 30), nullptr, 1, "");
  frame->addView(field);
  frame->setFocusView(field);
  for (KeySym sym : {XK_o, XK_k, XK_Return}) {
    XEvent e{};
    e.xkey.type = KeyPress;
    e.xkey.window = windowOf(frame);
    e.xkey.keycode = XKeysymToKeycode(host_, sym);
    e.xkey.same_screen = True;
    XSendEvent(host_, windowOf(frame), False, KeyPressMask, &e);
  }
  XSync(host_, False);
  ASSERT_TRUE(pumpUntil({frame}, [&] { return !field->isEditing(); }));
  EXPECT_STREQ(field->getText(), "ok");
  frame->close();
}

// ---------------------------------------------------------------- the keyboard

// A host's editor window with a window of its toolkit that holds the
// keyboard (as a toolkit keeps one in every top-level window), our editor in
// it with a text field and a plain view.
class X11KeyboardTest : public X11WindowTest {
 protected:
  void SetUp() override {
    X11WindowTest::SetUp();
    if (host_) openEditor();
  }
  void TearDown() override {
    if (host_) closeEditor();
    X11WindowTest::TearDown();
  }
  void openEditor() {
    parent = makeParent();
    hostFocus = makeParent(250);
    other = makeParent(500);
    frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(parent), &editor);
    view = new LogMouseView(CRect(0, 50, 200, 150));
    field = new CTextEdit(CRect(10, 10, 150, 30), nullptr, 1, "ok");
    frame->addView(view);
    frame->addView(field);
    ours = windowOf(frame);
    frame->idle();
    focusOn(hostFocus);
  }
  void closeEditor() {
    if (frame) frame->close();
    frame = nullptr;
    for (Window w : parents_) XDestroyWindow(host_, w);
    parents_.clear();
    XSync(host_, False);
  }
  void destroyHostFocus() {
    XDestroyWindow(host_, hostFocus);
    XSync(host_, False);
    parents_.erase(std::find(parents_.begin(), parents_.end(), hostFocus));
  }
  Window focused() {
    Window w = None;
    int revert = 0;
    XGetInputFocus(host_, &w, &revert);
    return w;
  }
  void focusOn(Window w) {
    XSetInputFocus(host_, w, RevertToParent, CurrentTime);
    XSync(host_, False);
  }
  // Whether any client asks for the keys typed into our window.
  bool keysAskedFor() {
    XWindowAttributes a{};
    XGetWindowAttributes(host_, ours, &a);
    return (a.all_event_masks & (KeyPressMask | KeyReleaseMask)) != 0;
  }
  void sendKey(KeySym sym) {
    XEvent e{};
    e.xkey.type = KeyPress;
    e.xkey.window = ours;
    e.xkey.keycode = XKeysymToKeycode(host_, sym);
    e.xkey.same_screen = True;
    XSendEvent(host_, ours, False, KeyPressMask, &e);
    XSync(host_, False);
  }
  bool pump(const std::function<bool()>& done) { return pumpUntil({frame}, done); }
  void startEntry() {
    sendButton(ours, Button1, 20, 20);
    ASSERT_TRUE(pump([&] { return field->isEditing(); }));
    ASSERT_EQ(focused(), ours) << "the open field holds the keyboard";
    ASSERT_TRUE(keysAskedFor());
  }

  LogEditor editor;
  Window parent = 0, hostFocus = 0, other = 0, ours = 0;
  CFrame* frame = nullptr;
  LogMouseView* view = nullptr;
  CTextEdit* field = nullptr;
};

TEST_F(X11KeyboardTest, OutsideTypedEntryTheEditorLeavesTheKeysToTheHost) {
  EXPECT_FALSE(keysAskedFor()) << "keys typed over the editor reach the host's windows as its own";
  sendButton(ours, Button1, 20, 100);
  ASSERT_TRUE(pump([&] { return view->downs.size() == 1; }));
  EXPECT_EQ(focused(), hostFocus) << "a click takes no keyboard";
  EXPECT_FALSE(keysAskedFor());
}

TEST_F(X11KeyboardTest, WhenTypedEntryEndsTheKeyboardGoesBackToTheWindowThatHadIt) {
  struct Case {
    const char* how;
    std::function<void()> end;
    std::function<Window()> focusAfter;
    bool pointerRootBefore = false;  // no window had the keyboard: it followed the pointer
  };
  const auto hostFocusWindow = [this] { return hostFocus; };
  const Case cases[] = {
      {"Return", [this] { sendKey(XK_Return); }, hostFocusWindow},
      {"Escape", [this] { sendKey(XK_Escape); }, hostFocusWindow},
      {"a click elsewhere", [this] { sendButton(ours, Button1, 20, 100); }, hostFocusWindow},
      {"the window closing",
       [this] {
         frame->close();
         frame = nullptr;
       },
       hostFocusWindow},
      {"another window taking the keyboard, which keeps it", [this] { focusOn(other); }, [this] { return other; }},
      {"Return, the window that had the keyboard gone: the host's window",
       [this] {
         destroyHostFocus();
         sendKey(XK_Return);
       },
       [this] { return parent; }},
      {"Return, the keyboard following the pointer before", [this] { sendKey(XK_Return); },
       [] { return static_cast<Window>(PointerRoot); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    closeEditor();
    openEditor();
    if (c.pointerRootBefore) focusOn(PointerRoot);
    startEntry();
    c.end();
    if (frame) {
      ASSERT_TRUE(pump([&] { return !field->isEditing(); }));
      EXPECT_FALSE(keysAskedFor()) << "the closed field asks for no keys";
    }
    EXPECT_EQ(focused(), c.focusAfter());
  }
}

}  // namespace
