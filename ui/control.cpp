#include "ui/control.h"

#include <cstring>

#include "ui/bitmap.h"
#include "ui/frame.h"

namespace jyxui {

CControl::CControl(const CRect& r, CControlListener* l, int32_t t, CBitmap* background)
    : CView(r), listener(l), tag(t) {
  setBackground(background);
}

CControl::~CControl() { setBackground(nullptr); }

void CControl::bounds() {
  if (value < vmin) value = vmin;
  if (value > vmax) value = vmax;
}

void CControl::beginEdit() {
  if (listener) listener->controlBeginEdit(this);
  if (CFrame* frame = getFrame()) frame->beginEdit(tag);
}

void CControl::endEdit() {
  if (CFrame* frame = getFrame()) frame->endEdit(tag);
  if (listener) listener->controlEndEdit(this);
}

void CControl::setBackground(CBitmap* background) {
  if (background == pBackground) return;
  if (background) background->remember();
  if (pBackground) pBackground->forget();
  pBackground = background;
}

bool CControl::isDirty() const { return value != oldValue || CView::isDirty(); }

void CControl::setDirty(bool dirty) {
  if (!dirty) oldValue = value;
  CView::setDirty(dirty);
}

bool CControl::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CControl") == 0) || CView::isTypeOf(name);
}

}  // namespace jyxui
