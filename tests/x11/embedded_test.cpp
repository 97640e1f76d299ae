// Embedded for screen-saver daemons: -window-id, --root and XSCREENSAVER_WINDOW put the
// rain into a window someone else owns, which the saver must share without taking over.
#include <X11/extensions/saver.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <thread>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

constexpr long kOwnerEvents = ButtonPressMask | ExposureMask;

class Embedded : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Ok()); }

  // A daemon's window: top-left of the screen, so the banner (centred on the screen)
  // stays outside it, with the button presses its owner alone may select.
  Window Host(int width, int height) {
    const Window host = MakeWindow(server.display(), server.root(), 0, 0, width, height, true);
    XSelectInput(server.display(), host, kOwnerEvents);
    XSync(server.display(), False);
    return host;
  }
  int GreenIn(Window host) {
    return Count(Capture(server.display(), host), {0, 0, 4096, 4096}, IsGreen);
  }
  std::string Hex(Window w) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", w);
    return text;
  }

  XServer server{640, 480};
};

TEST_F(Embedded, HexDecimalAndTheVariableAllEmbedWithoutTakingOver) {
  Display* display = server.display();
  const Window host = Host(200, 150);
  const std::string decimal = std::to_string(host);
  const std::vector<std::vector<std::string>> commands = {
      {SaverPath(), "-window-id", Hex(host)},
      {SaverPath(), "--window-id", decimal},
      {"env", "XSCREENSAVER_WINDOW=" + decimal, SaverPath(), "--root"},
      {"env", "XSCREENSAVER_WINDOW=" + Hex(host), SaverPath()},
  };
  for (const auto& command : commands) {
    const std::string name = command[command.size() - 2] + " " + command.back();
    Process saver(command, server.name());
    const auto child = WaitForSaverWindow(display, host, 10s);
    ASSERT_TRUE(child) << name;
    EXPECT_TRUE(WaitUntil(
        [&] {
          const auto g = GeometryOf(display, *child);
          return g && g->x == 0 && g->y == 0 && g->width == 200 && g->height == 150;
        },
        2s))
        << name;
    EXPECT_TRUE(WaitUntil([&] { return GreenIn(host) >= 20; }, 10s, 100ms)) << name;

    // The owner's events are the only ones selected on its window, and nothing is grabbed.
    XWindowAttributes attributes;
    XGetWindowAttributes(display, host, &attributes);
    EXPECT_EQ(attributes.all_event_masks, kOwnerEvents) << name;
    EXPECT_EQ(
        XGrabKeyboard(display, server.root(), False, GrabModeAsync, GrabModeAsync, CurrentTime),
        GrabSuccess)
        << name;
    EXPECT_EQ(XGrabPointer(display, server.root(), False, ButtonPressMask, GrabModeAsync,
                           GrabModeAsync, None, None, CurrentTime),
              GrabSuccess)
        << name;
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);

    saver.Signal(SIGTERM);
    EXPECT_EQ(saver.WaitExit(1s), 0) << name;
    EXPECT_EQ(saver.Output(), "") << name;
  }
  // Still the owner's window, empty again.
  EXPECT_TRUE(SaverWindows(display, host).empty());
}

TEST_F(Embedded, TheRootLeavesTheServersSaverAlone) {
  // --root without the variable: the root window itself is the host.
  Display* display = server.display();
  Process saver({SaverPath(), "-root"}, server.name());
  ASSERT_TRUE(WaitForSaverWindow(display, server.root(), 10s));
  EXPECT_EQ(XGrabKeyboard(display, server.root(), False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XUngrabKeyboard(display, CurrentTime);
  // Idle past the server's 1 s timeout: its saver starts, since nothing suspended it.
  XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
  EXPECT_TRUE(WaitUntil([&] { return ServerSaverState(display) == ScreenSaverOn; }, 5s));
  saver.Signal(SIGTERM);
  EXPECT_EQ(saver.WaitExit(1s), 0);
}

TEST_F(Embedded, TheRainFollowsTheHostsSize) {
  Display* display = server.display();
  const Window host = Host(200, 150);
  Process saver({SaverPath(), "-window-id", Hex(host)}, server.name());
  const auto child = WaitForSaverWindow(display, host, 10s);
  ASSERT_TRUE(child);
  for (auto [width, height] : {std::pair{520, 400}, {120, 300}, {90, 60}}) {
    XResizeWindow(display, host, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
    EXPECT_TRUE(WaitUntil(
        [&] {
          const auto g = GeometryOf(display, *child);
          return g && g->x == 0 && g->y == 0 && g->width == width && g->height == height;
        },
        1s))
        << width << " x " << height;
  }
  XDestroyWindow(display, host);
  XSync(display, False);
  EXPECT_EQ(saver.WaitExit(1s), 0);
}

TEST_F(Embedded, StoppedAndContinuedItCatchesNothingUp) {
  // The banner lasts about 3.3 s of ticks. Stopped 1 s in for 3 s, it must still show
  // for about 2 s more: catching up the missed ticks would end it at once.
  Display* display = server.display();
  const Window host = Host(200, 150);
  Process saver({SaverPath(), "-window-id", std::to_string(host)}, server.name());
  ASSERT_TRUE(WaitForSaverWindow(display, host, 10s));
  std::this_thread::sleep_for(1s);
  saver.Signal(SIGSTOP);
  std::this_thread::sleep_for(3s);
  saver.Signal(SIGCONT);
  EXPECT_FALSE(WaitUntil([&] { return GreenIn(host) > 0; }, 800ms, 50ms))
      << "the banner ended right after SIGCONT";
  EXPECT_TRUE(WaitUntil([&] { return GreenIn(host) >= 20; }, 8s, 100ms)) << "no rain again";
}

TEST_F(Embedded, AnIdThatIsNoWindowIsOneLineAndAFailure) {
  const std::vector<std::vector<std::string>> commands = {
      {SaverPath(), "-window-id", "0x7ffffff"},
      {SaverPath(), "--window-id", "0"},
      {SaverPath(), "-window-id", "window"},
      {SaverPath(), "--window-id"},
      {"env", "XSCREENSAVER_WINDOW=0x", SaverPath(), "--root"},
  };
  for (const auto& command : commands) {
    const auto started = Clock::now();
    Process saver(command, server.name());
    const auto status = saver.WaitExit(3s);
    ASSERT_TRUE(status) << command.back();
    EXPECT_GT(*status, 0) << command.back();
    EXPECT_LT(Clock::now() - started, 2s) << command.back();
    const std::string output = saver.Output();
    EXPECT_EQ(output.rfind("quelvo: ", 0), 0u) << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
  }
  EXPECT_TRUE(SaverWindows(server.display(), server.root()).empty());
}

}  // namespace
}  // namespace x11test
