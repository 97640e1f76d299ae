#include "saver/trailing_number.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "forms/strings.h"

namespace saver {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Length of the run of digits at the start of text.
std::size_t Digits(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  return n;
}

}  // namespace

std::optional<double> NumericValue(std::string_view text) {
  std::string_view t = WithoutBlanks(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  // Check the grammar first; from_chars would accept less or more than it.
  std::size_t pos = Digits(t);
  std::size_t mantissaDigits = pos;
  if (pos < t.size() && t[pos] == '.') {
    const std::size_t fraction = Digits(t.substr(pos + 1));
    mantissaDigits += fraction;
    pos += 1 + fraction;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (pos < t.size() && (t[pos] == 'e' || t[pos] == 'E')) {
    std::size_t e = pos + 1;
    if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
    const std::size_t exponentDigits = Digits(t.substr(e));
    if (exponentDigits == 0) return std::nullopt;
    pos = e + exponentDigits;
  }
  if (pos != t.size()) return std::nullopt;

  // Overflow gives infinity, which names no window.
  const double value = std::strtod(std::string(t).c_str(), nullptr);
  return negative ? -value : value;
}

std::int32_t ToHandle(double value) {
  const double rounded = std::nearbyint(value);  // the default mode: half to even
  if (rounded >= -2147483648.0 && rounded <= 2147483647.0)
    return static_cast<std::int32_t>(rounded);
  if (rounded > 2147483647.0 && rounded <= 4294967295.0)
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rounded));
  return 0;
}

std::int32_t TrailingNumber(std::string_view text) {
  const std::string_view t = forms::Trim(text);
  for (std::size_t n = t.size(); n >= 1; --n) {
    if (const auto value = NumericValue(t.substr(t.size() - n))) return ToHandle(*value);
  }
  return 0;
}

}  // namespace saver
