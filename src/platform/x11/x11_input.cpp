// Implements: keysym to virtual-key mapping, the character of a key press (Latin-1),
// and the shift and button bits of an X event state.
#include "platform/x11/x11_input.h"

#include "platform/x11/x11_xlib.h"

namespace x11 {
namespace {

struct KeyName {
  KeySym sym;
  int vk;
};

constexpr KeyName kKeys[] = {
    {XK_BackSpace, 0x08},    {XK_Tab, 0x09},
    {XK_ISO_Left_Tab, 0x09}, {XK_Return, 0x0D},
    {XK_KP_Enter, 0x0D},     {XK_Shift_L, 0x10},
    {XK_Shift_R, 0x10},      {XK_Control_L, 0x11},
    {XK_Control_R, 0x11},    {XK_Alt_L, 0x12},
    {XK_Alt_R, 0x12},        {XK_Meta_L, 0x12},
    {XK_Meta_R, 0x12},       {XK_ISO_Level3_Shift, 0x12},
    {XK_Pause, 0x13},        {XK_Caps_Lock, 0x14},
    {XK_Escape, 0x1B},       {XK_space, 0x20},
    {XK_Prior, 0x21},        {XK_Next, 0x22},
    {XK_End, 0x23},          {XK_Home, 0x24},
    {XK_Left, 0x25},         {XK_Up, 0x26},
    {XK_Right, 0x27},        {XK_Down, 0x28},
    {XK_Print, 0x2C},        {XK_Insert, 0x2D},
    {XK_Delete, 0x2E},       {XK_Help, 0x2F},
    {XK_Super_L, 0x5B},      {XK_Super_R, 0x5C},
    {XK_Menu, 0x5D},         {XK_KP_Multiply, 0x6A},
    {XK_KP_Add, 0x6B},       {XK_KP_Subtract, 0x6D},
    {XK_KP_Decimal, 0x6E},   {XK_KP_Divide, 0x6F},
    {XK_Num_Lock, 0x90},     {XK_Scroll_Lock, 0x91},
    {XK_semicolon, 0xBA},    {XK_equal, 0xBB},
    {XK_comma, 0xBC},        {XK_minus, 0xBD},
    {XK_period, 0xBE},       {XK_slash, 0xBF},
    {XK_grave, 0xC0},        {XK_bracketleft, 0xDB},
    {XK_backslash, 0xDC},    {XK_bracketright, 0xDD},
    {XK_apostrophe, 0xDE},   {XK_less, 0xE2},
    {XK_KP_Home, 0x24},      {XK_KP_End, 0x23},
    {XK_KP_Prior, 0x21},     {XK_KP_Next, 0x22},
    {XK_KP_Left, 0x25},      {XK_KP_Up, 0x26},
    {XK_KP_Right, 0x27},     {XK_KP_Down, 0x28},
    {XK_KP_Insert, 0x2D},    {XK_KP_Delete, 0x2E},
};

}  // namespace

int VirtualKeyOf(XKeyEvent& event) {
  // The unshifted symbol names the key, as a virtual-key code does.
  const KeySym sym = XkbKeycodeToKeysym(event.display, static_cast<KeyCode>(event.keycode), 0, 0);
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return static_cast<int>('A' + (sym - XK_A));
  if (sym >= XK_0 && sym <= XK_9) return static_cast<int>('0' + (sym - XK_0));
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<int>(0x60 + (sym - XK_KP_0));
  if (sym >= XK_F1 && sym <= XK_F24) return static_cast<int>(0x70 + (sym - XK_F1));
  for (const KeyName& k : kKeys) {
    if (k.sym == sym) return k.vk;
  }
  return 0xFF;
}

int CharacterOf(XKeyEvent& event) {
  char text[8];
  KeySym sym = NoSymbol;
  const int n = XLookupString(&event, text, sizeof text, &sym, nullptr);
  return n == 1 ? static_cast<unsigned char>(text[0]) : 0;
}

int ShiftStateOf(unsigned state) {
  return ((state & ShiftMask) ? 1 : 0) | ((state & ControlMask) ? 2 : 0) |
         ((state & Mod1Mask) ? 4 : 0);
}

int ButtonOf(unsigned xButton) {
  switch (xButton) {
    case Button1:
      return 1;
    case Button3:
      return 2;
    case Button2:
      return 4;
    default:
      return 0;
  }
}

int ButtonsHeld(unsigned state) {
  return ((state & Button1Mask) ? 1 : 0) | ((state & Button3Mask) ? 2 : 0) |
         ((state & Button2Mask) ? 4 : 0);
}

}  // namespace x11
