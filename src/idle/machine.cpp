#include "idle/machine.h"

#include <csignal>
#include <cstring>

namespace idle {

Effects Machine::SetLockAfter(bool on) {
  Effects effects;
  if (on == lockAfter_) return effects;
  lockAfter_ = on;
  (on ? effects.armLock : effects.cancelLock) = running_;
  return effects;
}

Effects Machine::Idle(std::string_view inhibitor) {
  idle_ = true;
  Effects effects;
  if (running_ || resting_) return effects;
  if (locked_) {
    effects.log = "idle, but the session is locked: no saver";
  } else if (!inhibitor.empty()) {
    inhibited_ = true;
    effects.log = "idle, but held off by " + std::string(inhibitor);
  } else {
    running_ = true, stopping_ = false;
    effects.startSaver = true, effects.armLock = lockAfter_;
  }
  return effects;
}

Effects Machine::Active() {
  idle_ = inhibited_ = resting_ = false;
  return {};
}

Effects Machine::UserActivity(std::string_view who) {
  Effects effects = Active();
  if (!running_) return effects.rearm = true, effects;
  if (!stopping_) {
    stopping_ = true;
    effects.stopSaver = true,
    effects.log = std::string(who) + " simulated activity: ending the saver";
  }
  return effects;
}

Effects Machine::SaverEnded(int status) {
  running_ = false;
  Effects effects;
  if (status == 0 || stopping_) {
    // Counting again from here keeps a compositor that missed the input which ended the
    // saver (sway 1.7 ignores it under an idle inhibitor) from leaving us idle for good.
    effects.log = "saver ended", effects.rearm = true, idle_ = false;
  } else {
    // Not started again until the user has come back and gone idle again: the source only
    // reports idle after activity, so a broken saver never loops.
    effects.log = status > 0 ? "saver failed with status " + std::to_string(status)
                             : "saver killed by signal " + std::string(strsignal(-status));
    effects.log += "; next try after activity and idle";
    effects.level = Level::kWarning, resting_ = true;
  }
  stopping_ = false;
  return effects;
}

Effects Machine::SaverNotStarted(std::string_view why) {
  running_ = false, resting_ = true;
  return {.log = "saver not started: " + std::string(why) + "; next try after activity and idle",
          .level = Level::kWarning};
}

Effects Machine::Locked(bool locked) {
  Effects effects;
  if (locked == locked_) return effects;
  locked_ = locked;
  if (locked && running_ && !stopping_) {
    stopping_ = true;
    effects.stopSaver = true, effects.log = "session locked: ending the saver";
  }
  return effects;
}

Effects Machine::Sleep() {
  Effects effects;
  if (running_ && !stopping_) {
    stopping_ = true;
    effects.stopSaver = true, effects.log = "going to sleep: ending the saver";
  }
  return effects;
}

Effects Machine::InhibitorsReleased() {
  Effects effects;
  if (!inhibited_ || !idle_ || running_) return effects;
  inhibited_ = idle_ = false;
  effects.rearm = true, effects.log = "no inhibitor left: counting the idle time again";
  return effects;
}

Effects Machine::LockDue() {
  Effects effects;
  if (lockAfter_ && running_ && !stopping_ && !locked_) effects.runLock = true;
  return effects;
}

const char* Machine::State() const {
  if (locked_) return "locked";
  if (running_) return "running";
  return resting_ ? "resting" : "waiting";
}

}  // namespace idle
