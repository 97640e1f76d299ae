// "/p <window>": the rain inside a host's window, and the end of the saver with it.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

class Preview : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Ok()); }
  XServer server{640, 480};
};

TEST_F(Preview, RainFillsTheHostWindowAndEndsWhenTheHostGoes) {
  Display* display = server.display();
  const Window host = MakeWindow(display, server.root(), 40, 30, 152, 112, false);
  Process saver({SaverPath(), "/p", std::to_string(host)}, server.name());

  const auto child = WaitForSaverWindow(display, host, 10s);
  ASSERT_TRUE(child) << "no saver window inside the host";
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto g = GeometryOf(display, *child);
        return g && g->x == 0 && g->y == 0 && g->width == 152 && g->height == 112;
      },
      2s));
  // Nothing of the saver outside the host.
  EXPECT_TRUE(SaverWindows(display, server.root()).empty());

  // After the banner (drawn in the middle of the full screen, outside the preview)
  // the rain falls through the small window.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Count(Capture(display, host), {0, 0, 152, 112}, IsGreen) >= 20;
      },
      10s, 100ms));

  XDestroyWindow(display, host);
  XSync(display, False);
  EXPECT_EQ(saver.WaitExit(1s), 0);
  EXPECT_EQ(saver.Output(), "");
}

TEST_F(Preview, AHandleThatNamesNoWindowEndsAtOnce) {
  for (const char* handle : {"0", "12345678"}) {
    const auto started = Clock::now();
    Process saver({SaverPath(), "/P", handle}, server.name());
    EXPECT_EQ(saver.WaitExit(3s), 0) << handle;
    EXPECT_LT(Clock::now() - started, 2s) << handle;
    EXPECT_TRUE(SaverWindows(server.display(), server.root()).empty()) << handle;
  }
}

TEST_F(Preview, AHostGoneWhileTheSaverStartsEndsItToo) {
  // Whichever step of the embedding the destruction lands in, the saver must end.
  Display* display = server.display();
  for (int delayMs : {0, 30, 80}) {
    const Window host = MakeWindow(display, server.root(), 40, 30, 152, 112, false);
    Process saver({SaverPath(), "/p", std::to_string(host)}, server.name());
    std::this_thread::sleep_for(Milliseconds(delayMs));
    XDestroyWindow(display, host);
    XSync(display, False);
    EXPECT_EQ(saver.WaitExit(3s), 0) << delayMs;
    EXPECT_TRUE(SaverWindows(display, server.root()).empty()) << delayMs;
  }
}

}  // namespace
}  // namespace x11test
