// The whole program on the simulated platform, driven by libFuzzer. The input chooses
// the machine (desktop size, DPI, screen-saver setting, a window creation refused, the
// setting unreadable, a host window), the command line, and a script of events.
// After every event: the process has ended exactly when no form is loaded, and every
// rain label lies where the rain can put it; once it has ended: the cursor count and
// the activation are as the user had them and no window of ours is left.
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

using platform::PixelRect;

// Reads the input front to back; past its end every read gives 0.
struct Input {
  const std::uint8_t* data;
  std::size_t size, at = 0;
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
  int Word() { return Byte() | Byte() << 8; }
  std::string Bytes(std::size_t n) {
    n = std::min(n, size - at);
    at += n;
    return std::string(reinterpret_cast<const char*>(data + at - n), n);
  }
};

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

struct Machine {
  bool activation, activationUnreadable;
  platform::WindowHandle host = 0;
  bool cursorWasHidden = false;  // what the user sees of full-screen mode
};

Machine SetUp(Input& in) {
  const std::uint8_t flags = in.Byte();
  const int width = in.Word() % 4097, height = in.Word() % 4097;
  sim::Reset(width, height, 24 + in.Byte() * 2);
  sim::SetCallLogging(false);
  Machine machine{(flags & 1) != 0, (flags & 2) != 0};
  sim::SetScreenSaverActive(machine.activation);
  sim::FailScreenSaverRead(machine.activationUnreadable);
  const int refused = (flags >> 2) & 7;
  sim::RefuseWindowCreation(refused < 4 ? refused : -1);
  if (flags & 0x20) machine.host = sim::CreateHostWindow(in.Byte() + 1, in.Byte() + 1);
  sim::SetCommandLine(in.Bytes(static_cast<std::size_t>(in.Word())));
  return machine;
}

// Heads stay on the larger of the form's window and the screen they were scattered over;
// trails hang at most three spacings above them.
void CheckLabels(const rain::frmScreenSaver& saver) {
  const float tpp = forms::App::Current()->TwipsPerPixel();
  const PixelRect &form = sim::Find(saver.hWnd())->rect, &screen = sim::Find(sim::Desktop())->rect;
  const float width = std::max(form.Width(), screen.Width()) * tpp;
  const float height = std::max(form.Height(), screen.Height()) * tpp;
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

void CheckRunning(Machine& machine, const rain::frmScreenSaver& saver, const about::Form1& about) {
  Require(sim::QuitCalled() == !(saver.Loaded() || about.Loaded()),
          "the process ends exactly when no form is loaded");
  if (saver.Loaded()) CheckLabels(saver);
  machine.cursorWasHidden |= sim::CursorCount() < 0;
}

// Enough virtual time for the banner, the restart and a screenful of rain, and few
// enough ticks to keep an input well under a second.
constexpr int kTickBudget = 2048;

void Play(Input& in, rain::frmScreenSaver& saver, about::Form1& about, Machine& machine) {
  int ticksLeft = kTickBudget;
  const auto advance = [&](int ticks) {
    ticks = std::min(ticks, ticksLeft);
    ticksLeft -= ticks;
    sim::AdvanceTicks(ticks);
  };
  while (in.at < in.size && !sim::QuitCalled()) {
    const std::uint8_t op = in.Byte();
    const int a = in.Byte(), b = in.Byte();
    const platform::WindowHandle targets[] = {saver.hWnd(), about.hWnd(), saver.Frame2.window(),
                                              machine.host};
    const platform::WindowHandle window = targets[(op >> 4) & 3];
    const int kind = op & 15, x = a * 4, y = b * 4, button = 1 + (op >> 6);
    if (kind <= 1)
      advance((a + 1) * (kind == 0 ? 1 : 8));
    else if (kind == 2)
      sim::Key(window, a, b);
    else if (kind == 3)
      sim::Click(window, x, y);
    else if (kind == 4)
      sim::MouseMove(window, x, y);
    else if (kind == 5)
      sim::MouseDown(window, x, y, button);
    else if (kind == 6)
      sim::MouseUp(window, x, y, button);
    else if (kind == 7 && machine.host != 0)
      sim::DestroyWindow(machine.host);
    else if (kind == 8)
      sim::CloseRequest(window);
    else if (kind == 9)
      sim::KeyPress(window, a);
    else if (kind >= 10)
      sim::Advance(a * 0.25);
    CheckRunning(machine, saver, about);
  }
}

void CheckEnded(const Machine& machine) {
  Require(sim::QuitCalled(), "the process has ended");
  Require(sim::ExitStatus() == 0 || sim::ExitStatus() == forms::App::kWindowFailureStatus,
          "exit status");
  Require(sim::CursorCount() == 0, "cursor count as it was");
  // Full-screen mode takes a setting it could not read as on, and so leaves it on.
  const bool assumedOn = machine.activationUnreadable && machine.cursorWasHidden;
  Require(sim::ScreenSaverActive() == (machine.activation || assumedOn), "activation as it was");
  Require(sim::LiveWindowsOfOurs() == 0, "no window of ours left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  Machine machine = SetUp(in);
  {
    forms::App app;
    about::Form1 about(app);
    rain::frmScreenSaver saver(app, about);
    app.Start(saver);
    CheckRunning(machine, saver, about);
    Play(in, saver, about, machine);
    // Whatever the script left running, the session ends now.
    if (!sim::QuitCalled()) sim::Terminate();
    CheckEnded(machine);
  }
  // The machine goes too, so that every input frees all it took and libFuzzer's leak
  // check only runs when something really leaked.
  sim::detail::state() = {};
  return 0;
}
