// Endings from outside: signals, and the X server going away.
#include <X11/extensions/saver.h>
#include <gtest/gtest.h>
#include <signal.h>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

class Lifecycle : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Ok()); }
  XServer server{640, 480};
};

TEST_F(Lifecycle, TermIntAndHupEndItCleanly) {
  Display* display = server.display();
  XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
  XSync(display, False);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    ASSERT_EQ(RunTool({"xdotool", "mousemove", "1", "1"}, server.name()), 0);
    Process saver({SaverPath(), "/s"}, server.name());
    ASSERT_TRUE(WaitForSaverWindow(display, server.root(), 10s)) << sig;
    saver.Signal(sig);
    EXPECT_EQ(saver.WaitExit(1s), 0) << sig;
    EXPECT_EQ(saver.Output(), "") << sig;
    EXPECT_TRUE(WaitUntil([&] { return SaverWindows(display, server.root()).empty(); }, 1s));
    // The server's saver was suspended only for the saver's lifetime.
    EXPECT_TRUE(WaitUntil([&] { return ServerSaverState(display) == ScreenSaverOn; }, 5s)) << sig;
  }
}

TEST_F(Lifecycle, ALostConnectionEndsItAtOnceWithAFailure) {
  Process saver({SaverPath(), "/s"}, server.name());
  ASSERT_TRUE(WaitForSaverWindow(server.display(), server.root(), 10s));
  server.Kill();
  const auto status = saver.WaitExit(1s);
  ASSERT_TRUE(status) << "still running without its display";
  EXPECT_NE(*status, 0);
  EXPECT_GT(*status, 0) << "killed by a signal instead of exiting";
}

}  // namespace
}  // namespace x11test
