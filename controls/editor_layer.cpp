#include "controls/editor_layer.h"

CMyPresetSystemEditor::CMyPresetSystemEditor(CPresetSystemEffect* effect) : CPresetSystemEditor(effect) {}

CMyPresetSystemEditor::~CMyPresetSystemEditor() = default;

MyFrame::MyFrame(const jyxui::CRect& size, void* systemWindow, jyxui::VSTGUIEditorInterface* editor)
    : CFrame(size, systemWindow, editor) {}

MyFrame::~MyFrame() = default;
