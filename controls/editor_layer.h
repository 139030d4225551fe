// The editor layer every product editor stands on, and the frame it opens.
//
// CMyPresetSystemEditor adds to the preset strip's editor the two operations
// of typed value entry: the knobs ask for the entry on a double-click, the
// value field hands back what was typed. Controls reach the editor through
// their listener, which is the preset strip editor's listener part.
//
// Thread contract: the user-interface thread only, as the frame and controls.
#pragma once

#include <cstdint>

#include "presets/preset_editor.h"
#include "ui/jyxui.h"

class CMyPresetSystemEditor : public CPresetSystemEditor {
 public:
  explicit CMyPresetSystemEditor(CPresetSystemEffect* effect);
  // Reached through every part: deleting the editor by its listener or its
  // editor pointer runs the whole chain of destructors.
  ~CMyPresetSystemEditor() override;

  // Starts typed entry for the control with this tag.
  virtual void openValueEntry(int32_t tag) = 0;
  // The text typed for this tag; -1 when the field lost the focus without an
  // entry having been started (such a tag is ignored).
  virtual void valueEntered(int32_t tag, const char* text) = 0;
};

// The editors' frame: a CFrame of the editor's size, nothing added.
class MyFrame : public jyxui::CFrame {
 public:
  MyFrame(const jyxui::CRect& size, void* systemWindow, jyxui::VSTGUIEditorInterface* editor);

 protected:
  // Released by close(), as every frame.
  ~MyFrame() override;
};
