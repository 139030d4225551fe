#include "controls/control_support.h"

namespace controls {

void copyControlState(const jyxui::CControl& from, jyxui::CControl& to) {
  to.setMin(from.getMin());
  to.setMax(from.getMax());
  to.setDefaultValue(from.getDefaultValue());
  to.setWheelInc(from.getWheelInc());
  to.setBackOffset(from.getBackOffset());
  to.setMouseEnabled(from.getMouseEnabled());
  // Clearing the dirty state makes the value the old value: first the old one.
  to.setValue(from.getOldValue());
  to.setDirty(false);
  to.setValue(from.getValue());
  to.setDirty(from.isDirty());
}

}  // namespace controls
