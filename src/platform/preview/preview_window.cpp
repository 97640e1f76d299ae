// Implements: the run's window registry, platform::CreateFormWindow, CreateFrameWindow,
// DestroyWindow, SetWindowVisible, SetWindowRect and Invalidate. Only a form put into the
// host's window shows: its damage and its frames' go to the area, in the area's pixels.
#include <algorithm>
#include <memory>

#include "forms/events.h"
#include "platform/preview/preview_run.h"
#include "platform/user32.h"

namespace preview {
namespace {

constexpr std::int32_t kOverlappedWindow = 0x00CF0000;  // WS_OVERLAPPEDWINDOW

std::int32_t AtLeastOne(std::int32_t v) { return std::max<std::int32_t>(v, 1); }

WindowRecord& Register(std::unique_ptr<WindowRecord> record) {
  Run& run = CurrentRun();
  record->handle = run.nextWindow++;
  run.windows.push_back(std::move(record));
  return *run.windows.back();
}

PixelRect Moved(const PixelRect& r, std::int32_t dx, std::int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

WindowRecord* FindWindow(WindowHandle handle) {
  for (auto& w : CurrentRun().windows)
    if (w->handle == handle) return w.get();
  return nullptr;
}

bool Embedded(const WindowRecord& w) { return !w.isFrame && w.parent == kHostWindow; }

WindowRecord* ShownForm() {
  for (auto& w : CurrentRun().windows)
    if (Embedded(*w) && w->visible) return w.get();
  return nullptr;
}

PixelRect InArea(const WindowRecord& w) {
  if (!w.visible) return {};
  if (!w.isFrame) return Embedded(w) ? w.rect : PixelRect{};
  const WindowRecord* form = FindWindow(w.parent);
  if (form == nullptr) return {};
  const PixelRect formRect = InArea(*form);
  if (formRect.Empty()) return {};
  return Moved(w.rect, formRect.left, formRect.top);
}

void DamageInArea(const WindowRecord& w) {
  const PixelRect r = InArea(w);
  if (!r.Empty()) CurrentRun().damage.Add(r);
}

void NoteGeometry(WindowRecord& w, const PixelRect& rect) {
  if (rect == w.rect && rect.Width() == w.clientWidth && rect.Height() == w.clientHeight) return;
  DamageInArea(w);
  w.rect = rect;
  w.clientWidth = rect.Width();
  w.clientHeight = rect.Height();
  DamageInArea(w);
  if (!w.isFrame) forms::events::WindowRectChanged(w.handle, rect, w.clientWidth, w.clientHeight);
}

}  // namespace preview

namespace platform {

using preview::FindWindow;
using preview::WindowRecord;

WindowHandle CreateFormWindow(const FormWindowDesc& desc) {
  auto record = std::make_unique<WindowRecord>();
  record->backColour = desc.backColour;
  const std::int32_t width = preview::AtLeastOne(desc.clientWidth);
  const std::int32_t height = preview::AtLeastOne(desc.clientHeight);
  record->rect = {0, 0, width, height};
  record->clientWidth = width;
  record->clientHeight = height;
  record->style =
      desc.border == FormBorder::Borderless ? user32::WS_POPUP : preview::kOverlappedWindow;
  return preview::Register(std::move(record)).handle;
}

WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour backColour,
                               bool visible) {
  if (FindWindow(parent) == nullptr) return 0;
  auto record = std::make_unique<WindowRecord>();
  record->isFrame = true;
  record->parent = parent;
  record->backColour = backColour;
  record->rect = rect;
  record->clientWidth = rect.Width();
  record->clientHeight = rect.Height();
  record->style = user32::WS_CHILD;
  record->visible = visible;
  WindowRecord& frame = preview::Register(std::move(record));
  preview::DamageInArea(frame);
  return frame.handle;
}

void DestroyWindow(WindowHandle window) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr) return;
  preview::DamageInArea(*record);
  std::erase_if(preview::CurrentRun().windows, [&](const auto& w) {
    return w->handle == window || (w->isFrame && w->parent == window);
  });
}

void SetWindowVisible(WindowHandle window, bool visible) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr || record->visible == visible) return;
  preview::DamageInArea(*record);
  record->visible = visible;
  preview::DamageInArea(*record);
}

void SetWindowRect(WindowHandle window, const PixelRect& rect) {
  WindowRecord* record = FindWindow(window);
  if (record == nullptr) return;
  preview::NoteGeometry(*record,
                        {rect.left, rect.top, rect.left + preview::AtLeastOne(rect.Width()),
                         rect.top + preview::AtLeastOne(rect.Height())});
}

void Invalidate(WindowHandle window, std::span<const PixelRect> areas) {
  const WindowRecord* record = FindWindow(window);
  if (record == nullptr) return;
  const PixelRect at = preview::InArea(*record);
  if (at.Empty()) return;
  for (const PixelRect& a : areas) {
    // Clipped to the window: a label may stand past its edge.
    const PixelRect r{std::max(a.left, 0), std::max(a.top, 0), std::min(a.right, at.Width()),
                      std::min(a.bottom, at.Height())};
    if (!r.Empty()) preview::CurrentRun().damage.Add(preview::Moved(r, at.left, at.top));
  }
}

}  // namespace platform
