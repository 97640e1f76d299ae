// quelvo-idle under real compositors: sway 1.7 (org_kde_kwin_idle), KWin 5.27
// (ext_idle_notifier_v1) and mutter 43 (GNOME's idle monitor on its session bus).
#include <gtest/gtest.h>  // before Xlib, whose None it would trip on
#include <sys/stat.h>

#include "../wayland/compositor.h"
#include "idle_fixture.h"

namespace idletest {
namespace {

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
  wltest::Compositor sway{wltest::Kind::kSway};
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

// A film on sway: a D-Bus inhibitor holds the idle stretch off; a key then counts as the
// user's return, so its release starts no count of its own.
TEST_F(SwayIdle, AKeyDuringAFilmIsActivityTheReleaseAfterItStartsNoCount) {
  PrivateBus bus("DBUS_SESSION_BUS_ADDRESS", sway.As({}));
  ASSERT_TRUE(bus.Ok());
  Process idle(sway.As({IdlePath(), "--after", "2s"}), "");
  ASSERT_TRUE(Logs(idle, "serving org.freedesktop.ScreenSaver"));
  std::string line;  // no argument holds a '
  for (const std::string& arg : sway.As({QUELVO_BUS_PEER, "inhibit"})) line += " '" + arg + "'";
  Pipe player(popen(line.c_str(), "we"), pclose);
  ASSERT_TRUE(Logs(idle, "held off by mpv (video)"));
  Key();
  std::this_thread::sleep_for(500ms);
  Say(player, "release");
  ASSERT_TRUE(Logs(idle, "mpv (video) released"));
  EXPECT_TRUE(Logs(idle, "starting", 1, 4s));
  EXPECT_EQ(Count(idle.Output(), "counting the idle time again"), 0)
      << "the key was not seen as activity";
}

// A unit started before the compositor exported WAYLAND_DISPLAY sees only Xwayland's DISPLAY,
// whose idle time misses every Wayland key: it says so and leaves, for good.
TEST_F(SwayIdle, XwaylandIsNoIdleSource) {
  // A number no server holds, not even a dead one's socket; ready once it answers its
  // user (Xwayland lets no other in).
  int number = 150 + getpid() % 50;
  while (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) ++number;
  const std::string display = ":" + std::to_string(number);
  Process xwayland(sway.As({"Xwayland", display, "-noreset"}), "");
  ASSERT_TRUE(WaitUntil(
      [&] {
        return sway.Run({"xdpyinfo", "-display", display}) == 0;
      },
      10s))
      << "Xwayland does not start here";
  Process idle(
      sway.As({"env", "-u", "WAYLAND_DISPLAY", "DISPLAY=" + display, IdlePath(), "--after", "2s"}),
      "");
  EXPECT_EQ(idle.WaitExit(5s), 1) << idle.Output();
  EXPECT_TRUE(Logs(idle, "the session's WAYLAND_DISPLAY is missing here"));
  EXPECT_TRUE(Logs(idle, "systemctl --user import-environment WAYLAND_DISPLAY"));
}

// KWin 5.27 as nobody on a session bus of its own, from a copy of its own (which drops the
// file capability refused here; its Qt platform plugin loads only under its own name), with
// its fake input offered to every client. timeout ends its whole group with it.
class KWin {
 public:
  KWin() {
    char dir[] = "/tmp/quelvo-kwin-XXXXXX";
    if (mkdtemp(dir) == nullptr || chmod(dir, 01777) != 0) return;
    dir_ = dir;
    kwin_.emplace(As({"sh", "-c",
                      "mkdir -m 700 run && cp /usr/bin/kwin_wayland . && exec timeout 110 "
                      "dbus-run-session -- ./kwin_wayland --virtual --socket wayland-1"},
                     {"KWIN_WAYLAND_NO_PERMISSION_CHECKS=1"}),
                  "");
    WaitUntil([&] { return Ok(); }, 15s);
  }
  ~KWin() {
    if (kwin_) kwin_->Signal(SIGTERM), kwin_->WaitExit(5s);
    kwin_.reset();
    if (!dir_.empty()) RunTool({"rm", "-rf", dir_}, "");
  }
  bool Ok() const { return kwin_ && access((dir_ + "/run/wayland-1").c_str(), F_OK) == 0; }
  std::vector<std::string> As(const std::vector<std::string>& argv,
                              const std::vector<std::string>& env = {}) const {
    std::vector<std::string> all;
    if (geteuid() == 0) all = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    all.insert(all.end(), {"env", "-u", "DISPLAY", "-C", dir_, "HOME=" + dir_,
                           "XDG_RUNTIME_DIR=" + dir_ + "/run", "WAYLAND_DISPLAY=wayland-1"});
    all.insert(all.end(), env.begin(), env.end());
    all.insert(all.end(), argv.begin(), argv.end());
    return all;
  }

 private:
  std::optional<Process> kwin_;
  std::string dir_;
};

TEST(KWinIdle, ExtIdleNotifierReachedFakeInputPostponesItAnInhibitorHoldsItOff) {
  KWin kwin;
  if (!kwin.Ok()) GTEST_SKIP() << "KWin does not start here";
  using Pipe = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
  std::string line;  // no argument holds a '
  for (const std::string& arg : kwin.As({QUELVO_IDLE_CLIENT, "kwin-move"}))
    line += " '" + arg + "'";
  Pipe pointer(popen(line.c_str(), "we"), pclose);
  const auto move = [&] { std::fputs("move\n", pointer.get()), std::fflush(pointer.get()); };
  IdleInputAndInhibitor([&](const auto& argv) { return kwin.As(argv); }, move, "ext-idle-notify");
}

// gnome-session's inhibitor is not shown: Debian's gnome-session needs a whole GNOME session.
TEST(MutterIdle, GnomeIdleWatchFiresAndRemoteDesktopInputPostponesIt) {
  wltest::Compositor mutter(wltest::Kind::kMutter);
  if (!mutter.Ok()) GTEST_SKIP() << "mutter does not start here";
  const wltest::Compositor::Helper input = mutter.Open({QUELVO_MUTTER_INPUT});
  ASSERT_TRUE(WaitUntil([&] { return mutter.Run({"test", "-s", "bus"}) == 0; }, 5s));
  std::string bus = mutter.Read({"cat", "bus"});
  bus.erase(bus.find_last_not_of('\n') + 1);
  Process idle(mutter.As({IdlePath(), "--after", "2s"}, {"DBUS_SESSION_BUS_ADDRESS=" + bus}), "");
  ASSERT_TRUE(Logs(idle, "waiting on gnome"));
  for (auto end = Clock::now() + 3500ms; Clock::now() < end; std::this_thread::sleep_for(500ms))
    wltest::Send(input, "key");
  EXPECT_EQ(Count(idle.Output(), "starting"), 0) << "input did not postpone it";
  EXPECT_TRUE(Logs(idle, "starting", 1, 4s));
}

}  // namespace
}  // namespace idletest
