// Shared-memory buffers: the pixels of a form's surface, and the one black pixel every
// cover is stretched from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "forms/damage_list.h"
#include "platform/wayland/wl_connection.h"

namespace wayland {

// One wl_shm buffer; the compositor holds it from attach until release.
struct Buffer {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  std::size_t bytes = 0;
  std::int32_t width = 0, height = 0, stride = 0;
  bool busy = false;
  // No longer wanted: freed as soon as the compositor lets it go.
  bool retired = false;
  // Areas (buffer pixels) where it lags behind the buffer shown last.
  forms::DamageList stale;
};

// A black buffer of this size, all of it stale; false (and b empty) when memory ran out.
// `b` must stay where it is while the buffer exists: its release event finds it there.
bool CreateBuffer(Buffer& b, std::int32_t width, std::int32_t height);
void DestroyBuffer(Buffer& b);
// Frees it now, or once the compositor releases it.
void RetireBuffer(Buffer& b);

// One opaque black pixel, made once: single-pixel-buffer's where the compositor offers it,
// else a 1 x 1 wl_shm buffer; null when neither can be made. Covers never write to it, so
// all of them show the same one.
wl_buffer* BlackPixel();
void ReleaseBlackPixel();

}  // namespace wayland
