// The funnel: each event goes to the application, then its damage to the platform.
#include "forms/events.h"

#include "forms/app.h"

namespace forms::events {

namespace {

template <typename Handler>
void Dispatch(Handler&& handler) {
  App* app = App::Current();
  if (app == nullptr || app->Ended()) return;
  handler(*app);
  app->FlushDamage();
}

}  // namespace

void KeyDown(WindowHandle window, int keyCode, int shift) {
  Dispatch([&](App& app) { app.OnKeyDown(window, keyCode, shift); });
}

void KeyChar(WindowHandle window, int charCode) {
  Dispatch([&](App& app) { app.OnKeyPress(window, charCode); });
}

void MouseDown(WindowHandle window, int button, int shift, int x, int y) {
  Dispatch([&](App& app) { app.OnMouseDown(window, button, shift, x, y); });
}

void MouseUp(WindowHandle window, int button, int shift, int x, int y) {
  Dispatch([&](App& app) { app.OnMouseUp(window, button, shift, x, y); });
}

void MouseMove(WindowHandle window, int buttons, int shift, int x, int y) {
  Dispatch([&](App& app) { app.OnMouseMove(window, buttons, shift, x, y); });
}

void CloseRequest(WindowHandle window) {
  Dispatch([&](App& app) { app.OnCloseRequest(window); });
}

void WindowDestroyed(WindowHandle window) {
  Dispatch([&](App& app) { app.OnWindowDestroyed(window); });
}

void WindowRectChanged(WindowHandle window, const PixelRect& rect, std::int32_t clientWidth,
                       std::int32_t clientHeight) {
  Dispatch([&](App& app) { app.OnWindowRectChanged(window, rect, clientWidth, clientHeight); });
}

void TimerTick(TimerHandle timer) {
  Dispatch([&](App& app) { app.OnTimerTick(timer); });
}

void Terminate() {
  Dispatch([&](App& app) { app.OnTerminate(); });
}

PaintScene DescribePaint(WindowHandle window, std::span<const PixelRect> areas) {
  App* app = App::Current();
  if (app == nullptr || app->Ended()) return {};
  return app->OnDescribePaint(window, areas);
}

}  // namespace forms::events
