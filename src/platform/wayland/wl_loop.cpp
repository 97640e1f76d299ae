// Implements: platform::RunMessageLoop and Quit on Wayland: events read without ever
// blocking on the compositor (while a tick is near, only in that tick's wake), due
// ticks, surfaces kept as windows and outputs stand, the paint pass, the end when the
// compositor takes our surfaces away or an ending signal comes (linux_signals).
#include "platform/wayland/wl_loop.h"

#include <poll.h>

#include <cerrno>

#include "forms/events.h"
#include "platform/linux_shared/linux_signals.h"
#include "platform/raster/raster.h"
#include "platform/wayland/wl_backend.h"
#include "platform/wayland/wl_buffers.h"
#include "platform/wayland/wl_connection.h"
#include "platform/wayland/wl_input.h"
#include "platform/wayland/wl_paint.h"
#include "platform/wayland/wl_registry.h"
#include "platform/wayland/wl_timer.h"
#include "platform/wayland/wl_windows.h"

namespace wayland {
namespace {

// A little over one 1/64 s quantum: a timer that fires every quantum is always near.
constexpr long long kBatchingNs = 20'000'000;

bool quitting = false;
int exitStatus = 0;
bool shutDown = false;
bool signalled = false;  // an ending signal came while the loop waited

void EndRun() {
  forms::events::Terminate();
  // Terminate unloads every form, which ends the loop; make sure of it.
  if (!quitting) platform::on_wayland::Quit(0);
}

void DispatchPending() {
  if (wl_display_dispatch_pending(W().display) < 0) ConnectionLost();
}

// Waits for the compositor, the next tick or a signal; never blocks on a full socket.
void Wait() {
  wl_display* d = W().display;
  bool dispatched = false;
  while (wl_display_prepare_read(d) != 0) {
    DispatchPending();
    dispatched = true;
  }
  bool writePending = false;
  if (wl_display_flush(d) < 0) {
    if (errno != EAGAIN) {
      wl_display_cancel_read(d);
      ConnectionLost();
    }
    writePending = true;
  }
  long long ns = dispatched ? 0 : NanosecondsUntilNextTick();
  // With a tick this near, what the compositor sends meanwhile (buffer releases, frame
  // callbacks, input) waits for it: one wake per tick instead of one more per event.
  if (!writePending && ns > 0 && ns <= kBatchingNs) {
    const timespec sleep{0, static_cast<long>(ns)};
    pollfd signals = linux_platform::EndingSignalPollEntry();
    ppoll(&signals, 1, &sleep, linux_platform::EndingSignalWaitMask());
    ns = 0;
  }
  timespec timeout{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
  pollfd fds[2] = {
      {wl_display_get_fd(d), static_cast<short>(POLLIN | (writePending ? POLLOUT : 0)), 0},
      linux_platform::EndingSignalPollEntry()};
  const int ready =
      ppoll(fds, 2, ns < 0 ? nullptr : &timeout, linux_platform::EndingSignalWaitMask());
  if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP))) {
    if (wl_display_read_events(d) < 0) ConnectionLost();
  } else {
    wl_display_cancel_read(d);
  }
  if (linux_platform::TakeEndingSignal(fds[1])) signalled = true;
}

}  // namespace

void Shutdown() {
  if (shutDown || W().display == nullptr) return;
  shutDown = true;
  DestroyAllSurfaces();
  ReleaseBlackPixel();
  ReleaseSeat();
  raster::Shutdown();
  Disconnect();
}

}  // namespace wayland

namespace platform::on_wayland {

int RunMessageLoop() {
  using namespace wayland;
  while (!quitting) {
    DispatchPending();
    if (signalled || TakeEndRequest()) EndRun();
    if (quitting) break;
    FireDueTimers([] { return quitting; });
    if (quitting) break;
    UpdateSurfaces();
    PaintPending();
    Wait();
  }
  return exitStatus;
}

void Quit(int status) {
  wayland::quitting = true;
  wayland::exitStatus = status;
}

}  // namespace platform::on_wayland
