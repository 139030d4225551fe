#include "controls/needle_meter.h"

#include <cmath>

#include "controls/control_support.h"

using namespace jyxui;

using controls::isNamed;

namespace {

// Below the smallest level the needle and the lamp take their smallest value.
constexpr float kLevelFloor = 0.00000001f;
constexpr float kLevelSmallest = 0.000000001f;
constexpr float kLevelCeiling = 3.0f;
// The needle's travel: from the rest angle, 120 degrees clockwise at 1.44.
constexpr float kShownMin = 0.000001f;
constexpr float kShownMax = 1.44f;
constexpr double kFullScale = 1.44;
constexpr double kRestAngle = 2.6179938779914944;  // 150 degrees
constexpr double kSweep = 2.0943951023931953;      // 120 degrees

// The needle's two strokes: where each lies from the pivot, how wide, its colour.
struct Stroke {
  double dx, dy;
  CCoord width;
  CColor color;
};
constexpr Stroke kShadow{3.5, 2.5, 1, MakeCColor(120, 120, 125, 70)};
constexpr Stroke kNeedle{0.5, 0.5, 2, MakeCColor(100, 100, 105, 255)};

// Where a stroke of the needle runs at this angle, between the two radii.
struct StrokeEnds {
  CPoint from, to;
};
StrokeEnds strokeEnds(const Stroke& stroke, const CPoint& pivot, double inner, double outer, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double x = pivot.x + stroke.dx, y = pivot.y + stroke.dy;
  return {CPoint(x + inner * c, y - inner * s), CPoint(x + outer * c, y - outer * s)};
}

CBitmap* keep(CBitmap* bitmap) {
  if (bitmap) bitmap->remember();
  return bitmap;
}

void release(CBitmap* bitmap) {
  if (bitmap) bitmap->forget();
}

// NaN counts as the smallest level.
float heldLevel(float level) {
  if (!(level >= kLevelFloor)) return kLevelSmallest;
  if (level > kLevelCeiling) return kLevelCeiling;
  return level;
}

}  // namespace

COldVuMeter::COldVuMeter(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* face,
                         CBitmap* overlay, const CPoint& lampPosition, const CPoint& overlayAt,
                         CBitmap* lampStrip, const CPoint& needlePivot, float inner, float outer,
                         float further1, float further2)
    : CControl(size, listener, tag),
      faceBitmap(keep(face)),
      overlayBitmap(keep(overlay)),
      overlayPosition(overlayAt),
      innerRadius(inner),
      outerRadius(outer),
      pivot(needlePivot),
      lampBitmap(keep(lampStrip)),
      lamp(kLevelFloor),
      further{further1, further2} {
  const CPoint faceAt(std::trunc(size.left), std::trunc(size.top));
  faceRect = CRect(faceAt.x, faceAt.y, faceAt.x + (faceBitmap ? faceBitmap->getWidth() : 0),
                   faceAt.y + (faceBitmap ? faceBitmap->getHeight() : 0));
  if (lampBitmap) {
    const CCoord h = lampBitmap->getHeight();
    lampSources = {CPoint(0, 0), CPoint(0, h / 3), CPoint(0, 2 * h / 3)};
    const CPoint at(std::trunc(lampPosition.x), std::trunc(lampPosition.y));
    lampRect = CRect(at.x, at.y, at.x + lampBitmap->getWidth(), at.y + h / 3);
  }
  value = kLevelFloor;
}

COldVuMeter::~COldVuMeter() {
  release(lampBitmap);
  release(faceBitmap);
  release(overlayBitmap);
}

void COldVuMeter::resetLamp() {
  lamp = 0.0000001f;
  setDirty(true);
}

void COldVuMeter::setLamp(float level) {
  lamp = heldLevel(level);
  setDirty(true);
}

void COldVuMeter::setLevels(float needle, float newLamp) {
  setValue(heldLevel(needle));
  const float old = lamp;
  if (old >= kLampOver && newLamp < kLampOver)
    lamp = -1.0f;  // the over has ended: held
  else if (old > kLampHeld || newLamp >= kLampOver)
    lamp = newLamp;
  setDirty(true);
}

