// The saver running full screen on a 1024 x 768 sim display, with the call log off.
#pragma once

#include "about/Form1.h"
#include "forms/app.h"
#include "platform/sim/sim.h"
#include "rain/frmScreenSaver.h"

namespace bench {

struct FullScreenSaver {
  FullScreenSaver() { app.Start(saver); }

  // The sim is reset before the forms exist.
  struct Machine {
    Machine() {
      sim::Reset(1024, 768, 96);
      sim::SetCommandLine("/s");
      sim::SetCallLogging(false);
    }
  } machine;
  forms::App app;
  about::Form1 aboutBox{app};
  rain::frmScreenSaver saver{app, aboutBox};
};

}  // namespace bench
