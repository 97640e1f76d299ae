// A timer control: raises its Timer event every Interval milliseconds while Enabled,
// from the form's load until its unload. A tick is an event of the message loop.
#pragma once

#include <cstdint>
#include <functional>

#include "forms/types.h"

namespace forms {

class Form;

class Timer {
 public:
  Timer(Form& form, Long interval, Boolean enabled, std::function<void()> onTimer);
  ~Timer() { Stop(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  Long Interval() const { return interval_; }
  void SetInterval(Long milliseconds);
  Boolean Enabled() const { return enabled_; }
  void SetEnabled(Boolean enabled);

 private:
  friend class Form;
  friend class App;
  void Start();  // when its form has a window
  void Stop();
  bool Running() const { return handle_ != 0; }

  Form& form_;
  Long interval_;
  Boolean enabled_;
  std::function<void()> onTimer_;
  platform::TimerHandle handle_ = 0;
};

}  // namespace forms