float COldVuMeter::shownLevel(float level) {
  if (!(level >= kShownMin)) return kShownMin;
  return level > kShownMax ? kShownMax : level;
}

double COldVuMeter::needleAngle(float level) {
  const double v = shownLevel(level);
  return kRestAngle - std::pow(v / kFullScale, 1.2) * kSweep;
}

CRect COldVuMeter::getOverlayRect() const {
  if (!overlayBitmap) return CRect();
  return CRect(overlayPosition.x, overlayPosition.y, overlayPosition.x + overlayBitmap->getWidth(),
               overlayPosition.y + overlayBitmap->getHeight());
}

int32_t COldVuMeter::lampImage() const { return lamp >= kLampOver ? 0 : (lamp <= kLampHeld ? 1 : 2); }

void COldVuMeter::invalidateNeedle(double angle) {
  for (const Stroke& stroke : {kShadow, kNeedle}) {
    const StrokeEnds ends = strokeEnds(stroke, pivot, innerRadius, outerRadius, angle);
    invalidRect(CDrawContext::lineBounds(ends.from, ends.to, stroke.width));
  }
}

void COldVuMeter::invalidateChanges() {
  value = shownLevel(value);
  const double angle = needleAngle(value);
  const int32_t image = lampImage();
  if (shownLamp < 0) {
    invalid();
  } else {
    if (angle != shownAngle) {
      invalidateNeedle(shownAngle);
      invalidateNeedle(angle);
    }
    if (image != shownLamp) invalidRect(lampRect);
  }
  shownAngle = angle;
  shownLamp = image;
}

void COldVuMeter::draw(CDrawContext* context) {
  value = shownLevel(value);
  const double a = needleAngle(value);
  if (faceBitmap) faceBitmap->draw(context, faceRect, CPoint(0, 0));

  // The strokes leave the context's pen as they found it.
  const CDrawMode mode = context->getDrawMode();
  const CLineStyle style = context->getLineStyle();
  const CCoord width = context->getLineWidth();
  const CColor color = context->getFrameColor();
  context->setDrawMode(kAntiAliasing);
  context->setLineStyle(kLineSolid);
  for (const Stroke& stroke : {kShadow, kNeedle}) {
    context->setLineWidth(stroke.width);
    context->setFrameColor(stroke.color);
    const StrokeEnds ends = strokeEnds(stroke, pivot, innerRadius, outerRadius, a);
    context->drawLine(ends.from, ends.to);
  }
  context->setDrawMode(mode);
  context->setLineStyle(style);
  context->setLineWidth(width);
  context->setFrameColor(color);

  if (overlayBitmap) overlayBitmap->draw(context, getOverlayRect(), CPoint(0, 0));
  const int32_t image = lampImage();
  if (lampBitmap) lampBitmap->draw(context, lampRect, lampSources[static_cast<std::size_t>(image)]);
  // A new picture drawn over a part of the meter only (a pass for another
  // view) reaches the rest of it in the next pass.
  if ((a != shownAngle || image != shownLamp) && !context->clipHolds(size)) invalid();
  shownAngle = a;
  shownLamp = image;
}

CMouseEventResult COldVuMeter::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  listener->valueChanged(this);
  return kMouseEventHandled;
}

bool COldVuMeter::isTypeOf(const char* name) const {
  return isNamed(name, "COldVuMeter") || CControl::isTypeOf(name);
}

CBaseObject* COldVuMeter::newCopy() const {
  auto* copy =
      new COldVuMeter(size, listener, tag, faceBitmap, overlayBitmap, lampRect.getTopLeft(), overlayPosition,
                      lampBitmap, pivot, innerRadius, outerRadius, further[0], further[1]);
  controls::copyControlState(*this, *copy);
  copy->lamp = lamp;
  return copy;
}
