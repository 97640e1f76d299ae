// Implements: the Linux command-line conventions around the program's own switches
// (--help, --version, --platform, the daemon options -root, -window-id and
// XSCREENSAVER_WINDOW), and the choice between X11 and Wayland.
#include "platform/linux_entry/linux_invocation.h"

#include <cctype>
#include <charconv>
#include <cstdint>

namespace linux_platform {
namespace {

using Kind = Invocation::Kind;

bool IsOneOf(std::string_view arg, std::string_view shortForm, std::string_view longForm) {
  return arg == shortForm || arg == longForm;
}

bool Set(const char* variable) { return variable != nullptr && *variable != '\0'; }

Invocation Of(Kind kind) {
  Invocation call;
  call.kind = kind;
  return call;
}

Invocation Failure(std::string message) {
  Invocation call;
  call.kind = Kind::Error;
  call.error = std::move(message);
  return call;
}

Invocation EmbeddedIn(std::string_view id, std::string_view from) {
  const auto window = ParseWindowId(id);
  if (!window) {
    return Failure(std::string(from) + " \"" + std::string(id) +
                   "\" is not a window id (hex 0x... or decimal)");
  }
  Invocation call;
  call.kind = Kind::Embedded;
  call.window = window;
  return call;
}

Invocation Root(const char* xscreensaverWindow) {
  if (Set(xscreensaverWindow)) return EmbeddedIn(xscreensaverWindow, "XSCREENSAVER_WINDOW");
  Invocation call;
  call.kind = Kind::Embedded;
  return call;
}

// The program reads its switch from the trimmed command line's first two characters.
bool IsPreviewSwitch(std::string_view line) {
  const auto first = line.find_first_not_of(' ');
  return first != std::string_view::npos && line.size() - first >= 2 && line[first] == '/' &&
         std::toupper(static_cast<unsigned char>(line[first + 1])) == 'P';
}

// What the arguments other than --platform ask for.
Invocation ReadArguments(const std::vector<std::string>& args, const char* xscreensaverWindow) {
  if (args.empty()) {
    // A daemon that only sets the variable; without it, the about box as always.
    if (Set(xscreensaverWindow)) return EmbeddedIn(xscreensaverWindow, "XSCREENSAVER_WINDOW");
    return {};
  }
  const std::string_view first = args[0];
  const std::size_t extra = args.size() - 1;
  if (IsOneOf(first, "-h", "--help")) {
    if (extra > 0) return Failure(std::string(first) + " takes no argument");
    return Of(Kind::Help);
  }
  if (first == "--version") {
    if (extra > 0) return Failure("--version takes no argument");
    return Of(Kind::Version);
  }
  if (IsOneOf(first, "-root", "--root")) {
    if (extra > 0) return Failure(std::string(first) + " takes no argument");
    return Root(xscreensaverWindow);
  }
  if (IsOneOf(first, "-window-id", "--window-id")) {
    if (extra != 1) return Failure(std::string(first) + " takes one window id");
    return EmbeddedIn(args[1], first);
  }
  return {};
}

}  // namespace

std::optional<unsigned long> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  // from_chars takes no sign, prefix or blank, so the whole text must be digits.
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Invocation ReadInvocation(const std::vector<std::string>& args, const char* xscreensaverWindow) {
  std::optional<Platform> platform;
  std::vector<std::string> rest;
  for (const std::string& arg : args) {
    if (!arg.starts_with("--platform")) {
      rest.push_back(arg);
    } else if (arg == "--platform=x11") {
      platform = Platform::X11;
    } else if (arg == "--platform=wayland") {
      platform = Platform::Wayland;
    } else {
      return Failure("\"" + arg + "\": use --platform=x11 or --platform=wayland");
    }
  }
  Invocation call = ReadArguments(rest, xscreensaverWindow);
  if (call.kind == Kind::Error) return call;
  call.platform = platform;
  for (const std::string& arg : rest)
    call.commandLine += (call.commandLine.empty() ? "" : " ") + arg;
  const bool embeds = call.kind == Kind::Embedded ||
                      (call.kind == Kind::Program && IsPreviewSwitch(call.commandLine));
  if (embeds && platform == Platform::Wayland) {
    return Failure("--platform=wayland cannot draw in an X window");
  }
  // The variable only stands in for a missing switch; the embedded kind already took it.
  call.namesXWindow = embeds;
  return call;
}

Choice ChoosePlatform(const Invocation& call, const Displays& displays,
                      const std::function<bool(Platform)>& connects) {
  const auto x11Failure = [&] {
    return Choice{{},
                  Set(displays.display)
                      ? "cannot open the X display \"" + std::string(displays.display) + "\""
                      : std::string("cannot open the X display (DISPLAY is not set)")};
  };
  const auto waylandFailure = [&] {
    return Choice{{},
                  Set(displays.waylandDisplay)
                      ? "cannot connect to the Wayland compositor \"" +
                            std::string(displays.waylandDisplay) + "\""
                      : std::string("cannot connect to a Wayland compositor (WAYLAND_DISPLAY is "
                                    "not set)")};
  };
  if (call.platform == Platform::Wayland ||
      (!call.platform && !call.namesXWindow && Set(displays.waylandDisplay))) {
    if (connects(Platform::Wayland)) return {Platform::Wayland, {}};
    if (call.platform) return waylandFailure();
    // A compositor named but gone: an X display may still be there.
    if (!Set(displays.display)) return waylandFailure();
  } else if (!call.platform && !call.namesXWindow && !Set(displays.display)) {
    return {{}, "no display: neither WAYLAND_DISPLAY nor DISPLAY is set"};
  }
  if (connects(Platform::X11)) return {Platform::X11, {}};
  return x11Failure();
}

const char* UsageLine() {
  return "usage: quelvo [/s | /p WINDOW | /c] [--platform=x11|wayland] | --root | "
         "--window-id ID | --help | --version";
}

const char* Usage() {
  return R"(usage: quelvo [/s | /p WINDOW | /c] [--platform=x11|wayland]
       quelvo --root | --window-id ID
       quelvo --help | --version

Green letters fall in columns over a black screen, after a three-second banner.

  /s              full screen: a key, a mouse button or a mouse move ends it
  /p WINDOW       the rain inside the window with this decimal X id (a preview)
  /c, nothing     the about box
  --platform=x11, --platform=wayland
                  the display system to use, instead of the choice below

Embedded, for screen-saver daemons (no grabs, the cursor and the X server's screen
saver left alone; ends on SIGTERM or when its window goes):
  -root, --root                in $XSCREENSAVER_WINDOW, else on the root window
  -window-id, --window-id ID   in the window ID, hex (0x600016) or decimal

Environment:
  XSCREENSAVER_WINDOW   the window a daemon made for the saver, hex or decimal; with
                        no argument at all, quelvo runs embedded in it; a switch on
                        the command line wins over it
  WAYLAND_DISPLAY       the Wayland compositor, used unless an X window is named
  DISPLAY               the X display, used without a Wayland compositor
)";
}

}  // namespace linux_platform
