// The file selector of the preset and bank dialogs, run through the frame's
// platform window (the platform's dialog, or a scripted one in tests).
#pragma once

#include <string>
#include <vector>

#include "ui/base.h"

namespace jyxui {

class CFrame;

class CFileExtension {
 public:
  CFileExtension(const char* description, const char* extension, const char* mimeType = nullptr,
                 int32_t macType = 0);
  const char* getDescription() const { return description_.c_str(); }
  const char* getExtension() const { return extension_.c_str(); }
  const char* getMimeType() const { return mimeType_.c_str(); }
  int32_t getMacType() const { return macType_; }

 private:
  std::string description_;
  std::string extension_;
  std::string mimeType_;
  int32_t macType_;
};

class CNewFileSelector : public CBaseObject {
 public:
  enum Style { kSelectFile, kSelectSaveFile, kSelectDirectory };

  // Null without a frame or a window to own the dialog.
  static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);

  void setTitle(const char* title) { title_ = title ? title : ""; }
  void setInitialDirectory(const char* directory) { initialDirectory_ = directory ? directory : ""; }
  void setDefaultSaveName(const char* name) { defaultSaveName_ = name ? name : ""; }
  // Also offered; a saved name without an extension gets this one.
  void setDefaultExtension(const CFileExtension& extension);
  void addFileExtension(const CFileExtension& extension);
  void setAllowMultiFileSelection(bool allow) { allowMultiple_ = allow; }

  // Modal; true when the user chose something.
  bool runModal();
  int32_t getNumSelectedFiles() const { return static_cast<int32_t>(selected_.size()); }
  // UTF-8 path, null beyond the selection.
  const char* getSelectedFile(int32_t index) const;

  bool isTypeOf(const char* name) const override;

 protected:
  CNewFileSelector(CFrame* frame, Style style);
  ~CNewFileSelector() override;

 private:
  CFrame* frame_;
  Style style_;
  std::string title_;
  std::string initialDirectory_;
  std::string defaultSaveName_;
  std::vector<CFileExtension> extensions_;
  int defaultExtension_ = -1;
  bool allowMultiple_ = false;
  std::vector<std::string> selected_;
};

}  // namespace jyxui
