// Sim platform: windows, frames, invalidation and the paint pass; the screen, DPI,
// system colours and the command line.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "forms/events.h"
#include "forms/font.h"
#include "platform/platform.h"
#include "platform/sim/sim_state.h"

namespace sim::detail {

State& state() {
  static State s;
  return s;
}

Window* Live(WindowHandle handle) {
  auto it = state().windows.find(handle);
  if (it == state().windows.end() || !it->second.alive) return nullptr;
  return &it->second;
}

bool EffectivelyVisible(const Window& window) {
  if (!window.visible || !window.alive) return false;
  if (window.parent == 0 || window.parent == state().desktop) return true;
  const Window* parent = Live(window.parent);
  return parent != nullptr && EffectivelyVisible(*parent);
}

void ScreenOrigin(const Window& window, std::int32_t& x, std::int32_t& y) {
  x = window.rect.left;
  y = window.rect.top;
  if (window.sizable) {  // the client area sits inside the frame
    x += 4;
    y += 24;
  }
  if (window.parent == 0 || window.parent == state().desktop) return;
  if (const Window* parent = Live(window.parent)) {
    std::int32_t px = 0, py = 0;
    ScreenOrigin(*parent, px, py);
    x += px;
    y += py;
  }
}

void SetRect(Window& window, const PixelRect& rect) {
  if (rect == window.rect) return;
  window.rect = rect;
  window.clientWidth = window.sizable ? std::max(rect.Width() - 8, 0) : rect.Width();
  window.clientHeight = window.sizable ? std::max(rect.Height() - 28, 0) : rect.Height();
  if (window.ours && !window.frame)
    forms::events::WindowRectChanged(window.handle, rect, window.clientWidth, window.clientHeight);
  InvalidateWhole(window);
}

void SetVisible(Window& window, bool visible) {
  if (window.visible == visible) return;
  window.visible = visible;
  if (visible) InvalidateWhole(window);
}

void InvalidateWhole(const Window& window) {
  const PixelRect whole{0, 0, window.clientWidth, window.clientHeight};
  platform::Invalidate(window.handle, {&whole, 1});
}

void DestroyTree(WindowHandle handle, std::vector<WindowHandle>& destroyedOurs) {
  Window* window = Live(handle);
  if (window == nullptr) return;
  for (WindowHandle child : Children(handle)) DestroyTree(child, destroyedOurs);
  window->alive = false;
  window->visible = false;
  if (window->ours) destroyedOurs.push_back(handle);
  for (Timer& timer : state().timers)
    if (timer.owner == handle) timer.alive = false;
  std::erase(state().zOrder, handle);
  if (state().active == handle) state().active = 0;
}

}  // namespace sim::detail

namespace platform {

using namespace sim::detail;

std::string CommandLine() { return state().commandLine; }
int Dpi() { return state().dpi; }
std::int32_t ScreenWidth() { return state().screenWidth; }
std::int32_t ScreenHeight() { return state().screenHeight; }

Colour SystemColour(int index) {
  switch (index) {
    case 15:
      return 0xC0C0C0;  // button face
    case 18:
      return 0x000000;  // button text
    default:
      return 0x808080;
  }
}

static WindowHandle NewWindow(sim::Window window) {
  if (state().creations++ == state().refusedCreation) return 0;
  window.handle = state().nextHandle;
  state().nextHandle += 4;
  window.clientWidth = window.sizable ? window.rect.Width() - 8 : window.rect.Width();
  window.clientHeight = window.sizable ? window.rect.Height() - 28 : window.rect.Height();
  state().windows[window.handle] = window;
  if (window.parent == 0) state().zOrder.push_back(window.handle);
  return window.handle;
}

WindowHandle CreateFormWindow(const FormWindowDesc& desc) {
  sim::Window window;
  window.ours = true;
  window.caption = std::string(desc.caption);
  if (desc.border == FormBorder::Borderless) {
    window.style = user32::WS_POPUP | 0x02000000;  // WS_CLIPCHILDREN
    window.rect = {0, 0, desc.clientWidth, desc.clientHeight};
  } else {
    window.sizable = true;
    window.style = 0x00CF0000 | 0x02000000;  // WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN
    window.rect = {26, 26, 26 + desc.clientWidth + 8, 26 + desc.clientHeight + 28};
  }
  return NewWindow(window);
}

WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour, bool visible) {
  sim::Window window;
  window.ours = true;
  window.frame = true;
  window.parent = parent;
  window.style = user32::WS_CHILD | 0x04000000;  // WS_CLIPSIBLINGS
  window.rect = rect;
  window.visible = visible;
  return NewWindow(window);
}

