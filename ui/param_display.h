// Text readouts and the text field.
#pragma once

#include <string>

#include "ui/control.h"
#include "ui/draw_context.h"

namespace jyxui {

// The converter writes the value's text into a buffer of kParamTextBytes.
using CParamDisplayValueToStringProc = void (*)(float value, char* text);

class CParamDisplay : public CControl {
 public:
  static constexpr std::size_t kParamTextBytes = 256;

  explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
  ~CParamDisplay() override;

  void setStringConvert(CParamDisplayValueToStringProc convert) { stringConvert = convert; }
  void setHoriAlign(CHoriTxtAlign align) { horiTxtAlign = align; }
  CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
  void setFont(const CFontDesc* font);
  const CFontDesc& getFont() const { return font; }
  void setFontColor(const CColor& color) { fontColor = color; }
  CColor getFontColor() const { return fontColor; }
  void setBackColor(const CColor& color) { backColor = color; }
  CColor getBackColor() const { return backColor; }
  void setFrameColor(const CColor& color) { frameColor = color; }
  CColor getFrameColor() const { return frameColor; }
  void setStyle(int32_t s) { style = s; }
  int32_t getStyle() const { return style; }
  void setAntialias(bool on) { antialias = on; }

  // The picture behind the text: the background bitmap from the back offset
  // when there is one, else the back colour with a frame (unless kNoFrame);
  // then the converter's text, or the value as "%2.2f".
  void draw(CDrawContext* context) override;
  bool isTypeOf(const char* name) const override;

 protected:
  void drawBackground(CDrawContext* context);
  void drawText(CDrawContext* context, const char* text);
  std::string valueText() const;

  CParamDisplayValueToStringProc stringConvert = nullptr;
  CHoriTxtAlign horiTxtAlign = kCenterText;
  int32_t style;
  CFontDesc font;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
  CColor frameColor = kBlackCColor;
  bool antialias = true;
};

// A field whose text is edited in place: a click, or the frame's focus, starts
// the editing; Return, Enter, Tab, a click elsewhere, Escape (which first
// puts back the text from before) or another window taking the keyboard end
// it. The field holds the platform window's keyboard only while it edits.
// Ending the editing sets the typed text and reports it to the listener.
class CTextEdit : public CParamDisplay {
 public:
  // The longest text, in bytes of UTF-8; longer texts are cut at a character boundary.
  static constexpr std::size_t kMaxTextBytes = 255;

  CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const char* text = nullptr,
            CBitmap* background = nullptr, int32_t style = 0);

  virtual void setText(const char* text);
  virtual const char* getText() const { return text.c_str(); }

  void takeFocus() override;
  void looseFocus() override;
  bool isEditing() const { return editing; }
  // While editing: the text as typed so far and the caret's byte position.
  const std::string& getEditText() const { return editText; }
  std::size_t getCaret() const { return caret; }

  int32_t onKeyDown(VstKeyCode& keyCode) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  void draw(CDrawContext* context) override;
  bool isTypeOf(const char* name) const override;

 protected:
  std::string text;

 private:
  void endEditing(bool keepTyped);
  void insert(char32_t codePoint);
  std::size_t caretFromX(CCoord x) const;
  double textX(CDrawContext* context, const std::string& shown) const;

  bool editing = false;
  std::string editText;
  std::string textBeforeEdit;
  std::size_t caret = 0;
};

}  // namespace jyxui
