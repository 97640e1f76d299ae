#include "idle/child.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

extern char** environ;

namespace idle {

std::string FindSaver() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    std::string path(self, static_cast<std::size_t>(n));
    path = path.substr(0, path.rfind('/') + 1) + "quelvo";
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "quelvo";
}

std::string Child::Start(sd_event* loop, const std::vector<std::string>& argv, Ended ended) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  // The loop blocks the signals it handles; the child gets them back, with default actions.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, handled;
  sigemptyset(&none);
  sigemptyset(&handled);
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&handled, sig);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &handled);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  const bool search = argv[0].find('/') == std::string::npos;
  const int error =
      (search ? posix_spawnp : posix_spawn)(&pid_, args[0], nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (error != 0) return argv[0] + ": " + std::strerror(error);
  if (sd_event_add_child(loop, &source_, pid_, WEXITED, OnExit, this) < 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    return "cannot watch " + argv[0];
  }
  ended_ = std::move(ended);
  return {};
}

void Child::Signal(int sig) const {
  if (source_ != nullptr) kill(pid_, sig);
}

int Child::OnExit(sd_event_source*, const siginfo_t* info, void* data) {
  auto* self = static_cast<Child*>(data);
  const int status = info->si_code == CLD_EXITED ? info->si_status : -info->si_status;
  self->source_ = sd_event_source_unref(self->source_);
  Ended ended = std::move(self->ended_);
  if (ended) ended(status);
  return 0;
}

}  // namespace idle
