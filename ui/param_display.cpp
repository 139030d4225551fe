#include "ui/param_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ui/bitmap.h"
#include "ui/frame.h"
#include "ui/text_engine.h"
#include "ui/utf8.h"

namespace jyxui {

// ---------------------------------------------------------------- CParamDisplay

CParamDisplay::CParamDisplay(const CRect& r, CBitmap* background, int32_t s)
    : CControl(r, nullptr, -1, background), style(s), font(*kNormalFontSmall) {}

CParamDisplay::~CParamDisplay() = default;

void CParamDisplay::setFont(const CFontDesc* f) {
  if (f) font = *f;
}

std::string CParamDisplay::valueText() const {
  // Room beyond the converter's buffer, so that a converter writing a little
  // too much cannot reach other memory; the text is held to the buffer.
  char buffer[kParamTextBytes + 64] = {};
  if (stringConvert)
    stringConvert(value, buffer);
  else
    std::snprintf(buffer, kParamTextBytes, "%2.2f", static_cast<double>(value));
  buffer[kParamTextBytes + 63] = 0;
  return utf8Cut(buffer, kParamTextBytes - 1);
}

void CParamDisplay::drawBackground(CDrawContext* context) {
  if (pBackground) {
    pBackground->draw(context, size, backOffset);
    return;
  }
  context->setFillColor(backColor);
  context->drawRect(size, kDrawFilled);
  if (!(style & kNoFrame)) {
    context->setFrameColor(frameColor);
    context->setLineWidth(1);
    context->drawRect(size, kDrawStroked);
  }
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
  context->setFont(&font);
  context->setFontColor(fontColor);
  context->drawString(text, size, horiTxtAlign, antialias);
}

void CParamDisplay::draw(CDrawContext* context) {
  if (!(style & kNoDrawStyle)) {
    drawBackground(context);
    if (!(style & kNoTextStyle)) drawText(context, valueText().c_str());
  }
  setDirty(false);
}

bool CParamDisplay::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CParamDisplay") == 0) || CControl::isTypeOf(name);
}

// ---------------------------------------------------------------- CTextEdit

namespace {
constexpr CCoord kTextInset = 2;
}

CTextEdit::CTextEdit(const CRect& r, CControlListener* l, int32_t t, const char* initial, CBitmap* background,
                     int32_t s)
    : CParamDisplay(r, background, s) {
  listener = l;
  tag = t;
  setWantsFocus(true);
  setText(initial);
}

void CTextEdit::setText(const char* newText) {
  text = utf8Cut(newText ? newText : "", kMaxTextBytes);
  if (editing) {
    editText = text;
    caret = editText.size();
  }
  setDirty(true);
}

void CTextEdit::takeFocus() {
  // Called directly, the field still becomes the frame's focus view, so that
  // the keys reach it.
  CFrame* frame = getFrame();
  if (frame && frame->getFocusView() != this) {
    frame->setFocusView(this);
    return;
  }
  if (!editing) {
    editing = true;
    textBeforeEdit = text;
    editText = text;
    caret = editText.size();
  }
  invalid();
  if (frame)
    if (IPlatformWindow* window = frame->getPlatformWindow()) window->takeKeyboardFocus();
}

void CTextEdit::looseFocus() {
  if (!editing) return;
  editing = false;
  // The keyboard goes back before the listener hears of the text, which may
  // close the editor.
  if (CFrame* frame = getFrame())
    if (IPlatformWindow* window = frame->getPlatformWindow()) window->releaseKeyboardFocus();
  text = utf8Cut(editText, kMaxTextBytes);
  invalid();
  if (listener) listener->valueChanged(this);
}

void CTextEdit::endEditing(bool keepTyped) {
  if (!keepTyped) editText = textBeforeEdit;
  CFrame* frame = getFrame();
  if (frame && frame->getFocusView() == this)
    frame->setFocusView(nullptr);
  else
    looseFocus();
}

void CTextEdit::insert(char32_t codePoint) {
  std::string encoded;
  appendUtf8(encoded, codePoint);
  if (editText.size() + encoded.size() > kMaxTextBytes) return;
  editText.insert(caret, encoded);
  caret += encoded.size();
  invalid();
}

namespace {

// The character a key stands for, or 0.
char32_t characterOf(const VstKeyCode& key) {
  switch (key.virt) {
    case VKEY_SPACE: return U' ';
    case VKEY_DECIMAL: return key.character > 0 ? static_cast<char32_t>(key.character) : U'.';
    case VKEY_SUBTRACT: return U'-';
    case VKEY_ADD: return U'+';
    case VKEY_MULTIPLY: return U'*';
    case VKEY_DIVIDE: return U'/';
    case VKEY_EQUALS: return U'=';
    default: break;
  }
  if (key.virt >= VKEY_NUMPAD0 && key.virt <= VKEY_NUMPAD9) return U'0' + (key.virt - VKEY_NUMPAD0);
  if (key.virt != 0) return 0;
  if (key.character < 32 || key.character == 127 || key.character > 0x10FFFF) return 0;
  return static_cast<char32_t>(key.character);
}

}  // namespace

