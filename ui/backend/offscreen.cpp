#include "ui/backend/offscreen.h"

#include "ui/backend/popup_menu_model.h"
#include "ui/frame.h"
#include "ui/utf8.h"

namespace jyxui {

OffscreenWindow::OffscreenWindow(const CRect& rect, IPlatformWindowClient& client)
    : client_(client),
      screen_(client.platformPixels().width(), client.platformPixels().height(), kBlackCColor) {
  (void)rect;
}

OffscreenWindow::~OffscreenWindow() = default;

OffscreenWindow* OffscreenWindow::of(const CFrame* frame) {
  return frame ? dynamic_cast<OffscreenWindow*>(frame->getPlatformWindow()) : nullptr;
}

void OffscreenWindow::present(const PixelBuffer& pixels, const PixelRegion& area) {
  lastPresented_.clear();
  for (const PixelRect& part : area.parts()) {
    const PixelRect r = part.intersected(pixels.bounds()).intersected(screen_.bounds());
    if (r.isEmpty()) continue;
    screen_.copyFrom(pixels, r);
    lastPresented_.add(r);
    presentedPixels_ += static_cast<long>(r.width()) * r.height();
  }
  ++presents_;
}

void OffscreenWindow::pumpEvents() { timers_.runDue(now_, life_.watch()); }

bool OffscreenWindow::pointerLocation(CPoint& where) const {
  where = pointer_;
  return true;
}

TimerId OffscreenWindow::setTimer(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user) {
  return timers_.set(id, periodMs, proc, user, now_);
}

bool OffscreenWindow::killTimer(TimerId id) { return timers_.kill(id); }

void OffscreenWindow::mouseDown(const CPoint& where, CButtonState buttons) {
  pointer_ = where;
  held_ |= buttons & kMouseButtons;
  client_.platformMouseDown(where, buttons, now_);
}

void OffscreenWindow::mouseUp(const CPoint& where, CButtonState buttons) {
  pointer_ = where;
  held_ &= ~(buttons & kMouseButtons);
  client_.platformMouseUp(where, buttons);
}

void OffscreenWindow::mouseMove(const CPoint& where, CButtonState buttons) {
  pointer_ = where;
  client_.platformMouseMoved(where, buttons);
}

void OffscreenWindow::mouseLeave() { client_.platformMouseExited(); }

void OffscreenWindow::click(const CPoint& where, CButtonState buttons) {
  const auto alive = life_.watch();
  mouseDown(where, buttons);
  if (*alive) mouseUp(where, buttons);
}

void OffscreenWindow::drag(const CPoint& from, const CPoint& to, CButtonState buttons, int steps) {
  const auto alive = life_.watch();
  mouseDown(from, buttons);
  for (int i = 1; i <= steps && *alive; ++i) {
    const double t = static_cast<double>(i) / steps;
    mouseMove(CPoint(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t), buttons);
  }
  if (*alive) mouseUp(to, buttons);
}

void OffscreenWindow::wheel(const CPoint& where, float distance, CButtonState modifiers) {
  pointer_ = where;
  client_.platformWheel(where, distance, modifiers);
}

bool OffscreenWindow::keyDown(const VstKeyCode& key) { return client_.platformKeyDown(key); }

bool OffscreenWindow::keyUp(const VstKeyCode& key) { return client_.platformKeyUp(key); }

void OffscreenWindow::type(const std::string& text) {
  const auto alive = life_.watch();
  for (std::size_t i = 0; i < text.size() && *alive;) {
    VstKeyCode key{};
    key.character = static_cast<VstInt32>(decodeUtf8(text, i));
    keyDown(key);
  }
}

bool OffscreenWindow::pressKey(unsigned char virtualKey, unsigned char modifiers) {
  VstKeyCode key{};
  key.virt = virtualKey;
  key.modifier = modifiers;
  return keyDown(key);
}

void OffscreenWindow::loseKeyboardFocus() {
  if (!holdsKeyboard_) return;
  holdsKeyboard_ = false;
  client_.platformKeyboardFocusLost();
}

void OffscreenWindow::expose(const PixelRect& area) { client_.platformExposed(area); }

// ---- scripted menus ----

void OffscreenWindow::queueMenuChoice(int index) { menuAnswers_.push_back({MenuAnswer::Choice, index, {}}); }
void OffscreenWindow::queueMenuClick(const CPoint& p) { menuAnswers_.push_back({MenuAnswer::Click, -1, p}); }
void OffscreenWindow::queueMenuCancel() { menuAnswers_.push_back({MenuAnswer::Cancel, -1, {}}); }

int OffscreenWindow::popupMenu(const PopupMenuRequest& request) {
  menuRequests_.push_back(request);
  PopupMenuModel model(request);
  lastMenuPicture_ = model.draw();
  // A modal loop keeps the editor's idle going; so does this one, once.
  const auto alive = life_.watch();
  if (request.idle) request.idle();
  if (!*alive || menuAnswers_.empty()) return -1;
  const MenuAnswer answer = menuAnswers_.front();
  menuAnswers_.pop_front();
  int chosen = -1;
  if (answer.kind == MenuAnswer::Choice) chosen = answer.index;
  if (answer.kind == MenuAnswer::Click) chosen = model.entryAt(answer.point);
  return chosen >= 0 && chosen < model.entryCount() ? chosen : -1;
}

// ---- scripted file dialogs ----

void OffscreenWindow::queueFileDialogAnswer(std::vector<std::string> paths) {
  fileAnswers_.push_back(std::move(paths));
}
void OffscreenWindow::queueFileDialogCancel() { fileAnswers_.emplace_back(); }

bool OffscreenWindow::runFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) {
  fileRequests_.push_back(request);
  chosen.clear();
  const auto alive = life_.watch();
  if (request.idle) request.idle();
  if (!*alive) return false;
  if (!fileAnswers_.empty()) {
    chosen = fileAnswers_.front();
    fileAnswers_.pop_front();
  }
  return true;
}

// ---- back ends ----

namespace {

class OffscreenBackend : public Backend {
 public:
  const char* name() const override { return "offscreen"; }
  std::unique_ptr<IPlatformWindow> createWindow(void*, const CRect& rect,
                                                IPlatformWindowClient& client) override {
    return std::make_unique<OffscreenWindow>(rect, client);
  }
};

}  // namespace

Backend& offscreenBackend() {
  static OffscreenBackend backend;
  return backend;
}

}  // namespace jyxui
