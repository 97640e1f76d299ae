// X11: two alarms on the XSync IDLETIME counter, one on its way up (idle) and one on its
// way down (input resets the counter to zero).
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/sync.h>

#include <cstring>

#include "idle/source.h"

namespace idle {
namespace {

XSyncValue Value(std::int64_t v) {
  XSyncValue value;
  XSyncIntsToValue(&value, static_cast<unsigned>(v & 0xffffffff), static_cast<int>(v >> 32));
  return value;
}

std::int64_t Int(const XSyncValue& value) {
  return (static_cast<std::int64_t>(XSyncValueHigh32(value)) << 32) |
         static_cast<std::int64_t>(XSyncValueLow32(value));
}

class XSyncSource final : public Source {
 public:
  XSyncSource(Display* display, XSyncCounter counter, int eventBase, Events events)
      : display_(display), counter_(counter), eventBase_(eventBase), events_(std::move(events)) {}
  ~XSyncSource() override {
    sd_event_source_unref(io_);
    if (dead_) return;  // a dead connection is left alone: closing it would end us
    for (XSyncAlarm alarm : {up_, down_})
      if (alarm != None) XSyncDestroyAlarm(display_, alarm);
    XCloseDisplay(display_);
  }
  const char* Name() const override { return "xsync"; }

  bool Attach(sd_event* loop) {
    // Xlib's own way out of a lost connection is exit(1); ours is the loop's, with 0.
    XSetIOErrorExitHandler(display_, OnIOError, this);
    return sd_event_add_io(loop, &io_, ConnectionNumber(display_), EPOLLIN, OnReadable, this) >= 0;
  }

  bool Arm(Millis after) override {
    if (dead_) return false;
    after_ = after.count();
    XSyncValue now;
    if (!XSyncQueryCounter(display_, counter_, &now)) return false;
    // Up at now + after; down as soon as input drops the counter below where it is now.
    Set(up_, XSyncPositiveTransition, Int(now) + after_);
    Set(down_, XSyncNegativeTransition, Int(now));
    XFlush(display_);
    return true;
  }

 private:
  void Set(XSyncAlarm& alarm, XSyncTestType test, std::int64_t value) {
    XSyncAlarmAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.trigger.counter = counter_;
    attributes.trigger.value_type = XSyncAbsolute;
    attributes.trigger.test_type = test;
    attributes.trigger.wait_value = Value(value);
    attributes.delta = Value(0);
    attributes.events = True;
    const unsigned long mask = XSyncCACounter | XSyncCAValueType | XSyncCATestType | XSyncCAValue |
                               XSyncCADelta | XSyncCAEvents;
    if (alarm == None)
      alarm = XSyncCreateAlarm(display_, mask, &attributes);
    else
      XSyncChangeAlarm(display_, alarm, mask, &attributes);
  }

  static int OnReadable(sd_event_source*, int, std::uint32_t revents, void* self) {
    return static_cast<XSyncSource*>(self)->Read(revents);
  }

  int Read(std::uint32_t revents) {
    if ((revents & (EPOLLHUP | EPOLLERR)) != 0) return dead_ = true, Lost();
    while (!dead_ && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type != eventBase_ + XSyncAlarmNotify) continue;
      const auto& alarm = reinterpret_cast<const XSyncAlarmNotifyEvent&>(event);
      if (alarm.state == XSyncAlarmDestroyed) continue;
      if (alarm.alarm == up_) {
        events_.idle();
      } else if (alarm.alarm == down_) {
        // Back to the usual pair: idle after `after`, input any time after that.
        Set(up_, XSyncPositiveTransition, after_);
        Set(down_, XSyncNegativeTransition, after_ - 1);
        XFlush(display_);
        events_.active();
      }
    }
    return dead_ ? Lost() : 0;
  }

  static void OnIOError(Display*, void* self) { static_cast<XSyncSource*>(self)->dead_ = true; }

  int Lost() {
    sd_event_source_set_enabled(io_, SD_EVENT_OFF);
    events_.lost("lost the X display");
    return 0;
  }

  Display* display_;
  XSyncCounter counter_;
  int eventBase_;
  Events events_;
  sd_event_source* io_ = nullptr;
  XSyncAlarm up_ = None, down_ = None;
  std::int64_t after_ = 0;
  bool dead_ = false;
};

// Xwayland's outputs are named XWAYLAND0 and so on; its idle counter sees no Wayland input.
bool IsXwayland(Display* display) {
  int event = 0, error = 0;
  if (XQueryExtension(display, "XWAYLAND", &event, &event, &error)) return true;
  if (!XRRQueryExtension(display, &event, &error)) return false;
  XRRScreenResources* screen = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  bool xwayland = false;
  for (int i = 0; screen != nullptr && i < screen->noutput && !xwayland; ++i) {
    XRROutputInfo* output = XRRGetOutputInfo(display, screen, screen->outputs[i]);
    xwayland = output != nullptr && std::strncmp(output->name, "XWAYLAND", 8) == 0;
    if (output != nullptr) XRRFreeOutputInfo(output);
  }
  if (screen != nullptr) XRRFreeScreenResources(screen);
  return xwayland;
}

int Quiet(Display*) { return 0; }  // the loop says it in one line

}  // namespace

SourcePtr OpenXSync(sd_event* loop, Source::Events events, std::string& missing) {
  XSetIOErrorHandler(Quiet);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    missing = "no X display";
    return nullptr;
  }
  if (IsXwayland(display)) {
    missing = std::string(
        "DISPLAY names Xwayland, whose idle time misses Wayland input: the "
        "session's WAYLAND_DISPLAY is missing here (import it with "
        "`systemctl --user import-environment WAYLAND_DISPLAY` or "
        "`dbus-update-activation-environment --systemd WAYLAND_DISPLAY`)");
    XCloseDisplay(display);
    return nullptr;
  }
  int eventBase = 0, errorBase = 0, major = 0, minor = 0, count = 0;
  XSyncCounter counter = None;
  if (XSyncQueryExtension(display, &eventBase, &errorBase) &&
      XSyncInitialize(display, &major, &minor)) {
    XSyncSystemCounter* counters = XSyncListSystemCounters(display, &count);
    for (int i = 0; i < count; ++i)
      if (std::strcmp(counters[i].name, "IDLETIME") == 0) counter = counters[i].counter;
    if (counters != nullptr) XSyncFreeSystemCounterList(counters);
  }
  if (counter == None) {
    missing = "the X display has no XSync IDLETIME counter";
    XCloseDisplay(display);
    return nullptr;
  }
  auto source = std::make_unique<XSyncSource>(display, counter, eventBase, std::move(events));
  if (!source->Attach(loop)) return nullptr;
  return source;
}

}  // namespace idle
