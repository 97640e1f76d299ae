#include "idle/runner.h"

#include <time.h>

#include <cstring>

#include "idle/gnome_delay.h"
#include "idle/log.h"

namespace idle {
namespace {

// While a logind or desktop inhibitor holds the saver off, how often we look again: they
// send nothing when released. Nothing is looked at while nobody holds it off.
constexpr std::uint64_t kRecheckUsec = 5'000'000;

std::uint64_t Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<std::uint64_t>(t.tv_sec) * 1'000'000 +
         static_cast<std::uint64_t>(t.tv_nsec) / 1000;
}

std::uint64_t Ms(const std::optional<Millis>& time) {
  return time ? static_cast<std::uint64_t>(time->count()) : 0;
}

}  // namespace

Runner::Runner(Settings settings, CommandLine line)
    : settings_(std::move(settings)),
      line_(std::move(line)),
      machine_(settings_.lockAfter.has_value()),
      saverPath_(FindSaver()) {}

Runner::~Runner() {
  sd_event_source_unref(lockTimer_);
  sd_event_source_unref(recheck_);
  for (sd_event_source* s : signals_) sd_event_source_unref(s);
  check_.reset();
  source_.reset();
  service_.reset();
  screenSaver_.reset();
  logind_.reset();
  sd_bus_flush_close_unref(session_);
  sd_bus_flush_close_unref(system_);
  sd_event_unref(loop_);
}

int Runner::Run() {
  int status = Start();
  if (status < 0 && (sd_event_loop(loop_) < 0 || sd_event_get_exit_code(loop_, &status) < 0))
    status = 1;
  // Never leave the saver we started behind, even one that ignores SIGTERM.
  saver_.StopNow([] { Log(Level::kWarning, "the saver ignored SIGTERM for 2s: killed"); });
  return status;
}

int Runner::Start() {
  sigprocmask(SIG_BLOCK, &HandledSignals(), nullptr);
  if (sd_event_default(&loop_) < 0) return Log(Level::kError, "cannot make an event loop"), 1;
  for (int i = 0; const int sig : {SIGTERM, SIGINT, SIGHUP})
    if (sd_event_add_signal(loop_, &signals_[i++], sig, OnSignal, this) < 0)
      return Log(Level::kError, std::string("cannot handle ") + sigabbrev_np(sig)), 1;

  if (sd_bus_open_user(&session_) < 0)
    session_ = nullptr,
    Log(Level::kWarning, "no session bus: org.freedesktop.ScreenSaver is not served");
  if (sd_bus_open_system(&system_) < 0)
    system_ = nullptr,
    Log(Level::kWarning, "no system bus: logind's locks and inhibitors are not followed");
  for (sd_bus* bus : {session_, system_}) {
    if (bus != nullptr && sd_bus_attach_event(bus, loop_, 0) < 0)
      return Log(Level::kError, "cannot attach a bus to the event loop"), 1;
    // The few calls still made in line (at start, GNOME's idle monitor) wait 2 s at most.
    if (bus != nullptr) sd_bus_set_method_call_timeout(bus, 2'000'000);
  }

  // The session's one runner: the one that owns our name.
  if (session_ != nullptr) {
    service_ = std::make_unique<RunnerService>(
        session_, [this] { return Status(); }, [this] { return Reload(); });
    std::string line;
    const RunnerService::Claim claim = service_->Take(line);
    if (claim == RunnerService::Claim::kTaken) return Log(Level::kNotice, line), 0;
    if (claim == RunnerService::Claim::kFailed) return Log(Level::kError, line), 1;
  }

  Source::Events events;
  events.idle = [this] { OnIdle(); };
  events.active = [this] {
    check_->Cancel();
    recheck_ = sd_event_source_unref(recheck_);
    checked_.clear();
    Carry(machine_.Active());
  };
  events.lost = [this](const std::string& why) { Log(Level::kNotice, why + ": ending"), Quit(0); };
  std::string missing;
  source_ = OpenSource(loop_, session_, settings_.backend, events, missing);
  if (!source_) return Log(Level::kError, missing), 1;
  if (source_->FollowsGnomeDelay()) MatchGnomeDelay();
  check_ = std::make_unique<HeldOffCheck>(session_, system_);

  if (session_ != nullptr) {
    ScreenSaverService::Hooks hooks;
    hooks.released = [this] { Carry(machine_.InhibitorsReleased()); };
    hooks.changed = [this] { Changed(); };
    hooks.desktopActive = [this](bool active) { Carry(machine_.Locked(active)); };
    hooks.activity = [this](const std::string& who) { Carry(machine_.UserActivity(who)); };
    hooks.lock = [this] { RunLock("asked to lock over org.freedesktop.ScreenSaver"); };
    hooks.running = [this] { return machine_.SaverRunning(); };
    hooks.activeSeconds = [this] {
      return machine_.SaverRunning() ? static_cast<std::uint32_t>((Now() - saverSince_) / 1'000'000)
                                     : 0u;
    };
    hooks.idleSeconds = [this] { return IdleSeconds(); };
    screenSaver_ = std::make_unique<ScreenSaverService>(session_, std::move(hooks));
    if (!screenSaver_->Serve())
      return Log(Level::kError, "cannot serve org.freedesktop.ScreenSaver"), 1;
  }
  if (system_ != nullptr) {
    logind_ = std::make_unique<Logind>(
        system_, [this](bool locked) { Carry(machine_.Locked(locked)); },
        [this] { Carry(machine_.Sleep()); });
    Carry(machine_.Locked(logind_->Locked()));
  }
  if (!source_->Arm(settings_.after))
    return Log(Level::kError, "the idle source refused the time"), 1;
  const std::string lockWarning = LockCommandWarning(settings_);
  if (!lockWarning.empty()) Log(Level::kWarning, lockWarning);
  Log(std::string("waiting on ") + source_->Name() + ": " + Describe(settings_));
  Changed();
  return -1;
}

