// The Linux entry's reading of the command line and environment, and its choice of a
// display system, as pure functions of what they are given.
#include <gtest/gtest.h>

#include <vector>

#include "platform/linux_entry/linux_invocation.h"

namespace {

using linux_platform::Invocation;
using linux_platform::Platform;
using Kind = Invocation::Kind;

TEST(WindowId, ReadsHexAndDecimalOf32BitsOnly) {
  EXPECT_EQ(linux_platform::ParseWindowId("0x600016"), 0x600016u);
  EXPECT_EQ(linux_platform::ParseWindowId("0X1f"), 31u);
  EXPECT_EQ(linux_platform::ParseWindowId("6291478"), 6291478u);
  EXPECT_EQ(linux_platform::ParseWindowId("4294967295"), 0xFFFFFFFFu);
  for (const char* text :
       {"4294967296", "0x100000000", "0x", "", " 12", "12 ", "+12", "-1", "0x-1", "12abc", "1.5"}) {
    EXPECT_EQ(linux_platform::ParseWindowId(text), std::nullopt) << '"' << text << '"';
  }
}

struct ReadCase {
  std::vector<std::string> args;
  const char* xscreensaverWindow;
  Kind kind;
  std::optional<unsigned long> window = {};
  bool namesXWindow = false;
  std::optional<Platform> platform = {};
  std::string commandLine = {};
};

TEST(Invocation, ReadsTheLinuxConventionsAroundTheProgramsSwitches) {
  const ReadCase cases[] = {
      {{}, nullptr, Kind::Program},
      {{}, "", Kind::Program},
      {{}, "0x1234", Kind::Embedded, 0x1234, true},
      {{}, "garbage", Kind::Error},
      {{"--root"}, nullptr, Kind::Embedded, {}, true},
      {{"-root"}, "42", Kind::Embedded, 42, true},
      {{"--root"}, "zz", Kind::Error},
      {{"--window-id", "0x10", "x"}, nullptr, Kind::Error},
      {{"--window-id", "99999999999"}, nullptr, Kind::Error},
      {{"-window-id", " 7"}, nullptr, Kind::Error},
      {{"--window-id", "7"}, "0x99", Kind::Embedded, 7, true},
      {{"--help"}, nullptr, Kind::Help},
      {{"--help", "x"}, nullptr, Kind::Error},
      {{"--version", "/s"}, nullptr, Kind::Error},
      {{"/s"}, nullptr, Kind::Program, {}, false, {}, "/s"},
      {{"/s"}, "0x20", Kind::Program, {}, false, {}, "/s"},
      {{"/p", "9"}, "0x20", Kind::Program, {}, true, {}, "/p 9"},
      {{"/p", "123"}, nullptr, Kind::Program, {}, true, {}, "/p 123"},
      {{" /P1234"}, nullptr, Kind::Program, {}, true, {}, " /P1234"},
      {{"--platform=wayland", "/s"}, nullptr, Kind::Program, {}, false, Platform::Wayland, "/s"},
      {{"/s", "--platform=x11"}, nullptr, Kind::Program, {}, false, Platform::X11, "/s"},
      {{"--platform=x11", "--help"}, nullptr, Kind::Help, {}, false, Platform::X11},
      {{"--platform=foo"}, nullptr, Kind::Error},
      {{"--platform"}, nullptr, Kind::Error},
      {{"--platform=wayland", "/p", "5"}, nullptr, Kind::Error},
      {{"--platform=wayland", "--root"}, nullptr, Kind::Error},
      {{"--platform=wayland", "/c"}, "0x20", Kind::Program, {}, false, Platform::Wayland, "/c"},
  };
  for (const ReadCase& c : cases) {
    std::string label;
    for (const std::string& a : c.args) label += '[' + a + ']';
    label +=
        c.xscreensaverWindow ? std::string(" XSCREENSAVER_WINDOW=") + c.xscreensaverWindow : "";
    const Invocation call = linux_platform::ReadInvocation(c.args, c.xscreensaverWindow);
    EXPECT_EQ(call.kind, c.kind) << label;
    if (c.kind == Kind::Error) {
      EXPECT_FALSE(call.error.empty()) << label;
      continue;
    }
    EXPECT_EQ(call.window, c.window) << label;
    EXPECT_EQ(call.namesXWindow, c.namesXWindow) << label;
    EXPECT_EQ(call.platform, c.platform) << label;
    if (c.kind != Kind::Program) continue;
    EXPECT_EQ(call.commandLine, c.commandLine) << label;
  }
}

struct ChoiceCase {
  bool namesXWindow;
  std::optional<Platform> forced;
  const char* waylandDisplay;
  const char* display;
  bool waylandConnects, x11Connects;
  std::optional<Platform> chosen;
  std::vector<Platform> tried;
};

TEST(PlatformChoice, XWindowsThenWaylandThenX11AndAForcedChoiceHasNoFallback) {
  constexpr auto W = Platform::Wayland, X = Platform::X11;
  const ChoiceCase cases[] = {
      {false, {}, "wayland-1", ":0", true, true, W, {W}},
      {false, {}, "wayland-1", ":0", false, true, X, {W, X}},
      {false, {}, "wayland-1", nullptr, false, true, {}, {W}},
      {false, {}, nullptr, ":0", true, true, X, {X}},
      {false, {}, "", ":0", true, false, {}, {X}},
      {false, {}, nullptr, nullptr, true, true, {}, {}},
      {true, {}, "wayland-1", ":0", true, true, X, {X}},
      {true, {}, "wayland-1", nullptr, true, false, {}, {X}},
      {false, W, nullptr, ":0", true, true, W, {W}},
      {false, W, "wayland-1", ":0", false, true, {}, {W}},
      {false, X, "wayland-1", ":0", true, true, X, {X}},
      {false, X, "wayland-1", ":0", true, false, {}, {X}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const ChoiceCase& c = cases[i];
    Invocation call;
    call.namesXWindow = c.namesXWindow;
    call.platform = c.forced;
    std::vector<Platform> tried;
    const linux_platform::Choice choice =
        linux_platform::ChoosePlatform(call, {c.waylandDisplay, c.display}, [&](Platform p) {
          tried.push_back(p);
          return p == W ? c.waylandConnects : c.x11Connects;
        });
    EXPECT_EQ(choice.platform, c.chosen) << "case " << i;
    EXPECT_EQ(tried, c.tried) << "case " << i;
    // A failure is one line to print; a choice has none.
    EXPECT_EQ(choice.error.empty(), c.chosen.has_value()) << "case " << i << ": " << choice.error;
    EXPECT_EQ(choice.error.find('\n'), std::string::npos) << "case " << i;
  }
}

}  // namespace
