// Starting quelvo and the lock command as children of the loop, which reaps them, and
// ending them for sure: SIGTERM, then SIGKILL after a grace.
#pragma once

#include <signal.h>
#include <sys/types.h>
#include <systemd/sd-event.h>

#include <functional>
#include <string>
#include <vector>

namespace idle {

// The signals the loop takes as events (blocked in it, back to defaults in children).
const sigset_t& HandledSignals();

// The quelvo beside this executable, else "quelvo" for a PATH search.
std::string FindSaver();

class Child {
 public:
  using Ended = std::function<void(int status)>;  // exit status, or -signal
  static constexpr std::uint64_t kGraceUsec = 2'000'000;
  Child() = default;
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Empty on success, else why it could not start. A program without '/' is looked up on
  // PATH. `endsWithUs`: the kernel ends it if we die without ending it ourselves. `output`:
  // where its stdout goes (its stderr then goes nowhere); -1 keeps ours.
  std::string Start(sd_event* loop, const std::vector<std::string>& argv, bool endsWithUs,
                    Ended ended, int output = -1);
  bool Running() const { return source_ != nullptr; }
  pid_t Pid() const { return pid_; }
  // SIGTERM now; SIGKILL after the grace if it still runs, and `killed` says so.
  void Stop(std::function<void()> killed);
  // The same, waiting for it here: for the way out, when the loop has ended.
  void StopNow(const std::function<void()>& killed);

 private:
  static int OnExit(sd_event_source* source, const siginfo_t* info, void* self);
  static int OnGraceOver(sd_event_source* source, std::uint64_t usec, void* self);
  sd_event* loop_ = nullptr;
  sd_event_source *source_ = nullptr, *grace_ = nullptr;
  pid_t pid_ = -1;
  Ended ended_;
  std::function<void()> killed_;
};

}  // namespace idle
