// Controls: views with a value, a tag, a listener and a background bitmap.
#pragma once

#include "ui/view.h"

namespace jyxui {

class CBitmap;
class CControl;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*button*/) { return 0; }
  virtual void controlBeginEdit(CControl* /*control*/) {}
  virtual void controlEndEdit(CControl* /*control*/) {}
};

// Controls drawn from a film strip of equally high images stacked vertically.
class IMultiBitmapControl {
 public:
  virtual ~IMultiBitmapControl() = default;
  virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
  virtual CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  virtual void setNumSubPixmaps(int32_t count) { subPixmaps = count; }
  virtual int32_t getNumSubPixmaps() const { return subPixmaps; }

 protected:
  CCoord heightOfOneImage = 0;
  int32_t subPixmaps = 0;
};

class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);
  ~CControl() override;

  // The value is stored as given, never limited to min..max; only bounds()
  // limits it.
  virtual void setValue(float value) { this->value = value; }
  virtual float getValue() const { return value; }
  virtual float getOldValue() const { return oldValue; }
  virtual void setMin(float v) { vmin = v; }
  virtual float getMin() const { return vmin; }
  virtual void setMax(float v) { vmax = v; }
  virtual float getMax() const { return vmax; }
  virtual void setDefaultValue(float v) { defaultValue = v; }
  virtual float getDefaultValue() const { return defaultValue; }
  virtual void setWheelInc(float v) { wheelInc = v; }
  virtual float getWheelInc() const { return wheelInc; }
  virtual void bounds();

  virtual void setTag(int32_t t) { tag = t; }
  int32_t getTag() const { return tag; }
  virtual void setListener(CControlListener* l) { listener = l; }
  CControlListener* getListener() const { return listener; }

  // The start and end of a gesture: to the listener, and through the frame
  // and the editor to the host.
  virtual void beginEdit();
  virtual void endEdit();

  // The control keeps its own reference to the bitmap.
  virtual void setBackground(CBitmap* background);
  CBitmap* getBackground() const { return pBackground; }
  void setBackOffset(const CPoint& offset) { backOffset = offset; }
  const CPoint& getBackOffset() const { return backOffset; }

  // Dirty while the value differs from the old value, or when flagged.
  bool isDirty() const override;
  // false: clears the flag and makes the old value the value; true: sets
  // the flag alone, the old value stays.
  void setDirty(bool dirty = true) override;

  bool isTypeOf(const char* name) const override;

 protected:
  CControlListener* listener;
  int32_t tag;
  float value = 0;
  float oldValue = 0;
  float vmin = 0;
  float vmax = 1;
  float defaultValue = 0.5f;
  float wheelInc = 0.1f;
  CBitmap* pBackground = nullptr;
  CPoint backOffset;
};

}  // namespace jyxui