void Runner::OnIdle() {
  idleSince_ = Now() - static_cast<std::uint64_t>(settings_.after.count()) * 1000;
  // Our own callers are known at once; logind and the desktop are asked, without waiting.
  const std::vector<Holder> ours = screenSaver_ ? screenSaver_->Holders() : std::vector<Holder>();
  if (!ours.empty()) return HeldOff(ours);
  const bool askDesktop = screenSaver_ && !screenSaver_->Owner();
  check_->Start(askDesktop, [this](const std::vector<Holder>& holders) { HeldOff(holders); });
}

void Runner::HeldOff(const std::vector<Holder>& holders) {
  checked_ = holders;
  const bool recheck = !holders.empty() && !(screenSaver_ && !screenSaver_->Holders().empty());
  const std::string who =
      holders.empty() ? std::string() : holders[0].who + " (" + holders[0].why + ")";
  Carry(machine_.Idle(who));
  // They send nothing when released: look again, slowly, while one holds.
  if (recheck && recheck_ == nullptr)
    sd_event_add_time_relative(loop_, &recheck_, CLOCK_MONOTONIC, kRecheckUsec, 0, OnRecheck, this);
  Changed();
}

int Runner::OnRecheck(sd_event_source*, std::uint64_t, void* data) {
  auto* self = static_cast<Runner*>(data);
  self->recheck_ = sd_event_source_unref(self->recheck_);
  if (!self->machine_.Idle() || self->machine_.SaverRunning()) return 0;
  const bool askDesktop = self->screenSaver_ && !self->screenSaver_->Owner();
  self->check_->Start(askDesktop, [self](const std::vector<Holder>& holders) {
    if (!holders.empty()) {
      self->checked_ = holders;
      sd_event_add_time_relative(self->loop_, &self->recheck_, CLOCK_MONOTONIC, kRecheckUsec, 0,
                                 OnRecheck, self);
    } else {
      self->checked_.clear();
      self->Carry(self->machine_.InhibitorsReleased());
    }
    self->Changed();
  });
  return 0;
}

void Runner::Carry(const Effects& effects) {
  if (!effects.log.empty()) Log(effects.level, effects.log);
  if (effects.stopSaver) StopSaver();
  if (effects.startSaver) StartSaver();
  if (effects.rearm) source_->Arm(settings_.after);
  if (effects.cancelLock) lockTimer_ = sd_event_source_unref(lockTimer_);
  if (effects.runLock) RunLock("the saver has run " + FormatTime(Millis(Ms(settings_.lockAfter))));
  if (effects.armLock && machine_.SaverRunning() && settings_.lockAfter) {
    sd_event_source_unref(lockTimer_);
    sd_event_add_time_relative(loop_, &lockTimer_, CLOCK_MONOTONIC, Ms(settings_.lockAfter) * 1000,
                               0, OnLockDue, this);
  }
  Changed();
}

