#include "forms/app.h"

#include <algorithm>

#include "forms/form.h"
#include "forms/frame.h"
#include "forms/timer.h"

namespace forms {

App* App::current_ = nullptr;

namespace {

Single TwipsPerPixelOfDisplay() {
  const int dpi = platform::Dpi();
  return 1440.0f / static_cast<Single>(dpi > 0 ? dpi : 96);
}

}  // namespace

App::App() : twipsPerPixel_(TwipsPerPixelOfDisplay()) {
  loaded_.reserve(4);
  timers_.reserve(8);
  current_ = this;
}

App::~App() {
  if (current_ == this) current_ = nullptr;
}

void App::Start(Form& startup) {
  startup.Load();
  if (startup.Loaded() && !startup.hiddenDuringLoad_) startup.Show();
  FlushDamage();
}

int App::Run(Form& startup) {
  Start(startup);
  return platform::RunMessageLoop();
}

std::string App::Command() const { return platform::CommandLine(); }

Colour App::SystemColour(Colour colour) {
  return platform::SystemColour(static_cast<int>(colour & 0xFF));
}

void App::Unload(Form& form) {
  if (ended_ || !form.loaded_ || form.unloading_) return;
  form.unloading_ = true;
  Integer cancel = 0;
  form.Form_Unload(cancel);
  form.unloading_ = false;
  if (ended_ || !form.loaded_) return;
  // A window that is already gone cannot stay loaded, whatever the procedure said.
  if (cancel != 0 && !form.windowGone_) return;
  form.Destroy();
}

void App::End() { EndWith(0); }

void App::WindowFailed() { EndWith(kWindowFailureStatus); }

void App::EndWith(int status) {
  if (ended_) return;
  ended_ = true;
  const std::vector<Form*> forms = loaded_;
  for (Form* form : forms) form->Destroy();
  platform::Quit(status);
}

void App::FormLoaded(Form& form) { loaded_.push_back(&form); }

void App::FormDestroyed(Form& form) {
  std::erase(loaded_, &form);
  if (loaded_.empty() && !ended_) platform::Quit(0);
}

void App::TimerStarted(Timer& timer) { timers_.push_back(&timer); }
void App::TimerStopped(Timer& timer) { std::erase(timers_, &timer); }

Form* App::FormOf(platform::WindowHandle window) const {
  if (window == 0) return nullptr;
  for (Form* form : loaded_) {
    if (form->hWnd() == window) return form;
    for (const Frame* frame : form->frames())
      if (frame->window() == window) return form;
  }
  return nullptr;
}

Surface* App::SurfaceOf(platform::WindowHandle window) const {
  if (window == 0) return nullptr;
  for (Form* form : loaded_) {
    if (form->hWnd() == window) return form;
    for (Frame* frame : form->frames())
      if (frame->window() == window) return frame;
  }
  return nullptr;
}

// Frames lie above the form's labels, and later labels above earlier ones; the form
// hears the mouse only where none of them is.
Form* App::BareFormAt(platform::WindowHandle window, int x, int y, Single& xTwips,
                      Single& yTwips) const {
  Form* form = FormOf(window);
  if (form == nullptr || form->hWnd() != window) return nullptr;
  xTwips = static_cast<Single>(x) * twipsPerPixel_;
  yTwips = static_cast<Single>(y) * twipsPerPixel_;
  for (const Frame* frame : form->frames())
    if (frame->Visible() && frame->Contains(xTwips, yTwips)) return nullptr;
  if (form->LabelAt(xTwips, yTwips) != nullptr) return nullptr;
  return form;
}

void App::OnKeyDown(platform::WindowHandle window, int keyCode, int shift) {
  if (Form* form = FormOf(window))
    form->Form_KeyDown(static_cast<Integer>(keyCode), static_cast<Integer>(shift));
}

void App::OnKeyPress(platform::WindowHandle window, int charCode) {
  if (Form* form = FormOf(window)) form->Form_KeyPress(static_cast<Integer>(charCode));
}

void App::OnMouseDown(platform::WindowHandle window, int button, int shift, int x, int y) {
  Form* form = FormOf(window);
  if (form == nullptr) return;
  Single xTwips = 0, yTwips = 0;
  Form* bare = BareFormAt(window, x, y, xTwips, yTwips);
  form->pressOnForm_ = bare != nullptr;
  if (bare != nullptr)
    bare->Form_MouseDown(static_cast<Integer>(button), static_cast<Integer>(shift), xTwips, yTwips);
}

// A click is a press and a release on the same bare surface.
void App::OnMouseUp(platform::WindowHandle window, int button, int shift, int x, int y) {
  (void)button, (void)shift;
  Form* form = FormOf(window);
  if (form == nullptr) return;
  Single xTwips = 0, yTwips = 0;
  Form* bare = BareFormAt(window, x, y, xTwips, yTwips);
  const bool click = form->pressOnForm_ && bare != nullptr;
  form->pressOnForm_ = false;
  if (click) bare->Form_Click();
}

void App::OnMouseMove(platform::WindowHandle window, int buttons, int shift, int x, int y) {
  Single xTwips = 0, yTwips = 0;
  if (Form* bare = BareFormAt(window, x, y, xTwips, yTwips))
    bare->Form_MouseMove(static_cast<Integer>(buttons), static_cast<Integer>(shift), xTwips,
                         yTwips);
}

void App::OnCloseRequest(platform::WindowHandle window) {
  Form* form = FormOf(window);
  if (form != nullptr && form->hWnd() == window) Unload(*form);
}

void App::OnWindowDestroyed(platform::WindowHandle window) {
  Form* form = FormOf(window);
  if (form == nullptr || form->hWnd() != window) return;
  form->WindowGone();
  Unload(*form);
}

void App::OnWindowRectChanged(platform::WindowHandle window, const platform::PixelRect& rect,
                              std::int32_t clientWidth, std::int32_t clientHeight) {
  Form* form = FormOf(window);
  if (form != nullptr && form->hWnd() == window)
    form->WindowRectChanged(rect, clientWidth, clientHeight);
}

void App::OnTimerTick(platform::TimerHandle handle) {
  for (Timer* timer : timers_) {
    if (timer->handle_ != handle) continue;
    if (timer->form_.Loaded() && timer->onTimer_) timer->onTimer_();
    return;
  }
}

void App::OnTerminate() {
  const std::vector<Form*> forms = loaded_;
  for (Form* form : forms) Unload(*form);
  // Terminate leaves nothing behind, even a form that refused to go.
  if (!ended_ && !loaded_.empty()) End();
}

events::PaintScene App::OnDescribePaint(platform::WindowHandle window,
                                        std::span<const platform::PixelRect> areas) {
  Surface* surface = SurfaceOf(window);
  if (surface == nullptr) return {};
  return surface->Describe(areas);
}

void App::FlushDamage() {
  for (Form* form : loaded_) {
    form->FlushDamage();
    for (Frame* frame : form->frames()) frame->FlushDamage();
  }
}

}  // namespace forms
