// The text functions the program's procedures use.
#pragma once

#include <string>
#include <string_view>

namespace forms {

// Without leading and trailing space characters.
inline std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// ASCII letters upper-cased; other bytes as they are.
inline std::string UCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// The first count characters, or the whole text when it is shorter.
inline std::string_view Left(std::string_view text, std::size_t count) {
  return text.substr(0, count);
}

}  // namespace forms
