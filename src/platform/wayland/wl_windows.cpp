// Implements: platform::CreateFormWindow, CreateFrameWindow, DestroyWindow,
// SetWindowVisible, SetWindowRect, the window registry, and which surfaces stand
// where: a surface per shown form, the covers of the other outputs in full screen,
// and the end of the run when the compositor takes them away.
#include "platform/wayland/wl_windows.h"

#include <algorithm>
#include <map>
#include <utility>

#include "forms/events.h"
#include "platform/user32.h"
#include "platform/wayland/wl_backend.h"
#include "platform/wayland/wl_covers.h"

namespace wayland {
namespace {

std::map<platform::WindowHandle, std::unique_ptr<WindowRecord>> windows;
// Handles start above the desktop's, and leave room below for nothing else.
platform::WindowHandle nextHandle = 0x100;
bool endRequested = false;
std::vector<WindowRecord*> scratch;

constexpr std::int32_t kOverlappedWindow = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
constexpr std::size_t kMaxAreas = 256;

std::int32_t AtLeastOne(std::int32_t v) { return std::max<std::int32_t>(v, 1); }

bool WantsSurface(const WindowRecord& w) { return !w.isFrame && w.visible && !w.embedded; }

WindowRecord& Register(std::unique_ptr<WindowRecord> record) {
  record->handle = nextHandle++;
  WindowRecord& ref = *record;
  windows[ref.handle] = std::move(record);
  return ref;
}

void NoteGeometry(WindowRecord& w, const platform::PixelRect& rect, std::int32_t clientWidth,
                  std::int32_t clientHeight) {
  if (rect == w.rect && clientWidth == w.clientWidth && clientHeight == w.clientHeight) return;
  w.rect = rect;
  w.clientWidth = clientWidth;
  w.clientHeight = clientHeight;
  forms::events::WindowRectChanged(w.handle, rect, clientWidth, clientHeight);
}

// The compositor gave a form's surface its size: the form takes it.
void NoteConfiguredSize(Surface& surface) {
  WindowRecord* w = FindWindow(surface.form);
  if (w == nullptr) return;
  NoteGeometry(
      *w, {w->rect.left, w->rect.top, w->rect.left + surface.width, w->rect.top + surface.height},
      surface.width, surface.height);
}

std::unique_ptr<Surface> SurfaceFor(const WindowRecord& w, Output* output) {
  return MakeSurface({.form = w.handle,
                      .caption = w.caption,
                      .clientWidth = w.clientWidth,
                      .clientHeight = w.clientHeight,
                      .output = output,
                      .resized = NoteConfiguredSize});
}

}  // namespace

WindowRecord* FindWindow(platform::WindowHandle handle) {
  auto it = windows.find(handle);
  return it == windows.end() ? nullptr : it->second.get();
}

void ListWindows(std::vector<WindowRecord*>& out) {
  out.clear();
  for (auto& [handle, record] : windows) out.push_back(record.get());
}

WindowRecord* FullScreenForm() {
  for (auto& [handle, w] : windows) {
    if (w->surface != nullptr && w->surface->output != nullptr) return w.get();
  }
  return nullptr;
}

void FramesOf(const WindowRecord& form, std::vector<WindowRecord*>& out) {
  out.clear();
  for (auto& [handle, w] : windows) {
    if (w->isFrame && w->visible && w->ownerForm == form.handle) out.push_back(w.get());
  }
}

void ListSurfaces(std::vector<Surface*>& out) {
  out.clear();
  for (auto& [handle, w] : windows) {
    if (w->surface != nullptr) out.push_back(w->surface.get());
  }
}

Surface* SurfaceOf(wl_surface* surface) {
  if (surface == nullptr) return nullptr;
  for (auto& [handle, w] : windows) {
    if (w->surface != nullptr && w->surface->surface == surface) return w->surface.get();
  }
  return nullptr;
}

void UpdateSurfaces() {
  if (TakeOutputsChanged()) {
    // A scale or mode changed: every surface checks its scale again.
    static std::vector<Surface*> all;
    ListSurfaces(all);
    for (Surface* s : all) FollowOutputScale(*s);
  }
  for (auto& [handle, w] : windows) {
    if (WantsSurface(*w) && w->surface == nullptr) {
      Output* output = nullptr;
      if (w->border == platform::FormBorder::Borderless) {
        output = RainOutput();
        if (output == nullptr) continue;  // shown once an output is there
      }
      w->surface = SurfaceFor(*w, output);
    } else if (!WantsSurface(*w) && w->surface != nullptr) {
      DestroySurface(w->surface);
    }
  }
  const WindowRecord* full = FullScreenForm();
  KeepCovers(full != nullptr ? full->surface->output : nullptr);
}

void OutputGone(const Output& output) {
  CoverOutputGone(output);
  for (auto& [handle, w] : windows) {
    if (w->surface == nullptr) continue;
    if (w->surface->output == &output) {
      DestroySurface(w->surface);
      endRequested = true;
    } else {
      // Its proxy is freed next and a later output may get its address: no surface may
      // still count itself on it (a compositor need not send the leave first).
      LeaveOutput(*w->surface, output.output);
    }
  }
}

bool TakeEndRequest() {
  for (auto& [handle, w] : windows) {
    if (w->surface != nullptr && w->surface->closed) endRequested = true;
  }
  DropClosedCovers();
  return std::exchange(endRequested, false);
}

void DestroyAllSurfaces() {
  DestroyCovers();
  for (auto& [handle, w] : windows) {
    if (w->surface != nullptr) DestroySurface(w->surface);
  }
  windows.clear();
}

}  // namespace wayland

