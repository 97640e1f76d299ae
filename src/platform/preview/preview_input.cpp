// Implements: the host's click and key, as the platform's events: a click is a left
// press and release on the topmost window under the pointer (a frame above its form),
// a key goes to the shown form as a key down, then the character it types, if any.
#include "forms/events.h"
#include "platform/preview/preview_run.h"

namespace preview {
namespace {

// The character of a key with no modifier held: letters type in lower case.
int CharOf(int keyCode) {
  if (keyCode >= 'A' && keyCode <= 'Z') return keyCode - 'A' + 'a';
  if ((keyCode >= '0' && keyCode <= '9') || keyCode == ' ') return keyCode;
  if (keyCode == 8 || keyCode == 9 || keyCode == 13 || keyCode == 27) return keyCode;
  return 0;
}

bool Contains(const PixelRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

void ClickAt(int x, int y) {
  const WindowRecord* form = ShownForm();
  if (form == nullptr || !Contains(InArea(*form), x, y)) return;
  const WindowRecord* target = form;
  for (const auto& w : CurrentRun().windows) {
    if (w->isFrame && w->parent == form->handle && Contains(InArea(*w), x, y)) target = w.get();
  }
  const PixelRect at = InArea(*target);
  const WindowHandle handle = target->handle;
  forms::events::MouseDown(handle, 1, 0, x - at.left, y - at.top);
  // The press may have ended the run or taken the window away.
  if (!CurrentRun().quit && FindWindow(handle) != nullptr)
    forms::events::MouseUp(handle, 1, 0, x - at.left, y - at.top);
}

void KeyDown(int keyCode) {
  const WindowRecord* form = ShownForm();
  if (form == nullptr) return;
  const WindowHandle handle = form->handle;
  forms::events::KeyDown(handle, keyCode, 0);
  const int charCode = CharOf(keyCode);
  if (charCode != 0 && !CurrentRun().quit && FindWindow(handle) != nullptr)
    forms::events::KeyChar(handle, charCode);
}

}  // namespace preview
