// The application: loads the start-up form, owns the process-wide random sequence,
// unloads forms and ends the process when none is left, and routes every platform
// event to the form it concerns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/events.h"
#include "forms/rnd.h"
#include "forms/types.h"

namespace forms {

class Form;
class Frame;
class Surface;
class Timer;

class App {
 public:
  App();
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Loads the start-up form and shows it, unless its Load hid or unloaded it.
  void Start(Form& startup);
  // Start, then the message loop; returns the process's exit status.
  int Run(Form& startup);

  // The Unload statement: raises the form's Unload, then destroys it. The process
  // ends when no form is left loaded.
  void Unload(Form& form);
  // The End statement: every form goes at once, raising no Unload.
  void End();
  bool Ended() const { return ended_; }
  // A window could not be made: every form goes at once, raising no Unload, and the
  // process ends with kWindowFailureStatus.
  void WindowFailed();
  static constexpr int kWindowFailureStatus = 1;

  Single Rnd() { return random_.Next(); }
  std::string Command() const;
  Single TwipsPerPixel() const { return twipsPerPixel_; }
  Colour Resolve(Colour colour) const {
    return (colour & kSystemColourFlag) ? SystemColour(colour) : colour & 0xFFFFFF;
  }

  // Event entry points, called through forms/events.h.
  void OnKeyDown(platform::WindowHandle window, int keyCode, int shift);
  void OnKeyPress(platform::WindowHandle window, int charCode);
  void OnMouseDown(platform::WindowHandle window, int button, int shift, int x, int y);
  void OnMouseUp(platform::WindowHandle window, int button, int shift, int x, int y);
  void OnMouseMove(platform::WindowHandle window, int buttons, int shift, int x, int y);
  void OnCloseRequest(platform::WindowHandle window);
  void OnWindowDestroyed(platform::WindowHandle window);
  void OnWindowRectChanged(platform::WindowHandle window, const platform::PixelRect& rect,
                           std::int32_t clientWidth, std::int32_t clientHeight);
  void OnTimerTick(platform::TimerHandle timer);
  void OnTerminate();
  events::PaintScene OnDescribePaint(platform::WindowHandle window,
                                     std::span<const platform::PixelRect> areas);
  // After each event: the damage of every loaded form goes to the platform.
  void FlushDamage();

  static App* Current() { return current_; }

 private:
  friend class Form;
  friend class Timer;
  void EndWith(int status);
  void FormLoaded(Form& form);
  void FormDestroyed(Form& form);
  void TimerStarted(Timer& timer);
  void TimerStopped(Timer& timer);
  Form* FormOf(platform::WindowHandle window) const;
  Surface* SurfaceOf(platform::WindowHandle window) const;
  // Where a mouse event lands: the form's bare surface gets it, or a control does.
  Form* BareFormAt(platform::WindowHandle window, int x, int y, Single& xTwips,
                   Single& yTwips) const;

  static Colour SystemColour(Colour colour);

  static App* current_;
  RandomSequence random_;
  Single twipsPerPixel_;
  std::vector<Form*> loaded_;  // in load order
  std::vector<Timer*> timers_;
  bool ended_ = false;
};

}  // namespace forms
