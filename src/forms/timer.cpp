#include "forms/timer.h"

#include <utility>

#include "forms/app.h"
#include "forms/form.h"

namespace forms {

Timer::Timer(Form& form, Long interval, Boolean enabled, std::function<void()> onTimer)
    : form_(form),
      interval_(interval),
      enabled_(enabled ? True : False),
      onTimer_(std::move(onTimer)) {
  form.AddTimer(*this);
}

void Timer::SetEnabled(Boolean enabled) {
  enabled = enabled ? True : False;
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_)
    Start();
  else
    Stop();
}

void Timer::SetInterval(Long milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  if (!Running()) return;
  Stop();
  Start();
}

// An interval of 0 keeps the timer silent, as does a form without a window.
void Timer::Start() {
  if (Running() || !enabled_ || interval_ <= 0 || !form_.Loaded() || form_.hWnd() == 0) return;
  handle_ = platform::StartTimer(form_.hWnd(), static_cast<std::uint32_t>(interval_));
  form_.app().TimerStarted(*this);
}

void Timer::Stop() {
  if (!Running()) return;
  platform::StopTimer(handle_);
  form_.app().TimerStopped(*this);
  handle_ = 0;
}

}  // namespace forms
