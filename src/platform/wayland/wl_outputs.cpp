// Implements: wl_output and xdg-output listeners, the layout rectangle of each output,
// the choice of the rain's output, and outputs coming and going.
#include "platform/wayland/wl_outputs.h"

#include <algorithm>
#include <utility>

namespace wayland {
namespace {

std::vector<std::unique_ptr<Output>> outputs;
bool changed = false;

Output& Of(void* data) { return *static_cast<Output*>(data); }

void OnGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                std::int32_t, const char*, const char*, std::int32_t transform) {
  Output& o = Of(data);
  o.geometryX = x;
  o.geometryY = y;
  o.transform = transform;
}

void OnMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
            std::int32_t) {
  if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
  Output& o = Of(data);
  o.modeWidth = width;
  o.modeHeight = height;
}

void OnDone(void* data, wl_output*) {
  Of(data).announced = true;
  changed = true;
}

void OnScale(void* data, wl_output*, std::int32_t factor) { Of(data).scale = std::max(1, factor); }
void OnName(void* data, wl_output*, const char* name) { Of(data).name = name; }
void OnDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {.geometry = OnGeometry,
                                            .mode = OnMode,
                                            .done = OnDone,
                                            .scale = OnScale,
                                            .name = OnName,
                                            .description = OnDescription};

void OnLogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
  Output& o = Of(data);
  o.hasLogical = true;
  o.logicalX = x;
  o.logicalY = y;
}

void OnLogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
  Output& o = Of(data);
  o.hasLogical = true;
  o.logicalWidth = width;
  o.logicalHeight = height;
}

// Since version 3 wl_output.done ends a change; older compositors send this instead.
void OnLogicalDone(void*, zxdg_output_v1*) { changed = true; }
void OnLogicalName(void* data, zxdg_output_v1*, const char* name) {
  if (Of(data).name.empty()) Of(data).name = name;
}
void OnLogicalDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener kLogicalListener = {.logical_position = OnLogicalPosition,
                                                  .logical_size = OnLogicalSize,
                                                  .done = OnLogicalDone,
                                                  .name = OnLogicalName,
                                                  .description = OnLogicalDescription};

void AskLogical(Output& o) {
  if (W().outputManager == nullptr || o.logical != nullptr) return;
  o.logical = zxdg_output_manager_v1_get_xdg_output(W().outputManager, o.output);
  zxdg_output_v1_add_listener(o.logical, &kLogicalListener, &o);
}

void Destroy(Output& o) {
  if (o.logical != nullptr) zxdg_output_v1_destroy(o.logical);
  if (wl_output_get_version(o.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
    wl_output_release(o.output);
  } else {
    wl_output_destroy(o.output);
  }
}

}  // namespace

platform::PixelRect Output::Layout() const {
  if (hasLogical && logicalWidth > 0 && logicalHeight > 0) {
    return {logicalX, logicalY, logicalX + logicalWidth, logicalY + logicalHeight};
  }
  // Without xdg-output: the mode, turned and divided by the scale.
  const bool turned = transform % 2 == 1;
  const std::int32_t w = (turned ? modeHeight : modeWidth) / scale;
  const std::int32_t h = (turned ? modeWidth : modeHeight) / scale;
  return {geometryX, geometryY, geometryX + w, geometryY + h};
}

const std::vector<std::unique_ptr<Output>>& Outputs() { return outputs; }

Output* OutputOf(wl_output* output) {
  for (auto& o : outputs) {
    if (o->output == output) return o.get();
  }
  return nullptr;
}

Output* OutputNamed(std::uint32_t globalName) {
  for (auto& o : outputs) {
    if (o->globalName == globalName) return o.get();
  }
  return nullptr;
}

Output* RainOutput() {
  Output* first = nullptr;
  for (auto& o : outputs) {
    if (!o->announced) continue;
    const platform::PixelRect r = o->Layout();
    if (r.left == 0 && r.top == 0) return o.get();
    if (first == nullptr) first = o.get();
  }
  return first;
}

void AddOutput(wl_output* output, std::uint32_t globalName) {
  auto o = std::make_unique<Output>();
  o->output = output;
  o->globalName = globalName;
  wl_output_add_listener(output, &kOutputListener, o.get());
  // Before version 2 no done event ends the description: take it as it comes.
  o->announced = wl_output_get_version(output) < WL_OUTPUT_DONE_SINCE_VERSION;
  AskLogical(*o);
  outputs.push_back(std::move(o));
}

void RemoveOutput(std::uint32_t globalName) {
  auto it = std::find_if(outputs.begin(), outputs.end(),
                         [&](const auto& o) { return o->globalName == globalName; });
  if (it == outputs.end()) return;
  Destroy(**it);
  outputs.erase(it);
  changed = true;
}

void WatchLogicalGeometry() {
  for (auto& o : outputs) AskLogical(*o);
}

void ForgetOutputs() {
  for (auto& o : outputs) Destroy(*o);
  outputs.clear();
}

bool TakeOutputsChanged() { return std::exchange(changed, false); }

}  // namespace wayland
