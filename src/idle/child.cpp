#include "idle/child.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace idle {

const sigset_t& HandledSignals() {
  static const sigset_t set = [] {
    sigset_t s;
    sigemptyset(&s);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&s, sig);
    return s;
  }();
  return set;
}

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

Child::~Child() {
  sd_event_source_unref(grace_);
  sd_event_source_unref(source_);
}

std::string Child::Start(sd_event* loop, const std::vector<std::string>& argv, bool endsWithUs,
                         Ended ended, int output) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const bool search = argv[0].find('/') == std::string::npos;
  // The exec's own error comes back through a pipe that closes when the exec succeeds.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return argv[0] + ": " + std::strerror(errno);
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // The loop blocks the signals it handles; the child gets them back, with default actions.
    for (int sig = 1; sig < NSIG; ++sig)
      if (sigismember(&HandledSignals(), sig) == 1) signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (endsWithUs && (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)) _exit(127);
    if (output >= 0) {
      const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
      if (dup2(output, STDOUT_FILENO) < 0 || dup2(nowhere, STDERR_FILENO) < 0) _exit(127);
    }
    (search ? execvp : execv)(args[0], args.data());
    const int error = errno;
    (void)!write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int error = pid_ < 0 ? errno : 0;
  if (pid_ > 0) {
    ssize_t n;
    while ((n = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (n != sizeof error) error = 0;
    if (error != 0) waitpid(pid_, nullptr, 0);
  }
  close(report[0]);
  if (error != 0) return pid_ = -1, argv[0] + ": " + std::strerror(error);
  if (sd_event_add_child(loop, &source_, pid_, WEXITED, OnExit, this) < 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    return "cannot watch " + argv[0];
  }
  loop_ = loop;
  ended_ = std::move(ended);
  return {};
}

void Child::Stop(std::function<void()> killed) {
  if (source_ == nullptr || grace_ != nullptr) return;
  kill(pid_, SIGTERM);
  killed_ = std::move(killed);
  sd_event_add_time_relative(loop_, &grace_, CLOCK_MONOTONIC, kGraceUsec, 0, OnGraceOver, this);
}

void Child::StopNow(const std::function<void()>& killed) {
  if (source_ == nullptr) return;
  kill(pid_, SIGTERM);
  const timespec step{0, 20'000'000};
  for (std::uint64_t waited = 0; waited < kGraceUsec; waited += 20'000) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_)
      return void(source_ = sd_event_source_unref(source_));
    nanosleep(&step, nullptr);
  }
  killed();
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  source_ = sd_event_source_unref(source_);
}

int Child::OnGraceOver(sd_event_source*, std::uint64_t, void* data) {
  auto* self = static_cast<Child*>(data);
  self->grace_ = sd_event_source_unref(self->grace_);
  if (self->source_ == nullptr) return 0;
  if (self->killed_) self->killed_();
  kill(self->pid_, SIGKILL);
  return 0;
}

int Child::OnExit(sd_event_source*, const siginfo_t* info, void* data) {
  auto* self = static_cast<Child*>(data);
  const int status = info->si_code == CLD_EXITED ? info->si_status : -info->si_status;
  self->source_ = sd_event_source_unref(self->source_);
  self->grace_ = sd_event_source_unref(self->grace_);
  Ended ended = std::move(self->ended_);
  if (ended) ended(status);
  return 0;
}

}  // namespace idle
