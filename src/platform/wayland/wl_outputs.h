// The outputs the compositor announces, with their place in the layout in logical
// pixels (xdg-output's, else wl_output's geometry and mode) and their scale.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/wayland/wl_connection.h"

namespace wayland {

struct Output {
  wl_output* output = nullptr;
  zxdg_output_v1* logical = nullptr;
  std::uint32_t globalName = 0;
  std::string name;
  // From wl_output: geometry position, current mode in pixels, transform, scale.
  std::int32_t geometryX = 0, geometryY = 0;
  std::int32_t modeWidth = 0, modeHeight = 0;
  std::int32_t transform = 0;
  std::int32_t scale = 1;
  // From xdg-output, when the compositor offers it.
  bool hasLogical = false;
  std::int32_t logicalX = 0, logicalY = 0, logicalWidth = 0, logicalHeight = 0;
  bool announced = false;  // the first done event came

  // The output's rectangle in the layout, in logical pixels.
  platform::PixelRect Layout() const;
};

// Every output announced and not removed, in the order the compositor announced them.
const std::vector<std::unique_ptr<Output>>& Outputs();
Output* OutputOf(wl_output* output);
// The output of this registry name, null for any other global.
Output* OutputNamed(std::uint32_t globalName);
// The rain's output: the one at the layout's origin, else the first announced.
Output* RainOutput();

// Registry events.
void AddOutput(wl_output* output, std::uint32_t globalName);
void RemoveOutput(std::uint32_t globalName);
// The xdg-output manager arrived: ask it about every output.
void WatchLogicalGeometry();
void ForgetOutputs();

// Whether outputs came, went or changed since the last call.
bool TakeOutputsChanged();

}  // namespace wayland