void DestroyWindow(WindowHandle handle) {
  std::vector<WindowHandle> destroyed;
  DestroyTree(handle, destroyed);  // the runtime asked: nobody is told
}

void SetWindowVisible(WindowHandle handle, bool visible) {
  if (sim::Window* window = Live(handle)) SetVisible(*window, visible);
}

void SetWindowRect(WindowHandle handle, const PixelRect& rect) {
  if (sim::Window* window = Live(handle)) SetRect(*window, rect);
}

void Invalidate(WindowHandle handle, std::span<const PixelRect> areas) {
  auto& pending = state().pending;
  auto it = std::find_if(pending.begin(), pending.end(),
                         [&](const PendingPaint& p) { return p.window == handle; });
  if (it == pending.end()) {
    it = std::find_if(pending.begin(), pending.end(),
                      [](const PendingPaint& p) { return p.window == 0; });
    if (it == pending.end()) it = pending.emplace(pending.end());
    it->window = handle;
  }
  it->areas.insert(it->areas.end(), areas.begin(), areas.end());
}

}  // namespace platform

namespace sim {
namespace {

// Each font and background is described once (a deque keeps the texts where they are, so
// the views stay valid): painting allocates nothing after that.
std::string_view Look(const forms::events::PaintItem& item) {
  static std::deque<std::tuple<const forms::FontSpec*, bool, std::string>> looks;
  for (const auto& [font, opaque, text] : looks)
    if (font == item.font && opaque == item.opaque) return text;
  char text[96];
  std::snprintf(text, sizeof text, "%.*s %g%s, %s", static_cast<int>(item.font->family.size()),
                item.font->family.data(), static_cast<double>(item.font->points),
                item.font->weight >= 700 ? " bold" : "", item.opaque ? "opaque" : "transparent");
  return std::get<2>(looks.emplace_back(item.font, item.opaque, text));
}

}  // namespace

using namespace detail;

std::vector<WindowHandle> Children(WindowHandle parent) {
  std::vector<WindowHandle> children;
  for (const auto& [handle, window] : state().windows)
    if (window.alive && window.parent == parent) children.push_back(handle);
  return children;
}

void Paint() {
  State& s = state();
  bool painted = false;
  for (PendingPaint& pending : s.pending) {
    if (pending.window == 0) continue;
    const Window* window = Live(pending.window);
    // Hidden windows are not painted; they are painted whole when shown.
    if (window != nullptr && EffectivelyVisible(*window) && !pending.areas.empty()) {
      if (!painted) s.recordCount = 0;
      painted = true;
      const forms::events::PaintScene scene =
          forms::events::DescribePaint(pending.window, pending.areas);
      if (s.recordCount == s.records.size()) s.records.emplace_back();
      PaintRecord& record = s.records[s.recordCount++];
      record.window = pending.window;
      record.background = scene.background;
      record.areas.assign(pending.areas.begin(), pending.areas.end());
      record.items.resize(scene.items.size());
      for (std::size_t i = 0; i < scene.items.size(); ++i) {
        record.items[i].rect = scene.items[i].rect;
        record.items[i].text.assign(scene.items[i].text);
        record.items[i].foreColour = scene.items[i].foreColour;
        record.items[i].look = Look(scene.items[i]);
      }
    }
    pending.areas.clear();
    pending.window = 0;
  }
  if (painted) ++s.paintPasses;
}

void DiscardDamage() {
  for (PendingPaint& pending : state().pending) {
    pending.areas.clear();
    pending.window = 0;
  }
}

std::span<const PaintRecord> LastPaint() { return {state().records.data(), state().recordCount}; }
std::int64_t PaintPasses() { return state().paintPasses; }
void ClearPaint() { state().recordCount = 0; }

}  // namespace sim
