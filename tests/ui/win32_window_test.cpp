// The Win32 back end with real windows: the child of the host's window and
// its class, two editors at once, timers killed by their own identifiers and
// gone with the window, painting, mouse, wheel and keys, and where the
// keyboard is before, during and after typed entry.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/ui/ui_test_support.h"

// After GoogleTest, whose headers its macros would disturb.
#include <windows.h>

namespace {

using namespace uitest;

// The host's side: top-level windows of its own class.
class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"JyxTestHost";
    RegisterClassExW(&wc);
    objectsBefore_ = liveObjectCount();
    windowsBefore_ = livePlatformWindowCount();
    // Under wine without an X display there are no windows to make.
    HWND probe = CreateWindowExW(0, L"JyxTestHost", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!probe) GTEST_SKIP() << "no window system (scripts/ui-e2e.sh runs this under Xvfb)";
    DestroyWindow(probe);
  }
  void TearDown() override {
    for (HWND w : parents_) DestroyWindow(w);
    EXPECT_EQ(liveObjectCount(), objectsBefore_) << "closing left objects behind";
    EXPECT_EQ(livePlatformWindowCount(), windowsBefore_);
  }
  HWND makeParent(bool visible = false) {
    HWND w = CreateWindowExW(0, L"JyxTestHost", L"host", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0,
                             0, 300, 250, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    parents_.push_back(w);
    return w;
  }
  CFrame* open(HWND parent, LogEditor& editor) { return new CFrame(CRect(0, 0, 200, 150), parent, &editor); }
  static HWND windowOf(CFrame* frame) {
    return static_cast<HWND>(frame->getPlatformWindow()->nativeHandle());
  }
  // The colour the frame's window shows at a point.
  static COLORREF shownAt(CFrame* frame, int x, int y) {
    const HWND w = windowOf(frame);
    HDC dc = GetDC(w);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return pixel;
  }
  // An editor window in a visible host window, all of it shown in the colour.
  CFrame* openShowing(LogEditor& editor, CColor color) {
    CFrame* frame = open(makeParent(true), editor);
    frame->setBackgroundColor(color);
    frame->invalid();
    frame->idle();
    EXPECT_TRUE(
        dispatchUntil([&] { return shownAt(frame, 100, 70) == RGB(color.red, color.green, color.blue); }));
    return frame;
  }
  // Dispatches the thread's messages until the condition holds, at most a few seconds.
  template <typename Condition>
  static bool dispatchUntil(Condition done, int rounds = 300) {
    for (int i = 0; i < rounds; ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  std::vector<HWND> parents_;
  long objectsBefore_ = 0;
  long windowsBefore_ = 0;
};

std::wstring classOf(HWND w) {
  wchar_t name[128] = {};
  GetClassNameW(w, name, 128);
  return name;
}

TEST_F(Win32WindowTest, EachEditorIsAChildOfItsHostWindowOfTheModulesClass) {
  LogEditor editorA, editorB;
  const HWND parentA = makeParent(), parentB = makeParent();
  CFrame* a = open(parentA, editorA);
  CFrame* b = open(parentB, editorB);
  ASSERT_EQ(OffscreenWindow::of(a), nullptr) << "a real window";
  EXPECT_EQ(GetParent(windowOf(a)), parentA);
  EXPECT_EQ(GetParent(windowOf(b)), parentB);
  EXPECT_EQ(classOf(windowOf(a)).rfind(L"JyxFrame", 0), 0u);
  EXPECT_EQ(classOf(windowOf(a)), classOf(windowOf(b)));
  const std::wstring name = classOf(windowOf(a));
  RECT r{};
  GetClientRect(windowOf(a), &r);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 150);
  const HWND childA = windowOf(a);
  a->close();
  EXPECT_FALSE(IsWindow(childA));
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  const HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(windowOf(b), GWLP_HINSTANCE));
  EXPECT_TRUE(GetClassInfoExW(module, name.c_str(), &info)) << "still used by the other editor";
  b->close();
  EXPECT_FALSE(GetClassInfoExW(module, name.c_str(), &info)) << "the last window takes the class with it";
}

TEST_F(Win32WindowTest, AHostThatDestroysItsWindowFirstLeavesAnEditorThatClosesCleanly) {
  LogEditor editor;
  CFrame* frame = open(makeParent(), editor);
  int calls = 0;
  frame->getPlatformWindow()->setTimer(
      0, 10, [](void* user, TimerId) { ++*static_cast<int*>(user); }, &calls);
  DestroyWindow(parents_.back());
  parents_.pop_back();
  EXPECT_EQ(frame->getPlatformWindow()->nativeHandle(), nullptr);
  frame->invalid();
  frame->idle();
  frame->getPlatformWindow()->takeKeyboardFocus();
  dispatchUntil([] { return false; }, 5);
  frame->close();
  EXPECT_EQ(calls, 0);
}