namespace platform::on_wayland {

using wayland::FindWindow;
using wayland::WindowRecord;

WindowHandle CreateFormWindow(const FormWindowDesc& desc) {
  auto record = std::make_unique<WindowRecord>();
  record->border = desc.border;
  record->caption = desc.caption;
  record->backColour = desc.backColour;
  const std::int32_t width = wayland::AtLeastOne(desc.clientWidth);
  const std::int32_t height = wayland::AtLeastOne(desc.clientHeight);
  // Wayland has no positions for windows: every form sits at the layout's corner.
  record->rect = {0, 0, width, height};
  record->clientWidth = width;
  record->clientHeight = height;
  record->style =
      desc.border == FormBorder::Borderless ? user32::WS_POPUP : wayland::kOverlappedWindow;
  return wayland::Register(std::move(record)).handle;
}

WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour backColour,
                               bool visible) {
  WindowRecord* owner = FindWindow(parent);
  if (owner == nullptr) return 0;
  auto record = std::make_unique<WindowRecord>();
  record->isFrame = true;
  record->ownerForm = parent;
  record->backColour = backColour;
  record->rect = rect;
  record->clientWidth = rect.Width();
  record->clientHeight = rect.Height();
  record->style = user32::WS_CHILD;
  record->visible = visible;
  return wayland::Register(std::move(record)).handle;
}

void DestroyWindow(WindowHandle window) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr) return;
  if (record->isFrame) {
    if (record->visible)
      platform::on_wayland::Invalidate(record->ownerForm, std::span(&record->rect, 1));
  } else {
    std::erase_if(wayland::windows, [&](auto& entry) { return entry.second->ownerForm == window; });
    if (record->surface != nullptr) wayland::DestroySurface(record->surface);
  }
  wayland::windows.erase(window);
  wayland::UpdateSurfaces();
}

void SetWindowVisible(WindowHandle window, bool visible) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr || record->visible == visible) return;
  record->visible = visible;
  if (record->isFrame) {
    // Its form's buffer shows it: the area is drawn again, with or without it.
    platform::on_wayland::Invalidate(record->ownerForm, std::span(&record->rect, 1));
    return;
  }
  wayland::UpdateSurfaces();
}

void SetWindowRect(WindowHandle window, const PixelRect& rect) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr) return;
  const PixelRect before = record->rect;
  std::int32_t width = wayland::AtLeastOne(rect.Width());
  std::int32_t height = wayland::AtLeastOne(rect.Height());
  if (record->surface != nullptr && record->surface->configured && !record->isFrame) {
    // A shown surface has the size the compositor gave it.
    if (record->surface->output != nullptr) {
      width = record->surface->width;
      height = record->surface->height;
    } else {
      record->surface->damage.SetBounds(width, height);
      record->surface->damage.Add({0, 0, width, height});
    }
  }
  wayland::NoteGeometry(*record, {rect.left, rect.top, rect.left + width, rect.top + height}, width,
                        height);
  if (record->isFrame && record->visible) {
    platform::on_wayland::Invalidate(record->ownerForm, std::span(&before, 1));
    platform::on_wayland::Invalidate(record->ownerForm, std::span(&record->rect, 1));
  }
}

void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr) return;
  PixelRect offset{};
  if (record->isFrame) {
    if (!record->visible) return;
    offset = record->rect;
    record = FindWindow(record->ownerForm);
    if (record == nullptr) return;
  }
  if (record->surface == nullptr) return;
  forms::DamageList& damage = record->surface->damage;
  for (const PixelRect& a : areas) {
    damage.Add(
        {a.left + offset.left, a.top + offset.top, a.right + offset.left, a.bottom + offset.top});
  }
  // While the compositor shows nothing (an output off), damage waits: past a few hundred
  // areas it becomes their bounding box, so that it never piles up.
  if (damage.Rects().size() > wayland::kMaxAreas) {
    PixelRect all = damage.Rects().front();
    for (const PixelRect& r : damage.Rects()) {
      all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
             std::max(all.bottom, r.bottom)};
    }
    damage.Clear();
    damage.Add(all);
  }
}

}  // namespace platform::on_wayland
