// What the Linux command line asks for before the program runs: the usage, the version,
// the program with its own switches, or the embedding a screen-saver daemon wants,
// which the entry turns into the program's own preview switch.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace x11 {

struct Invocation {
  enum class Kind { Program, Help, Version, Embedded, Error };
  Kind kind = Kind::Program;
  // Embedded: the window named; none means the default screen's root window.
  std::optional<unsigned long> window;
  // Error: what to say, one line without the program's name.
  std::string error;
};

// args are argv[1..]; xscreensaverWindow is $XSCREENSAVER_WINDOW, or null when unset.
Invocation ReadInvocation(const std::vector<std::string>& args, const char* xscreensaverWindow);

// A window id in hex ("0x600016") or decimal, as daemons write them.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// The text of --help.
const char* Usage();

}  // namespace x11
