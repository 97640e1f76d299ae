// Embedded: "/p", -window-id, --root and XSCREENSAVER_WINDOW put the rain into a window
// someone else owns, which the saver must share without taking over, and end with it.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

// quelvo with a call made to fail (fail_calls.cpp), then these arguments.
std::vector<std::string> Failing(const std::string& failure, std::vector<std::string> args) {
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::vector<std::string> command{
      "env", "LD_PRELOAD=" QUELVO_FAIL_CALLS, failure,
      // The sanitizers' runtime, when there is one, comes after the preloaded library.
      std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0", SaverPath()};
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

class Embedded : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ok());
    // A daemon's window, top left, so the banner (centred on the screen) stays outside
    // it, with the button presses only its owner may select.
    XSelectInput(display, host, ButtonPressMask);
  }
  int GreenInHost() { return Count(Capture(display, host), {0, 0, 640, 480}, IsGreen); }
  bool Fits(Window child, int width, int height) {
    return GeometryOf(display, child) == Geometry{0, 0, width, height, true};
  }

  XServer server{640, 480};
  Display* display = server.display();
  Window host = MakeWindow(display, server.root(), 0, 0, 200, 150, true);
};

TEST_F(Embedded, HexDecimalAndTheRootTakeNothingFromTheirHost) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%lx", host);
  const std::string variable = "XSCREENSAVER_WINDOW=" + std::to_string(host);
  const std::pair<std::vector<std::string>, Window> runs[] = {
      {{SaverPath(), "-window-id", hex}, host},
      {{SaverPath(), "--window-id", std::to_string(host)}, host},
      {{"env", variable, SaverPath(), "--root"}, host},
      {{SaverPath(), "-root"}, server.root()},
      {{SaverPath(), "/p", std::to_string(host)}, host},
      // The server refuses large pixmaps: the rain comes in smaller pieces.
      {Failing("QUELVO_MAX_PIXMAP=20000", {"/p", std::to_string(host)}), host},
      // Without a signalfd, SIGTERM still ends it.
      {Failing("QUELVO_FAIL_SIGNALFD=1", {"-root"}), server.root()},
  };
  for (const auto& [command, parent] : runs) {
    SCOPED_TRACE(command[1] + " " + command.back());
    Process saver(command, server.name());
    const auto child = WaitForSaverWindow(display, parent, 10s);
    ASSERT_TRUE(child);
    if (parent == host) {
      EXPECT_TRUE(WaitUntil([&] { return Fits(*child, 200, 150); }, 2s));
      EXPECT_TRUE(WaitUntil([&] { return GreenInHost() >= 20; }, 10s, 100ms));
      XWindowAttributes attributes;
      XGetWindowAttributes(display, host, &attributes);
      EXPECT_EQ(attributes.all_event_masks, ButtonPressMask);
      EXPECT_TRUE(SaverWindows(display, server.root()).empty());
    }
    EXPECT_EQ(XGrabKeyboard(display, parent, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XUngrabKeyboard(display, CurrentTime);
    saver.Signal(SIGTERM);
    EXPECT_EQ(saver.WaitExit(1s), 0);
  }
}

TEST_F(Embedded, StoppedAndResizedItFollowsAndCatchesNothingUp) {
  // The banner lasts about 3.3 s of ticks. Stopped 1 s in for 3 s, it must still show
  // for about 2 s more: catching up the missed ticks would end it at once.
  Process saver({SaverPath(), "-window-id", std::to_string(host)}, server.name());
  const auto child = WaitForSaverWindow(display, host, 10s);
  ASSERT_TRUE(child);
  std::this_thread::sleep_for(1s);
  saver.Signal(SIGSTOP);
  XResizeWindow(display, host, 320, 100);
  std::this_thread::sleep_for(3s);
  saver.Signal(SIGCONT);
  EXPECT_FALSE(WaitUntil([&] { return GreenInHost() > 0; }, 800ms, 50ms)) << "banner cut short";
  EXPECT_TRUE(Fits(*child, 320, 100));
  for (auto [width, height] : {std::pair{90, 60}, {520, 400}}) {
    XResizeWindow(display, host, static_cast<unsigned>(width), static_cast<unsigned>(height));
    EXPECT_TRUE(WaitUntil([&] { return Fits(*child, width, height); }, 1s)) << width;
  }
  EXPECT_TRUE(WaitUntil([&] { return GreenInHost() >= 20; }, 8s, 100ms)) << "no rain";
  XDestroyWindow(display, host);
  XSync(display, False);
  EXPECT_EQ(saver.WaitExit(1s), 0);
  EXPECT_EQ(saver.Output(), "");
}

TEST_F(Embedded, AHostGoneWhileTheSaverStartsEndsItToo) {
  // Whichever step of the embedding the destruction lands in, the saver must end.
  for (int delayMs : {0, 30, 80}) {
    const Window gone = MakeWindow(display, server.root(), 40, 30, 152, 112, false);
    Process saver({SaverPath(), "/p", std::to_string(gone)}, server.name());
    std::this_thread::sleep_for(Milliseconds(delayMs));
    XDestroyWindow(display, gone);
    XSync(display, False);
    EXPECT_EQ(saver.WaitExit(3s), 0) << delayMs;
    EXPECT_TRUE(SaverWindows(display, server.root()).empty()) << delayMs;
  }
}

TEST_F(Embedded, AnIdThatIsNoWindowIsOneLineAndAFailureAtOnce) {
  for (const char* id : {"0x7ffffff", "0", "window", "0x", "-1"}) {
    Process saver({SaverPath(), "-window-id", id}, server.name());
    const auto status = saver.WaitExit(2s);
    EXPECT_TRUE(status && *status > 0) << id;
    const std::string output = saver.Output();
    EXPECT_TRUE(output.starts_with("quelvo: ") && output.find('\n') == output.size() - 1) << output;
  }
  // The server refuses every pixmap: one line and a failure, not a black screen.
  Process starved(Failing("QUELVO_MAX_PIXMAP=1", {"/p", std::to_string(host)}), server.name());
  EXPECT_EQ(starved.WaitExit(5s), 1);
  const std::string said = starved.Output();
  EXPECT_TRUE(said.starts_with("quelvo: ") && said.find('\n') == said.size() - 1) << said;
  // "/p" keeps the preview's rule: a handle that names no window ends it quietly.
  for (const char* handle : {"0", "12345678"}) {
    Process saver({SaverPath(), "/P", handle}, server.name());
    EXPECT_EQ(saver.WaitExit(2s), 0) << handle;
    EXPECT_TRUE(SaverWindows(display, server.root()).empty()) << handle;
  }
}

}  // namespace
}  // namespace x11test
