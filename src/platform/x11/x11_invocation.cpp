// Implements: the Linux command-line conventions around the program's own switches:
// --help, --version, and the daemon options -root, -window-id and XSCREENSAVER_WINDOW.
#include "platform/x11/x11_invocation.h"

#include <charconv>
#include <cstdint>

namespace x11 {
namespace {

using Kind = Invocation::Kind;

bool IsOneOf(std::string_view arg, std::string_view shortForm, std::string_view longForm) {
  return arg == shortForm || arg == longForm;
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
  if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
    return EmbeddedIn(xscreensaverWindow, "XSCREENSAVER_WINDOW");
  }
  Invocation call;
  call.kind = Kind::Embedded;
  return call;
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
  if (args.empty()) {
    // A daemon that only sets the variable; without it, the about box as always.
    if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
      return EmbeddedIn(xscreensaverWindow, "XSCREENSAVER_WINDOW");
    }
    return {};
  }
  const std::string_view first = args[0];
  const std::size_t extra = args.size() - 1;
  if (IsOneOf(first, "-h", "--help") && extra == 0) return {Kind::Help, {}, {}};
  if (first == "--version" && extra == 0) return {Kind::Version, {}, {}};
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

const char* Usage() {
  return R"(usage: quelvo [/s | /p WINDOW | /c]
       quelvo --root | --window-id ID
       quelvo --help | --version

Green letters fall in columns over a black screen, after a three-second banner.

  /s              full screen: a key, a mouse button or a mouse move ends it
  /p WINDOW       the rain inside the window with this decimal X id (a preview)
  /c, nothing     the about box

Embedded, for screen-saver daemons (no grabs, the cursor and the X server's screen
saver left alone; ends on SIGTERM or when its window goes):
  -root, --root                in $XSCREENSAVER_WINDOW, else on the root window
  -window-id, --window-id ID   in the window ID, hex (0x600016) or decimal

Environment:
  XSCREENSAVER_WINDOW   the window a daemon made for the saver, hex or decimal; with
                        no argument at all, quelvo runs embedded in it
  DISPLAY               the X display
)";
}

}  // namespace x11
