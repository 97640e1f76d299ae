// Native fonts for the runtime's FontSpecs, and the layout of a label's text.
#pragma once

#include <string_view>
#include <vector>

#include "forms/font.h"
#include "platform/platform.h"
#include "platform/x11/x11_xlib.h"

namespace x11 {

// The Xft font for a spec, opened once per spec address (designs hold them as
// constants). Null spec: the runtime's default font.
XftFont* FontFor(const forms::FontSpec* spec);

// Lays out text left-aligned from the top-left corner of rect, wrapping at spaces
// like a fixed-size label, and appends its glyphs to out. Returns whether every
// glyph's ink stays inside rect (then no clipping to the label is needed).
bool LayOutText(std::string_view text, XftFont* font, const platform::PixelRect& rect,
                std::vector<XftGlyphFontSpec>& out);

// Closes every font (before the display goes).
void CloseFonts();

}  // namespace x11
