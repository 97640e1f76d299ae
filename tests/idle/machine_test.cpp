// The runner's decisions, event by event, without a display.
#include "idle/machine.h"

#include <gtest/gtest.h>

#include <csignal>

namespace idle {
namespace {

TEST(IdleMachine, StartsOnceAtIdleAndAgainOnlyAfterActivityThenIdle) {
  Machine m(false);
  EXPECT_TRUE(m.Idle("").startSaver);
  EXPECT_FALSE(m.Idle("").startSaver) << "two savers";
  EXPECT_TRUE(m.SaverEnded(0).rearm);
  m.Active();
  EXPECT_TRUE(m.Idle("").startSaver);
  // A crash is logged, and the next idle stretch (which needs activity first) tries again.
  const Effects crashed = m.SaverEnded(-SIGSEGV);
  EXPECT_EQ(crashed.log.rfind("saver killed by signal", 0), 0u);
  EXPECT_FALSE(crashed.rearm) << "a crashed saver would be retried without activity";
  EXPECT_EQ(m.SaverEnded(3).log.rfind("saver failed with status 3", 0), 0u);
  EXPECT_FALSE(m.InhibitorsReleased().rearm) << "a failed saver must not be retried at once";
  EXPECT_FALSE(m.Idle("").startSaver) << "a re-armed source (a reload) retried it";
  EXPECT_STREQ(m.State(), "resting");
  m.Active();
  EXPECT_TRUE(m.Idle("").startSaver);
  m.SaverNotStarted("quelvo: No such file or directory");
  EXPECT_FALSE(m.SaverRunning());
}

TEST(IdleMachine, AnInhibitorHoldsItOffAndItsReleaseCountsAgain) {
  Machine m(false);
  const Effects held = m.Idle("mpv (video)");
  EXPECT_TRUE(!held.startSaver && held.log == "idle, but held off by mpv (video)");
  EXPECT_TRUE(m.InhibitorsReleased().rearm);
  EXPECT_FALSE(m.InhibitorsReleased().rearm) << "counted twice";
  EXPECT_TRUE(m.Idle("").startSaver);
  m.Active();
  EXPECT_FALSE(m.InhibitorsReleased().rearm) << "active users need no new count";
}

TEST(IdleMachine, LockSleepAndLockAfterEndOrFollowTheSaver) {
  Machine m(true);
  const Effects start = m.Idle("");
  EXPECT_TRUE(start.startSaver && start.armLock);
  EXPECT_TRUE(m.LockDue().runLock);
  EXPECT_TRUE(m.Locked(true).stopSaver);
  EXPECT_FALSE(m.Locked(true).stopSaver) << "stopped twice";
  EXPECT_FALSE(m.LockDue().runLock);
  EXPECT_EQ(m.SaverEnded(-SIGTERM).log, "saver ended") << "our own SIGTERM is no failure";
  m.Active();
  EXPECT_FALSE(m.Idle("").startSaver) << "started while locked";
  m.Locked(false), m.Active();
  EXPECT_TRUE(m.Idle("").startSaver);
  EXPECT_TRUE(m.Sleep().stopSaver);
  EXPECT_FALSE(m.Sleep().stopSaver);
}

TEST(IdleMachine, LockingTurnedOffByAReloadNeverLocks) {
  Machine m(true);
  m.Idle("");
  EXPECT_TRUE(m.SetLockAfter(false).cancelLock);
  EXPECT_FALSE(m.LockDue().runLock) << "a timer that outlived the setting locked";
  EXPECT_TRUE(m.SetLockAfter(true).armLock) << "turned on while the saver runs";
}

}  // namespace
}  // namespace idle
