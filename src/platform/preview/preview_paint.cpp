// Implements: the paint pass into the host's canvas: the area's damage (all of it after
// a start or a resize) is composed at the area's scale, the shown form's labels first,
// then its frames above them, and the area's black wherever no form stands.
#include <algorithm>
#include <tuple>
#include <vector>

#include "forms/events.h"
#include "platform/preview/preview_run.h"

namespace preview {
namespace {

// Kept between passes, so that a pass allocates nothing once they have grown.
std::vector<PixelRect> areas;  // logical, in the area
std::vector<PixelRect> local;  // logical, in the window drawn
std::vector<PixelRect> drawn;  // canvas pixels, relative to the window's corner
std::vector<PixelRect> bare;   // canvas pixels: where no form stands
std::vector<forms::events::PaintItem> scaled;

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

PixelRect Times(const PixelRect& r, std::int32_t k) {
  return {r.left * k, r.top * k, r.right * k, r.bottom * k};
}

bool Inside(const PixelRect& inner, const PixelRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// One window where it meets the areas; text at the scale's resolution.
void ComposeWindow(raster::Canvas& canvas, const WindowRecord& w, std::int32_t scale) {
  const PixelRect at = InArea(w);
  if (at.Empty()) return;
  local.clear();
  drawn.clear();
  for (const PixelRect& a : areas) {
    const PixelRect meet = Intersection(a, at);
    if (meet.Empty()) continue;
    const PixelRect inWindow{meet.left - at.left, meet.top - at.top, meet.right - at.left,
                             meet.bottom - at.top};
    local.push_back(inWindow);
    drawn.push_back(Times(inWindow, scale));
  }
  if (local.empty()) return;
  const forms::events::PaintScene scene = forms::events::DescribePaint(w.handle, local);
  if (scale == 1) {
    raster::Compose(canvas, scene, drawn, at.left, at.top, 96);
    return;
  }
  scaled.assign(scene.items.begin(), scene.items.end());
  for (forms::events::PaintItem& item : scaled) item.rect = Times(item.rect, scale);
  raster::Compose(canvas, {scene.background, scaled}, drawn, at.left * scale, at.top * scale,
                  96 * scale);
}

}  // namespace

bool PaintDamage(raster::Canvas& canvas) {
  Run& run = CurrentRun();
  if (run.redrawAll) {
    run.damage.Clear();
    run.damage.Add({0, 0, run.width, run.height});
    run.redrawAll = false;
  }
  if (run.damage.Empty()) return false;
  areas.assign(run.damage.Rects().begin(), run.damage.Rects().end());
  run.damage.Clear();
  raster::MergeColumns(areas);

  const WindowRecord* form = ShownForm();
  const PixelRect formRect = form != nullptr ? InArea(*form) : PixelRect{};
  bare.clear();
  for (const PixelRect& a : areas)
    if (!Inside(a, formRect)) bare.push_back(Times(a, run.scale));
  if (!bare.empty()) raster::Fill(canvas, bare, 0);
  if (form == nullptr) return true;

  ComposeWindow(canvas, *form, run.scale);
  for (const auto& w : run.windows) {
    if (w->isFrame && w->parent == form->handle && w->visible) ComposeWindow(canvas, *w, run.scale);
  }
  return true;
}

}  // namespace preview
