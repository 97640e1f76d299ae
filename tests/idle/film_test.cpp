// A film: players' inhibitors through org.freedesktop.ScreenSaver (also while a desktop takes
// the name), logind's idle blocks and its lock, on Xvfb with buses of the test's own.
#include "idle_fixture.h"

namespace idletest {
namespace {

TEST_F(X11Idle, InhibitorsHoldItOffUntilReleasedOrTheirCallerDiesEvenAfterTheNameMoves) {
  SessionBus bus;
  ASSERT_TRUE(bus.Ok());
  Start({"--after", "2s"});
  ASSERT_TRUE(Logs(*idle, "serving org.freedesktop.ScreenSaver"));
  {
    Pipe player = Peer("inhibit");
    ASSERT_TRUE(Logs(*idle, "inhibited by mpv (video)"));
    Move();  // a fresh stretch
    ASSERT_TRUE(Logs(*idle, "held off by mpv (video)"));
    // Released after about 6 s of film, the user moving at once: a full stretch from the move.
    std::this_thread::sleep_for(4s);
    Say(player, "release");
    Move();
    ASSERT_TRUE(Logs(*idle, "mpv (video) released"));
    EXPECT_FALSE(Rain(1500ms)) << "the move after the release was not seen";
    ASSERT_TRUE(Rain(3s)) << idle->Output();
  }
  RunTool({"xdotool", "key", "x"}, x.name());
  ASSERT_TRUE(Logs(*idle, "saver ended"));

  // A desktop takes the name during the film: the player asked us, and is still honoured.
  Pipe player = Peer("inhibit");
  ASSERT_TRUE(Logs(*idle, "inhibited by mpv (video)", 2));
  Pipe desktop = Peer("desktop");
  ASSERT_TRUE(Logs(*idle, "taken over by the desktop: following it"));
  EXPECT_TRUE(Logs(*idle, "mpv (video) kept until its caller releases it or leaves the bus"));
  EXPECT_FALSE(Rain(4s)) << "the film was interrupted";
  Say(player, "die");
  EXPECT_TRUE(Logs(*idle, "its caller left the bus"));
  ASSERT_TRUE(Rain(4s)) << idle->Output();
  // The desktop's locker shows: our saver (and no other child) goes at once.
  Say(desktop, "active");
  EXPECT_TRUE(NoRain(1s));
  EXPECT_TRUE(Logs(*idle, "session locked: ending the saver"));
  desktop.reset();  // the desktop leaves: the queued name comes back
  EXPECT_TRUE(Logs(*idle, "serving", 2));
}

// logind's side on a system bus of the test's own, answered by a stand-in that speaks its
// documented calls (ListInhibitors, GetSession, the session's Lock).
TEST_F(X11Idle, LogindsIdleBlockReleasedCountsAgainASlowLogindNeitherStallsNorGoesUnsaid) {
  SessionBus session;
  PrivateBus system("DBUS_SYSTEM_BUS_ADDRESS");
  ASSERT_TRUE(session.Ok() && system.Ok());
  Pipe logind = Peer("logind");
  Say(logind, "inhibit mpv");
  std::this_thread::sleep_for(500ms);
  Start({"--after", "2s"});
  ASSERT_TRUE(Logs(*idle, "held off by mpv (through logind, pid 4242) (video)"));
  Say(logind, "release");
  // Seen at the next look (5 s), then a full stretch from there.
  ASSERT_TRUE(Logs(*idle, "no inhibitor left: counting the idle time again", 1, 7s));
  EXPECT_FALSE(Rain(1s));
  ASSERT_TRUE(Rain(3s)) << idle->Output();
  RunTool({"xdotool", "key", "x"}, x.name());
  ASSERT_TRUE(Logs(*idle, "saver ended"));

  Say(logind, "slow");
  std::this_thread::sleep_for(2200ms);  // idle now, logind asked and thinking
  const auto asked = Clock::now();
  EXPECT_EQ(BusCtl({"call", "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                    "org.freedesktop.ScreenSaver", "GetActive"}),
            "b false\n");
  EXPECT_LT(Clock::now() - asked, 500ms) << "the loop stalled on logind";
  EXPECT_TRUE(Logs(*idle, "logind gave no answer within 2s"));
  EXPECT_TRUE(Rain(3s));
}

TEST_F(X11Idle, ASaverThatIgnoresSigtermIsKilledOnLockAndOnTheWayOut) {
  SessionBus session;
  PrivateBus system("DBUS_SYSTEM_BUS_ADDRESS");
  ASSERT_TRUE(session.Ok() && system.Ok());
  Pipe logind = Peer("logind");
  std::this_thread::sleep_for(500ms);  // on the bus before the runner asks for its session
  FakeSaver stubborn("trap '' TERM; echo $$ >\"${0%/*}/pid\"; while :; do sleep 0.2; done");
  const auto alive = [&] {
    std::ifstream in(stubborn.here + "/pid");
    pid_t pid = 0;
    return in >> pid && kill(pid, 0) == 0;
  };
  Start({"--after", "1s"}, stubborn.idle());
  ASSERT_TRUE(WaitUntil(alive, 4s)) << idle->Output();
  Say(logind, "lock");
  EXPECT_TRUE(Logs(*idle, "the saver ignored SIGTERM for 2s: killed", 1, 4s));
  EXPECT_TRUE(WaitUntil([&] { return !alive(); }, 1s));
  std::remove((stubborn.here + "/pid").c_str());
  Start({"--after", "1s"}, stubborn.idle());  // the session's lock is logind's alone
  ASSERT_TRUE(WaitUntil(alive, 4s)) << idle->Output();
  idle->Signal(SIGTERM);
  EXPECT_EQ(idle->WaitExit(4s), 0);
  EXPECT_FALSE(alive()) << "the saver outlived the runner";
}

}  // namespace
}  // namespace idletest
