#include "controls/text_controls.h"

#include <string>

#include "controls/editor_layer.h"

using namespace jyxui;

// ---------------------------------------------------------------- CLabel2

CLabel2::CLabel2(const CRect& size, const char* labelText) : CParamDisplay(size), text(labelText) {}

void CLabel2::draw(CDrawContext* context) {
  if (text) {
    context->setFont(kNormalFontVerySmall);
    context->setFontColor(MakeCColor(0, 0, 0, 255));
    context->drawString(text, size, kLeftText, true);
  }
  setDirty(false);
}

// ---------------------------------------------------------------- CMyTextEdit

CMyTextEdit::CMyTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const char* text,
                         CBitmap* background, int32_t style)
    : CTextEdit(size, listener, tag, text, background, style) {}

void CMyTextEdit::activateForTag(int32_t tag) {
  targetTag = tag;
  CFrame* frame = getFrame();
  if (!frame || frame->getFocusView() != this) beginEdit();
  takeFocus();
}

void CMyTextEdit::beginEdit() {
  // One gesture per entry, however it was started.
  if (gestureOpen_) return;
  gestureOpen_ = true;
  CTextEdit::beginEdit();
}

void CMyTextEdit::looseFocus() {
  // The typed text becomes the field's text (and is reported as its value).
  CTextEdit::looseFocus();
  // The gesture ends while the field is still in its page: the editor takes
  // the field out of the page when it receives the text.
  if (gestureOpen_) {
    gestureOpen_ = false;
    endEdit();
  }
  // The field is idle again before the editor hears of the entry, so that the
  // editor may start the next one from there.
  const int32_t tag = targetTag;
  targetTag = -1;
  const std::string typed = getText();
  if (auto* editor = dynamic_cast<CMyPresetSystemEditor*>(listener)) editor->valueEntered(tag, typed.c_str());
}
