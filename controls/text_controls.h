// The editors' texts: the static label, the value readout and the field of
// typed value entry.
#pragma once

#include "ui/jyxui.h"

// A static text in the library's very small font (Arial 9), black, left-
// aligned over whatever lies below. The caller keeps the text alive.
class CLabel2 : public jyxui::CParamDisplay {
 public:
  CLabel2(const jyxui::CRect& size, const char* text);

  void draw(jyxui::CDrawContext* context) override;

 protected:
  const char* text;
};

// The readout of every editor: a value shown through a converter over a copy
// of the page's picture (the background from the back offset).
class CBackDisplay : public jyxui::CParamDisplay {
 public:
  using CParamDisplay::CParamDisplay;
};

// The field of typed value entry. activateForTag starts an entry for a
// control's tag; when the field loses the focus the typed text goes to the
// editor's valueEntered with that tag (-1 when no entry was started). The
// field's own gesture begins with the entry and ends with the focus loss.
class CMyTextEdit : public jyxui::CTextEdit {
 public:
  CMyTextEdit(const jyxui::CRect& size, jyxui::CControlListener* listener, int32_t tag, const char* text,
              jyxui::CBitmap* background, int32_t style = 0);

  void activateForTag(int32_t tag);
  int32_t getTargetTag() const { return targetTag; }

  void beginEdit() override;
  void looseFocus() override;

 protected:
  int32_t targetTag = -1;

 private:
  bool gestureOpen_ = false;
};
