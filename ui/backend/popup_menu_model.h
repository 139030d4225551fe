// The pop-up menu as our renderer draws it, for every back end: the entries in
// columns, the current one check-marked and, in pop-up style, opened under the
// pointer; hit testing and keys. A back end shows the picture in a window of
// its own and feeds it the pointer and the keys.
#pragma once

#include "ui/backend/platform_window.h"
#include "ui/pixel_buffer.h"

namespace jyxui {

class PopupMenuModel {
 public:
  static constexpr int kEntryHeight = 18;
  static constexpr int kCheckWidth = 18;
  static constexpr int kTextPadding = 12;

  explicit PopupMenuModel(const PopupMenuRequest& request);

  int entryCount() const { return static_cast<int>(request_.titles.size()); }
  int columns() const { return columns_; }
  int rowsPerColumn() const { return rows_; }
  int width() const { return columns_ * columnWidth_ + 2; }
  int height() const { return rows_ * kEntryHeight + 2; }
  // In the menu's own pixels, (0,0) at its top-left.
  PixelRect entryRect(int index) const;
  int entryAt(const CPoint& inMenu) const;
  // Where the menu's top-left goes in frame coordinates: the current entry
  // under the pointer (pop-up style), else below the control. A back end then
  // keeps it on the screen.
  CPoint placement() const;

  int highlight() const { return highlight_; }
  void setHighlight(int index) { highlight_ = (index >= 0 && index < entryCount()) ? index : -1; }
  // Arrows move the highlight; Return or Enter chooses it (the answer is the
  // index), Escape cancels (kCancelled); anything else answers kNothing.
  static constexpr int kNothing = -2;
  static constexpr int kCancelled = -1;
  int key(const VstKeyCode& key);

  // The whole menu, the size of width() x height().
  PixelBuffer draw() const;

 private:
  PopupMenuRequest request_;
  int columns_ = 1;
  int rows_ = 0;
  int columnWidth_ = 0;
  int highlight_ = -1;
};

}  // namespace jyxui
