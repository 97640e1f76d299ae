// quelvo-idle under real compositors: sway 1.7 (org_kde_kwin_idle), KWin 5.27
// (ext_idle_notifier_v1) and mutter 43 (GNOME's idle monitor on its session bus).
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>

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

// KWin 5.27 as nobody on a session bus of its own: a copy of its own (the copy drops the file
// capability refused here; its Qt platform plugin loads only under its own name).
class KWin {
 public:
  KWin() {
    char dir[] = "/tmp/quelvo-kwin-XXXXXX";
    if (mkdtemp(dir) == nullptr || chmod(dir, 0755) != 0) return;
    dir_ = dir;
    const passwd* user = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    for (const std::string sub : {"/run", "/home"})
      if (mkdir((dir_ + sub).c_str(), 0700) != 0 ||
          (user != nullptr && chown((dir_ + sub).c_str(), user->pw_uid, user->pw_gid) != 0))
        return;
    if (RunTool({"cp", "/usr/bin/kwin_wayland", dir_}, "") != 0) return;
    // Its fake input is offered only to trusted clients unless told otherwise.
    std::vector<std::string> argv =
        As({"dbus-run-session", "--", dir_ + "/kwin_wayland", "--virtual", "--socket", "wayland-1"},
           {"KWIN_WAYLAND_NO_PERMISSION_CHECKS=1"});
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    const int log = open((dir_ + "/log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if ((pid_ = fork()) == 0) {
      setsid();  // its bus and itself end as one group
      dup2(log, STDOUT_FILENO), dup2(log, STDERR_FILENO);
      execvp(args[0], args.data());
      _exit(127);
    }
    close(log);
    ok_ = WaitUntil([&] { return access((dir_ + "/run/wayland-1").c_str(), F_OK) == 0; }, 15s);
  }
  ~KWin() {
    if (pid_ > 0) {
      kill(-pid_, SIGTERM);
      WaitUntil([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 5s);
      kill(-pid_, SIGKILL);
    }
    if (!dir_.empty()) RunTool({"rm", "-rf", dir_}, "");
  }
  bool Ok() const { return ok_; }
  std::vector<std::string> As(const std::vector<std::string>& argv,
                              const std::vector<std::string>& env = {}) const {
    std::vector<std::string> all;
    if (geteuid() == 0) all = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    all.insert(all.end(), {"env", "-u", "DISPLAY", "-C", dir_ + "/home", "HOME=" + dir_ + "/home",
                           "XDG_RUNTIME_DIR=" + dir_ + "/run", "WAYLAND_DISPLAY=wayland-1"});
    all.insert(all.end(), env.begin(), env.end());
    all.insert(all.end(), argv.begin(), argv.end());
    return all;
  }

 private:
  pid_t pid_ = -1;
  bool ok_ = false;
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

TEST(MutterIdle, GnomeIdleWatchFiresAndRemoteDesktopInputPostponesIt) {
  Compositor mutter(Kind::kMutter);
  if (!mutter.Ok()) GTEST_SKIP() << "mutter does not start here";
  const Compositor::Helper input = mutter.Open({QUELVO_MUTTER_INPUT});
  ASSERT_TRUE(WaitUntil([&] { return mutter.Run({"test", "-s", "bus"}) == 0; }, 5s));
  std::string bus = mutter.Read({"cat", "bus"});
  bus.erase(bus.find_last_not_of('\n') + 1);
  Process idle(mutter.As({IdlePath(), "--after", "2s"}, {"DBUS_SESSION_BUS_ADDRESS=" + bus}), "");
  ASSERT_TRUE(Logs(idle, "waiting on gnome"));
  for (auto end = Clock::now() + 3500ms; Clock::now() < end; std::this_thread::sleep_for(500ms))
    wltest::Send(input, "key");
  EXPECT_EQ(Count(idle.Output(), "starting"), 0) << "input did not postpone it";
  ASSERT_TRUE(Logs(idle, "starting", 1, 4s));
  std::this_thread::sleep_for(1s);  // mutter gives a new window the keyboard at the next move
  wltest::Send(input, "move 20 20");
  for (int i = 0; i < 3 && !Logs(idle, "saver ended", 1, 1s); ++i) wltest::Send(input, "key");
  ASSERT_TRUE(Logs(idle, "saver ended"));
  EXPECT_TRUE(Logs(idle, "starting", 2, 5s)) << "no second stretch";
}

}  // namespace
}  // namespace idletest
