// The runner's decisions, kept apart from the display and the buses so they can be
// tested alone: when the saver starts and ends, when the lock comes, and the one line
// each decision leaves in the log.
#pragma once

#include <string>
#include <string_view>

#include "idle/log.h"

namespace idle {

struct Effects {
  bool startSaver = false;
  bool stopSaver = false;
  bool rearm = false;       // count the idle time again from now
  bool armLock = false;     // start the lock-after timer
  bool cancelLock = false;  // stop it: locking was turned off
  bool runLock = false;     // run the lock command now
  std::string log;          // empty: nothing worth a line
  Level level = Level::kInfo;
};

class Machine {
 public:
  explicit Machine(bool lockAfter) : lockAfter_(lockAfter) {}
  // Locking turned on or off by a reload, the saver running or not.
  Effects SetLockAfter(bool on);

  // The idle source: no input for the set time (inhibitor: who holds it off, or empty),
  // then the first input after that.
  Effects Idle(std::string_view inhibitor);
  Effects Active();
  // A player's SimulateUserActivity: activity the idle source cannot see.
  Effects UserActivity(std::string_view who);
  // The saver started by StartSaver ended: its exit status, or -signal.
  Effects SaverEnded(int status);
  Effects SaverNotStarted(std::string_view why);
  Effects Locked(bool locked);
  Effects Sleep();
  Effects InhibitorsReleased();  // the last inhibitor we knew of went away
  Effects LockDue();

  bool SaverRunning() const { return running_; }
  bool Idle() const { return idle_; }
  // waiting, running, locked, or resting (the saver failed: activity comes first)
  const char* State() const;

 private:
  bool lockAfter_;
  bool idle_ = false, running_ = false, stopping_ = false, locked_ = false, inhibited_ = false;
  bool resting_ = false;
};

}  // namespace idle
