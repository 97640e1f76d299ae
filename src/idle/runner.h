// The running program: one sd-event loop over the idle source, the buses, the signals
// and the children, feeding the Machine and carrying out what it decides.
#pragma once

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "idle/child.h"
#include "idle/gnome_delay_reader.h"
#include "idle/held_off_check.h"
#include "idle/logind.h"
#include "idle/machine.h"
#include "idle/runner_service.h"
#include "idle/screensaver.h"
#include "idle/settings.h"
#include "idle/source.h"

namespace idle {

class Runner {
 public:
  Runner(Settings settings, CommandLine line);
  ~Runner();
  int Run();  // the exit status

 private:
  int Start();  // -1 when started, else the status to leave with
  void Carry(const Effects& effects);
  void Changed();  // tell org.quelvo.Quelvo.Idle's readers
  void OnIdle();
  void HeldOff(const std::vector<Holder>& holders);
  void StartSaver();
  void StopSaver();
  void RunLock(const std::string& why);
  std::vector<std::string> Reload();
  void Take(Settings fresh);
  void MatchGnomeDelay();
  RunnerStatus Status() const;
  std::uint32_t IdleSeconds() const;
  void Quit(int status);
  static int OnSignal(sd_event_source* source, const signalfd_siginfo* info, void* self);
  static int OnLockDue(sd_event_source* source, std::uint64_t usec, void* self);
  static int OnRecheck(sd_event_source* source, std::uint64_t usec, void* self);

  Settings settings_;
  std::vector<std::string> problems_;  // what the last reading refused
  CommandLine line_;
  Machine machine_;
  sd_event* loop_ = nullptr;
  sd_bus *session_ = nullptr, *system_ = nullptr;
  SourcePtr source_;
  std::unique_ptr<RunnerService> service_;
  std::unique_ptr<ScreenSaverService> screenSaver_;
  std::unique_ptr<Logind> logind_;
  std::unique_ptr<HeldOffCheck> check_;
  std::vector<Holder> checked_;  // who the last check found holding the saver off
  Child saver_, lock_;
  GnomeDelayReader gnomeDelay_;
  sd_event_source *lockTimer_ = nullptr, *recheck_ = nullptr;
  sd_event_source* signals_[3] = {};
  std::string saverPath_;
  std::uint64_t idleSince_ = 0, saverSince_ = 0;  // CLOCK_MONOTONIC us
};

}  // namespace idle
