// "/s" on two monitors side by side: banner and rain on the primary, the other monitor
// black without a cursor, input there ends the saver, and the covers follow the monitors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "Xorg needs root";
    ASSERT_TRUE(server.Ok());
    Run({"xdotool", "mousemove", "10", "10"});
    MakeWindow(d, root, 1280, 0, 1024, 768, false);  // for the saver to hide
    saver.emplace(std::vector<std::string>{SaverPath(), "/s"}, server.name());
  }

  void Run(const std::vector<std::string>& tool) { ASSERT_EQ(RunTool(tool, server.name()), 0); }

  // The geometry of the saver's window on top at a point.
  std::optional<Geometry> SaverAt(int x, int y) {
    Window top = 0;
    XTranslateCoordinates(d, root, root, x, y, &x, &y, &top);
    const auto mine = SaverWindows(d, root);
    return std::count(mine.begin(), mine.end(), top) ? GeometryOf(d, top) : std::nullopt;
  }

  int Count(const Box& b, bool (*pred)(std::uint32_t)) {
    return x11test::Count(Capture(d, root), b, pred);
  }

  XServer server{XServer::TwoMonitors{}};
  Display* d = server.display();
  Window root = d ? DefaultRootWindow(d) : 0;
  std::optional<Process> saver;
};

TEST_F(TwoMonitors, RainOnThePrimaryTheOtherBlackWithoutACursorAndAMoveThereEndsIt) {
  ASSERT_TRUE(WaitUntil([&] { return SaverAt(640, 512) && SaverAt(1792, 384); }, 10s));
  EXPECT_EQ(SaverAt(640, 512)->width, 1280);
  EXPECT_TRUE(WaitUntil([&] { return Count({440, 478, 840, 546}, IsGreen) >= 1000; }, 3s));
  EXPECT_TRUE(WaitUntil([&] { return Count({0, 0, 1280, 300}, IsGreen) > 500; }, 10s));
  EXPECT_EQ(Count({1280, 0, 2304, 768}, IsBlack), 1024 * 768);

  Run({"xdotool", "mousemove", "1792", "384"});
  EXPECT_TRUE(CursorHidden(d));
  EXPECT_FALSE(saver->WaitExit(300ms)) << "the first move ended it";
  Run({"xdotool", "mousemove", "1800", "400"});
  EXPECT_EQ(saver->WaitExit(2s), 0);
}

TEST_F(TwoMonitors, CoversFollowMonitorsSwitchedOffAndOn) {
  ASSERT_TRUE(WaitUntil([&] { return SaverAt(1792, 384).has_value(); }, 10s));
  Run({"xrandr", "--output", "DUMMY1", "--off"});
  EXPECT_TRUE(WaitUntil([&] { return SaverWindows(d, root).size() == 1; }, 3s));
  // Back on the left: the primary, and the rain with it, now starts at x 1024.
  Run({"xrandr", "--output", "DUMMY1", "--mode", "1024x768", "--left-of", "DUMMY0"});
  auto rain = [&] { return SaverAt(1664, 512).value_or(Geometry{}).x == 1024; };
  EXPECT_TRUE(WaitUntil([&] { return rain() && SaverAt(512, 384); }, 3s));
  Run({"xdotool", "key", "x"});
  EXPECT_EQ(saver->WaitExit(2s), 0);
}

}  // namespace
}  // namespace x11test
