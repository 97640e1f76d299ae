// The face and size a design's font gets on Linux, whoever draws it: the X11 platform
// opens the match through Xft, the client-side renderer through FreeType.
#pragma once

#include <fontconfig/fontconfig.h>

#include "forms/font.h"

namespace raster {

// Pixels per em of a font of this many points at this many dots per inch.
double PixelSize(float points, int dpi);

// A new pattern (the caller destroys it) asking for the design's family at this pixel
// size and weight, before any substitution.
FcPattern* FontPattern(const forms::FontSpec& wanted, double pixels);
// What to ask for when nothing matches the design's font.
FcPattern* FallbackPattern(double pixels);
// fontconfig's best face for a pattern (destroyed), with the system's substitutions
// applied as any client without Xft gets them; null if none. The caller destroys it.
FcPattern* MatchFace(FcPattern* pattern);

}  // namespace raster
