// A session's life with quelvo-idle on Xvfb with xdotool: the saver it starts, the one runner
// of a session and what it tells on the bus, reloads, the lock, and the ways it ends.
#include "idle_fixture.h"

namespace idletest {
namespace {

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
  EXPECT_TRUE(NoRain(3s)) << "the saver outlived it";
}

// The session's one runner owns org.quelvo.Quelvo.Idle and tells what it does there.
TEST_F(X11Idle, OneRunnerPerSessionTellsItsStateOnTheBusASecondOneLeaves) {
  SessionBus bus;
  ASSERT_TRUE(bus.Ok());
  Start({"--after", "2s"});
  ASSERT_TRUE(Logs(*idle, "waiting on xsync"));
  Process second({IdlePath(), "--config", config, "--after", "2s"}, x.name());
  EXPECT_EQ(second.WaitExit(3s), 0) << second.Output();
  EXPECT_TRUE(Logs(second, "already runs in this session (pid " + std::to_string(idle->Pid())));
  EXPECT_EQ(Count(second.Output(), "belongs to the desktop"), 0);

  Process changes({"dbus-monitor", "--session", "type=signal,path=/org/quelvo/Quelvo/Idle",
                   "type=signal,member=ActiveChanged"},
                  "");
  std::this_thread::sleep_for(300ms);
  Pipe player = Peer("inhibit mpv video");
  // Live, not only at idle time: the settings window shows who holds the saver off.
  EXPECT_TRUE(WaitUntil(
      [&] { return RunnerProperty("HeldOffBy").find("\"mpv\" \"video\"") != std::string::npos; },
      1s));
  EXPECT_TRUE(Logs(changes, "HeldOffBy", 1, 1s));
  Say(player, "release");
  EXPECT_TRUE(WaitUntil([&] { return RunnerProperty("HeldOffBy") == "a(ss) 0\n"; }, 1s));

  ASSERT_TRUE(Rain(4s)) << idle->Output();
  EXPECT_NE(RunnerProperty("State").find("\"running\""), std::string::npos);
  const std::vector<std::string> screenSaver = {
      "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"};
  const auto call = [&](const std::string& method) {
    std::vector<std::string> args = {"call"};
    args.insert(args.end(), screenSaver.begin(), screenSaver.end());
    return args.push_back(method), BusCtl(args);
  };
  EXPECT_EQ(call("GetActive"), "b true\n");
  // Players call this every few seconds instead of inhibiting: it is activity.
  call("SimulateUserActivity");
  EXPECT_TRUE(NoRain(2s));
  EXPECT_TRUE(Logs(*idle, "simulated activity: ending the saver"));
  EXPECT_TRUE(WaitUntil([&] { return call("GetActive") == "b false\n"; }, 2s));

  Write("after = 1h\nlock-after = 5 m\n");  // a refused reload over the bus
  bool ok = true;
  const std::string refused = BusCtl({"call", "org.quelvo.Quelvo.Idle", "/org/quelvo/Quelvo/Idle",
                                      "org.quelvo.Quelvo.Idle", "Reload"},
                                     &ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(refused.find(config + ":2: lock-after"), std::string::npos) << refused;
  EXPECT_NE(RunnerProperty("SettingsProblems").find(config + ":2: lock-after"), std::string::npos);
  EXPECT_NE(RunnerProperty("After").find("t 2000"), std::string::npos) << "not kept";
  EXPECT_TRUE(Logs(changes, "ActiveChanged", 2, 1s)) << "started and ended";
}

TEST_F(X11Idle, ReloadsKeepTheCountAndLockingTurnedOffNeverLocks) {
  Write("after = 3s\n");
  Start({});
  ASSERT_TRUE(Logs(*idle, "waiting on xsync: after 3s"));
  for (int i = 0; i < 5; ++i) std::this_thread::sleep_for(1s), idle->Signal(SIGHUP);
  EXPECT_TRUE(Rain(1s)) << "each HUP restarted the count:\n" << idle->Output();
  RunTool({"xdotool", "key", "x"}, x.name());
  ASSERT_TRUE(Logs(*idle, "saver ended"));
  const std::string locked = config + ".locked";
  Write("after = 1s\nlock-after = 3s\nlock-command = touch " + locked + "\n");
  idle->Signal(SIGHUP);
  ASSERT_TRUE(Rain(4s)) << idle->Output();
  Write("after = 1s\nlock-after = off\n");
  idle->Signal(SIGHUP);
  ASSERT_TRUE(Logs(*idle, "reloaded: after 1s, lock off"));
  std::this_thread::sleep_for(3500ms);
  EXPECT_EQ(Count(idle->Output(), "locking with"), 0) << idle->Output();
  EXPECT_NE(access(locked.c_str(), F_OK), 0) << "locked after locking was turned off";
  idle->Signal(SIGKILL);  // a crash: the kernel ends its saver
  EXPECT_TRUE(NoRain(3s)) << "the saver outlived its runner";
  Start({});
  ASSERT_TRUE(Rain(4s));
  // The way out when the display goes: one line and 0, not Xlib's exit(1).
  x.Kill();
  EXPECT_EQ(idle->WaitExit(3s), 0) << idle->Output();
  EXPECT_TRUE(Logs(*idle, "lost the X display: ending"));
}

TEST_F(X11Idle, AFailedSaverWaitsForActivityThenIdle) {
  FakeSaver failing("exit 3");
  Start({"--after", "1s"}, failing.idle());
  ASSERT_TRUE(Logs(*idle, "saver failed with status 3"));
  std::this_thread::sleep_for(2500ms);
  EXPECT_EQ(Count(idle->Output(), "starting"), 1) << "restarted without activity";
  idle->Signal(SIGHUP);  // a reload does not count as activity
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(Count(idle->Output(), "starting"), 1) << "a reload restarted it";
  Input(600ms);
  EXPECT_TRUE(Logs(*idle, "saver failed", 2, 4s));
}

TEST_F(X11Idle, BadSettingsRefuseTheStartAndAReloadKeepsTheOldOnes) {
  Write("after = 1h\nlock-after = 5 m\n");
  Start({});
  EXPECT_EQ(idle->WaitExit(3s), 2);
  EXPECT_TRUE(Logs(*idle, config + ":2: lock-after: \"5 m\" is not a time"));
  Write("# set by hand\nafter = 1h\n");
  Start({});
  ASSERT_TRUE(Logs(*idle, "waiting on xsync: after 1h"));
  // The good line before the bad one must not take either.
  Write("after = 2s\nlock-after = 5 m\n");
  idle->Signal(SIGHUP);
  ASSERT_TRUE(Logs(*idle, "reload refused: keeping after 1h"));
  EXPECT_FALSE(Rain(4s)) << "half of a refused file was taken";
  Write("after = 2s\n");
  idle->Signal(SIGHUP);
  EXPECT_TRUE(Logs(*idle, "reloaded: after 2s"));
  Write("after = 2x\n");
  idle->Signal(SIGHUP);
  EXPECT_TRUE(Logs(*idle, config + ":1: after: \"2x\""));
  EXPECT_TRUE(Logs(*idle, "reload refused: keeping after 2s"));
  EXPECT_TRUE(Rain(4s)) << "the kept time is not in use";
}

}  // namespace
}  // namespace idletest
