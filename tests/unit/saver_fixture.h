// A saver started on the simulated platform with a given command line.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "about/Form1.h"
#include "forms/app.h"
#include "platform/sim/sim.h"
#include "rain/frmScreenSaver.h"

class SaverTest : public ::testing::Test {
 protected:
  // Periods of the timers at the 1/64 s resolution, in resolution ticks.
  static constexpr int kTimer4Period = 7;
  static constexpr int kIntroTicks = 30 * kTimer4Period;

  // Ends the saver of an earlier Start, if any, and starts anew on a fresh machine.
  // "HOST" in the command line names a host's 152 x 112 preview window made for it, "GONE"
  // one the host has destroyed; refusedWindow as sim::RefuseWindowCreation takes it.
  void Start(std::string commandLine, bool activation = true, bool readable = true,
             int refusedWindow = -1) {
    TearDown();
    sim::Reset();
    host = 0;
    sim::SetScreenSaverActive(activation);
    sim::FailScreenSaverRead(!readable);
    sim::RefuseWindowCreation(refusedWindow);
    for (auto [name, live] : {std::pair{"HOST", true}, {"GONE", false}})
      if (const auto at = commandLine.find(name); at != std::string::npos) {
        const platform::WindowHandle window = sim::CreateHostWindow(152, 112);
        if (live) host = window;
        if (!live) sim::DestroyWindow(window);
        commandLine.replace(at, 4, std::to_string(window));
      }
    sim::SetCommandLine(commandLine);
    app = std::make_unique<forms::App>();
    aboutBox = std::make_unique<about::Form1>(*app);
    saver = std::make_unique<rain::frmScreenSaver>(*app, *aboutBox);
    app->Start(*saver);
  }
  void TearDown() override {
    saver.reset();
    aboutBox.reset();
    app.reset();
  }

  forms::Label& L1(int i) const { return saver->Label1(i); }
  forms::Label& L2(int i) const { return saver->Label2(i); }
  platform::WindowHandle Rain() const { return saver->hWnd(); }
  const sim::Window& RainWindow() const { return *sim::Find(saver->hWnd()); }
  bool Ended() const { return sim::QuitCalled(); }

  // Past the banner: the restart has run and the rain is in view.
  void PassIntro() { sim::AdvanceTicks(kIntroTicks); }

  // Hides the labels over pixels (x, y) to (x + 1, y + 1) of the rain form, so that the
  // mouse reaches the form there.
  void Bare(int x, int y) {
    const float tpp = app->TwipsPerPixel();
    for (int i = 0; i <= 83; ++i)
      for (forms::Label* label : {&L1(i), &L2(i)})
        for (int d = 0; d <= 1; ++d)
          if (label->Contains((x + d) * tpp, (y + d) * tpp)) label->SetVisible(forms::False);
  }
  // Hands the damage to the platform and paints it, as after an event.
  void Repaint() {
    app->FlushDamage();
    sim::Paint();
  }

  int CountCalls(sim::Fn fn) const {
    return static_cast<int>(std::ranges::count(sim::Calls(), fn, &sim::Call::fn));
  }

  std::unique_ptr<forms::App> app;
  std::unique_ptr<about::Form1> aboutBox;
  std::unique_ptr<rain::frmScreenSaver> saver;
  platform::WindowHandle host = 0;
};
