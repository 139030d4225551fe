// The option menu: a display of its current entry that opens a pop-up of all
// entries (in columns) on a left click. Choosing an entry makes it current
// and reports it, also when it was current already; cancelling reports
// nothing. Every title is an ordinary entry, "-" included.
#pragma once

#include <string>
#include <vector>

#include "ui/param_display.h"

namespace jyxui {

class CMenuItem : public CBaseObject {
 public:
  explicit CMenuItem(const char* title = nullptr) : title_(title ? title : "") {}
  const char* getTitle() const { return title_.c_str(); }
  void setTitle(const char* title) { title_ = title ? title : ""; }
  bool isTypeOf(const char* name) const override;

 private:
  std::string title_;
};

class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
              CBitmap* bgWhenClick = nullptr, int32_t style = 0);
  ~COptionMenu() override;

  // At index (-1: at the end); answers the new entry.
  CMenuItem* addEntry(const char* title, int32_t index = -1);
  // Takes over the caller's reference.
  CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
  bool removeEntry(int32_t index);
  bool removeAllEntry();
  int32_t getNbEntries() const { return static_cast<int32_t>(entries_.size()); }
  CMenuItem* getEntry(int32_t index) const;
  // The current entry; its index is also the control's value.
  bool setCurrent(int32_t index, bool countSeparator = true);
  int32_t getCurrentIndex(bool countSeparator = false) const;
  CMenuItem* getCurrent() const { return getEntry(getCurrentIndex()); }
  void setValue(float value) override;
  void setNbItemsPerColumn(int32_t count) { itemsPerColumn_ = count; }
  int32_t getNbItemsPerColumn() const { return itemsPerColumn_; }
  // The entry chosen in the last pop-up, -1 after a cancel.
  int32_t getLastResult() const { return lastResult_; }

  // Opens the pop-up (modal) and answers the choice, -1 when cancelled.
  int32_t popup();

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  bool isTypeOf(const char* name) const override;

 private:
  std::vector<CMenuItem*> entries_;
  CBitmap* bgWhenClick_ = nullptr;
  int32_t current_ = 0;
  int32_t itemsPerColumn_ = -1;
  int32_t lastResult_ = -1;
  bool open_ = false;
  CPoint lastPress_;
  bool hasPress_ = false;
};

}  // namespace jyxui
