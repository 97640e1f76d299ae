// The whole program on the simulated platform, driven by libFuzzer. The input chooses
// the machine (desktop size, DPI, screen-saver setting, a window creation refused, the
// setting unreadable, a host window), the command line, and a script of events.
// After every event: the process has ended exactly when no form is loaded, and every
// rain label lies where the rain can put it; once it has ended: the cursor count and
// the activation are as they were before it started and no window of ours is left.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "about/Form1.h"
#include "forms/app.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_state.h"
#include "rain/frmScreenSaver.h"

namespace {

// Reads the input front to back; past its end every read gives 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int Word() { return Byte() | Byte() << 8; }
  std::string Bytes(std::size_t n) {
    n = std::min(n, size_ - at_);
    std::string s(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return s;
  }
  bool Done() const { return at_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

struct Machine {
  bool activation = true;
  bool activationUnreadable = false;
  platform::WindowHandle host = 0;
};

Machine SetUp(Input& in) {
  const std::uint8_t flags = in.Byte();
  const int width = in.Word() % 4097, height = in.Word() % 4097;
  const int dpi = 24 + in.Byte() * 2;
  sim::Reset(width, height, dpi);
  sim::SetCallLogging(false);
  Machine machine;
  machine.activation = (flags & 1) != 0;
  sim::SetScreenSaverActive(machine.activation);
  machine.activationUnreadable = (flags & 2) != 0;
  sim::FailScreenSaverRead(machine.activationUnreadable);
  const int refused = (flags >> 2) & 7;
  sim::RefuseWindowCreation(refused < 4 ? refused : -1);
  if (flags & 0x20) machine.host = sim::CreateHostWindow(in.Byte() + 1, in.Byte() + 1);
  sim::SetCommandLine(in.Bytes(static_cast<std::size_t>(in.Word())));
  return machine;
}

// Heads stay on the larger of the form and the screen it was scattered over; trails
// hang at most three spacings above them.
void CheckLabels(const rain::frmScreenSaver& saver) {
  const float tpp = forms::App::Current()->TwipsPerPixel();
  const float width = std::max(saver.Width(), sim::Find(sim::Desktop())->rect.Width() * tpp);
  const float height = std::max(saver.Height(), sim::Find(sim::Desktop())->rect.Height() * tpp);
  const float slack = 2 * tpp;
  for (const forms::LabelArray* labels : {&saver.Label1, &saver.Label2}) {
    for (int i = 0; i <= 83; ++i) {
      const forms::Label& label = (*labels)(i);
      const float top = i <= 20 ? 0 : -3 * 220 - slack;
      Require(label.Left() >= 0 && label.Left() < width + slack, "label Left within the rain");
      Require(label.Top() >= top && label.Top() <= height + slack, "label Top within the rain");
    }
  }
  Require(!saver.Label1(84).Visible() && !saver.Label1(85).Visible(), "spare labels hidden");
}

platform::WindowHandle Target(std::uint8_t op, const rain::frmScreenSaver& saver,
                              const about::Form1& about, platform::WindowHandle host) {
  switch ((op >> 4) & 3) {
    case 0:
      return saver.hWnd();
    case 1:
      return about.hWnd();
    case 2:
      return saver.Frame2.window();
    default:
      return host;
  }
}

// Enough virtual time for the banner, the restart and a screenful of rain, and few
// enough ticks to keep an input well under a second.
constexpr int kTickBudget = 2048;

void Play(Input& in, rain::frmScreenSaver& saver, about::Form1& about, const Machine& machine) {
  int ticksLeft = kTickBudget;
  const auto advance = [&](int ticks) {
    ticks = std::min(ticks, ticksLeft);
    ticksLeft -= ticks;
    sim::AdvanceTicks(ticks);
  };
  while (!in.Done() && !sim::QuitCalled()) {
    const std::uint8_t op = in.Byte();
    const int a = in.Byte(), b = in.Byte();
    const platform::WindowHandle window = Target(op, saver, about, machine.host);
    switch (op & 15) {
      case 0:
        advance(a + 1);
        break;
      case 1:
        advance((a + 1) * 8);
        break;
      case 2:
        sim::Key(window, a, b);
        break;
      case 3:
        sim::Click(window, a * 4, b * 4);
        break;
      case 4:
        sim::MouseMove(window, a * 4, b * 4);
        break;
      case 5:
        sim::MouseDown(window, a * 4, b * 4, 1 + (op >> 6));
        break;
      case 6:
        sim::MouseUp(window, a * 4, b * 4, 1 + (op >> 6));
        break;
      case 7:
        if (machine.host != 0) sim::DestroyWindow(machine.host);
        break;
      case 8:
        sim::CloseRequest(window);
        break;
      case 9:
        sim::KeyPress(window, a);
        break;
      default:
        sim::Advance(a * 0.25);
        break;
    }
    const bool loaded = saver.Loaded() || about.Loaded();
    Require(sim::QuitCalled() == !loaded, "the process ends exactly when no form is loaded");
    if (saver.Loaded()) CheckLabels(saver);
  }
}

void CheckEnded(const Machine& machine, const rain::frmScreenSaver& saver) {
  Require(sim::QuitCalled(), "the process has ended");
  Require(sim::ExitStatus() == 0 || sim::ExitStatus() == forms::App::kWindowFailureStatus,
          "exit status");
  Require(sim::CursorCount() == 0, "cursor count as it was");
  // A setting full-screen mode could not read is taken as on, and so left on.
  const bool assumedOn = machine.activationUnreadable && saver.ScreenSaverStateKnown;
  Require(sim::ScreenSaverActive() == (machine.activation || assumedOn), "activation as it was");
  Require(sim::LiveWindowsOfOurs() == 0, "no window of ours left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const Machine machine = SetUp(in);
  {
    forms::App app;
    about::Form1 about(app);
    rain::frmScreenSaver saver(app, about);
    app.Start(saver);
    Require(sim::QuitCalled() == !(saver.Loaded() || about.Loaded()), "ends when nothing loaded");
    Play(in, saver, about, machine);
    // Whatever the script left running, the session ends now.
    if (!sim::QuitCalled()) sim::Terminate();
    CheckEnded(machine, saver);
  }
  // The machine goes too, so that every input frees all it took and libFuzzer's leak
  // check only runs when something really leaked.
  sim::detail::state() = {};
  return 0;
}