TEST_F(Win32WindowTest, AParentThatIsNoWindowLeavesAnEditorOffscreen) {
  LogEditor editor;
  CFrame* frame = open(reinterpret_cast<HWND>(std::uintptr_t{0x7FFF0}), editor);
  EXPECT_NE(OffscreenWindow::of(frame), nullptr);
  frame->close();
}

struct TimerLog {
  std::vector<TimerId> calls;
};
void logCall(void* user, TimerId id) { static_cast<TimerLog*>(user)->calls.push_back(id); }

TEST_F(Win32WindowTest, TimersAreKilledByTheirIdentifierAndDieWithTheWindow) {
  LogEditor editor;
  CFrame* frame = open(makeParent(), editor);
  IPlatformWindow* window = frame->getPlatformWindow();
  TimerLog fresh, chosen, killed;
  const TimerId freshId = window->setTimer(0, 10, logCall, &fresh);
  const TimerId chosenId = window->setTimer(77, 10, logCall, &chosen);
  const TimerId killedId = window->setTimer(0, 10, logCall, &killed);
  ASSERT_NE(freshId, 0u);
  EXPECT_EQ(chosenId, 77u);
  EXPECT_NE(killedId, freshId);
  EXPECT_TRUE(window->killTimer(killedId));
  EXPECT_FALSE(window->killTimer(killedId));
  ASSERT_TRUE(dispatchUntil([&] { return fresh.calls.size() >= 2 && !chosen.calls.empty(); }));
  EXPECT_EQ(fresh.calls.front(), freshId) << "the proc hears its own identifier";
  EXPECT_EQ(chosen.calls.front(), 77u);
  EXPECT_TRUE(killed.calls.empty());
  frame->close();
  const std::size_t before = fresh.calls.size();
  dispatchUntil([] { return false; }, 20);
  EXPECT_EQ(fresh.calls.size(), before) << "no call after the window closed";
}

TEST_F(Win32WindowTest, MouseWheelAndKeysReachTheViews) {
  LogEditor editor;
  CFrame* frame = open(makeParent(), editor);
  auto* view = new LogMouseView(CRect(0, 0, 100, 150));
  auto* field = new CTextEdit(CRect(110, 10, 190, 30), nullptr, 1, "");
  frame->addView(view);
  frame->addView(field);
  const HWND w = windowOf(frame);
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(20, 30));
  SendMessageW(w, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(20, 30));
  SendMessageW(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 50));
  SendMessageW(w, WM_RBUTTONUP, 0, MAKELPARAM(40, 50));
  ASSERT_EQ(view->downs.size(), 2u);
  EXPECT_EQ(view->downs[0].first, CPoint(20, 30));
  EXPECT_EQ(view->downs[0].second, kLButton | kControl);
  EXPECT_EQ(view->downs[1].second, kRButton);

  POINT onView{10, 10};
  ClientToScreen(w, &onView);
  SendMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(onView.x, onView.y));
  SendMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)),
               MAKELPARAM(onView.x, onView.y));
  EXPECT_EQ(view->wheel, -1.0f) << "one notch up, two down";

  frame->setFocusView(field);
  for (wchar_t c : std::wstring(L"\u00e9t\u00e9 ")) SendMessageW(w, WM_CHAR, c, 0);
  SendMessageW(w, WM_CHAR, 0xD834, 0);  // a character beyond 16 bits, in two halves
  SendMessageW(w, WM_CHAR, 0xDD1E, 0);
  SendMessageW(w, WM_KEYDOWN, VK_BACK, 0);
  SendMessageW(w, WM_CHAR, 8, 0);  // the backspace's own character is not typed
  SendMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(field->isEditing());
  EXPECT_STREQ(field->getText(), "\xC3\xA9t\xC3\xA9 ");
  frame->close();
}

TEST_F(Win32WindowTest, ThePictureIsShownWhenTheWindowPaints) {
  LogEditor editor;
  CFrame* frame = open(makeParent(true), editor);
  frame->setBackgroundColor(CColor{200, 40, 90, 255});
  frame->invalid();
  frame->idle();
  const HWND w = windowOf(frame);
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  HDC dc = GetDC(w);
  const COLORREF shown = GetPixel(dc, 100, 70);
  ReleaseDC(w, dc);
  EXPECT_EQ(shown, RGB(200, 40, 90));
  frame->close();
}

