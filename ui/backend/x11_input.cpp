#include "ui/backend/x11_input.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace jyxui::x11 {

CButtonState buttonBit(unsigned int button) {
  switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
  }
}

CButtonState stateBits(unsigned int state, bool withButtons) {
  CButtonState bits = 0;
  if (state & ShiftMask) bits |= kShift;
  if (state & ControlMask) bits |= kControl;
  if (state & Mod1Mask) bits |= kAlt;
  if (withButtons) {
    if (state & Button1Mask) bits |= kLButton;
    if (state & Button2Mask) bits |= kMButton;
    if (state & Button3Mask) bits |= kRButton;
  }
  return bits;
}

float wheelNotches(unsigned int button) {
  if (button == Button4) return 1.0f;
  if (button == Button5) return -1.0f;
  return 0.0f;
}

namespace {

struct VirtualKey {
  unsigned long keysym;
  unsigned char virt;
  char32_t character;  // what the key also types, if anything
};

constexpr VirtualKey kVirtualKeys[] = {
    {XK_BackSpace, VKEY_BACK, 0},
    {XK_Tab, VKEY_TAB, 0},
    {XK_ISO_Left_Tab, VKEY_TAB, 0},
    {XK_Clear, VKEY_CLEAR, 0},
    {XK_Return, VKEY_RETURN, 0},
    {XK_Pause, VKEY_PAUSE, 0},
    {XK_Escape, VKEY_ESCAPE, 0},
    {XK_space, VKEY_SPACE, U' '},
    {XK_Next, VKEY_NEXT, 0},
    {XK_End, VKEY_END, 0},
    {XK_Home, VKEY_HOME, 0},
    {XK_Left, VKEY_LEFT, 0},
    {XK_Up, VKEY_UP, 0},
    {XK_Right, VKEY_RIGHT, 0},
    {XK_Down, VKEY_DOWN, 0},
    {XK_Page_Up, VKEY_PAGEUP, 0},
    {XK_Page_Down, VKEY_PAGEDOWN, 0},
    {XK_Select, VKEY_SELECT, 0},
    {XK_Print, VKEY_PRINT, 0},
    {XK_KP_Enter, VKEY_ENTER, 0},
    {XK_Insert, VKEY_INSERT, 0},
    {XK_Delete, VKEY_DELETE, 0},
    {XK_Help, VKEY_HELP, 0},
    {XK_KP_0, VKEY_NUMPAD0, U'0'},
    {XK_KP_1, VKEY_NUMPAD1, U'1'},
    {XK_KP_2, VKEY_NUMPAD2, U'2'},
    {XK_KP_3, VKEY_NUMPAD3, U'3'},
    {XK_KP_4, VKEY_NUMPAD4, U'4'},
    {XK_KP_5, VKEY_NUMPAD5, U'5'},
    {XK_KP_6, VKEY_NUMPAD6, U'6'},
    {XK_KP_7, VKEY_NUMPAD7, U'7'},
    {XK_KP_8, VKEY_NUMPAD8, U'8'},
    {XK_KP_9, VKEY_NUMPAD9, U'9'},
    {XK_KP_Multiply, VKEY_MULTIPLY, U'*'},
    {XK_KP_Add, VKEY_ADD, U'+'},
    {XK_KP_Separator, VKEY_SEPARATOR, 0},
    {XK_KP_Subtract, VKEY_SUBTRACT, U'-'},
    {XK_KP_Decimal, VKEY_DECIMAL, U'.'},
    {XK_KP_Divide, VKEY_DIVIDE, U'/'},
    {XK_KP_Equal, VKEY_EQUALS, U'='},
    {XK_KP_Home, VKEY_HOME, 0},
    {XK_KP_End, VKEY_END, 0},
    {XK_KP_Left, VKEY_LEFT, 0},
    {XK_KP_Right, VKEY_RIGHT, 0},
    {XK_KP_Up, VKEY_UP, 0},
    {XK_KP_Down, VKEY_DOWN, 0},
    {XK_KP_Page_Up, VKEY_PAGEUP, 0},
    {XK_KP_Page_Down, VKEY_PAGEDOWN, 0},
    {XK_KP_Insert, VKEY_INSERT, 0},
    {XK_KP_Delete, VKEY_DELETE, 0},
    {XK_F1, VKEY_F1, 0},
    {XK_F2, VKEY_F2, 0},
    {XK_F3, VKEY_F3, 0},
    {XK_F4, VKEY_F4, 0},
    {XK_F5, VKEY_F5, 0},
    {XK_F6, VKEY_F6, 0},
    {XK_F7, VKEY_F7, 0},
    {XK_F8, VKEY_F8, 0},
    {XK_F9, VKEY_F9, 0},
    {XK_F10, VKEY_F10, 0},
    {XK_F11, VKEY_F11, 0},
    {XK_F12, VKEY_F12, 0},
    {XK_Num_Lock, VKEY_NUMLOCK, 0},
    {XK_Scroll_Lock, VKEY_SCROLL, 0},
    {XK_Shift_L, VKEY_SHIFT, 0},
    {XK_Shift_R, VKEY_SHIFT, 0},
    {XK_Control_L, VKEY_CONTROL, 0},
    {XK_Control_R, VKEY_CONTROL, 0},
    {XK_Alt_L, VKEY_ALT, 0},
    {XK_Alt_R, VKEY_ALT, 0},
};

// Key symbols of Latin-1 are their code points; the others of Unicode carry
// the code point plus 0x01000000.
char32_t unicodeOf(unsigned long keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    return static_cast<char32_t>(keysym);
  if (keysym >= 0x01000100 && keysym <= 0x0110FFFF) return static_cast<char32_t>(keysym - 0x01000000);
  if (keysym == XK_EuroSign) return U'\u20AC';
  return 0;
}

}  // namespace

VstKeyCode keyCode(unsigned long keysym, unsigned int state) {
  VstKeyCode key{};
  if (state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
  if (state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
  if (state & ControlMask) key.modifier |= MODIFIER_CONTROL;
  for (const VirtualKey& v : kVirtualKeys) {
    if (v.keysym == keysym) {
      key.virt = v.virt;
      key.character = static_cast<VstInt32>(v.character);
      return key;
    }
  }
  key.character = static_cast<VstInt32>(unicodeOf(keysym));
  return key;
}

}  // namespace jyxui::x11
