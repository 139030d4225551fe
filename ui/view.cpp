#include "ui/view.h"

#include <algorithm>
#include <cstring>

#include "ui/bitmap.h"
#include "ui/draw_context.h"
#include "ui/frame.h"

namespace jyxui {

// ---------------------------------------------------------------- CView

CView::CView(const CRect& r) : size(r), mouseableArea(r) {}

CView::~CView() = default;

void CView::draw(CDrawContext*) {}

void CView::drawRect(CDrawContext* context, const CRect&) { draw(context); }

void CView::invalid() { invalidRect(size); }

void CView::invalidRect(const CRect& rect) {
  if (CFrame* frame = getFrame()) frame->invalidateFrameRect(parentToFrame(rect));
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }
int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

bool CView::hitTest(const CPoint& where, const CButtonState&) {
  return getMouseableArea().pointInside(where);
}

void CView::setViewSize(const CRect& rect, bool invalidate) {
  if (invalidate) invalid();
  size = rect;
  mouseableArea = rect;
  if (invalidate) invalid();
}

void CView::setVisible(bool visible) {
  if (visible == bVisible) return;
  bVisible = visible;
  invalid();
}

CPoint CView::frameToParent(const CPoint& p) const {
  CPoint local = p;
  for (const CView* parent = pParentView; parent; parent = parent->pParentView) {
    const CPoint origin = static_cast<const CViewContainer*>(parent)->childOrigin();
    local.offset(-origin.x, -origin.y);
  }
  return local;
}

CRect CView::parentToFrame(const CRect& r) const {
  CRect result = r;
  for (const CView* parent = pParentView; parent; parent = parent->pParentView) {
    const CPoint origin = static_cast<const CViewContainer*>(parent)->childOrigin();
    result.offset(origin.x, origin.y);
  }
  return result;
}

bool CView::attached(CView* parent) {
  pParentView = parent;
  setFrameRecursive(parent ? parent->getFrame() : nullptr);
  return true;
}

bool CView::removed(CView*) {
  pParentView = nullptr;
  setFrameRecursive(nullptr);
  return true;
}

bool CView::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CView") == 0) || CBaseObject::isTypeOf(name);
}

// ---------------------------------------------------------------- CViewContainer

CViewContainer::CViewContainer(const CRect& r, CFrame*, CBitmap* background) : CView(r) {
  setBackground(background);
}

CViewContainer::~CViewContainer() {
  // No frame can be watching: an attached container is held by its parent.
  for (CView* child : children) {
    child->removed(this);
    child->forget();
  }
  children.clear();
  setBackground(nullptr);
}

void CViewContainer::setBackground(CBitmap* background) {
  if (background == pBackground) return;
  if (background) background->remember();
  if (pBackground) pBackground->forget();
  pBackground = background;
  setDirty(true);
}

void CViewContainer::setFrameRecursive(CFrame* frame) {
  CView::setFrameRecursive(frame);
  for (CView* child : children) child->setFrameRecursive(frame);
}

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view == this || view->getParentView() || view == getFrame()) return false;
  children.insert(std::find(children.begin(), children.end(), before), view);
  view->attached(this);
  view->invalid();
  return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
  if (!isChild(view)) return false;
  SharedGuard keep(view);
  // The focus goes first: a field may leave its container from inside its own
  // focus loss, and then there is nothing more to remove here.
  if (CFrame* frame = getFrame()) frame->viewWillBeRemoved(view);
  auto found = std::find(children.begin(), children.end(), view);
  if (found == children.end()) return false;
  view->invalid();
  children.erase(found);
  view->removed(this);
  if (withForget) view->forget();
  return true;
}

bool CViewContainer::removeAll(bool withForget) {
  while (!children.empty()) {
    CView* first = children.front();
    if (!removeView(first, withForget)) {
      // Removed meanwhile by a focus loss; go on with what is left.
      continue;
    }
  }
  return true;
}

bool CViewContainer::isChild(const CView* view) const {
  return view && std::find(children.begin(), children.end(), view) != children.end();
}

bool CViewContainer::isDescendant(const CView* view) const {
  for (const CView* p = view ? view->getParentView() : nullptr; p; p = p->getParentView())
    if (p == this) return true;
  return false;
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children[static_cast<std::size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
  const CPoint origin = childOrigin();
  const CPoint local(where.x - origin.x, where.y - origin.y);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (!child->isVisible() || !child->getViewSize().pointInside(local)) continue;
    if (deep) {
      if (auto* container = dynamic_cast<CViewContainer*>(child)) {
        if (CView* inner = container->getViewAt(local, true)) return inner;
      }
    }
    return child;
  }
  return nullptr;
}

void CViewContainer::setDirty(bool dirty) { CView::setDirty(dirty); }

bool CViewContainer::isDirty() const {
  if (bDirty) return true;
  for (const CView* child : children)
    if (child->isDirty()) return true;
  return false;
}

void CViewContainer::invalidateDirtyViews() {
  if (bDirty) invalid();
  // A copy: invalidating never changes the children, but a subclass might.
  const std::vector<CView*> current = children;
  for (CView* child : current)
    if (child->isDirty()) child->invalidateChanges();
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, size); }

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect&) {
  if (backgroundColor.alpha > 0) {
    context->setFillColor(backgroundColor);
    context->drawRect(size, kDrawFilled);
  }
  if (pBackground) pBackground->draw(context, size, CPoint(0, 0));
}

// One paint pass over the container: its background, then every child that
// meets the update area, in creation order, each clipped to its rectangle
// within the area, each drawn once.
void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  CRect savedClip;
  context->getClipRect(savedClip);
  const CPoint savedOffset = context->getOffset();

  CRect area = size;
  area.bound(updateRect).bound(savedClip);
  if (area.isEmpty()) return;
  context->setClipRect(area);
  context->setDrawingView(this);
  drawBackgroundRect(context, area);

  const CPoint origin = childOrigin();
  context->setOffset(CPoint(savedOffset.x + origin.x, savedOffset.y + origin.y));
  CRect localArea = area;
  localArea.offset(-origin.x, -origin.y);

  SharedGuard keepSelf(this);
  const std::vector<CView*> current = children;
  for (CView* child : current) {
    if (!child->isVisible() || !isChild(child)) continue;
    CRect childArea = child->getViewSize();
    childArea.bound(localArea);
    if (childArea.isEmpty()) continue;
    context->setClipRect(childArea);
    context->setDrawingView(child);
    SharedGuard keep(child);
    child->drawRect(context, localArea);
  }

  context->setOffset(savedOffset);
  context->setClipRect(savedClip);
  context->setDrawingView(nullptr);
  CView::setDirty(false);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const CPoint origin = childOrigin();
  CPoint local(where.x - origin.x, where.y - origin.y);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (child->isVisible() && child->getMouseEnabled() && child->hitTest(local, buttons)) {
      SharedGuard keep(child);
      return child->onMouseDown(local, buttons);
    }
  }
  return kMouseEventNotHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  const CPoint origin = childOrigin();
  const CPoint local(where.x - origin.x, where.y - origin.y);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (child->isVisible() && child->getMouseEnabled() && child->hitTest(local, 0)) {
      SharedGuard keep(child);
      return child->onWheel(local, distance, buttons);
    }
  }
  return false;
}

bool CViewContainer::attached(CView* parent) { return CView::attached(parent); }

bool CViewContainer::removed(CView* parent) { return CView::removed(parent); }

bool CViewContainer::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CViewContainer") == 0) || CView::isTypeOf(name);
}

}  // namespace jyxui
