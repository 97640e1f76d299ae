#include <gtest/gtest.h>

#include "about/Form1.h"
#include "forms/app.h"
#include "platform/sim/sim.h"
#include "rain/frmScreenSaver.h"

TEST(Smoke, Starts) {
  sim::Reset();
  sim::SetCommandLine("/s");
  forms::App app;
  about::Form1 about(app);
  rain::frmScreenSaver saver(app, about);
  app.Start(saver);
  sim::Advance(4000);
  EXPECT_EQ(saver.BannerTicks, 30);
}