// A host's window with a control of its own that holds the keyboard, our
// editor in it with a text field and a plain view.
class Win32KeyboardTest : public Win32WindowTest {
 protected:
  void SetUp() override {
    Win32WindowTest::SetUp();
    if (!IsSkipped()) openEditor();
  }
  void TearDown() override {
    closeEditor();
    Win32WindowTest::TearDown();
  }
  void openEditor() {
    parent = makeParent();
    hostFocus = CreateWindowExW(0, L"JyxTestHost", L"", WS_CHILD | WS_VISIBLE, 210, 0, 50, 20, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    other = makeParent();
    frame = open(parent, editor);
    view = new LogMouseView(CRect(0, 50, 200, 150));
    field = new CTextEdit(CRect(10, 10, 150, 30), nullptr, 1, "ok");
    frame->addView(view);
    frame->addView(field);
    ours = windowOf(frame);
    SetFocus(hostFocus);
  }
  void closeEditor() {
    if (frame) frame->close();
    frame = nullptr;
    for (HWND w : parents_) DestroyWindow(w);
    parents_.clear();
  }
  void press(int x, int y) {
    SendMessageW(ours, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(ours, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void key(WPARAM vk) { SendMessageW(ours, WM_KEYDOWN, vk, 0); }

  LogEditor editor;
  HWND parent = nullptr, hostFocus = nullptr, other = nullptr, ours = nullptr;
  CFrame* frame = nullptr;
  LogMouseView* view = nullptr;
  CTextEdit* field = nullptr;
};

TEST_F(Win32KeyboardTest, OutsideTypedEntryTheEditorTakesNoKeyboard) {
  ASSERT_EQ(GetFocus(), hostFocus);
  press(20, 100);
  ASSERT_EQ(view->downs.size(), 1u);
  EXPECT_EQ(GetFocus(), hostFocus);
}

TEST_F(Win32KeyboardTest, WhenTypedEntryEndsTheKeyboardGoesBackToTheWindowThatHadIt) {
  struct Case {
    const char* how;
    std::function<void()> end;
    std::function<HWND()> focusAfter;
  };
  const auto hostFocusWindow = [this] { return hostFocus; };
  const Case cases[] = {
      {"Return", [this] { key(VK_RETURN); }, hostFocusWindow},
      {"Escape", [this] { key(VK_ESCAPE); }, hostFocusWindow},
      {"a click elsewhere", [this] { press(20, 100); }, hostFocusWindow},
      {"the window closing",
       [this] {
         frame->close();
         frame = nullptr;
       },
       hostFocusWindow},
      {"another window taking the keyboard, which keeps it", [this] { SetFocus(other); }, [this] { return other; }},
      {"Return, the window that had the keyboard gone: the host's window",
       [this] {
         DestroyWindow(hostFocus);
         key(VK_RETURN);
       },
       [this] { return parent; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    closeEditor();
    openEditor();
    ASSERT_EQ(GetFocus(), hostFocus);
    press(20, 20);
    ASSERT_TRUE(field->isEditing());
    ASSERT_EQ(GetFocus(), ours) << "the open field holds the keyboard";
    c.end();
    if (frame) {
      EXPECT_FALSE(field->isEditing());
    }
    EXPECT_EQ(GetFocus(), c.focusAfter());
  }
}

// A paint pass sends the window the parts it painted and nothing else: a
// mark drawn on the window elsewhere stays until that area changes.
TEST_F(Win32WindowTest, OnlyThePartsPaintedReachTheWindow) {
  LogEditor editor;
  CFrame* frame = openShowing(editor, CColor{200, 40, 90, 255});
  HDC dc = GetDC(windowOf(frame));
  const RECT mark{80, 102, 90, 108};  // between the parts to come
  FillRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(windowOf(frame), dc);
  frame->setBackgroundColor(CColor{20, 140, 60, 255});
  frame->invalidRect(CRect(150, 100, 160, 110));
  frame->invalidRect(CRect(30, 100, 40, 110));
  frame->idle();
  EXPECT_EQ(shownAt(frame, 155, 105), RGB(20, 140, 60));
  EXPECT_EQ(shownAt(frame, 35, 105), RGB(20, 140, 60));
  EXPECT_EQ(shownAt(frame, 85, 105), RGB(0, 0, 0)) << "the mark was not painted over";
  EXPECT_EQ(shownAt(frame, 120, 105), RGB(200, 40, 90)) << "between the parts";
  frame->close();
}

// When the system asks for one area while a change elsewhere waits for the
// idle, the pass that paints the change shows it too: the paint message's
// own drawing reaches its area alone.
TEST_F(Win32WindowTest, AChangeWaitingForTheIdleIsShownWhenAnotherAreaIsPainted) {
  LogEditor editor;
  CFrame* frame = openShowing(editor, CColor{200, 40, 90, 255});
  frame->setBackgroundColor(CColor{20, 140, 60, 255});
  frame->invalidRect(CRect(150, 100, 160, 110));  // waits for the idle
  const RECT uncovered{0, 0, 10, 10};
  InvalidateRect(windowOf(frame), &uncovered, FALSE);
  UpdateWindow(windowOf(frame));
  EXPECT_EQ(shownAt(frame, 155, 105), RGB(20, 140, 60));
  EXPECT_EQ(frame->getInvalidArea(), PixelRect{});
  frame->close();
}

}  // namespace
