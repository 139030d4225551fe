// How X11 input becomes the layer's: pointer buttons and modifier masks to
// button-state bits, the wheel buttons to notches, key symbols to key codes.
// Pure functions, so that tests check the tables without a display.
#pragma once

#include <cstdint>

#include "host/vst_abi.h"
#include "ui/base.h"

namespace jyxui::x11 {

// The bit of pointer button 1, 2 or 3 (left, middle, right); 0 for others.
CButtonState buttonBit(unsigned int button);
// Shift, Control and Mod1 (Alt) of an event's state, and the held buttons
// when withButtons is set.
CButtonState stateBits(unsigned int state, bool withButtons);
// Buttons 4 and 5 are the wheel: +1 (away from the user) and -1; 0 otherwise.
float wheelNotches(unsigned int button);
// The key code of a key symbol (from XLookupString) with the event's state:
// keys without a character of their own get a virtual key, others their
// Unicode character. character 0 and virt 0: a key the layer does not use.
VstKeyCode keyCode(unsigned long keysym, unsigned int state);

}  // namespace jyxui::x11
