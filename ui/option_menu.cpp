#include "ui/option_menu.h"

#include <cmath>
#include <cstring>

#include "ui/bitmap.h"
#include "ui/frame.h"
#include "ui/gui_editor.h"

namespace jyxui {

bool CMenuItem::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CMenuItem") == 0) || CBaseObject::isTypeOf(name);
}

COptionMenu::COptionMenu(const CRect& r, CControlListener* l, int32_t t, CBitmap* background,
                         CBitmap* bgWhenClick, int32_t s)
    : CParamDisplay(r, background, s), bgWhenClick_(bgWhenClick) {
  listener = l;
  tag = t;
  if (bgWhenClick_) bgWhenClick_->remember();
}

COptionMenu::~COptionMenu() {
  removeAllEntry();
  if (bgWhenClick_) bgWhenClick_->forget();
}

CMenuItem* COptionMenu::addEntry(const char* title, int32_t index) {
  return addEntry(new CMenuItem(title), index);
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index) {
  if (!item) return nullptr;
  if (index < 0 || index > getNbEntries())
    entries_.push_back(item);
  else
    entries_.insert(entries_.begin() + index, item);
  vmax = static_cast<float>(entries_.size() > 0 ? entries_.size() - 1 : 0);
  return item;
}

bool COptionMenu::removeEntry(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  entries_[static_cast<std::size_t>(index)]->forget();
  entries_.erase(entries_.begin() + index);
  vmax = static_cast<float>(entries_.size() > 0 ? entries_.size() - 1 : 0);
  return true;
}

bool COptionMenu::removeAllEntry() {
  for (CMenuItem* item : entries_) item->forget();
  entries_.clear();
  vmax = 0;
  return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
  if (index < 0 || index >= getNbEntries()) return nullptr;
  return entries_[static_cast<std::size_t>(index)];
}

bool COptionMenu::setCurrent(int32_t index, bool) {
  if (index < 0 || index >= getNbEntries()) return false;
  current_ = index;
  value = static_cast<float>(index);
  invalid();
  return true;
}

int32_t COptionMenu::getCurrentIndex(bool) const { return current_; }

void COptionMenu::setValue(float v) {
  if (!(v >= 0) || v > static_cast<float>(getNbEntries() - 1)) return;
  const auto index = static_cast<int32_t>(v + 0.5f);
  current_ = index;
  value = static_cast<float>(index);
}

int32_t COptionMenu::popup() {
  CFrame* frame = getFrame();
  if (!frame || !frame->getPlatformWindow() || open_ || entries_.empty()) return -1;
  SharedGuard keepSelf(this);
  SharedGuard keepFrame(frame);
  PopupMenuRequest request;
  for (CMenuItem* item : entries_) request.titles.emplace_back(item->getTitle());
  request.current = current_;
  request.checkCurrent = (style & kCheckStyle) != 0;
  request.itemsPerColumn = itemsPerColumn_ > 0 ? itemsPerColumn_ : 0;
  request.underPointer = (style & kPopupStyle) != 0;
  request.control = parentToFrame(size);
  if (hasPress_) {
    CRect p(lastPress_.x, lastPress_.y, lastPress_.x, lastPress_.y);
    request.pointer = parentToFrame(p).getTopLeft();
  } else {
    frame->getCurrentMouseLocation(request.pointer);
  }
  if (VSTGUIEditorInterface* editor = frame->getEditor()) request.idle = [editor] { editor->doIdleStuff(); };

  open_ = true;
  invalid();
  const int chosen = frame->getPlatformWindow()->popupMenu(request);
  open_ = false;
  invalid();
  lastResult_ = (chosen >= 0 && chosen < getNbEntries()) ? chosen : -1;
  return lastResult_;
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  lastPress_ = where;
  hasPress_ = true;
  const int32_t chosen = popup();
  hasPress_ = false;
  if (chosen >= 0) {
    // Reported even when the entry was current already: choosing it again
    // applies it again.
    beginEdit();
    setCurrent(chosen);
    if (listener) listener->valueChanged(this);
    endEdit();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void COptionMenu::draw(CDrawContext* context) {
  if (!(style & kNoDrawStyle)) {
    CBitmap* shown = open_ && bgWhenClick_ ? bgWhenClick_ : pBackground;
    if (shown)
      shown->draw(context, size, backOffset);
    else
      drawBackground(context);
    if (!(style & kNoTextStyle)) {
      const CMenuItem* item = getCurrent();
      drawText(context, item ? item->getTitle() : "");
    }
  }
  setDirty(false);
}

bool COptionMenu::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "COptionMenu") == 0) || CParamDisplay::isTypeOf(name);
}

}  // namespace jyxui
