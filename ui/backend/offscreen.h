// The window without a screen, for tests and for frames opened without a
// parent window. Tests inject events (delivered at once, as a real window's
// pump delivers them), move the pointer, set the clock that times double
// clicks and timers, read what was presented, and script the answers of the
// pop-up menu and the file dialog.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/backend/platform_window.h"
#include "ui/backend/timer_table.h"

namespace jyxui {

class CFrame;

class OffscreenWindow : public IPlatformWindow {
 public:
  OffscreenWindow(const CRect& rect, IPlatformWindowClient& client);
  ~OffscreenWindow() override;

  // The frame's window when it is an offscreen one, else null.
  static OffscreenWindow* of(const CFrame* frame);

  // ---- IPlatformWindow ----
  void present(const PixelBuffer& pixels, const PixelRegion& area) override;
  void pumpEvents() override;
  bool pointerLocation(CPoint& where) const override;
  void takeKeyboardFocus() override {
    ++focusRequests_;
    holdsKeyboard_ = true;
  }
  void releaseKeyboardFocus() override { holdsKeyboard_ = false; }
  std::uint64_t now() const override { return now_; }
  TimerId setTimer(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user) override;
  bool killTimer(TimerId id) override;
  int popupMenu(const PopupMenuRequest& request) override;
  bool runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) override;
  void* nativeHandle() const override { return nullptr; }

  // ---- events, each moving the pointer to its point ----
  void mouseDown(const CPoint& where, CButtonState buttons = kLButton);
  void mouseUp(const CPoint& where, CButtonState buttons = kLButton);
  void mouseMove(const CPoint& where, CButtonState buttons = 0);
  void mouseLeave();
  // Press and release without time passing.
  void click(const CPoint& where, CButtonState buttons = kLButton);
  // A press, moves in steps to the end point, and a release.
  void drag(const CPoint& from, const CPoint& to, CButtonState buttons = kLButton, int steps = 8);
  void wheel(const CPoint& where, float distance, CButtonState modifiers = 0);
  bool keyDown(const VstKeyCode& key);
  bool keyUp(const VstKeyCode& key);
  // Every character of the UTF-8 text as a key press.
  void type(const std::string& text);
  bool pressKey(unsigned char virtualKey, unsigned char modifiers = 0);
  // Another window takes the keyboard.
  void loseKeyboardFocus();
  void expose(const PixelRect& area);
  void setPointer(const CPoint& where) { pointer_ = where; }

  // ---- clock: double clicks and timers ----
  void setTime(std::uint64_t ms) { now_ = ms; }
  void advanceTime(std::uint64_t ms) { now_ += ms; }

  // ---- what happened ----
  // The screen: what present() copied so far.
  const PixelBuffer& screen() const { return screen_; }
  int presentCount() const { return presents_; }
  // The bounds of what the last present() showed, and its parts.
  PixelRect lastPresented() const { return lastPresented_.bounds(); }
  const PixelRegion& lastPresentedRegion() const { return lastPresented_; }
  // Pixels shown so far, every present() counted.
  long presentedPixels() const { return presentedPixels_; }
  int keyboardFocusRequests() const { return focusRequests_; }
  // Between a request for the keyboard and its release (or its loss).
  bool holdsKeyboard() const { return holdsKeyboard_; }
  std::size_t timerCount() const { return timers_.size(); }

  // ---- scripted pop-up menus: answered in order; cancelled when none is queued ----
  void queueMenuChoice(int index);
  // A click at this point of the menu picture (its own pixels).
  void queueMenuClick(const CPoint& inMenu);
  void queueMenuCancel();
  const std::vector<PopupMenuRequest>& menuRequests() const { return menuRequests_; }
  // The picture of the last menu opened, drawn as every back end draws it.
  const PixelBuffer& lastMenuPicture() const { return lastMenuPicture_; }

  // ---- scripted file dialogs: answered in order; cancelled when none is queued ----
  void queueFileDialogAnswer(std::vector<std::string> paths);
  void queueFileDialogCancel();
  const std::vector<FileDialogRequest>& fileDialogRequests() const { return fileRequests_; }

 private:
  struct MenuAnswer {
    enum Kind { Choice, Click, Cancel } kind;
    int index;
    CPoint point;
  };

  IPlatformWindowClient& client_;
  LifeToken life_;
  TimerTable timers_;
  PixelBuffer screen_;
  std::uint64_t now_ = 0;
  CPoint pointer_;
  CButtonState held_ = 0;
  int presents_ = 0;
  PixelRegion lastPresented_;
  long presentedPixels_ = 0;
  int focusRequests_ = 0;
  bool holdsKeyboard_ = false;
  std::deque<MenuAnswer> menuAnswers_;
  std::vector<PopupMenuRequest> menuRequests_;
  PixelBuffer lastMenuPicture_;
  std::deque<std::vector<std::string>> fileAnswers_;  // an empty answer cancels
  std::vector<FileDialogRequest> fileRequests_;
};

}  // namespace jyxui
