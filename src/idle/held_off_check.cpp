#include "idle/held_off_check.h"

#include <cstring>
#include <string>

#include "idle/inhibitors.h"
#include "idle/log.h"

namespace idle {
namespace {

constexpr std::uint64_t kTimeout = 2'000'000;  // us

struct Question {
  const char *service, *path, *interface, *method, *describe;
};
constexpr Question kQuestions[] = {
    {"org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
     "ListInhibitors", "logind"},
    {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
     "IsInhibited", "gnome-session"},
    // Plasma hands what applications ask of its ScreenSaver to PowerDevil's policy agent, as
    // inhibitions of screen settings.
    {"org.kde.Solid.PowerManagement.PolicyAgent", "/org/kde/Solid/PowerManagement/PolicyAgent",
     "org.kde.Solid.PowerManagement.PolicyAgent", "HasInhibition", "Plasma's power management"},
};

}  // namespace

void HeldOffCheck::Start(bool askDesktop, Done done) {
  Cancel();
  holders_.clear();
  done_ = std::move(done);
  // Counted up front, so an answer already queued cannot finish the check half asked.
  pending_ = 1;
  if (system_ != nullptr) Ask(kLogind);
  if (askDesktop && session_ != nullptr) Ask(kGnome), Ask(kPlasma);
  Settle();
}

void HeldOffCheck::Settle() {
  if (--pending_ > 0 || !done_) return;
  const Done done = std::move(done_);
  const std::vector<Holder> holders = std::move(holders_);
  done(holders);  // which may start the next check
}

void HeldOffCheck::Cancel() {
  for (Call& call : calls_) call.slot = sd_bus_slot_unref(call.slot);
  pending_ = 0;
  done_ = nullptr;
}

void HeldOffCheck::Ask(Kind kind) {
  const Question& q = kQuestions[kind];
  sd_bus* bus = kind == kLogind ? system_ : session_;
  sd_bus_message* call = nullptr;
  // Never start a service just to ask it. 8: idle (gnome-session); 4: screen (PowerDevil).
  int r = sd_bus_message_new_method_call(bus, &call, q.service, q.path, q.interface, q.method);
  if (r >= 0) r = sd_bus_message_set_auto_start(call, 0);
  if (r >= 0 && kind != kLogind) r = sd_bus_message_append(call, "u", kind == kGnome ? 8u : 4u);
  calls_[kind] = {this, kind, nullptr};
  if (r >= 0)
    r = sd_bus_call_async(bus, &calls_[kind].slot, call, OnReply, &calls_[kind], kTimeout);
  sd_bus_message_unref(call);
  if (r >= 0) ++pending_;
}

int HeldOffCheck::OnReply(sd_bus_message* reply, void* data, sd_bus_error*) {
  auto* call = static_cast<Call*>(data);
  HeldOffCheck* self = call->check;
  call->slot = sd_bus_slot_unref(call->slot);
  const sd_bus_error* error = sd_bus_message_get_error(reply);
  if (error == nullptr) {
    self->Read(call->kind, reply);
  } else if (sd_bus_error_has_names(error, SD_BUS_ERROR_NO_REPLY, SD_BUS_ERROR_TIMEOUT)) {
    Log(Level::kWarning, std::string(kQuestions[call->kind].describe) +
                             " gave no answer within 2s: taken as holding nothing off");
  }  // any other error: that service is not here
  self->Settle();
  return 0;
}

void HeldOffCheck::Read(Kind kind, sd_bus_message* reply) {
  if (kind != kLogind) {
    int held = 0;
    if (sd_bus_message_read(reply, "b", &held) >= 0 && held != 0)
      holders_.push_back({kQuestions[kind].describe, "an idle inhibitor of the desktop"});
    return;
  }
  if (sd_bus_message_enter_container(reply, 'a', "(ssssuu)") <= 0) return;
  const char *what = nullptr, *by = nullptr, *why = nullptr, *mode = nullptr;
  std::uint32_t uid = 0, pid = 0;
  while (sd_bus_message_read(reply, "(ssssuu)", &what, &by, &why, &mode, &uid, &pid) > 0) {
    const std::string list = std::string(":") + what + ":";
    if (list.find(":idle:") != std::string::npos && std::strcmp(mode, "block") == 0)
      holders_.push_back(
          {Cut(by, Inhibitors::kApplication) + " (through logind, pid " + std::to_string(pid) + ")",
           Cut(why, Inhibitors::kReason)});
  }
}

}  // namespace idle
