// The running program: one sd-event loop over the idle source, the buses, the signals
// and the children, feeding the Machine and carrying out what it decides.
#pragma once

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <memory>
#include <optional>
#include <string>

#include "idle/child.h"
#include "idle/logind.h"
#include "idle/machine.h"
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
  void Apply(const Effects& effects);
  void StartSaver();
  void RunLock();
  void Reload();
  std::string Inhibitor();
  void MatchGnomeDelay();
  void Quit(int status);
  static int OnSignal(sd_event_source* source, const signalfd_siginfo* info, void* self);
  static int OnLockDue(sd_event_source* source, std::uint64_t usec, void* self);

  Settings settings_;
  CommandLine line_;
  Machine machine_;
  sd_event* loop_ = nullptr;
  sd_bus *session_ = nullptr, *system_ = nullptr;
  SourcePtr source_;
  std::unique_ptr<ScreenSaverService> screenSaver_;
  std::unique_ptr<Logind> logind_;
  Child saver_, lock_;
  sd_event_source* lockTimer_ = nullptr;
  sd_event_source* signals_[3] = {};
  std::string saverPath_;
};

void Log(const std::string& line);  // one line on stderr, which the journal keeps

}  // namespace idle
