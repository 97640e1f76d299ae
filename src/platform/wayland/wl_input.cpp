// Implements: the seat's keyboard (keymap, key codes and characters through xkbcommon,
// shift state), pointer (moves and buttons, the cursor hidden on every enter) and touch
// (a tap is a click of the left button), each
// event handed to the form its surface shows: a frame's own where a frame is under the
// pointer, and on a cover as input on the full-screen form, placed relative to it.
#include "platform/wayland/wl_input.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-cursor.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "forms/events.h"
#include "platform/linux_shared/linux_user32.h"
#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_covers.h"
#include "platform/wayland/wl_keys.h"
#include "platform/wayland/wl_windows.h"

namespace wayland {
namespace {

namespace events = forms::events;

wl_keyboard* keyboard = nullptr;
wl_pointer* pointer = nullptr;
wl_touch* touch = nullptr;
xkb_context* context = nullptr;
xkb_keymap* keymap = nullptr;
xkb_state* state = nullptr;

wl_surface* keyboardFocus = nullptr;
wl_surface* pointerFocus = nullptr;
std::uint32_t enterSerial = 0;
double pointerX = 0, pointerY = 0;  // in the pointer's surface, logical pixels
int buttonsHeld = 0;
// The arrow over windows that show the cursor, from the user's cursor theme (or the
// library's own arrow without one), loaded on first use.
wl_cursor_theme* cursorTheme = nullptr;
wl_surface* cursorSurface = nullptr;
// The pointer just left one of our surfaces: entering another is a move across outputs.
bool crossing = false;

// Where an event on a surface lands: a window of ours and a position in it.
struct Target {
  platform::WindowHandle window = 0;
  int x = 0, y = 0;
};

Target TargetOf(wl_surface* surface, double x, double y) {
  int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
  if (const Output* cover = CoverOutput(surface)) {
    // A cover: input on the full-screen form's bare background, placed where the cover
    // lies relative to it, so that a move there never looks like no move.
    const WindowRecord* full = FullScreenForm();
    if (full == nullptr) return {};
    const platform::PixelRect from = cover->Layout();
    const platform::PixelRect to = full->surface->output->Layout();
    return {full->handle, px + from.left - to.left, py + from.top - to.top};
  }
  const Surface* s = SurfaceOf(surface);
  if (s == nullptr) return {};
  const WindowRecord* form = FindWindow(s->form);
  if (form == nullptr) return {};
  static std::vector<WindowRecord*> frames;
  FramesOf(*form, frames);
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
    const platform::PixelRect& r = (*it)->rect;
    if (px >= r.left && px < r.right && py >= r.top && py < r.bottom) {
      return {(*it)->handle, px - r.left, py - r.top};
    }
  }
  return {form->handle, px, py};
}

bool ModActive(const char* name) {
  return state != nullptr &&
         xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_EFFECTIVE) > 0;
}

int ShiftState() {
  return (ModActive(XKB_MOD_NAME_SHIFT) ? 1 : 0) | (ModActive(XKB_MOD_NAME_CTRL) ? 2 : 0) |
         (ModActive(XKB_MOD_NAME_ALT) ? 4 : 0);
}

// Keyboard.

// Without a keymap (none sent, or one that cannot be read) keys still end the saver: they
// come as keys without a symbol.
void OnKeymap(void*, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
  if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || context == nullptr || size == 0) {
    close(fd);
    return;
  }
  void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (text == MAP_FAILED) return;
  // The text ends with a NUL within size; read no further than size whatever it holds.
  const char* chars = static_cast<const char*>(text);
  xkb_keymap* map = xkb_keymap_new_from_buffer(
      context, chars, strnlen(chars, size), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (map == nullptr) return;
  xkb_state_unref(state);
  xkb_keymap_unref(keymap);
  keymap = map;
  state = xkb_state_new(keymap);
}

void OnKeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
  keyboardFocus = surface;
}

void OnKeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface* surface) {
  if (surface == keyboardFocus) keyboardFocus = nullptr;
}

void OnKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
           std::uint32_t pressed) {
  if (pressed != WL_KEYBOARD_KEY_STATE_PRESSED) return;
  const Target target = TargetOf(keyboardFocus, 0, 0);
  if (target.window == 0) return;
  if (state == nullptr) {
    events::KeyDown(target.window, VirtualKeyOf(XKB_KEY_NoSymbol), 0);
    return;
  }
  const xkb_keycode_t code = key + 8;  // evdev to xkb
  const xkb_keysym_t* syms = nullptr;
  const int count = xkb_keymap_key_get_syms_by_level(
      keymap, code, xkb_state_key_get_layout(state, code), 0, &syms);
  events::KeyDown(target.window, VirtualKeyOf(count > 0 ? syms[0] : XKB_KEY_NoSymbol),
                  ShiftState());
  // Latin-1 characters, control characters included, as the key-press procedure takes.
  const std::uint32_t character = xkb_state_key_get_utf32(state, code);
  if (character != 0 && character <= 0xFF && FindWindow(target.window) != nullptr) {
    events::KeyChar(target.window, static_cast<int>(character));
  }
}

void OnModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
                 std::uint32_t locked, std::uint32_t group) {
  if (state != nullptr) xkb_state_update_mask(state, depressed, latched, locked, 0, 0, group);
}

void OnRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener kKeyboardListener = {.keymap = OnKeymap,
                                                .enter = OnKeyboardEnter,
                                                .leave = OnKeyboardLeave,
                                                .key = OnKey,
                                                .modifiers = OnModifiers,
                                                .repeat_info = OnRepeatInfo};

// Pointer.

// Full-screen surfaces and covers never show it.
bool HidesCursor(wl_surface* surface) {
  const Surface* s = SurfaceOf(surface);
  return linux_platform::CursorHidden() || CoverOutput(surface) != nullptr ||
         (s != nullptr && s->output != nullptr);
}

void ShowArrow(wl_pointer* p, std::uint32_t serial) {
  if (cursorTheme == nullptr) {
    const char* size = std::getenv("XCURSOR_SIZE");
    const int pixels = size != nullptr && std::atoi(size) > 0 ? std::atoi(size) : 24;
    cursorTheme = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"), pixels, W().shm);
    if (cursorTheme == nullptr) return;
    cursorSurface = wl_compositor_create_surface(W().compositor);
  }
  wl_cursor* arrow = wl_cursor_theme_get_cursor(cursorTheme, "left_ptr");
  if (arrow == nullptr || arrow->image_count == 0) return;
  wl_cursor_image* image = arrow->images[0];
  wl_surface_attach(cursorSurface, wl_cursor_image_get_buffer(image), 0, 0);
  wl_surface_damage(cursorSurface, 0, 0, static_cast<std::int32_t>(image->width),
                    static_cast<std::int32_t>(image->height));
  wl_surface_commit(cursorSurface);
  wl_pointer_set_cursor(p, serial, cursorSurface, static_cast<std::int32_t>(image->hotspot_x),
                        static_cast<std::int32_t>(image->hotspot_y));
}

void ApplyCursorOn(wl_pointer* p, std::uint32_t serial, wl_surface* surface) {
  if (HidesCursor(surface)) {
    wl_pointer_set_cursor(p, serial, nullptr, 0, 0);
  } else {
    ShowArrow(p, serial);
  }
}

void Moved() {
  const Target target = TargetOf(pointerFocus, pointerX, pointerY);
  if (target.window != 0) {
    events::MouseMove(target.window, buttonsHeld, ShiftState(), target.x, target.y);
  }
}

void OnPointerEnter(void*, wl_pointer* p, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                    wl_fixed_t y) {
  pointerFocus = surface;
  enterSerial = serial;
  pointerX = wl_fixed_to_double(x);
  pointerY = wl_fixed_to_double(y);
  ApplyCursorOn(p, serial, surface);
  // Wayland tells a move from one output to the next only as leave and enter; a surface
  // appearing under a still pointer is entered too, and that is no move.
  if (std::exchange(crossing, false)) Moved();
}

void OnPointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface* surface) {
  crossing = SurfaceOf(surface) != nullptr;
  if (surface == pointerFocus) pointerFocus = nullptr;
}

void OnMotion(void*, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
  crossing = false;
  pointerX = wl_fixed_to_double(x);
  pointerY = wl_fixed_to_double(y);
  Moved();
}

int ButtonBit(std::uint32_t button) {
  switch (button) {
    case BTN_LEFT:
      return 1;
    case BTN_RIGHT:
      return 2;
    case BTN_MIDDLE:
      return 4;
    default:
      return 0;
  }
}

void OnButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
              std::uint32_t pressed) {
  const int bit = ButtonBit(button);
  if (bit == 0) return;
  const bool down = pressed == WL_POINTER_BUTTON_STATE_PRESSED;
  buttonsHeld = down ? (buttonsHeld | bit) : (buttonsHeld & ~bit);
  const Target target = TargetOf(pointerFocus, pointerX, pointerY);
  if (target.window == 0) return;
  if (down) {
    events::MouseDown(target.window, bit, ShiftState(), target.x, target.y);
  } else {
    events::MouseUp(target.window, bit, ShiftState(), target.x, target.y);
  }
}

void OnAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void OnFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, std::uint32_t) {}
void OnAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
void OnAxisValue120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

const wl_pointer_listener kPointerListener = {.enter = OnPointerEnter,
                                              .leave = OnPointerLeave,
                                              .motion = OnMotion,
                                              .button = OnButton,
                                              .axis = OnAxis,
                                              .frame = OnFrame,
                                              .axis_source = OnAxisSource,
                                              .axis_stop = OnAxisStop,
                                              .axis_discrete = OnAxisDiscrete,
                                              .axis_value120 = OnAxisValue120};

