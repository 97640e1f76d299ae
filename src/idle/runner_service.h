// org.quelvo.Quelvo.Idle on the session bus (org.quelvo.Quelvo.Idle.xml): the runner's name,
// which makes it the session's only one, and what it is doing for whoever asks, sent as
// PropertiesChanged whenever it changes.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace idle {

struct Holder {
  std::string who, why;
  bool operator==(const Holder&) const = default;
};

struct RunnerStatus {
  std::string state, source;
  std::vector<Holder> heldOffBy;
  std::uint64_t after = 0, lockAfter = 0;  // ms; lockAfter 0: no lock
  std::string lockCommand;
  std::vector<std::string> settingsProblems;
  bool operator==(const RunnerStatus&) const = default;
};

class RunnerService {
 public:
  using Read = std::function<RunnerStatus()>;
  using Reload = std::function<std::vector<std::string>()>;  // the refused lines, if any
  RunnerService(sd_bus* bus, Read read, Reload reload);
  ~RunnerService();
  RunnerService(const RunnerService&) = delete;
  RunnerService& operator=(const RunnerService&) = delete;

  enum class Claim { kOurs, kTaken, kFailed };
  // Serves the object and takes the name; kTaken fills `holder` with the line naming the
  // runner that has it, kFailed with what went wrong.
  Claim Take(std::string& line);
  // Reads the status again and sends what changed.
  void Update();

 private:
  static int Get(sd_bus* bus, const char* path, const char* interface, const char* property,
                 sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnReload(sd_bus_message* call, void* self, sd_bus_error* error);

  sd_bus* bus_;
  Read read_;
  Reload reload_;
  RunnerStatus now_;
  sd_bus_slot* slot_ = nullptr;
};

}  // namespace idle
