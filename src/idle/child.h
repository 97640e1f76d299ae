// Starting quelvo and the lock command as children of the loop, which reaps them.
#pragma once

#include <sys/types.h>
#include <systemd/sd-event.h>

#include <functional>
#include <string>
#include <vector>

namespace idle {

// The quelvo beside this executable, else "quelvo" for a PATH search.
std::string FindSaver();

class Child {
 public:
  using Ended = std::function<void(int status)>;  // exit status, or -signal
  Child() = default;
  ~Child() { sd_event_source_unref(source_); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Empty on success, else why it could not start. A program without '/' is looked up
  // on PATH.
  std::string Start(sd_event* loop, const std::vector<std::string>& argv, Ended ended);
  bool Running() const { return source_ != nullptr; }
  pid_t Pid() const { return pid_; }
  void Signal(int sig) const;

 private:
  static int OnExit(sd_event_source* source, const siginfo_t* info, void* self);
  sd_event_source* source_ = nullptr;
  pid_t pid_ = -1;
  Ended ended_;
};

}  // namespace idle