int32_t CTextEdit::onKeyDown(VstKeyCode& key) {
  if (!editing) return -1;
  int virt = key.virt;
  // Hosts that send control characters instead of key codes.
  if (virt == 0) {
    switch (key.character) {
      case 8: virt = VKEY_BACK; break;
      case 9: virt = VKEY_TAB; break;
      case 10:
      case 13: virt = VKEY_RETURN; break;
      case 27: virt = VKEY_ESCAPE; break;
      case 127: virt = VKEY_DELETE; break;
      default: break;
    }
  }
  switch (virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_TAB: endEditing(true); return 1;
    case VKEY_ESCAPE: endEditing(false); return 1;
    case VKEY_BACK:
      if (caret > 0) {
        const std::size_t from = utf8Previous(editText, caret);
        editText.erase(from, caret - from);
        caret = from;
        invalid();
      }
      return 1;
    case VKEY_DELETE:
      if (caret < editText.size()) editText.erase(caret, utf8Next(editText, caret) - caret);
      invalid();
      return 1;
    case VKEY_LEFT: caret = utf8Previous(editText, caret), invalid(); return 1;
    case VKEY_RIGHT: caret = utf8Next(editText, caret), invalid(); return 1;
    case VKEY_HOME: caret = 0, invalid(); return 1;
    case VKEY_END: caret = editText.size(), invalid(); return 1;
    default: break;
  }
  // Shortcuts with Control or Command stay the host's.
  if (key.modifier & (MODIFIER_CONTROL | MODIFIER_COMMAND)) return -1;
  const char32_t c = characterOf(key);
  if (c == 0) return -1;
  insert(c);
  return 1;
}

double CTextEdit::textX(CDrawContext*, const std::string& shown) const {
  const TextEngine& engine = TextEngine::instance();
  const double fontSize = font.getSize() > 0 ? font.getSize() : 12.0;
  const double width = engine.width(shown, fontSize);
  const double room = size.getWidth() - 2 * kTextInset;
  if (width <= room) {
    if (horiTxtAlign == kCenterText) return size.left + (size.getWidth() - width) / 2;
    if (horiTxtAlign == kRightText) return size.right - kTextInset - width;
    return size.left + kTextInset;
  }
  // Too long for the field: scrolled so that the caret stays in view.
  const double caretX = engine.width(shown.substr(0, caret), fontSize);
  return std::min(size.left + kTextInset, size.right - kTextInset - caretX);
}

std::size_t CTextEdit::caretFromX(CCoord x) const {
  const TextEngine& engine = TextEngine::instance();
  const double fontSize = font.getSize() > 0 ? font.getSize() : 12.0;
  const double start = textX(nullptr, editText);
  std::size_t best = 0;
  double bestDistance = std::fabs(x - start);
  for (std::size_t i = 0; i < editText.size();) {
    i = utf8Next(editText, i);
    const double d = std::fabs(x - (start + engine.width(editText.substr(0, i), fontSize)));
    if (d < bestDistance) bestDistance = d, best = i;
  }
  return best;
}

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (editing) {
    caret = caretFromX(where.x);
    invalid();
  } else if (CFrame* frame = getFrame()) {
    frame->setFocusView(this);
  } else {
    takeFocus();
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::draw(CDrawContext* context) {
  if (style & kNoDrawStyle) {
    setDirty(false);
    return;
  }
  if (!editing) {
    drawBackground(context);
    if (!(style & kNoTextStyle)) drawText(context, text.c_str());
    setDirty(false);
    return;
  }
  // Editing: the back colour, the typed text and the caret.
  context->setFillColor(backColor);
  context->drawRect(size, kDrawFilled);
  CRect savedClip;
  context->getClipRect(savedClip);
  CRect inside = size;
  inside.bound(savedClip);
  context->setClipRect(inside);
  const double start = textX(context, editText);
  context->setFont(&font);
  context->setFontColor(fontColor);
  context->drawString(editText.c_str(), CRect(start, size.top, start + 1.0e4, size.bottom), kLeftText,
                      antialias);
  const double fontSize = font.getSize() > 0 ? font.getSize() : 12.0;
  const FontMetrics m = TextEngine::instance().metrics(fontSize);
  const double caretX =
      std::floor(start + TextEngine::instance().width(editText.substr(0, caret), fontSize)) + 0.5;
  const double baseline = std::floor(size.top + (size.getHeight() + m.ascent - m.descent) / 2 + 0.5);
  context->setFrameColor(fontColor);
  context->setLineWidth(1);
  context->setDrawMode(kAliasing);
  context->drawLine(CPoint(caretX, baseline - std::ceil(m.ascent)),
                    CPoint(caretX, baseline + std::ceil(m.descent)));
  context->setClipRect(savedClip);
  setDirty(false);
}

bool CTextEdit::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CTextEdit") == 0) || CParamDisplay::isTypeOf(name);
}

}  // namespace jyxui
