#include "settings/runner_switch.h"

#include <glib.h>
#include <signal.h>

#include <fstream>
#include <sstream>

#include "settings/programs.h"

namespace settings {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string WriteEntry(const std::string& text) {
  const std::string path = AutostartPath();
  gchar* folder = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(folder, 0700);
  g_free(folder);
  GError* error = nullptr;
  if (g_file_set_contents(path.c_str(), text.c_str(), -1, &error)) return {};
  std::string message = error->message;
  g_error_free(error);
  return message;
}

std::string Entry(const std::string& exec, bool hidden) {
  gchar* quoted = g_shell_quote(exec.c_str());
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Quelvo idle runner\n"
      "Comment=Starts the screen saver when the computer is idle\n"
      "Exec=" +
      std::string(quoted) +
      "\n"
      "NoDisplay=true\n"
      "X-GNOME-Autostart-enabled=" +
      (hidden ? "false" : "true") +
      "\n"
      "Hidden=" +
      (hidden ? "true" : "false") + "\n";
  g_free(quoted);
  return text;
}

}  // namespace

std::string AutostartPath() {
  return std::string(g_get_user_config_dir()) + "/autostart/quelvo-idle.desktop";
}

bool AutostartOn() {
  GKeyFile* file = g_key_file_new();
  bool on = false;
  if (g_key_file_load_from_file(file, AutostartPath().c_str(), G_KEY_FILE_NONE, nullptr))
    on = !g_key_file_get_boolean(file, "Desktop Entry", "Hidden", nullptr);
  g_key_file_free(file);
  return on;
}

std::string TurnOn(const std::string& idleProgram, bool runnerPresent, Ended ended) {
  std::string error = WriteEntry(Entry(idleProgram, false));
  if (error.empty() && !runnerPresent) error = StartDetached({idleProgram}, std::move(ended));
  return error;
}

std::string TurnOff(unsigned runnerPid) {
  const std::string error = WriteEntry(Entry("quelvo-idle", true));
  // The runner has no quit method: SIGTERM is its orderly end, as at logout.
  if (runnerPid > 0) kill(static_cast<pid_t>(runnerPid), SIGTERM);
  return error;
}

std::string StartedBy(unsigned pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  std::istringstream cgroup(ReadAll(proc + "/cgroup"));
  for (std::string line; std::getline(cgroup, line);) {
    const std::size_t end = line.rfind(".service");
    if (end == std::string::npos) continue;
    const std::size_t start = line.rfind('/', end) + 1;
    const std::string unit = line.substr(start, end + 8 - start);
    if (unit.rfind("app-", 0) != 0 && unit.find("autostart") == std::string::npos) return unit;
  }
  const std::string stat = ReadAll(proc + "/stat");
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream fields(stat.substr(close + 2));
  std::string state;
  unsigned parent = 0;
  fields >> state >> parent;
  std::string name = ReadAll("/proc/" + std::to_string(parent) + "/comm");
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

}  // namespace settings