// Touch: a finger down is a press of the left button where it lands, lifted a release
// there, so a tap is a click.

struct Touched {
  std::int32_t id = 0;
  Target target;
};
std::vector<Touched> touches;

void OnTouchDown(void*, wl_touch*, std::uint32_t, std::uint32_t, wl_surface* surface,
                 std::int32_t id, wl_fixed_t x, wl_fixed_t y) {
  const Target target = TargetOf(surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
  if (target.window == 0) return;
  touches.push_back({id, target});
  events::MouseDown(target.window, 1, ShiftState(), target.x, target.y);
}

void OnTouchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t id) {
  const auto it = std::ranges::find(touches, id, &Touched::id);
  if (it == touches.end()) return;
  const Target target = it->target;
  touches.erase(it);
  if (FindWindow(target.window) != nullptr) {
    events::MouseUp(target.window, 1, ShiftState(), target.x, target.y);
  }
}

void OnTouchMotion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void OnTouchFrame(void*, wl_touch*) {}
void OnTouchCancel(void*, wl_touch*) { touches.clear(); }
void OnTouchShape(void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void OnTouchOrientation(void*, wl_touch*, std::int32_t, wl_fixed_t) {}

const wl_touch_listener kTouchListener = {.down = OnTouchDown,
                                          .up = OnTouchUp,
                                          .motion = OnTouchMotion,
                                          .frame = OnTouchFrame,
                                          .cancel = OnTouchCancel,
                                          .shape = OnTouchShape,
                                          .orientation = OnTouchOrientation};

void ReleaseKeyboard() {
  if (keyboard == nullptr) return;
  if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
    wl_keyboard_release(keyboard);
  } else {
    wl_keyboard_destroy(keyboard);
  }
  keyboard = nullptr;
  keyboardFocus = nullptr;
}

void ReleasePointer() {
  if (pointer == nullptr) return;
  if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
    wl_pointer_release(pointer);
  } else {
    wl_pointer_destroy(pointer);
  }
  pointer = nullptr;
  pointerFocus = nullptr;
}

void ReleaseTouch() {
  if (touch == nullptr) return;
  if (wl_touch_get_version(touch) >= WL_TOUCH_RELEASE_SINCE_VERSION) {
    wl_touch_release(touch);
  } else {
    wl_touch_destroy(touch);
  }
  touch = nullptr;
  touches.clear();
}

void OnCapabilities(void*, wl_seat* seat, std::uint32_t capabilities) {
  const bool hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  if (hasKeyboard && keyboard == nullptr) {
    keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(keyboard, &kKeyboardListener, nullptr);
  } else if (!hasKeyboard) {
    ReleaseKeyboard();
  }
  if (hasPointer && pointer == nullptr) {
    pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(pointer, &kPointerListener, nullptr);
  } else if (!hasPointer) {
    ReleasePointer();
  }
  if ((capabilities & WL_SEAT_CAPABILITY_TOUCH) && touch == nullptr) {
    touch = wl_seat_get_touch(seat);
    wl_touch_add_listener(touch, &kTouchListener, nullptr);
  } else if (!(capabilities & WL_SEAT_CAPABILITY_TOUCH)) {
    ReleaseTouch();
  }
}

void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {.capabilities = OnCapabilities, .name = OnSeatName};

// A surface of ours is going: it is no focus any more.
void ForgetFocus(wl_surface* surface) {
  if (keyboardFocus == surface) keyboardFocus = nullptr;
  if (pointerFocus == surface) pointerFocus = nullptr;
}

}  // namespace

void WatchSeat() {
  surfaceGoing = ForgetFocus;
  // The compositor's keymap is self-contained: no system files or environment needed.
  if (context == nullptr) {
    context = xkb_context_new(static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES |
                                                             XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
  }
  wl_seat_add_listener(W().seat, &kSeatListener, nullptr);
}

void ApplyCursor() {
  if (pointer != nullptr && pointerFocus != nullptr) {
    ApplyCursorOn(pointer, enterSerial, pointerFocus);
  }
}

void ReleaseSeat() {
  if (cursorSurface != nullptr) wl_surface_destroy(cursorSurface);
  if (cursorTheme != nullptr) wl_cursor_theme_destroy(cursorTheme);
  cursorSurface = nullptr;
  cursorTheme = nullptr;
  ReleaseKeyboard();
  ReleasePointer();
  ReleaseTouch();
  if (W().seat != nullptr) {
    if (wl_seat_get_version(W().seat) >= WL_SEAT_RELEASE_SINCE_VERSION) {
      wl_seat_release(W().seat);
    } else {
      wl_seat_destroy(W().seat);
    }
    W().seat = nullptr;
  }
  xkb_state_unref(state);
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  state = nullptr;
  keymap = nullptr;
  context = nullptr;
}

}  // namespace wayland