void Runner::StartSaver() {
  if (saver_.Running()) return;  // never two
  Log("idle for " + FormatTime(settings_.after) + ": starting " + saverPath_ + " /s");
  const std::string error = saver_.Start(loop_, {saverPath_, "/s"}, true, [this](int status) {
    lockTimer_ = sd_event_source_unref(lockTimer_);
    if (screenSaver_) screenSaver_->SaverActive(false);
    Carry(machine_.SaverEnded(status));
  });
  if (!error.empty()) return Carry(machine_.SaverNotStarted(error));
  saverSince_ = Now();
  if (screenSaver_) screenSaver_->SaverActive(true);
}

void Runner::StopSaver() {
  saver_.Stop([] { Log(Level::kWarning, "the saver ignored SIGTERM for 2s: killed"); });
}

void Runner::RunLock(const std::string& why) {
  if (lock_.Running()) return;
  Log(why + ": locking with \"" + settings_.lockCommand + "\"");
  // Not ended with us: a lock must outlive the runner's restart.
  const std::string error =
      lock_.Start(loop_, {"/bin/sh", "-c", settings_.lockCommand}, false, [](int status) {
        if (status != 0)
          Log(Level::kWarning, "the lock command failed with status " + std::to_string(status));
      });
  if (!error.empty()) Log(Level::kWarning, "the lock command did not start: " + error);
}

int Runner::OnLockDue(sd_event_source*, std::uint64_t, void* data) {
  auto* self = static_cast<Runner*>(data);
  self->lockTimer_ = sd_event_source_unref(self->lockTimer_);
  self->Carry(self->machine_.LockDue());
  return 0;
}

std::vector<std::string> Runner::Reload() {
  Loaded loaded = Load(line_);
  problems_ = loaded.errors;
  for (const std::string& error : loaded.errors) Log(Level::kWarning, error);
  if (!loaded.errors.empty()) {
    Log(Level::kWarning, "reload refused: keeping " + Describe(settings_));
    Changed();
    return loaded.errors;
  }
  Take(std::move(loaded.settings));
  return {};
}

void Runner::Take(Settings fresh) {
  const Settings old = settings_;
  settings_ = std::move(fresh);
  if (settings_.backend != old.backend) Log("a new backend takes effect at the next start");
  if (source_->FollowsGnomeDelay()) MatchGnomeDelay();
  const std::string lockWarning = LockCommandWarning(settings_);
  if (!lockWarning.empty()) Log(Level::kWarning, lockWarning);
  Log("reloaded: " + Describe(settings_));
  // The idle count and a failed saver's wait for activity go on; only a new time counts anew.
  if (settings_.after != old.after && !machine_.SaverRunning()) source_->Arm(settings_.after);
  // A new lock time counts from now, where the saver runs.
  const bool lockOn = settings_.lockAfter.has_value();
  Effects lock = machine_.SetLockAfter(lockOn);
  if (lockOn && old.lockAfter && *old.lockAfter != *settings_.lockAfter)
    lock.armLock = machine_.SaverRunning();
  Carry(lock);
}

void Runner::MatchGnomeDelay() {
  gnomeDelay_.Start(loop_, [this](std::optional<Millis> delay) {
    const Millis before = settings_.after;
    const std::string line = delay ? FitGnomeDelay(settings_, *delay) : std::string();
    if (!line.empty()) Log(Level::kNotice, line);
    if (settings_.after != before && !machine_.SaverRunning()) source_->Arm(settings_.after);
    Changed();
  });
}

RunnerStatus Runner::Status() const {
  RunnerStatus status;
  status.state = machine_.State();
  status.source = source_ ? source_->Name() : "";
  if (screenSaver_) status.heldOffBy = screenSaver_->Holders();
  status.heldOffBy.insert(status.heldOffBy.end(), checked_.begin(), checked_.end());
  status.after = Ms(settings_.after);
  status.lockAfter = Ms(settings_.lockAfter);
  status.lockCommand = settings_.lockCommand;
  status.settingsProblems = problems_;
  return status;
}

void Runner::Changed() {
  if (service_) service_->Update();
}

std::uint32_t Runner::IdleSeconds() const {
  return machine_.Idle() ? static_cast<std::uint32_t>((Now() - idleSince_) / 1'000'000) : 0u;
}

void Runner::Quit(int status) { sd_event_exit(loop_, status); }

int Runner::OnSignal(sd_event_source*, const signalfd_siginfo* info, void* data) {
  auto* self = static_cast<Runner*>(data);
  if (info->ssi_signo == SIGHUP) {
    self->Reload();
  } else {
    if (self->saver_.Running()) Log("ending, and the saver with it");
    self->Quit(0);
  }
  return 0;
}

}  // namespace idle
