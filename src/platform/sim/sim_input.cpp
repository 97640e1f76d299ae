// Sim platform: a fresh machine, input fed as a real system delivers it, host actions.
#include <algorithm>

#include "forms/events.h"
#include "platform/sim/sim_state.h"

namespace sim {

using namespace detail;

void Reset(int screenWidth, int screenHeight, int dpi) {
  State& s = state();
  s = State{};
  s.screenWidth = screenWidth;
  s.screenHeight = screenHeight;
  s.dpi = dpi;
  Window desktop;
  desktop.handle = s.desktop;
  desktop.rect = {0, 0, screenWidth, screenHeight};
  desktop.clientWidth = screenWidth;
  desktop.clientHeight = screenHeight;
  desktop.visible = true;
  s.windows[s.desktop] = desktop;
  s.calls.reserve(1024);
}

void SetCommandLine(std::string_view commandLine) { state().commandLine = commandLine; }

WindowHandle Desktop() { return state().desktop; }

const Window* Find(WindowHandle handle) {
  auto it = state().windows.find(handle);
  return it == state().windows.end() ? nullptr : &it->second;
}

WindowHandle ActiveWindow() { return state().active; }

WindowHandle CreateHostWindow(int clientWidth, int clientHeight) {
  State& s = state();
  Window window;
  window.handle = s.nextHandle;
  s.nextHandle += 4;
  window.rect = {100, 100, 100 + clientWidth, 100 + clientHeight};
  window.clientWidth = clientWidth;
  window.clientHeight = clientHeight;
  window.visible = true;
  window.style = static_cast<std::int32_t>(0x10CF0000);  // visible overlapped window
  s.windows[window.handle] = window;
  s.zOrder.push_back(window.handle);
  s.active = window.handle;
  return window.handle;
}

void DestroyWindow(WindowHandle handle) {
  std::vector<WindowHandle> destroyed;
  DestroyTree(handle, destroyed);
  for (WindowHandle window : destroyed) {
    forms::events::WindowDestroyed(window);
    Paint();
  }
}

int VisibleTopLevelWindows() {
  int count = 0;
  for (const auto& [handle, window] : state().windows)
    if (window.ours && window.alive && window.visible && window.parent == 0) ++count;
  return count;
}

int LiveWindowsOfOurs() {
  int count = 0;
  for (const auto& [handle, window] : state().windows) count += window.ours && window.alive;
  return count;
}

int CursorCount() { return state().cursorCount; }
bool ScreenSaverActive() { return state().screenSaverActive; }
void SetScreenSaverActive(bool active) { state().screenSaverActive = active; }
void RefuseWindowCreation(int index) { state().refusedCreation = index; }
void FailScreenSaverRead(bool fail) { state().screenSaverReadFails = fail; }

const std::vector<Call>& Calls() { return state().calls; }
void ClearCalls() { state().calls.clear(); }
void SetCallLogging(bool on) { state().logging = on; }

namespace {

// The deepest visible child window of ours under a point, with the point made relative
// to it; later children lie above earlier ones.
WindowHandle Target(WindowHandle window, int& x, int& y) {
  WindowHandle found = 0;
  for (WindowHandle child : Children(window)) {
    const Window* c = Live(child);
    if (c->visible && x >= c->rect.left && x < c->rect.right && y >= c->rect.top &&
        y < c->rect.bottom)
      found = child;
  }
  if (found == 0) return window;
  const Window* c = Live(found);
  x -= c->rect.left;
  y -= c->rect.top;
  return Target(found, x, y);
}

}  // namespace

void KeyDown(WindowHandle window, int keyCode, int shift) {
  forms::events::KeyDown(window, keyCode, shift);
  Paint();
}

void KeyPress(WindowHandle window, int charCode) {
  forms::events::KeyChar(window, charCode);
  Paint();
}

void Key(WindowHandle window, int keyCode, int charCode) {
  KeyDown(window, keyCode);
  if (charCode != 0) KeyPress(window, charCode);
}

void MouseDown(WindowHandle window, int x, int y, int button) {
  const WindowHandle target = Target(window, x, y);
  forms::events::MouseDown(target, button, 0, x, y);
  Paint();
}

void MouseUp(WindowHandle window, int x, int y, int button) {
  const WindowHandle target = Target(window, x, y);
  forms::events::MouseUp(target, button, 0, x, y);
  Paint();
}

void MouseMove(WindowHandle window, int x, int y) {
  const WindowHandle target = Target(window, x, y);
  forms::events::MouseMove(target, 0, 0, x, y);
  Paint();
}

void Click(WindowHandle window, int x, int y) {
  MouseDown(window, x, y);
  MouseUp(window, x, y);
}

void CloseRequest(WindowHandle window) {
  forms::events::CloseRequest(window);
  Paint();
}

void Terminate() {
  forms::events::Terminate();
  Paint();
}

}  // namespace sim
