#include "controls/meters.h"

#include <cmath>

#include "controls/control_support.h"
#include "dsp/number_format.h"

using namespace jyxui;

using controls::isNamed;

// ---------------------------------------------------------------- CMovieMeter

CMovieMeter::CMovieMeter(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
                         int32_t height, CBitmap* background, CBitmap* scale, const CPoint& sourceOffset,
                         int32_t scaleMode)
    : CControl(size, listener, tag, background),
      offset(sourceOffset),
      frames(frameCount),
      frameHeight(height),
      scaleBitmap(scale),
      mode(scaleMode) {
  if (scaleBitmap) scaleBitmap->remember();
}

CMovieMeter::~CMovieMeter() {
  if (scaleBitmap) scaleBitmap->forget();
}

void CMovieMeter::setMode(int32_t newMode) {
  mode = newMode;
  setDirty(true);
}

CBitmap* CMovieMeter::currentStrip() const { return mode > 0 ? scaleBitmap : pBackground; }

int32_t CMovieMeter::currentImage() {
  // A level below 0, or not a number, shows the empty meter; an infinite one
  // the full meter: the image is always within the strip.
  if (!(value >= 0)) value = 0;
  auto p = static_cast<float>(std::pow(static_cast<double>(value), 1.2));
  if (mode > 0) p = static_cast<float>(std::sqrt(static_cast<double>(p)));
  double pos = p * 0.617 + 0.018;
  if (pos > 1) pos = 1;
  return static_cast<int32_t>((frames - 1) * pos + 0.5);
}

CPoint CMovieMeter::sourceOf(int32_t image) const { return CPoint(offset.x, offset.y + image * frameHeight); }

void CMovieMeter::draw(CDrawContext* context) {
  const int32_t image = currentImage();
  CBitmap* strip = currentStrip();
  if (strip) strip->draw(context, size, sourceOf(image));
  // A new image drawn over a part of the meter only (a pass for another
  // view) reaches the rest of it in the next pass.
  if ((strip != shownStrip || image != shownImage) && !context->clipHolds(size)) invalid();
  shownStrip = strip;
  shownImage = image;
  setDirty(false);
}

void CMovieMeter::invalidateChanges() {
  const int32_t image = currentImage();
  CBitmap* strip = currentStrip();
  if (strip == shownStrip && image == shownImage) {
    // The picture stays: the meter is done with this level.
    setDirty(false);
  } else if (strip && strip == shownStrip) {
    const PixelRect dest = snapRect(size);
    const PixelRect changed =
        strip->differingArea(sourceOf(shownImage), sourceOf(image), dest.width(), dest.height());
    if (!changed.isEmpty()) {
      CRect area = changed.toRect();
      area.offset(size.left, size.top);
      invalidRect(area);
    } else {
      setDirty(false);  // another image, but the same pixels
    }
  } else {
    invalid();
  }
  shownStrip = strip;
  shownImage = image;
}

CMouseEventResult CMovieMeter::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton) || !listener) return kMouseEventNotHandled;
  mode = mode <= 0 ? 1 : 0;
  value = static_cast<float>(mode);
  invalid();
  listener->valueChanged(this);
  return kMouseEventHandled;
}

bool CMovieMeter::isTypeOf(const char* name) const {
  return isNamed(name, "CMovieMeter") || CControl::isTypeOf(name);
}

CBaseObject* CMovieMeter::newCopy() const {
  auto* copy =
      new CMovieMeter(size, listener, tag, frames, frameHeight, pBackground, scaleBitmap, offset, mode);
  controls::copyControlState(*this, *copy);
  return copy;
}

// ---------------------------------------------------------------- CMovieLED

CMovieLED::CMovieLED(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
                     int32_t height, CBitmap* bitmap, const CPoint& sourceOffset)
    : CControl(size, listener, tag, bitmap),
      // A strip of one image has no steps to decay through.
      step(frameCount > 1 ? 1.0f / static_cast<float>(frameCount - 1) : 1.0f),
      offset(sourceOffset),
      frames(frameCount),
      frameHeight(height) {
  value = 0;
  oldValue = 0;
}

void CMovieLED::reset() {
  oldValue = 0;
  value = 0;
  setDirty(true);
}

void CMovieLED::draw(CDrawContext* context) {
  float held = oldValue;
  if (held > kHoldLevel) held -= step;
  if (held < 0) held = 0;
  if (held > value) value = held;
  // The peak is kept before the lamp level is limited.
  const float peak = value;
  if (value > 1) value = 1;
  CCoord sourceY = offset.y;
  if (value > 0) sourceY += static_cast<int32_t>((frames - 1) * value + 0.5) * frameHeight;
  if (pBackground) pBackground->draw(context, size, CPoint(offset.x, sourceY));
  // Only the flag: clearing the control's dirty state would overwrite the peak.
  CView::setDirty(false);
  oldValue = peak;
}

CMouseEventResult CMovieLED::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  oldValue = 0;
  value = 0;
  setDirty(true);
  invalid();
  if (listener) listener->valueChanged(this);
  return kMouseEventHandled;
}

bool CMovieLED::isTypeOf(const char* name) const {
  return isNamed(name, "CMovieLED") || CControl::isTypeOf(name);
}

CBaseObject* CMovieLED::newCopy() const {
  auto* copy = new CMovieLED(size, listener, tag, frames, frameHeight, pBackground, offset);
  controls::copyControlState(*this, *copy);
  return copy;
}

// ---------------------------------------------------------------- CCounter

