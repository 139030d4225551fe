#include "ui/file_selector.h"

#include <cstring>

#include "platform/current_directory.h"
#include "ui/frame.h"
#include "ui/gui_editor.h"

namespace jyxui {

CFileExtension::CFileExtension(const char* description, const char* extension, const char* mimeType,
                               int32_t macType)
    : description_(description ? description : ""),
      extension_(extension ? extension : ""),
      mimeType_(mimeType ? mimeType : ""),
      macType_(macType) {}

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) {
  if (!parent || !parent->getPlatformWindow()) return nullptr;
  return new CNewFileSelector(parent, style);
}

CNewFileSelector::CNewFileSelector(CFrame* frame, Style style) : frame_(frame), style_(style) {
  frame_->remember();
}

CNewFileSelector::~CNewFileSelector() { frame_->forget(); }

void CNewFileSelector::setDefaultExtension(const CFileExtension& extension) {
  for (std::size_t i = 0; i < extensions_.size(); ++i) {
    if (std::strcmp(extensions_[i].getExtension(), extension.getExtension()) == 0) {
      defaultExtension_ = static_cast<int>(i);
      return;
    }
  }
  extensions_.push_back(extension);
  defaultExtension_ = static_cast<int>(extensions_.size() - 1);
}

void CNewFileSelector::addFileExtension(const CFileExtension& extension) { extensions_.push_back(extension); }

namespace {

bool hasExtension(const std::string& path) {
  const std::size_t name = path.find_last_of(std::string("/") + platform::kPathSeparator);
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && (name == std::string::npos || dot > name + 1);
}

}  // namespace

bool CNewFileSelector::runModal() {
  selected_.clear();
  IPlatformWindow* window = frame_->getPlatformWindow();
  if (!window) return false;
  SharedGuard keep(this);
  FileDialogRequest request;
  request.kind = style_ == kSelectSaveFile    ? FileDialogRequest::Kind::SaveFile
                 : style_ == kSelectDirectory ? FileDialogRequest::Kind::SelectDirectory
                                              : FileDialogRequest::Kind::OpenFile;
  request.title = title_;
  request.initialDirectory = initialDirectory_;
  request.defaultSaveName = defaultSaveName_;
  for (const CFileExtension& e : extensions_) request.types.push_back({e.getDescription(), e.getExtension()});
  request.defaultType = defaultExtension_;
  request.allowMultiple = allowMultiple_;
  if (VSTGUIEditorInterface* editor = frame_->getEditor()) request.idle = [editor] { editor->doIdleStuff(); };

  std::vector<std::string> chosen;
  if (!window->runFileDialog(request, chosen)) return false;
  for (std::string& path : chosen) {
    if (path.empty()) continue;
    if (request.kind == FileDialogRequest::Kind::SaveFile && defaultExtension_ >= 0 && !hasExtension(path))
      path += std::string(".") + extensions_[static_cast<std::size_t>(defaultExtension_)].getExtension();
    selected_.push_back(path);
    if (!allowMultiple_) break;
  }
  return !selected_.empty();
}

const char* CNewFileSelector::getSelectedFile(int32_t index) const {
  if (index < 0 || index >= getNumSelectedFiles()) return nullptr;
  return selected_[static_cast<std::size_t>(index)].c_str();
}

bool CNewFileSelector::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CNewFileSelector") == 0) || CBaseObject::isTypeOf(name);
}

}  // namespace jyxui
