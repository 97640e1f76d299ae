// "/s" on a 1024 x 768 screen without a window manager: banner, rain, dismissal, signals,
// and what the saver takes from the session while it runs.
#include <X11/extensions/saver.h>
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// The banner label, centred on the screen.
constexpr Box kBanner{kWidth / 2 - 200, kHeight / 2 - 34, kWidth / 2 + 200, kHeight / 2 + 34};

int BannerGreen(const Image& image) { return Count(image, kBanner, IsGreen); }

int LitOutsideBanner(const Image& image) {
  const auto lit = [](std::uint32_t p) { return !IsBlack(p); };
  return Count(image, {0, 0, image.width, image.height}, lit) -
         Count(image,
               {kBanner.left - 20, kBanner.top - 20, kBanner.right + 20, kBanner.bottom + 20}, lit);
}

// Green in 20 of the 24-pixel-wide strips of the screen, and not the banner's dense row of
// green in the middle, which the rain crosses only sparsely.
bool RainShows(const Image& image) {
  int strips = 0;
  for (int x = 0; x < image.width; x += 24)
    strips += Count(image, {x, 0, x + 24, image.height}, IsGreen) >= 15;
  return strips >= 20 && BannerGreen(image) < 700;
}

class FullScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ok());
    // The server's own saver would start after 1 s idle; quelvo must hold it off.
    XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
    XSync(display, False);
    MoveTo(1, 1);
  }

  void MoveTo(int x, int y) {
    ASSERT_EQ(
        RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y)}, server.name()), 0);
  }

  std::optional<Window> Start(const std::string& mode) {
    saver.emplace(std::vector<std::string>{SaverPath(), mode}, server.name());
    return WaitForSaverWindow(display, server.root(), 10s);
  }

  bool WaitForRain(Milliseconds timeout) {
    return WaitUntil([&] { return RainShows(Capture(display, server.root())); }, timeout, 100ms);
  }

  XServer server{kWidth, kHeight};
  Display* display = server.display();
  std::optional<Process> saver;
};

TEST_F(FullScreen, BannerThenRainOnTopUntilAKey) {
  const auto window = Start("/s");
  ASSERT_TRUE(window);
  EXPECT_EQ(GeometryOf(display, *window), (Geometry{0, 0, kWidth, kHeight, true}));

  // Another window appearing on top is pushed back under the saver.
  MakeWindow(display, server.root(), 100, 100, 60, 60, true);
  EXPECT_TRUE(WaitUntil([&] { return Children(display, server.root()).back() == *window; }, 2s));

  // The banner: green in the middle, black everywhere else.
  Image banner;
  EXPECT_TRUE(WaitUntil(
      [&] {
        banner = Capture(display, server.root());
        return BannerGreen(banner) >= 1000 && LitOutsideBanner(banner) == 0;
      },
      3s));
  // Idle past the server's 1 s timeout: its saver comes, for what follows it to chain on,
  // and shows nothing over the rain.
  EXPECT_TRUE(WaitUntil([&] { return ServerSaverState(display) == ScreenSaverOn; }, 3s));

  ASSERT_TRUE(WaitForRain(8s));
  const Image before = Capture(display, server.root());
  std::this_thread::sleep_for(150ms);
  EXPECT_NE(before.pixels, Capture(display, server.root()).pixels) << "the rain does not fall";

  EXPECT_TRUE(CursorHidden(display)) << "the cursor shows over the saver";

  // A key while another window holds the focus: only a grab routes it to us.
  XSetInputFocus(display, MakeWindow(display, server.root(), 0, 0, 20, 20, false),
                 RevertToPointerRoot, CurrentTime);
  XSync(display, False);
  // The press alone ends it: no release, and no auto-repeat to send one.
  ASSERT_EQ(RunTool({"xset", "r", "off"}, server.name()), 0);
  ASSERT_EQ(RunTool({"xdotool", "keydown", "x"}, server.name()), 0);
  EXPECT_EQ(saver->WaitExit(1s), 0);
  EXPECT_EQ(saver->Output(), "");

  // Given back: the server's saver starts again once the screen is idle.
  EXPECT_TRUE(WaitUntil([&] { return ServerSaverState(display) == ScreenSaverOn; }, 5s));
}

TEST_F(FullScreen, AMouseMoveOverTheBlackEndsItOnlyAfterTheBanner) {
  ASSERT_TRUE(Start("/s"));

  // The banner frame takes every mouse move.
  MoveTo(200, 200);
  MoveTo(600, 500);
  EXPECT_FALSE(saver->WaitExit(300ms)) << "a move during the banner ended the saver";

  ASSERT_TRUE(WaitForRain(8s));
  // The first move over the background only records where the pointer is; the next one
  // elsewhere ends the saver. Labels fall fast, so a move can land on one: try again.
  int moves = 0;
  for (int y = 60; y < kHeight - 60 && moves < 12 && saver->Running(); y += 47) {
    for (int x = 60; x < kWidth - 60 && moves < 12 && saver->Running(); x += 53) {
      const Image image = Capture(display, server.root());
      if (Count(image, {x - 25, y - 25, x + 25, y + 25}, IsBlack) < 50 * 50) continue;
      MoveTo(x, y);
      EXPECT_TRUE(++moves > 1 || !saver->WaitExit(300ms)) << "the first move ended the saver";
      saver->WaitExit(1s);
    }
  }
  EXPECT_EQ(saver->WaitExit(0ms), 0);
}

TEST_F(FullScreen, TermIntAndHupEndItCleanlyAndAnUnknownSwitchShowsTheRainToo) {
  for (auto [sig, mode] : {std::pair{SIGTERM, "/s"}, {SIGINT, "/S"}, {SIGHUP, "/x"}}) {
    SCOPED_TRACE(mode);
    MoveTo(1, 1);
    const auto window = Start(mode);
    ASSERT_TRUE(window);
    EXPECT_EQ(GeometryOf(display, *window), (Geometry{0, 0, kWidth, kHeight, true}));
    saver->Signal(sig);
    EXPECT_EQ(saver->WaitExit(1s), 0);
    EXPECT_EQ(saver->Output(), "");
    EXPECT_TRUE(WaitUntil([&] { return SaverWindows(display, server.root()).empty(); }, 1s));
    // The server's saver is its own again once the saver is gone.
    EXPECT_TRUE(WaitUntil([&] { return ServerSaverState(display) == ScreenSaverOn; }, 5s));
  }
  // Killed, it leaves the server's saver as it found it: that covers a window again.
  MoveTo(1, 1);
  ASSERT_TRUE(Start("/s"));
  saver->Signal(SIGKILL);
  MakeWindow(display, server.root(), 0, 0, 50, 50, false);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Count(Capture(display, server.root()), {0, 0, 50, 50}, IsBlack) == 2500;
      },
      5s));
}

TEST_F(FullScreen, ALostConnectionEndsItAtOnceWithAFailure) {
  ASSERT_TRUE(Start("/s"));
  server.Kill();
  const auto status = saver->WaitExit(1s);
  ASSERT_TRUE(status) << "still running without its display";
  EXPECT_GT(*status, 0) << "killed by a signal instead of exiting";
}

}  // namespace
}  // namespace x11test
