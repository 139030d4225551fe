#include "ui/frame.h"

#include <cmath>
#include <cstring>

#include "ui/gui_editor.h"
#include "ui/param_display.h"

namespace jyxui {

// ---------------------------------------------------------------- double click

bool DoubleClickDetector::press(const CPoint& where, CButtonState button, std::uint64_t timeMs) {
  const bool completes = armed_ && button == button_ && timeMs >= time_ && timeMs - time_ <= interval_ &&
                         std::fabs(where.x - where_.x) <= kDistance &&
                         std::fabs(where.y - where_.y) <= kDistance;
  if (completes) {
    // The pair is used up: a third press starts a new pair.
    armed_ = false;
    return true;
  }
  armed_ = true;
  button_ = button;
  where_ = where;
  time_ = timeMs;
  return false;
}

// ---------------------------------------------------------------- frame

namespace {

CRect originRect(const CRect& r) { return CRect(0, 0, r.getWidth(), r.getHeight()); }

int pixelsOf(CCoord v) { return v > 0 && v < 1 << 15 ? snapCoord(v) : 0; }

}  // namespace

CFrame::CFrame(const CRect& r, void* systemWindow, VSTGUIEditorInterface* editor)
    : CViewContainer(originRect(r)),
      pEditor(editor),
      systemWindow_(systemWindow),
      pixels_(pixelsOf(r.getWidth()), pixelsOf(r.getHeight()), kBlackCColor) {
  pParentFrame = this;
  Backend& backend = systemWindow ? currentBackend() : offscreenBackend();
  window_ = backend.createWindow(systemWindow, r, *this);
  // A platform that refuses the window leaves a working editor that is not
  // seen, rather than none at all.
  if (!window_ && &backend != &offscreenBackend())
    window_ = offscreenBackend().createWindow(nullptr, r, *this);
  invalid();
}

CFrame::~CFrame() {
  if (!closed_) {
    closed_ = true;
    pFocusView = nullptr;
    mouseCapture_ = mouseOver_ = nullptr;
    removeAll(true);
    window_.reset();
  }
}

void CFrame::close() {
  if (closed_) return;
  setFocusView(nullptr);
  removeAll(true);
  closed_ = true;
  mouseCapture_ = mouseOver_ = nullptr;
  window_.reset();
  forget();
}

void CFrame::idle() {
  if (closed_) return;
  SharedGuard keep(this);
  if (!pumping_ && window_) {
    pumping_ = true;
    window_->pumpEvents();
    pumping_ = false;
  }
  if (closed_) return;
  invalidateDirtyViews();
  paint();
}

void CFrame::updateScreen() {
  if (closed_) return;
  SharedGuard keep(this);
  paint();
}

// Every part of what was invalidated is painted from the frame's background
// up, each view clipped to it, and only those parts go to the window.
void CFrame::paint() {
  if (painting_ || invalidRegion_.isEmpty()) return;
  painting_ = true;
  PixelRegion region;
  region.swap(invalidRegion_);
  joinPartsSharingAView(region);
  ++paintPasses_;
  {
    CDrawContext context(pixels_, observer_);
    for (const PixelRect& part : region.parts()) {
      context.setClipRect(part.toRect());
      pixels_.fill(part, backgroundColor.alpha ? backgroundColor : kBlackCColor);
      drawRect(&context, part.toRect());
    }
  }
  painting_ = false;
  if (window_) window_->present(pixels_, region);
}

namespace {

// Calls visit with the frame pixels of every visible view below the
// container that is not a container itself.
template <typename Visit>
void forEachShownLeaf(const CViewContainer& container, Visit& visit) {
  for (int32_t i = 0; i < container.getNbViews(); ++i) {
    const CView* view = container.getView(i);
    if (!view->isVisible()) continue;
    if (const auto* inner = dynamic_cast<const CViewContainer*>(view))
      forEachShownLeaf(*inner, visit);
    else
      visit(coverRect(view->parentToFrame(view->getViewSize())));
  }
}

}  // namespace

void CFrame::joinPartsSharingAView(PixelRegion& region) const {
  bool joined = true;
  while (joined && region.parts().size() > 1) {
    joined = false;
    auto visit = [&](const PixelRect& view) {
      if (joined) return;
      std::size_t first = region.parts().size();
      for (std::size_t i = 0; i < region.parts().size(); ++i) {
        if (region.parts()[i].intersected(view).isEmpty()) continue;
        if (first == region.parts().size()) {
          first = i;
        } else {
          region.join(first, i);
          joined = true;
          return;
        }
      }
    };
    forEachShownLeaf(*this, visit);
  }
}

int32_t CFrame::getKnobMode() const { return pEditor ? pEditor->getKnobMode() : kCircularMode; }

void CFrame::beginEdit(int32_t index) {
  if (pEditor) pEditor->beginEdit(index);
}

void CFrame::endEdit(int32_t index) {
  if (pEditor) pEditor->endEdit(index);
}

void CFrame::setFocusView(CView* view) {
  if (view == pFocusView) return;
  CView* old = pFocusView;
  pFocusView = view;
  SharedGuard keepOld(old);
  SharedGuard keepNew(view);
  if (old) old->looseFocus();
  // The old view's focus loss may have moved the focus on already.
  if (view && pFocusView == view) view->takeFocus();
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
  if (window_ && window_->pointerLocation(where)) return true;
  where = lastPointer_;
  return false;
}

// ---- mouse dispatch ----

CView* CFrame::mouseTargetAt(const CPoint& where) const {
  const CViewContainer* container = this;
  CPoint local = where;
  CView* target = nullptr;
  while (container) {
    const CPoint origin = container->childOrigin();
    local.offset(-origin.x, -origin.y);
    CView* hit = nullptr;
    for (int32_t i = container->getNbViews() - 1; i >= 0; --i) {
      CView* child = container->getView(i);
      if (child->isVisible() && child->getMouseEnabled() && child->hitTest(local, 0)) {
        hit = child;
        break;
      }
    }
    if (!hit) break;
    container = dynamic_cast<const CViewContainer*>(hit);
    if (!container) target = hit;
  }
  return target;
}

namespace {
bool isTextEdit(const CView* view) { return dynamic_cast<const CTextEdit*>(view) != nullptr; }
}  // namespace

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (closed_) return kMouseEventNotHandled;
  SharedGuard keep(this);
  lastPointer_ = where;
  // A press of a second button during a drag belongs to the drag.
  if (mouseCapture_) return kMouseEventHandled;
  // A press anywhere but into the field being edited ends the editing first.
  if (pFocusView && isTextEdit(pFocusView) && mouseTargetAt(where) != pFocusView) setFocusView(nullptr);
  if (closed_) return kMouseEventNotHandled;
  updateMouseOver(where, buttons);
  CView* target = mouseTargetAt(where);
  if (!target) return kMouseEventNotHandled;
  SharedGuard keepTarget(target);
  CPoint local = target->frameToParent(where);
  const CMouseEventResult result = target->onMouseDown(local, buttons);
  if (result == kMouseEventHandled && !closed_ && target->getFrame() == this) {
    mouseCapture_ = target;
    captureButton_ = buttons & kMouseButtons;
  }
  return result;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (closed_) return kMouseEventNotHandled;
  SharedGuard keep(this);
  lastPointer_ = where;
  CMouseEventResult result = kMouseEventNotHandled;
  // The release of a second button pressed during a drag belongs to the drag.
  const CButtonState released = buttons & kMouseButtons;
  if (mouseCapture_ && released && captureButton_ && !(released & captureButton_)) return kMouseEventHandled;
  if (CView* captured = mouseCapture_) {
    mouseCapture_ = nullptr;
    SharedGuard keepCaptured(captured);
    CPoint local = captured->frameToParent(where);
    result = captured->onMouseUp(local, buttons);
  }
  if (!closed_) updateMouseOver(where, buttons & ~kMouseButtons);
  return result;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (closed_) return kMouseEventNotHandled;
  SharedGuard keep(this);
  lastPointer_ = where;
  if (CView* captured = mouseCapture_) {
    SharedGuard keepCaptured(captured);
    CPoint local = captured->frameToParent(where);
    return captured->onMouseMoved(local, buttons);
  }
  updateMouseOver(where, buttons);
  if (CView* over = mouseOver_) {
    SharedGuard keepOver(over);
    CPoint local = over->frameToParent(where);
    // A view that did not take the press never sees its buttons.
    return over->onMouseMoved(local, buttons & ~(kMouseButtons | kDoubleClick));
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const CButtonState& buttons) {
  if (closed_ || mouseCapture_) return kMouseEventHandled;
  SharedGuard keep(this);
  if (CView* over = mouseOver_) {
    mouseOver_ = nullptr;
    SharedGuard keepOver(over);
    CPoint local = over->frameToParent(where);
    over->onMouseExited(local, buttons);
  }
  return kMouseEventHandled;
}

void CFrame::updateMouseOver(const CPoint& where, CButtonState buttons) {
  if (mouseCapture_) return;
  CView* now = mouseTargetAt(where);
  if (now == mouseOver_) return;
  CView* old = mouseOver_;
  mouseOver_ = now;
  SharedGuard keepOld(old);
  SharedGuard keepNow(now);
  const CButtonState modifiers = buttons & ~(kMouseButtons | kDoubleClick);
  if (old) {
    CPoint local = old->frameToParent(where);
    old->onMouseExited(local, modifiers);
  }
  if (now && mouseOver_ == now && now->getFrame() == this) {
    CPoint local = now->frameToParent(where);
    now->onMouseEntered(local, modifiers);
  }
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  if (closed_) return false;
  SharedGuard keep(this);
  CView* target = mouseTargetAt(where);
  if (!target) return false;
  SharedGuard keepTarget(target);
  return target->onWheel(target->frameToParent(where), distance, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
  if (closed_ || !pFocusView) return -1;
  SharedGuard keep(this);
  SharedGuard keepFocus(pFocusView);
  return pFocusView->onKeyDown(keyCode) == 1 ? 1 : -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
  if (closed_ || !pFocusView) return -1;
  SharedGuard keep(this);
  SharedGuard keepFocus(pFocusView);
  return pFocusView->onKeyUp(keyCode) == 1 ? 1 : -1;
}

bool CFrame::touches(const CView* held, const CView* removed) const {
  if (!held || !removed) return false;
  if (held == removed) return true;
  const auto* container = dynamic_cast<const CViewContainer*>(removed);
  return container && container->isDescendant(held);
}

void CFrame::viewWillBeRemoved(CView* view) {
  if (touches(mouseCapture_, view)) mouseCapture_ = nullptr;
  if (touches(mouseOver_, view)) mouseOver_ = nullptr;
  if (touches(pFocusView, view)) setFocusView(nullptr);
}

// ---- painting ----

void CFrame::invalid() { invalidateFrameRect(size); }

void CFrame::invalidRect(const CRect& rect) { invalidateFrameRect(rect); }

void CFrame::invalidateFrameRect(const CRect& rect) {
  if (closed_) return;
  invalidRegion_.add(coverRect(rect).intersected(pixels_.bounds()));
}

// ---- the platform window's events ----

void CFrame::platformMouseDown(const CPoint& where, CButtonState buttons, std::uint64_t timeMs) {
  CButtonState state = buttons & ~kDoubleClick;
  if (doubleClick_.press(where, state & kMouseButtons, timeMs)) state |= kDoubleClick;
  CPoint p = where;
  onMouseDown(p, state);
}

void CFrame::platformMouseUp(const CPoint& where, CButtonState buttons) {
  CPoint p = where;
  onMouseUp(p, buttons);
}

void CFrame::platformMouseMoved(const CPoint& where, CButtonState buttons) {
  CPoint p = where;
  onMouseMoved(p, buttons);
}

void CFrame::platformMouseExited() {
  CPoint p = lastPointer_;
  onMouseExited(p, 0);
}

void CFrame::platformWheel(const CPoint& where, float distance, CButtonState modifiers) {
  lastPointer_ = where;
  onWheel(where, distance, modifiers);
}

bool CFrame::platformKeyDown(const VstKeyCode& key) {
  VstKeyCode k = key;
  return onKeyDown(k) == 1;
}

bool CFrame::platformKeyUp(const VstKeyCode& key) {
  VstKeyCode k = key;
  return onKeyUp(k) == 1;
}

void CFrame::platformKeyboardFocusLost() {
  // Typed entry ends as with a click elsewhere: the text is taken as typed.
  if (closed_ || !pFocusView || !isTextEdit(pFocusView)) return;
  SharedGuard keep(this);
  setFocusView(nullptr);
}

void CFrame::platformExposed(const PixelRect& area) {
  if (closed_) return;
  SharedGuard keep(this);
  paint();
  if (window_) window_->present(pixels_, PixelRegion(area.intersected(pixels_.bounds())));
}

bool CFrame::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CFrame") == 0) || CViewContainer::isTypeOf(name);
}

}  // namespace jyxui
