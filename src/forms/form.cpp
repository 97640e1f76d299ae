#include "forms/form.h"

#include <cmath>

#include "forms/app.h"
#include "forms/frame.h"
#include "forms/timer.h"

namespace forms {

namespace {

std::int32_t PixelSize(Single twips, Single twipsPerPixel) {
  return static_cast<std::int32_t>(std::lround(twips / twipsPerPixel));
}

}  // namespace

Single ScreenObject::Width() const {
  return static_cast<Single>(platform::ScreenWidth()) * app_.TwipsPerPixel();
}

Single ScreenObject::Height() const {
  return static_cast<Single>(platform::ScreenHeight()) * app_.TwipsPerPixel();
}

Form::Form(App& app, const FormDesign& design) : Surface(app), Screen(app), design_(design) {
  SetBackground(design.backColor);
  rect_ = {0, 0, PixelSize(design.clientWidth, app.TwipsPerPixel()),
           PixelSize(design.clientHeight, app.TwipsPerPixel())};
}

// The derived form's controls are gone by now (timers and frames clean up after
// themselves): only the window is left to close.
Form::~Form() {
  if (!loaded_) return;
  if (!windowGone_ && hWnd() != 0) platform::DestroyWindow(hWnd());
  loaded_ = false;
  app().FormDestroyed(*this);
}

Single Form::Left() const { return static_cast<Single>(rect_.left) * app().TwipsPerPixel(); }
Single Form::Top() const { return static_cast<Single>(rect_.top) * app().TwipsPerPixel(); }
Single Form::Width() const { return static_cast<Single>(rect_.Width()) * app().TwipsPerPixel(); }
Single Form::Height() const { return static_cast<Single>(rect_.Height()) * app().TwipsPerPixel(); }

void Form::SetLeft(Single twips) {
  platform::PixelRect rect = rect_;
  rect.left = PixelSize(twips, app().TwipsPerPixel());
  rect.right = rect.left + rect_.Width();
  MoveWindow(rect);
}

void Form::SetTop(Single twips) {
  platform::PixelRect rect = rect_;
  rect.top = PixelSize(twips, app().TwipsPerPixel());
  rect.bottom = rect.top + rect_.Height();
  MoveWindow(rect);
}

void Form::SetWidth(Single twips) {
  platform::PixelRect rect = rect_;
  rect.right = rect.left + PixelSize(twips, app().TwipsPerPixel());
  MoveWindow(rect);
}

void Form::SetHeight(Single twips) {
  platform::PixelRect rect = rect_;
  rect.bottom = rect.top + PixelSize(twips, app().TwipsPerPixel());
  MoveWindow(rect);
}

void Form::MoveWindow(const platform::PixelRect& rect) {
  if (rect == rect_) return;
  rect_ = rect;
  // A borderless window is all client area; a framed one hears its client size back.
  if (design_.borderStyle == 0) SetClientSize(rect.Width(), rect.Height());
  if (hWnd() != 0) platform::SetWindowRect(hWnd(), rect);
}

void Form::WindowRectChanged(const platform::PixelRect& rect, std::int32_t clientWidth,
                             std::int32_t clientHeight) {
  rect_ = rect;
  SetClientSize(clientWidth, clientHeight);
}

void Form::Show() {
  if (!loaded_) Load();
  if (!loaded_) return;
  if (loading_) hiddenDuringLoad_ = false;
  platform::SetWindowVisible(hWnd(), true);
}

void Form::Hide() {
  if (!loaded_) Load();
  if (!loaded_) return;
  if (loading_) hiddenDuringLoad_ = true;
  platform::SetWindowVisible(hWnd(), false);
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  loading_ = true;
  hiddenDuringLoad_ = false;
  windowGone_ = false;
  const platform::FormBorder border =
      design_.borderStyle == 0 ? platform::FormBorder::Borderless : platform::FormBorder::Sizable;
  const std::int32_t width = PixelSize(design_.clientWidth, app().TwipsPerPixel());
  const std::int32_t height = PixelSize(design_.clientHeight, app().TwipsPerPixel());
  SetWindow(platform::CreateFormWindow(
      {border, design_.caption, app().Resolve(design_.backColor), width, height, design_.hasIcon}));
  rect_ = {0, 0, width, height};
  SetClientSize(width, height);
  InvalidateAll();
  bool made = hWnd() != 0;
  for (Frame* frame : frames_) made = made && frame->CreateWindow();
  app().FormLoaded(*this);
  // No procedure runs on a window that does not exist: the platform has said why.
  if (!made) {
    loading_ = false;
    app().WindowFailed();
    return;
  }
  for (Timer* timer : timers_) timer->Start();
  Form_Load();
  loading_ = false;
}

void Form::Destroy() {
  for (Timer* timer : timers_) timer->Stop();
  for (Frame* frame : frames_) {
    if (!windowGone_ && frame->window() != 0) platform::DestroyWindow(frame->window());
    frame->WindowGone();
    frame->ForgetPainted();
  }
  if (!windowGone_ && hWnd() != 0) platform::DestroyWindow(hWnd());
  SetWindow(0);
  ForgetPainted();
  loaded_ = false;
  app().FormDestroyed(*this);
}

void Form::Unload(Form& form) { app().Unload(form); }
void Form::End() { app().End(); }
Single Form::Rnd() { return app().Rnd(); }
std::string Form::Command() const { return app().Command(); }

}  // namespace forms
