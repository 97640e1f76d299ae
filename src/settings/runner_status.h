// quelvo-idle as seen on the session bus: whether it runs, what it does, and who holds it
// off. Follows the name and its property changes, so nothing polls.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace settings {

struct RunnerState {
  bool present = false;                                        // somebody owns the runner's name
  std::string state;                                           // waiting, running, locked, resting
  std::vector<std::pair<std::string, std::string>> heldOffBy;  // (who, why)
  guint64 afterMs = 0;
  std::vector<std::string> settingsProblems;
};

// The one line the window shows for a state.
std::string StatusLine(const RunnerState& state);

class RunnerStatus {
 public:
  explicit RunnerStatus(std::function<void()> changed);
  ~RunnerStatus();
  RunnerStatus(const RunnerStatus&) = delete;
  RunnerStatus& operator=(const RunnerStatus&) = delete;

  const RunnerState& State() const { return state_; }
  // Asks the runner to read its settings again; `done` gets the refusal, empty on success.
  void Reload(std::function<void(std::string)> done);
  // The runner's process, 0 when nobody owns the name or the bus will not say.
  unsigned OwnerPid() const;

 private:
  static void OnProxy(GObject* source, GAsyncResult* result, gpointer self);
  static void OnChange(GDBusProxy* proxy, GVariant*, GStrv, gpointer self);
  static void OnOwner(GObject* proxy, GParamSpec*, gpointer self);
  void Refresh();

  std::function<void()> changed_;
  GCancellable* cancel_ = g_cancellable_new();
  GDBusProxy* proxy_ = nullptr;
  RunnerState state_;
};

}  // namespace settings
