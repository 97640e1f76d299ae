// quelvo-idle on Xvfb with xdotool: the saver it starts, reloads, a failing saver and the
// ScreenSaver service on a bus of the test's own. The lock after the saver is shown on sway.
#include <sys/stat.h>

#include <fstream>

#include "idle_fixture.h"

namespace idletest {
namespace {

class X11Idle : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.Ok()) GTEST_SKIP() << "Xvfb does not start here";
  }
  void Start(std::vector<std::string> args, const std::string& program = IdlePath()) {
    args.insert(args.begin(), {program, "--config", config});
    idle.emplace(args, x.name());
  }
  void Input(Milliseconds during) {  // a small move every 0.5 s
    for (auto end = Clock::now() + during; Clock::now() < end; std::this_thread::sleep_for(500ms))
      RunTool({"xdotool", "mousemove_relative", "--", "1", "0"}, x.name());
  }
  bool Rain(Milliseconds timeout) {
    return WaitForSaverWindow(x.display(), x.root(), timeout).has_value();
  }

  XServer x{640, 480};
  std::string config = "/dev/null";
  std::optional<Process> idle;
};

TEST_F(X11Idle, StartsAfterTheTimeInputPostponesItAndAfterAKeyItWaitsForTheNextStretch) {
  Start({"--after", "2s"});
  ASSERT_TRUE(Logs(*idle, "waiting on xsync: after 2s"));
  Input(3500ms);
  EXPECT_EQ(Count(idle->Output(), "starting"), 0) << "input did not postpone it";
  ASSERT_TRUE(Rain(4s)) << idle->Output();
  RunTool({"xdotool", "key", "x"}, x.name());
  ASSERT_TRUE(Logs(*idle, "saver ended"));
  EXPECT_TRUE(Logs(*idle, "starting", 2, 5s)) << "no second stretch";
  idle->Signal(SIGTERM);
  EXPECT_EQ(idle->WaitExit(3s), 0);
  EXPECT_TRUE(WaitUntil([&] { return SaverWindows(x.display(), x.root()).empty(); }, 3s))
      << "the saver outlived it";
}

TEST_F(X11Idle, AFailedSaverWaitsForActivityThenIdle) {
  char dir[] = "/tmp/quelvo-idle-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string here = dir;
  std::ofstream(here + "/quelvo") << "#!/bin/sh\nexit 3\n";  // the one beside it fails
  ASSERT_EQ(RunTool({"cp", IdlePath(), here + "/quelvo-idle"}, ""), 0);
  chmod((here + "/quelvo").c_str(), 0755);
  Start({"--after", "1s"}, here + "/quelvo-idle");
  ASSERT_TRUE(Logs(*idle, "saver failed with status 3"));
  std::this_thread::sleep_for(2500ms);
  EXPECT_EQ(Count(idle->Output(), "starting"), 1) << "restarted without activity";
  Input(600ms);
  EXPECT_TRUE(Logs(*idle, "saver failed", 2, 4s));
  RunTool({"rm", "-rf", here}, "");
}

TEST_F(X11Idle, BadSettingsRefuseTheStartAndAReloadKeepsTheOldOnes) {
  char path[] = "/tmp/quelvo-idle-conf-XXXXXX";
  close(mkstemp(path));
  config = path;
  std::ofstream(config) << "after = 1h\nlock-after = 5 m\n";
  Start({});
  EXPECT_EQ(idle->WaitExit(3s), 2);
  EXPECT_TRUE(Logs(*idle, config + ":2: lock-after: \"5 m\" is not a time"));
  std::ofstream(config) << "# set by hand\nafter = 1h\n";
  Start({});
  ASSERT_TRUE(Logs(*idle, "waiting on xsync: after 1h"));
  std::ofstream(config) << "after = 2s\n";
  idle->Signal(SIGHUP);
  EXPECT_TRUE(Logs(*idle, "reloaded: after 2s"));
  std::ofstream(config) << "after = 2x\n";
  idle->Signal(SIGHUP);
  EXPECT_TRUE(Logs(*idle, config + ":1: after: \"2x\""));
  EXPECT_TRUE(Logs(*idle, "reload refused: keeping after 2s"));
  EXPECT_TRUE(Rain(4s)) << "the kept time is not in use";
  unlink(path);
}

// org.freedesktop.ScreenSaver served by quelvo-idle where nobody owns it.
TEST_F(X11Idle, ScreenSaverInhibitorsHoldItOffUntilReleasedOrTheirCallerDiesADesktopIsFollowed) {
  SessionBus bus;
  ASSERT_TRUE(bus.Ok());
  Start({"--after", "2s"});
  ASSERT_TRUE(Logs(*idle, "serving org.freedesktop.ScreenSaver"));
  for (const std::string end : {"release", "die"}) {
    using Pipe = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    Pipe caller(popen(QUELVO_BUS_PEER " inhibit", "w"), pclose);
    ASSERT_TRUE(Logs(*idle, "inhibited by mpv (video)", end == "die" ? 2 : 1));
    RunTool({"xdotool", "mousemove_relative", "1", "1"}, x.name());  // a fresh stretch
    ASSERT_TRUE(Logs(*idle, "held off by mpv (video)", end == "die" ? 2 : 1));
    EXPECT_FALSE(Rain(1500ms));
    std::fprintf(caller.get(), "%s\n", end.c_str()), std::fflush(caller.get());
    EXPECT_TRUE(Logs(*idle, end == "die" ? "its caller left the bus" : ") released"));
    ASSERT_TRUE(Rain(4s)) << idle->Output();
    RunTool({"xdotool", "key", "x"}, x.name());
    ASSERT_TRUE(Logs(*idle, "saver ended", end == "die" ? 2 : 1));
  }
  // A desktop's service that comes later takes the name over; it is followed, not fought.
  Process desktop({QUELVO_BUS_PEER, "desktop"}, "");
  ASSERT_TRUE(Logs(*idle, "taken over by the desktop: following it"));
  ASSERT_TRUE(Rain(5s)) << "nothing inhibits: the desktop's name alone holds nothing off";
  EXPECT_EQ(Count(idle->Output(), "serving"), 1) << "it took the name back";
  desktop.Signal(SIGTERM);  // the desktop leaves: the queued name comes back
  EXPECT_TRUE(Logs(*idle, "serving", 2));
}

}  // namespace
}  // namespace idletest
