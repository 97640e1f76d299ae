#include "idle/runner_service.h"

#include <cstring>

#include "idle/log.h"

namespace idle {
namespace {

constexpr const char* kName = "org.quelvo.Quelvo.Idle";
constexpr const char* kPath = "/org/quelvo/Quelvo/Idle";
constexpr const char* kBadSettings = "org.quelvo.Quelvo.Idle.Error.BadSettings";

int AppendStrings(sd_bus_message* reply, const std::vector<std::string>& lines) {
  int r = sd_bus_message_open_container(reply, 'a', "s");
  for (const std::string& line : lines)
    if (r >= 0) r = sd_bus_message_append(reply, "s", line.c_str());
  return r < 0 ? r : sd_bus_message_close_container(reply);
}

int AppendHolders(sd_bus_message* reply, const std::vector<Holder>& holders) {
  int r = sd_bus_message_open_container(reply, 'a', "(ss)");
  // As the log writes them: one line each, whatever the caller sent.
  for (const Holder& h : holders)
    if (r >= 0)
      r = sd_bus_message_append(reply, "(ss)", Escape(h.who).c_str(), Escape(h.why).c_str());
  return r < 0 ? r : sd_bus_message_close_container(reply);
}

}  // namespace

RunnerService::RunnerService(sd_bus* bus, Read read, Reload reload)
    : bus_(sd_bus_ref(bus)), read_(std::move(read)), reload_(std::move(reload)) {}

RunnerService::~RunnerService() {
  sd_bus_slot_unref(slot_);
  sd_bus_unref(bus_);
}

RunnerService::Claim RunnerService::Take(std::string& line) {
  constexpr auto kEmits = SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE;
  static const sd_bus_vtable vtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_PROPERTY("State", "s", Get, 0, kEmits),
      SD_BUS_PROPERTY("HeldOffBy", "a(ss)", Get, 0, kEmits),
      SD_BUS_PROPERTY("IdleSource", "s", Get, 0, kEmits),
      SD_BUS_PROPERTY("After", "t", Get, 0, kEmits),
      SD_BUS_PROPERTY("LockAfter", "t", Get, 0, kEmits),
      SD_BUS_PROPERTY("LockCommand", "s", Get, 0, kEmits),
      SD_BUS_PROPERTY("SettingsProblems", "as", Get, 0, kEmits),
      SD_BUS_PROPERTY("Version", "s", Get, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_METHOD("Reload", "", "", OnReload, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END};
  now_ = read_();
  int r = sd_bus_add_object_vtable(bus_, &slot_, kPath, kName, vtable, this);
  if (r < 0)
    return line = std::string("cannot serve ") + kPath + ": " + std::strerror(-r), Claim::kFailed;
  // No queue: a second runner in the session leaves at once, and says for whom.
  r = sd_bus_request_name(bus_, kName, 0);
  if (r >= 0) return Claim::kOurs;
  if (r != -EEXIST)
    return line = std::string("cannot take ") + kName + ": " + std::strerror(-r), Claim::kFailed;
  sd_bus_message* reply = nullptr;
  std::uint32_t pid = 0;
  if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "GetConnectionUnixProcessID", nullptr, &reply, "s",
                         kName) >= 0)
    sd_bus_message_read(reply, "u", &pid);
  sd_bus_message_unref(reply);
  line = "quelvo-idle already runs in this session (" +
         (pid != 0 ? "pid " + std::to_string(pid) : std::string("pid unknown")) + ", owner of " +
         kName + "): leaving it to that one";
  return Claim::kTaken;
}

void RunnerService::Update() {
  const RunnerStatus next = read_();
  std::vector<const char*> changed;
  if (next.state != now_.state) changed.push_back("State");
  if (next.heldOffBy != now_.heldOffBy) changed.push_back("HeldOffBy");
  if (next.source != now_.source) changed.push_back("IdleSource");
  if (next.after != now_.after) changed.push_back("After");
  if (next.lockAfter != now_.lockAfter) changed.push_back("LockAfter");
  if (next.lockCommand != now_.lockCommand) changed.push_back("LockCommand");
  if (next.settingsProblems != now_.settingsProblems) changed.push_back("SettingsProblems");
  now_ = next;
  if (changed.empty() || slot_ == nullptr) return;
  changed.push_back(nullptr);
  sd_bus_emit_properties_changed_strv(bus_, kPath, kName, const_cast<char**>(changed.data()));
}

int RunnerService::Get(sd_bus*, const char*, const char*, const char* property,
                       sd_bus_message* reply, void* data, sd_bus_error*) {
  const RunnerStatus& s = static_cast<RunnerService*>(data)->now_;
  const std::string_view name = property;
  if (name == "State") return sd_bus_message_append(reply, "s", s.state.c_str());
  if (name == "HeldOffBy") return AppendHolders(reply, s.heldOffBy);
  if (name == "IdleSource") return sd_bus_message_append(reply, "s", s.source.c_str());
  if (name == "After") return sd_bus_message_append(reply, "t", s.after);
  if (name == "LockAfter") return sd_bus_message_append(reply, "t", s.lockAfter);
  if (name == "LockCommand") return sd_bus_message_append(reply, "s", s.lockCommand.c_str());
  if (name == "SettingsProblems") return AppendStrings(reply, s.settingsProblems);
  return sd_bus_message_append(reply, "s", QUELVO_VERSION);
}

int RunnerService::OnReload(sd_bus_message* call, void* data, sd_bus_error* error) {
  const std::vector<std::string> refused = static_cast<RunnerService*>(data)->reload_();
  if (refused.empty()) return sd_bus_reply_method_return(call, "");
  std::string message;
  for (const std::string& line : refused) message += (message.empty() ? "" : "\n") + line;
  return sd_bus_error_set(error, kBadSettings, message.c_str());
}

}  // namespace idle
