// Views and view containers. A view's size rectangle is in its parent's
// coordinates, and so are the points its mouse operations receive. A
// container owns its children through their reference counts and draws them
// in creation order, later ones on top.
#pragma once

#include <vector>

#include "host/vst_abi.h"
#include "ui/base.h"

namespace jyxui {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  ~CView() override;

  // ---- drawing ----
  virtual void draw(CDrawContext* context);
  // Draws the view for a paint pass; updateRect is in the parent's coordinates.
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);
  // Asks for the view's rectangle to be drawn in the next paint pass.
  virtual void invalid();
  // The same for a rectangle in the parent's coordinates.
  virtual void invalidRect(const CRect& rect);
  // The flag alone: a dirty view is invalidated by the frame's next idle.
  virtual void setDirty(bool dirty = true) { bDirty = dirty; }
  virtual bool isDirty() const { return bDirty; }
  // The frame's idle asks a dirty view for what changed: by default the whole
  // view is invalidated. A view that keeps track of what it shows asks for
  // the part of it that changed, or for nothing when its picture stays.
  virtual void invalidateChanges() { invalid(); }

  // ---- mouse, wheel, keys ----
  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
  virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
  // 1 when the key was used, -1 otherwise.
  virtual int32_t onKeyDown(VstKeyCode& keyCode);
  virtual int32_t onKeyUp(VstKeyCode& keyCode);
  virtual bool hitTest(const CPoint& where, const CButtonState& buttons = 0);
  void setMouseEnabled(bool enabled) { bMouseEnabled = enabled; }
  bool getMouseEnabled() const { return bMouseEnabled; }

  // ---- focus ----
  virtual void takeFocus() {}
  virtual void looseFocus() {}
  bool wantsFocus() const { return bWantsFocus; }
  void setWantsFocus(bool wants) { bWantsFocus = wants; }

  // ---- geometry and hierarchy ----
  const CRect& getViewSize() const { return size; }
  CRect& getViewSize(CRect& rect) const { return rect = size; }
  virtual void setViewSize(const CRect& rect, bool invalidate = true);
  virtual CRect getMouseableArea() const { return mouseableArea; }
  virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
  CFrame* getFrame() const { return pParentFrame; }
  CView* getParentView() const { return pParentView; }
  bool isAttached() const { return pParentView != nullptr; }
  bool isVisible() const { return bVisible; }
  void setVisible(bool visible);
  // A point in frame coordinates as this view's mouse operations receive it
  // (the parent's coordinates), and back.
  CPoint frameToParent(const CPoint& p) const;
  CRect parentToFrame(const CRect& r) const;

  // Called by the container: the view now belongs to parent (and to its frame).
  virtual bool attached(CView* parent);
  virtual bool removed(CView* parent);

  bool isTypeOf(const char* name) const override;

 protected:
  friend class CViewContainer;
  // The frame this view and its children now belong to (null: none).
  virtual void setFrameRecursive(CFrame* frame) { pParentFrame = frame; }

  CRect size;
  CRect mouseableArea;
  CFrame* pParentFrame = nullptr;
  CView* pParentView = nullptr;
  bool bDirty = false;
  bool bMouseEnabled = true;
  bool bWantsFocus = false;
  bool bVisible = true;
};

class CViewContainer : public CView {
 public:
  // The frame is kept for the library's signature; the container belongs to a
  // frame only while it is attached to one.
  explicit CViewContainer(const CRect& size, CFrame* parentFrame = nullptr, CBitmap* background = nullptr);
  ~CViewContainer() override;

  // Drawn at the container's top-left from the bitmap's (0,0), clipped to the container.
  virtual void setBackground(CBitmap* background);
  CBitmap* getBackground() const { return pBackground; }
  void setBackgroundColor(const CColor& color) { backgroundColor = color; }
  CColor getBackgroundColor() const { return backgroundColor; }

  // Takes over the caller's reference; the view goes on top of the others.
  // A view that already has a parent is refused (false).
  virtual bool addView(CView* view);
  // The same, with the view placed just below `before` (one of the children):
  // it is drawn before it and a click finds it only where `before` does not
  // lie. When `before` is not a child, on top.
  virtual bool addView(CView* view, CView* before);
  // withForget: releases the container's reference; otherwise hands it to the
  // caller. A view that is not a child is left alone (false). A removed view
  // that has the text focus loses it first.
  virtual bool removeView(CView* view, bool withForget = true);
  virtual bool removeAll(bool withForget = true);
  bool isChild(const CView* view) const;
  // Also true for children of children.
  bool isDescendant(const CView* view) const;
  int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
  CView* getView(int32_t index) const;
  // The topmost child whose rectangle holds the point (in the container's
  // parent coordinates); deep: searched on into containers.
  virtual CView* getViewAt(const CPoint& where, bool deep = false) const;

  // Dirty when its own flag is set (a full repaint) or a child is dirty.
  void setDirty(bool dirty = true) override;
  bool isDirty() const override;
  // Invalidates what changed of every dirty child, and the whole container
  // when its own flag is set.
  virtual void invalidateDirtyViews();
  // A container's changes are its children's.
  void invalidateChanges() override { invalidateDirtyViews(); }

  void draw(CDrawContext* context) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  bool attached(CView* parent) override;
  bool removed(CView* parent) override;
  bool isTypeOf(const char* name) const override;

  // Where the children's (0,0) lies in this container's parent coordinates.
  virtual CPoint childOrigin() const { return size.getTopLeft(); }

 protected:
  void setFrameRecursive(CFrame* frame) override;

  std::vector<CView*> children;
  CBitmap* pBackground = nullptr;
  CColor backgroundColor = kTransparentCColor;
};

}  // namespace jyxui
