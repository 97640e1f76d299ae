// What the Linux command line and environment ask for before the program runs: the
// usage, the version, the program with its own switches, or the embedding a
// screen-saver daemon wants; and which display system serves the run. Pure: reads
// only what it is given.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linux_platform {

enum class Platform { X11, Wayland };

struct Invocation {
  enum class Kind { Program, Help, Version, Embedded, Error };
  Kind kind = Kind::Program;
  // Embedded: the window named; none means the default screen's root window.
  std::optional<unsigned long> window;
  // Error: what to say, one line without the program's name.
  std::string error;
  // --platform=NAME, read here and never passed on.
  std::optional<Platform> platform;
  // The program's command line: the arguments without --platform, joined by spaces.
  std::string commandLine;
  // The command line names an X window: a daemon's, or the program's own "/p" preview.
  bool namesXWindow = false;
};

// args are argv[1..]; xscreensaverWindow is $XSCREENSAVER_WINDOW, or null when unset.
Invocation ReadInvocation(const std::vector<std::string>& args, const char* xscreensaverWindow);

// A window id in hex ("0x600016") or decimal, as daemons write them: 32 bits at most.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// The display variables, null when unset.
struct Displays {
  const char* waylandDisplay = nullptr;
  const char* display = nullptr;
};

struct Choice {
  std::optional<Platform> platform;  // none: error says why
  std::string error;
};

// X11 for an X window; else Wayland when WAYLAND_DISPLAY names a compositor that accepts
// the connection, else X11 when DISPLAY does; --platform forces one. `connects` opens
// the connection (and keeps it) and says whether it worked; it is asked at most once
// per platform.
Choice ChoosePlatform(const Invocation& call, const Displays& displays,
                      const std::function<bool(Platform)>& connects);

// The text of --help, and its one-line form for argument errors.
const char* Usage();
const char* UsageLine();

}  // namespace linux_platform
