// Two monitors side by side: "/s" puts banner and rain on the primary, the other monitor
// black without a cursor, input there ends the saver, and the covers follow the monitors
// and never fight; "-root" fills the whole root and leaves the monitors alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "harness.h"
// After Xlib, which harness.h brings.
#include <X11/extensions/dpms.h>

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
  }

  void Start(const char* mode) {
    saver.emplace(std::vector<std::string>{SaverPath(), mode}, server.name());
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

  // Windows raised, lowered, moved or sized among the root's children meanwhile.
  int Restacks(Milliseconds during) {
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, True);
    std::this_thread::sleep_for(during);
    XSync(d, False);
    int n = 0;
    for (XEvent e; XPending(d) > 0;) {
      XNextEvent(d, &e);
      n += e.type == ConfigureNotify || e.type == CirculateNotify;
    }
    XSelectInput(d, root, NoEventMask);
    return n;
  }

  XServer server{XServer::TwoMonitors{}};
  Display* d = server.display();
  Window root = d ? DefaultRootWindow(d) : 0;
  std::optional<Process> saver;
};

TEST_F(TwoMonitors, RainOnThePrimaryTheOtherBlackWithoutACursorAndAMoveThereEndsIt) {
  // The server's saver is due after 1 s, the display's power-off after 6 s: only the
  // first is the saver's to hold off.
  ASSERT_TRUE(DPMSCapable(d)) << "no DPMS: two_monitor_xorg.sh needs xserver-xorg-dev";
  XSetScreenSaver(d, 1, 0, DontPreferBlanking, AllowExposures);
  DPMSSetTimeouts(d, 0, 0, 6);
  const auto powerOff = Clock::now() + 6s;
  Start("/s");
  ASSERT_TRUE(WaitUntil([&] { return SaverAt(640, 512) && SaverAt(1792, 384); }, 10s));
  EXPECT_EQ(SaverAt(640, 512)->width, 1280);
  EXPECT_TRUE(WaitUntil([&] { return Count({440, 478, 840, 546}, IsGreen) >= 1000; }, 3s));
  EXPECT_TRUE(WaitUntil([&] { return Count({0, 0, 1280, 300}, IsGreen) > 500; }, 10s));
  EXPECT_EQ(Count({1280, 0, 2304, 768}, IsBlack), 1024 * 768);
  CARD16 level = DPMSModeOn;
  BOOL enabled = False;
  EXPECT_TRUE(WaitUntil([&] { return DPMSInfo(d, &level, &enabled) && level == DPMSModeOff; },
                        std::chrono::duration_cast<Milliseconds>(powerOff + 1s - Clock::now())))
      << "the display's power-off did not come at its time";
  EXPECT_GT(Count({0, 0, 1280, 300}, IsGreen), 500) << "the rain is covered";

  Run({"xdotool", "mousemove", "1792", "384"});
  EXPECT_TRUE(CursorHidden(d));
  EXPECT_FALSE(saver->WaitExit(300ms)) << "the first move ended it";
  Run({"xdotool", "mousemove", "1800", "400"});
  EXPECT_EQ(saver->WaitExit(2s), 0);
}

TEST_F(TwoMonitors, CoversFollowMonitorsSwitchedOffAndOn) {
  Start("/s");
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

TEST_F(TwoMonitors, OverlappingAndEmptyMonitorsHaveEachAreaCoveredOnceWithoutAFight) {
  // DUMMY1 cloned at a smaller mode, the primary at a larger one, and an empty monitor.
  for (auto [name, m] : {std::pair{"A", "800/0x600/0+1280+0"},
                         {"B", "1600/0x1024/0+0+0"},
                         {"C", "0/0x0/0+1500+900"}})
    Run({"xrandr", "--setmonitor", name, m, "none"});
  Start("/s");
  // The primary's clone reaches past the primary below DUMMY1: that strip is covered too.
  ASSERT_TRUE(WaitUntil([&] { return SaverAt(1792, 384) && SaverAt(1400, 900); }, 10s));
  EXPECT_EQ(Restacks(5s), 0);
  std::vector<Geometry> shown;
  for (Window w : SaverWindows(d, root)) shown.push_back(GeometryOf(d, w).value_or(Geometry{}));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const Geometry& a = shown[i];
    EXPECT_TRUE(a.viewable && a.width > 1 && a.height > 1) << i;
    for (std::size_t j = 0; j < i; ++j) {
      const Geometry& b = shown[j];
      EXPECT_TRUE(a.x >= b.x + b.width || b.x >= a.x + a.width || a.y >= b.y + b.height ||
                  b.y >= a.y + a.height)
          << "windows " << j << " and " << i << " overlap";
    }
  }
  Run({"xdotool", "mousemove", "1400", "900", "mousemove", "1410", "910"});
  EXPECT_EQ(saver->WaitExit(2s), 0);
}

TEST_F(TwoMonitors, TheRootAsHostIsFilledWholeWithTheOneWindowWhereverThePrimaryIs) {
  Run({"xrandr", "--output", "DUMMY1", "--mode", "1024x768", "--left-of", "DUMMY0"});
  Start("-root");
  const auto form = WaitForSaverWindow(d, root, 10s);
  ASSERT_TRUE(form);
  // Rain on both monitors (heads wrap to anywhere across the form); at the top of the
  // left one, it also tells that the banner is gone.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const Image screen = Capture(d, root);
        return x11test::Count(screen, {0, 0, 1024, 300}, IsGreen) > 300 &&
               x11test::Count(screen, {1280, 0, 2304, 1024}, IsGreen) > 300;
      },
      15s, 200ms));
  EXPECT_EQ(GeometryOf(d, *form), (Geometry{0, 0, 2304, 1024, true}));
  EXPECT_EQ(SaverWindows(d, root), std::vector<Window>{*form});
  XWindowAttributes attributes;
  XGetWindowAttributes(d, root, &attributes);
  EXPECT_EQ(attributes.all_event_masks, 0);
  EXPECT_EQ(Restacks(5s), 0);
  saver->Signal(SIGTERM);
  EXPECT_EQ(saver->WaitExit(1s), 0);
}

}  // namespace
}  // namespace x11test
