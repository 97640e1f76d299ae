// quelvo-idle under real compositors: sway 1.7 (org_kde_kwin_idle), KWin 5.27
// (ext_idle_notifier_v1) and mutter 43 (GNOME's idle monitor on its session bus).
#include <sys/stat.h>

#include <fstream>

// gtest before Xlib, whose None it would trip on.
#include "idle_fixture.h"
// clang-format off
#include "../wayland/compositor.h"
// clang-format on

namespace idletest {
namespace {

using wltest::Compositor;
using wltest::Kind;

// The same three cases wherever the compositor's idle protocol runs them: idle is reached,
// input postpones it, an inhibitor on a visible window holds it off.
void IdleInputAndInhibitor(
    const std::function<std::vector<std::string>(const std::vector<std::string>&)>& as,
    const std::function<void()>& input, const std::string& backend) {
  std::optional<Process> idle(std::in_place, as({IdlePath(), "--after", "2s"}), "");
  ASSERT_TRUE(Logs(*idle, "waiting on " + backend)) << "wrong backend";
  for (auto end = Clock::now() + 3500ms; Clock::now() < end; std::this_thread::sleep_for(500ms))
    input();
  EXPECT_EQ(Count(idle->Output(), "starting"), 0) << "input did not postpone it";
  ASSERT_TRUE(Logs(*idle, "starting", 1, 4s));
  idle->Signal(SIGTERM);  // and the saver with it
  ASSERT_EQ(idle->WaitExit(3s), 0);
  idle.reset();

  Process inhibitor(as({QUELVO_IDLE_CLIENT, "inhibit"}), "");
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(inhibitor.Running()) << "the compositor lacks idle-inhibit";
  idle.emplace(as({IdlePath(), "--after", "2s"}), "");
  std::this_thread::sleep_for(4s);
  EXPECT_EQ(Count(idle->Output(), "starting"), 0) << "started over an inhibitor";
  inhibitor.Signal(SIGTERM);
  EXPECT_TRUE(Logs(*idle, "starting", 1, 5s)) << "the inhibitor's end did not count";
}

class SwayIdle : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sway.Ok()) GTEST_SKIP() << "sway does not start here";
    keyboard.emplace(sway.As({"wtype", "-s", "600000", ""}), "");  // the seat's keyboard
  }
  void Key() { sway.Run({"wtype", "x"}); }
  Compositor sway{Kind::kSway};
  std::optional<Process> keyboard;
};

TEST_F(SwayIdle, IdleReachedKeysPostponeItAnInhibitorHoldsItOff) {
  IdleInputAndInhibitor([&](const auto& argv) { return sway.As(argv); }, [&] { Key(); },
                        "kde-idle");
}

TEST_F(SwayIdle, TheRainShowsItStartsAgainAfterTheNextStretchAndTheLockComesWhileItRuns) {
  Process idle(sway.As({IdlePath(), "--after", "2s", "--lock-after", "3s", "--lock-command",
                        "touch locked"}),
               "");
  ASSERT_TRUE(Logs(idle, "starting"));
  EXPECT_TRUE(WaitUntil([&] { return wltest::RainShows(sway.Grab("HEADLESS-1")); }, 10s, 100ms));
  EXPECT_TRUE(Logs(idle, "locking with \"touch locked\"", 1, 4s));
  EXPECT_TRUE(WaitUntil([&] { return sway.Run({"test", "-e", "locked"}) == 0; }, 2s));
  Key();
  ASSERT_TRUE(Logs(idle, "saver ended"));
  EXPECT_TRUE(Logs(idle, "starting", 2, 5s)) << "no second stretch";
}

}  // namespace
}  // namespace idletest
