// Reading the preview window's handle from the end of the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace saver {

// The value of a decimal number with optional blanks around it, an optional sign,
// digits with an optional fraction and an optional exponent; nothing if the text is
// not such a number.
std::optional<double> NumericValue(std::string_view text);

// A number as a 32-bit window handle: rounded half to even; above the signed range but
// within 32 bits unsigned it is that handle; anything else names no window (0).
std::int32_t ToHandle(double value);

// The longest trailing part of the trimmed text that is numeric, as a handle; 0 when
// there is none.
std::int32_t TrailingNumber(std::string_view text);

}  // namespace saver
