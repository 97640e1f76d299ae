#include "idle/runner.h"

#include <signal.h>
#include <sys/wait.h>

#include <cstdio>

#include "idle/gnome_delay.h"

namespace idle {

void Log(const std::string& line) { std::fprintf(stderr, "quelvo-idle: %s\n", line.c_str()); }

Runner::Runner(Settings settings, CommandLine line)
    : settings_(std::move(settings)),
      line_(std::move(line)),
      machine_(settings_.lockAfter.has_value()),
      saverPath_(FindSaver()) {}

Runner::~Runner() {
  sd_event_source_unref(lockTimer_);
  for (sd_event_source* s : signals_) sd_event_source_unref(s);
  source_.reset();
  screenSaver_.reset();
  logind_.reset();
  sd_bus_flush_close_unref(session_);
  sd_bus_flush_close_unref(system_);
  sd_event_unref(loop_);
}

int Runner::Run() {
  sigset_t handled;
  sigemptyset(&handled);
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&handled, sig);
  sigprocmask(SIG_BLOCK, &handled, nullptr);
  if (sd_event_default(&loop_) < 0) return Log("cannot make an event loop"), 1;
  for (int i = 0; const int sig : {SIGTERM, SIGINT, SIGHUP})
    sd_event_add_signal(loop_, &signals_[i++], sig, OnSignal, this);

  if (sd_bus_open_user(&session_) >= 0)
    sd_bus_attach_event(session_, loop_, 0);
  else
    session_ = nullptr, Log("no session bus: org.freedesktop.ScreenSaver is not served");
  if (sd_bus_open_system(&system_) >= 0)
    sd_bus_attach_event(system_, loop_, 0);
  else
    system_ = nullptr, Log("no system bus: logind's locks and inhibitors are not followed");
  // The calls made at idle time (inhibitors, GNOME's idle monitor) must not stall the loop.
  for (sd_bus* bus : {session_, system_})
    if (bus != nullptr) sd_bus_set_method_call_timeout(bus, 2'000'000);

  Source::Events events;
  events.idle = [this] { Apply(machine_.Idle(Inhibitor())); };
  events.active = [this] { Apply(machine_.Active()); };
  events.lost = [this](const std::string& why) { Log(why + ": ending"), Quit(0); };
  std::string missing;
  source_ = OpenSource(loop_, session_, settings_.backend, events, missing);
  if (!source_) return Log(missing), 1;
  if (std::string(source_->Name()) == "gnome") MatchGnomeDelay();

  if (session_ != nullptr)
    screenSaver_ = std::make_unique<ScreenSaverService>(
        session_, Log, [this] { Apply(machine_.InhibitorsReleased()); },
        [this](bool active) { Apply(machine_.Locked(active)); });
  if (system_ != nullptr) {
    logind_ = std::make_unique<Logind>(
        system_, [this](bool locked) { Apply(machine_.Locked(locked)); },
        [this] { Apply(machine_.Sleep()); });
    Apply(machine_.Locked(logind_->Locked()));
  }
  if (!source_->Arm(settings_.after)) return Log("the idle source refused the time"), 1;
  Log(std::string("waiting on ") + source_->Name() + ": " + Describe(settings_));
  int status = 0;
  if (sd_event_loop(loop_) < 0 || sd_event_get_exit_code(loop_, &status) < 0) status = 1;
  saver_.Signal(SIGTERM);  // never leave the saver we started behind
  return status;
}

std::string Runner::Inhibitor() {
  std::string who = screenSaver_ ? screenSaver_->Inhibitor() : std::string();
  if (who.empty() && logind_) who = logind_->Inhibitor();
  return who;
}

void Runner::Apply(const Effects& effects) {
  if (!effects.log.empty()) Log(effects.log);
  if (effects.stopSaver) saver_.Signal(SIGTERM);
  if (effects.startSaver) StartSaver();
  if (effects.rearm) source_->Arm(settings_.after);
  if (effects.runLock) RunLock();
  if (effects.armLock && machine_.SaverRunning()) {
    const auto usec = static_cast<std::uint64_t>(settings_.lockAfter->count()) * 1000;
    sd_event_source_unref(lockTimer_);
    sd_event_add_time_relative(loop_, &lockTimer_, CLOCK_MONOTONIC, usec, 0, OnLockDue, this);
  }
}

void Runner::StartSaver() {
  if (saver_.Running()) return;  // never two
  Log("idle for " + FormatTime(settings_.after) + ": starting " + saverPath_ + " /s");
  const std::string error = saver_.Start(loop_, {saverPath_, "/s"}, [this](int status) {
    lockTimer_ = sd_event_source_unref(lockTimer_);
    Apply(machine_.SaverEnded(status));
  });
  if (!error.empty()) Apply(machine_.SaverNotStarted(error));
}

void Runner::RunLock() {
  if (lock_.Running()) return;
  Log("the saver has run " + FormatTime(*settings_.lockAfter) + ": locking with \"" +
      settings_.lockCommand + "\"");
  const std::string error =
      lock_.Start(loop_, {"/bin/sh", "-c", settings_.lockCommand}, [](int status) {
        if (status != 0) Log("the lock command failed with status " + std::to_string(status));
      });
  if (!error.empty()) Log("the lock command did not start: " + error);
}

int Runner::OnLockDue(sd_event_source*, std::uint64_t, void* data) {
  auto* self = static_cast<Runner*>(data);
  self->lockTimer_ = sd_event_source_unref(self->lockTimer_);
  self->Apply(self->machine_.LockDue());
  return 0;
}

void Runner::Reload() {
  Settings fresh;
  const std::vector<std::string> errors = Load(fresh, line_);
  for (const std::string& error : errors) Log(error);
  if (!errors.empty()) return Log("reload refused: keeping " + Describe(settings_));
  const std::string backend = settings_.backend;
  settings_ = fresh;
  if (settings_.backend != backend) Log("a new backend takes effect at the next start");
  if (source_->Name() == std::string("gnome")) MatchGnomeDelay();
  machine_.SetLockAfter(settings_.lockAfter.has_value());
  if (!machine_.SaverRunning()) source_->Arm(settings_.after);
  Log("reloaded: " + Describe(settings_));
}

void Runner::MatchGnomeDelay() {
  const std::optional<Millis> delay = ReadGnomeDelay();
  const std::string line = delay ? FitGnomeDelay(settings_, *delay) : std::string();
  if (!line.empty()) Log(line);
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
