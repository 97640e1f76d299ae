// The full-screen fallback on the compositors without layer-shell (mutter: input; weston:
// pictures), and which display system quelvo picks when both are there.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>
#include <thread>

#include "compositor.h"

namespace wltest {
namespace {

using namespace std::chrono_literals;

TEST(Mutter, TheFallbackEndsOnAKeyOnTheSecondMoveAndOnAButton) {
  Compositor mutter(Kind::kMutter);
  if (!mutter.Ok()) GTEST_SKIP() << "mutter does not start here";
  const Compositor::Helper input = mutter.Open({QUELVO_MUTTER_INPUT});
  std::this_thread::sleep_for(2s);  // its devices exist before quelvo looks at the seat
  for (const std::string ending : {"key", "move 40 30", "click"}) {
    SCOPED_TRACE(ending);
    Process saver(mutter.As({SaverPath(), "/s"}), "");
    // mutter tells a new window of the pointer only by an enter, at the next move.
    std::this_thread::sleep_for(1s);
    Send(input, "move 20 20");
    std::this_thread::sleep_for(3s);  // no pictures here without a media server: wait
    if (ending != "key") {
      Send(input, "move -40 -30");
      EXPECT_FALSE(saver.WaitExit(300ms)) << "the first move ended it";
    }
    // One output, no cover: a falling letter under the pointer takes the event; again.
    for (int i = 0; i < 3 && saver.Running(); ++i, saver.WaitExit(300ms)) Send(input, ending);
    EXPECT_EQ(saver.WaitExit(1s), 0);
    EXPECT_EQ(saver.Output(), "");
  }
}

TEST(Weston, TheFallbackShowsTheRainAndNothingElse) {
  Compositor weston(Kind::kWeston);
  if (!weston.Ok()) GTEST_SKIP() << "weston does not start here";
  Process saver(weston.As({SaverPath(), "/s"}), "");
  const auto all = [&] {
    const Image i = weston.Grab();
    const int dark = Count(i, kAll, IsGreen) + Count(i, kAll, IsBlack);
    return RainShows(i) && 100 * dark > 99 * i.width * i.height;
  };
  EXPECT_TRUE(WaitUntil(all, 10s)) << "no rain, or something else shows";
  saver.Signal(SIGTERM);
  EXPECT_EQ(saver.WaitExit(1s), 0);
}

TEST(PlatformChoice, XWindowsGoThroughX11WaylandOtherwiseAndAForcedOneMustBeThere) {
  Compositor sway(Kind::kSway);
  if (!sway.Ok()) GTEST_SKIP() << "sway does not start here";
  XServer x(640, 480);
  ASSERT_TRUE(x.Ok());
  const std::string display = "DISPLAY=" + x.name();
  const Window host = MakeWindow(x.display(), x.root(), 0, 0, 320, 240, false);
  Process preview(sway.As({SaverPath(), "/p", std::to_string(host)}, {display}), "");
  EXPECT_TRUE(WaitForSaverWindow(x.display(), host, 5s)) << "not embedded in the X window";

  // A daemon's stray variable loses to the switch on the command line.
  Process full(sway.As({SaverPath(), "/s"}, {display, "XSCREENSAVER_WINDOW=0x1234"}), "");
  EXPECT_TRUE(WaitUntil([&] { return GreenHeight(sway.Grab("HEADLESS-1")) > 0; }, 5s));
  EXPECT_TRUE(SaverWindows(x.display(), x.root()).empty()) << "full screen on X11";

  Process forced(
      sway.As({SaverPath(), "--platform=wayland", "/s"}, {display, "WAYLAND_DISPLAY=wayland-none"}),
      "");
  EXPECT_EQ(forced.WaitExit(2s), 1);
  const std::string out = forced.Output();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;

  // A compositor that accepts and never answers: each ending signal still ends it at once.
  char dir[] = "/tmp/quelvo-mute-XXXXXX";
  sockaddr_un mute{AF_UNIX, {}};
  ASSERT_TRUE(mkdtemp(dir) && chmod(dir, 0755) == 0);
  std::snprintf(mute.sun_path, sizeof mute.sun_path, "%s/wayland-mute", dir);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_TRUE(bind(listener, reinterpret_cast<sockaddr*>(&mute), sizeof mute) == 0 &&
              listen(listener, 8) == 0 && chmod(mute.sun_path, 0777) == 0);
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    Process connecting(
        sway.As({SaverPath(), "/s"}, {std::string("WAYLAND_DISPLAY=") + mute.sun_path}), "");
    std::this_thread::sleep_for(300ms);  // connected, and waiting for an answer
    connecting.Signal(sig);
    EXPECT_TRUE(connecting.WaitExit(1s).has_value()) << strsignal(sig);
  }
  close(listener), RunTool({"rm", "-rf", dir}, "");
}

}  // namespace
}  // namespace wltest
