// idle.conf as the settings window sees it: the values quelvo-idle would take, the lines it
// would refuse, and edits that keep every comment and line the window does not own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "idle/settings.h"

namespace settings {

struct IdleFile {
  std::string path;
  std::string text;                   // as read; empty when there is no file
  idle::Settings values;              // the defaults, then every line taken
  std::vector<int> badLines;          // 1-based numbers of the refused lines
  std::vector<std::string> problems;  // "line N: what is wrong", one per refused line
  std::string readError;              // set when the file exists but cannot be read
};

IdleFile ReadIdleFile(const std::string& path);
IdleFile ParseIdleText(std::string text, const std::string& path);

// The text with `key = value`: the last line for the key is replaced, else one is added.
// Refused lines become comments, so that quelvo-idle takes the file that is written.
std::string WithValue(std::string_view text, std::string_view key, std::string_view value,
                      const std::vector<int>& badLines);

// Replaces the file at once (a link's target, not the link); empty on success.
std::string WriteIdleFile(const std::string& path, const std::string& text);

}  // namespace settings
