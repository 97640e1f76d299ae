#include "settings/programs.h"

#include <gio/gio.h>
#include <unistd.h>

#include <filesystem>

namespace settings {

std::string FindProgram(const std::string& name) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = self.parent_path() / name;
    if (access(beside.c_str(), X_OK) == 0) return beside;
  }
  gchar* found = g_find_program_in_path(name.c_str());
  std::string path = found != nullptr ? found : name;
  g_free(found);
  return path;
}

std::string StartDetached(const std::vector<std::string>& argv, Ended ended) {
  std::vector<const char*> args;
  for (const std::string& a : argv) args.push_back(a.c_str());
  args.push_back(nullptr);
  GError* error = nullptr;
  // A session of its own: the runner outlives the window and the terminal it was started
  // from. GLib reaps the child; the window never waits for it.
  GSubprocessLauncher* launcher = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_NONE);
  g_subprocess_launcher_set_child_setup(
      launcher, [](gpointer) { setsid(); }, nullptr, nullptr);
  GSubprocess* child = g_subprocess_launcher_spawnv(launcher, args.data(), &error);
  g_object_unref(launcher);
  if (child == nullptr) {
    std::string message = error->message;
    g_error_free(error);
    return message;
  }
  g_subprocess_wait_async(
      child, nullptr,
      [](GObject* c, GAsyncResult*, gpointer data) {
        auto* ended = static_cast<Ended*>(data);
        GSubprocess* child = G_SUBPROCESS(c);
        if (*ended)
          (*ended)(g_subprocess_get_if_exited(child) ? g_subprocess_get_exit_status(child) : -1);
        delete ended;
        g_object_unref(child);
      },
      new Ended(std::move(ended)));
  return {};
}

}  // namespace settings
