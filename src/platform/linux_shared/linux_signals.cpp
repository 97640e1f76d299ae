// Implements: the ending signals (SIGTERM, SIGINT, SIGHUP) of both Linux backends through
// a signalfd, or where there is none, a handler that runs only while the loop waits.
#include "platform/linux_shared/linux_signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <initializer_list>

namespace linux_platform {
namespace {

int signalFd = -1;
// Without a signalfd: the signals stay blocked but while the loop waits in ppoll, where
// the handler notes them; the mask to wait with.
sigset_t waitMask;
volatile sig_atomic_t signalled = 0;

void NoteSignal(int) { signalled = 1; }

}  // namespace

void IgnoreBrokenPipe() { signal(SIGPIPE, SIG_IGN); }

void RouteEndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  sigprocmask(SIG_BLOCK, &set, &waitMask);
  signalFd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (signalFd >= 0) return;
  // No descriptor to spare, or a sandbox without signalfd: blocked for good, these
  // signals would leave SIGKILL as the only way to stop the saver.
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(sig, &action, nullptr);
    sigdelset(&waitMask, sig);
  }
}

pollfd EndingSignalPollEntry() { return {signalFd, POLLIN, 0}; }

const sigset_t* EndingSignalWaitMask() { return signalFd >= 0 ? nullptr : &waitMask; }

bool TakeEndingSignal(const pollfd& polled) {
  if (signalFd < 0) {
    const bool came = signalled != 0;
    signalled = 0;
    return came;
  }
  if (!(polled.revents & POLLIN)) return false;
  signalfd_siginfo info;
  while (read(signalFd, &info, sizeof info) == sizeof info) {
  }
  return true;
}

}  // namespace linux_platform
