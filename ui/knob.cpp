#include "ui/knob.h"

#include <cmath>
#include <cstring>

#include "ui/bitmap.h"
#include "ui/draw_context.h"
#include "ui/frame.h"

namespace jyxui {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kLinearRange = 300.0f;  // pixels of travel for the whole range
constexpr float kFineRange = 1500.0f;   // the same with Shift
}  // namespace

CKnob::CKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, CBitmap* handle,
             const CPoint& o)
    : CControl(r, l, t, background), offset(o), pHandle(handle) {
  if (pHandle) pHandle->remember();
}

CKnob::~CKnob() {
  if (pHandle) pHandle->forget();
}

float CKnob::valueFromPoint(CPoint& point) const {
  const double dx = point.x - size.getWidth() / 2;
  const double dy = size.getHeight() / 2 - point.y;
  const double alpha = std::atan2(dy, dx) * 180.0 / kPi;
  double sweep = std::fmod(kStartAngle - alpha, 360.0);
  if (sweep < 0) sweep += 360.0;
  double t;
  if (sweep <= kRangeAngle)
    t = sweep / kRangeAngle;
  else
    t = sweep <= kRangeAngle + (360.0 - kRangeAngle) / 2 ? 1.0 : 0.0;
  return static_cast<float>(vmin + t * (vmax - vmin));
}

void CKnob::draw(CDrawContext* context) {
  if (pBackground) pBackground->draw(context, size, offset);
  const float range = vmax - vmin;
  const double t = range != 0 ? (value - vmin) / range : 0.0;
  const double angle = (kStartAngle - std::fmax(0.0, std::fmin(1.0, t)) * kRangeAngle) * kPi / 180.0;
  const CPoint centre(size.left + size.getWidth() / 2, size.top + size.getHeight() / 2);
  const double radius = std::fmin(size.getWidth(), size.getHeight()) / 2 - 2;
  context->setFrameColor(colorHandle);
  context->setLineWidth(2);
  context->setDrawMode(kAntiAliasing);
  context->drawLine(centre, CPoint(centre.x + radius * std::cos(angle), centre.y - radius * std::sin(angle)));
  context->setDrawMode(kAliasing);
  setDirty(false);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  if (buttons & kControl) {
    value = getDefaultValue();
    if (isDirty()) {
      invalid();
      if (listener) listener->valueChanged(this);
    }
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  dragging_ = true;
  oldButtons_ = buttons;
  startValue_ = value;
  coef_ = (vmax - vmin) / ((buttons & kShift) ? kFineRange : kLinearRange);
  const int32_t mode = getFrame() ? getFrame()->getKnobMode() : kCircularMode;
  dragLinear_ = (mode == kLinearMode) != ((buttons & kAlt) != 0);
  if (dragLinear_) {
    firstPoint_ = where;
  } else {
    CPoint relative(where.x - size.left, where.y - size.top);
    lastCircularValue_ = valueFromPoint(relative);
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !dragging_) return kMouseEventNotHandled;
  if (dragLinear_) {
    const float delta = static_cast<float>((where.x - firstPoint_.x) * 0.5 + (firstPoint_.y - where.y));
    if (buttons != oldButtons_) {
      // Fine steps switched mid-drag: the value goes on from where it is.
      const float newCoef = (vmax - vmin) / ((buttons & kShift) ? kFineRange : kLinearRange);
      startValue_ += (coef_ - newCoef) * delta;
      coef_ = newCoef;
      oldButtons_ = buttons;
    }
    value = delta * coef_ + startValue_;
    bounds();
  } else {
    CPoint relative(where.x - size.left, where.y - size.top);
    const float v = valueFromPoint(relative);
    const float halfRange = (vmax - vmin) * 0.5f;
    // Across the gap the knob stays at the end it came from.
    if (lastCircularValue_ - v > halfRange) {
      value = vmax;
    } else if (v - lastCircularValue_ > halfRange) {
      value = vmin;
    } else {
      value = v;
      lastCircularValue_ = v;
    }
  }
  if (isDirty()) {
    invalid();
    if (listener) listener->valueChanged(this);
  }
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
  dragging_ = false;
  endEdit();
  return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  const float step = (buttons & kShift) ? wheelInc * 0.1f : wheelInc;
  value += distance * step;
  bounds();
  if (isDirty()) {
    invalid();
    beginEdit();
    if (listener) listener->valueChanged(this);
    endEdit();
  }
  return true;
}

bool CKnob::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CKnob") == 0) || CControl::isTypeOf(name);
}

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* background, const CPoint& o)
    : CKnob(r, l, t, background, nullptr, o) {
  heightOfOneImage = r.getHeight();
  subPixmaps = (background && heightOfOneImage > 0)
                   ? static_cast<int32_t>(background->getHeight() / heightOfOneImage)
                   : 0;
}

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, int32_t images, CCoord imageHeight,
                     CBitmap* background, const CPoint& o)
    : CKnob(r, l, t, background, nullptr, o) {
  subPixmaps = images;
  heightOfOneImage = imageHeight;
}

void CAnimKnob::draw(CDrawContext* context) {
  if (pBackground && subPixmaps > 0) {
    const float position = static_cast<float>(subPixmaps - 1) * value;
    int image = 0;
    if (position >= static_cast<float>(subPixmaps - 1))
      image = subPixmaps - 1;
    else if (position > 0)
      image = static_cast<int>(std::floor(position));
    pBackground->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage));
  }
  setDirty(false);
}

bool CAnimKnob::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "CAnimKnob") == 0) || CKnob::isTypeOf(name);
}

}  // namespace jyxui