namespace {

// Digits are cut, never rounded, from a non-negative magnitude: the digit at
// place 10^power (power -1: tenths, -2: hundredths, up to 4: ten-thousands). A value too large to have one
// (or NaN) has none.
constexpr int32_t kNoDigit = -1;

double placeValue(double magnitude, int power) {
  static constexpr double kPowersOfTen[] = {1, 10, 100, 1000, 10000};
  const double scale = kPowersOfTen[power < 0 ? -power : power];
  return std::trunc(power < 0 ? magnitude * scale : magnitude / scale);
}

int32_t digitAt(double magnitude, int power) {
  const double whole = placeValue(magnitude, power);
  if (!(whole >= 0 && whole < 1e15)) return kNoDigit;
  return static_cast<int32_t>(std::fmod(whole, 10.0));
}

// A leading digit: shown only when it is 1 to 9.
int32_t leadingDigit(double magnitude, int power) {
  const double whole = placeValue(magnitude, power);
  return whole >= 1 && whole <= 9 ? static_cast<int32_t>(whole) : CCounter::kBlank;
}

// A digit shown even when 0; blank when there is none.
int32_t shownDigit(double magnitude, int power) {
  const int32_t digit = digitAt(magnitude, power);
  return digit == kNoDigit ? CCounter::kBlank : digit;
}

// The tens after the hundreds: blank while both are leading zeros.
int32_t tensAfterHundreds(double magnitude) {
  if (placeValue(magnitude, 1) == 0) return CCounter::kBlank;
  return shownDigit(magnitude, 1);
}

// Glyphs 0 to 4 of the layouts without a sign: hundreds, tens (both blank
// while leading zeros), units, point, tenths; a units or tenths digit that a
// value does not have shows as missing.
void hundredsToTenths(double magnitude, int32_t missing, std::array<int32_t, 6>& glyphs) {
  const auto orMissing = [missing](int32_t digit) { return digit == kNoDigit ? missing : digit; };
  glyphs[0] = leadingDigit(magnitude, 2);
  glyphs[1] = tensAfterHundreds(magnitude);
  glyphs[2] = orMissing(digitAt(magnitude, 0));
  glyphs[3] = CCounter::kDecimalPoint;
  glyphs[4] = orMissing(digitAt(magnitude, -1));
}

}  // namespace

CCounter::CCounter(const CRect& size, CControlListener* listener, int32_t tag, float initialValue,
                   int32_t layout, int32_t glyphX, int32_t glyphY, int32_t width, int32_t height,
                   CBitmap* bitmap)
    : CControl(size, listener, tag, bitmap),
      mode(layout),
      x(glyphX),
      y(glyphY),
      glyphWidth(width),
      glyphHeight(height) {
  value = initialValue;
  glyphs.fill(kBlank);
}

void CCounter::setValueAndMode(float newValue, int32_t layout) {
  value = newValue;
  mode = layout;
  setDirty(true);
}

void CCounter::fillGlyphs() {
  glyphs.fill(kBlank);
  const double unrounded = value;
  switch (mode) {
    case 0: return;
    case 1: {  // dB
      const double v = roundToDecimals(unrounded, 2);
      const double a = std::fabs(v);
      glyphs[0] = v > 0.01 ? kPlus : v < -0.01 ? kMinus : kBlank;
      if (a < 10) {
        glyphs[1] = shownDigit(a, 0);
        glyphs[2] = kDecimalPoint;
        glyphs[3] = shownDigit(a, -1);
        glyphs[4] = shownDigit(a, -2);
      } else {
        glyphs[1] = leadingDigit(a, 1);
        glyphs[2] = shownDigit(a, 0);
        glyphs[3] = kDecimalPoint;
        // The tenths of the value itself: +15.3 for 15.32 rounded to 15.33.
        glyphs[4] = shownDigit(std::fabs(unrounded - std::trunc(v)), -1);
      }
      glyphs[5] = kDecibel;
      return;
    }
    case 2: {  // Hz: to tenths below 1000, to tens from there
      const double v = roundToDecimals(unrounded, unrounded < 1000 ? 1 : -1);
      const double a = std::fabs(v);
      if (v >= 1000) {
        glyphs[0] = leadingDigit(a, 4);
        glyphs[1] = shownDigit(a, 3);
        glyphs[2] = kThousands;
        glyphs[3] = shownDigit(a, 2);
        glyphs[4] = shownDigit(a, 1);
      } else {
        hundredsToTenths(a, 0, glyphs);
      }
      glyphs[5] = kHertz;
      return;
    }
    case 3: {  // percent
      hundredsToTenths(std::fabs(roundToDecimals(unrounded, 1)), kBlank, glyphs);
      glyphs[5] = kPercent;
      return;
    }
    default: {  // two decimals, no sign, no unit
      const double a = std::fabs(roundToDecimals(unrounded, 2));
      hundredsToTenths(a, kBlank, glyphs);
      glyphs[5] = shownDigit(a, -2);
      return;
    }
  }
}

void CCounter::draw(CDrawContext* context) {
  fillGlyphs();
  if (pBackground) {
    for (int32_t i = 0; i < 6; ++i) {
      const CRect glyph(x + i * glyphWidth, y, x + (i + 1) * glyphWidth, y + glyphHeight);
      pBackground->draw(context, glyph, CPoint(0, glyphHeight * glyphs[static_cast<std::size_t>(i)]));
    }
  }
  setDirty(false);
}

bool CCounter::isTypeOf(const char* name) const {
  return isNamed(name, "CCounter") || CControl::isTypeOf(name);
}

CBaseObject* CCounter::newCopy() const {
  auto* copy = new CCounter(size, listener, tag, value, mode, x, y, glyphWidth, glyphHeight, pBackground);
  controls::copyControlState(*this, *copy);
  copy->glyphs = glyphs;
  return copy;
}
