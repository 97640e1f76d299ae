// The black covers of the other outputs while a form is full screen: each one surface
// showing one black pixel stretched by the viewport, or without a viewport a black buffer
// of its size. Input on a cover counts as input on the full-screen form.
#pragma once

#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_outputs.h"

namespace wayland {

// A cover on every announced output but `rain`'s, or with no rain, none. An output whose
// cover the compositor closed is not covered again while it stays.
void KeepCovers(const Output* rain);
// The output under this cover of ours; null when the surface is no cover.
const Output* CoverOutput(wl_surface* surface);
// An output is about to go: its cover goes too.
void CoverOutputGone(const Output& output);
// Covers the compositor closed go.
void DropClosedCovers();
void DestroyCovers();

}  // namespace wayland
