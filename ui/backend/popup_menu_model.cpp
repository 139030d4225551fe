#include "ui/backend/popup_menu_model.h"

#include <algorithm>
#include <cmath>

#include "ui/draw_context.h"
#include "ui/text_engine.h"

namespace jyxui {
namespace {

const CColor kMenuBack{242, 242, 238, 255};
const CColor kMenuBorder{90, 90, 90, 255};
const CColor kMenuText{20, 20, 20, 255};
const CColor kHighlightBack{52, 96, 168, 255};
const CColor kHighlightText{255, 255, 255, 255};
const CColor kColumnRule{210, 210, 205, 255};

}  // namespace

PopupMenuModel::PopupMenuModel(const PopupMenuRequest& request) : request_(request) {
  const int n = entryCount();
  rows_ = request_.itemsPerColumn > 0 ? std::min(request_.itemsPerColumn, std::max(n, 1)) : std::max(n, 1);
  columns_ = std::max(1, (n + rows_ - 1) / rows_);
  double widest = 0;
  const double fontSize = kNormalFont->getSize();
  for (const std::string& title : request_.titles)
    widest = std::max(widest, TextEngine::instance().width(title, fontSize));
  columnWidth_ = kCheckWidth + static_cast<int>(std::ceil(widest)) + kTextPadding;
  columnWidth_ = std::max(columnWidth_, 60);
  highlight_ = (request_.current >= 0 && request_.current < n) ? request_.current : -1;
}

PixelRect PopupMenuModel::entryRect(int index) const {
  if (index < 0 || index >= entryCount()) return {};
  const int column = index / rows_;
  const int row = index % rows_;
  const int left = 1 + column * columnWidth_;
  const int top = 1 + row * kEntryHeight;
  return {left, top, left + columnWidth_, top + kEntryHeight};
}

int PopupMenuModel::entryAt(const CPoint& p) const {
  if (p.x < 1 || p.y < 1) return -1;
  const int column = static_cast<int>((p.x - 1) / columnWidth_);
  const int row = static_cast<int>((p.y - 1) / kEntryHeight);
  if (column >= columns_ || row >= rows_) return -1;
  const int index = column * rows_ + row;
  return index < entryCount() ? index : -1;
}

CPoint PopupMenuModel::placement() const {
  if (request_.underPointer && request_.current >= 0 && request_.current < entryCount()) {
    const PixelRect r = entryRect(request_.current);
    return CPoint(request_.pointer.x - (r.left + kCheckWidth / 2),
                  request_.pointer.y - (r.top + kEntryHeight / 2));
  }
  return CPoint(request_.control.left, request_.control.bottom);
}

int PopupMenuModel::key(const VstKeyCode& k) {
  const int n = entryCount();
  if (n == 0) return k.virt == VKEY_ESCAPE ? kCancelled : kNothing;
  const int at = highlight_ >= 0 ? highlight_ : 0;
  switch (k.virt) {
    case VKEY_UP: setHighlight(std::max(0, at - 1)); return kNothing;
    case VKEY_DOWN: setHighlight(highlight_ < 0 ? 0 : std::min(n - 1, at + 1)); return kNothing;
    case VKEY_LEFT: setHighlight(at - rows_ >= 0 ? at - rows_ : at); return kNothing;
    case VKEY_RIGHT: setHighlight(at + rows_ < n ? at + rows_ : at); return kNothing;
    case VKEY_HOME: setHighlight(0); return kNothing;
    case VKEY_END: setHighlight(n - 1); return kNothing;
    case VKEY_RETURN:
    case VKEY_ENTER: return highlight_ >= 0 ? highlight_ : kNothing;
    case VKEY_ESCAPE: return kCancelled;
    default: return kNothing;
  }
}

PixelBuffer PopupMenuModel::draw() const {
  PixelBuffer picture(width(), height(), kMenuBack);
  CDrawContext context(picture);
  context.setFrameColor(kMenuBorder);
  context.drawRect(CRect(0, 0, width(), height()), kDrawStroked);
  context.setFrameColor(kColumnRule);
  for (int c = 1; c < columns_; ++c) {
    const double x = 1 + c * columnWidth_ - 0.5;
    context.drawLine(CPoint(x, 2), CPoint(x, height() - 2));
  }
  context.setFont(kNormalFont);
  for (int i = 0; i < entryCount(); ++i) {
    const PixelRect r = entryRect(i);
    const bool lit = i == highlight_;
    if (lit) {
      context.setFillColor(kHighlightBack);
      context.drawRect(r.toRect(), kDrawFilled);
    }
    const CColor ink = lit ? kHighlightText : kMenuText;
    if (request_.checkCurrent && i == request_.current) {
      // A tick in the check column.
      context.setFrameColor(ink);
      context.setLineWidth(1.6);
      context.setDrawMode(kAntiAliasing);
      const double x = r.left + 4.5;
      const double y = r.top + kEntryHeight / 2.0;
      context.drawLine(CPoint(x, y), CPoint(x + 3.5, y + 4));
      context.drawLine(CPoint(x + 3.5, y + 4), CPoint(x + 10, y - 4.5));
      context.setDrawMode(kAliasing);
      context.setLineWidth(1);
    }
    context.setFontColor(ink);
    const CRect textArea(r.left + kCheckWidth, r.top, r.right - 4, r.bottom);
    context.drawString(request_.titles[static_cast<std::size_t>(i)].c_str(), textArea, kLeftText);
  }
  return picture;
}

}  // namespace jyxui
