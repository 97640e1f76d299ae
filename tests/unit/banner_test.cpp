// The banner intro: 30 ticks of Timer4 behind which the rain already falls, the
// banner's captions, the single restart, and the keep-on-top timers.
#include <gtest/gtest.h>

#include "saver_fixture.h"

namespace {

const char* const kDesignCaption = "ORVOK Computer Centers";
const char* const kCompany = "Your Company Name";

class Banner : public SaverTest {
 protected:
  void Timer4Tick() { sim::AdvanceTicks(kTimer4Period); }
};

TEST_F(Banner, CaptionsTickByTickThenOneRestart) {
  Start("/s");
  ASSERT_EQ(saver->BannerStep, 0);
  for (int tick = 1; tick <= 29; ++tick) {
    Timer4Tick();
    EXPECT_EQ(saver->Label5.Caption(), tick == 1 ? kDesignCaption : kCompany) << tick;
    EXPECT_EQ(saver->BannerStep, (tick - 1) % 5 + 1) << tick;  // 6 wraps to 1
    EXPECT_EQ(saver->BannerTicks, tick);
    EXPECT_TRUE(saver->Frame2.Visible());
  }
  Timer4Tick();
  EXPECT_EQ(saver->BannerTicks, 30);
  EXPECT_EQ(saver->BannerStep, 5);
  EXPECT_FALSE(saver->Frame2.Visible());
  EXPECT_EQ(saver->Label5.Caption(), kCompany);

  // Afterwards Timer4 keeps firing and changes nothing but the window's place on top.
  sim::ClearCalls();
  for (int tick = 0; tick < 20; ++tick) Timer4Tick();
  EXPECT_EQ(saver->BannerTicks, 30);
  EXPECT_EQ(saver->BannerStep, 5);
  EXPECT_FALSE(saver->Frame2.Visible());
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 0) << "no second restart";
}

TEST_F(Banner, RestartEmptiesTheRainAndLetsTheNextStepRefillTheTrails) {
  Start("/s");
  sim::AdvanceTicks(kIntroTicks - 1);
  L1(84).SetCaption("spare");
  sim::AdvanceTicks(1);  // Timer1 then Timer4: the restart runs last in this instant
  ASSERT_FALSE(saver->Frame2.Visible());
  for (int i = 21; i <= 83; ++i) {
    EXPECT_EQ(L1(i).Caption(), "") << i;
    EXPECT_EQ(L2(i).Caption(), "") << i;
  }
  EXPECT_EQ(L1(0).Caption(), "");
  EXPECT_EQ(L1(1).Caption(), "O");
  EXPECT_EQ(L2(20).Caption(), "K");
  EXPECT_EQ(L1(84).Caption(), "spare");

  sim::AdvanceTicks(1);
  EXPECT_EQ(L1(22).Caption(), "O");
  EXPECT_EQ(L2(65).Caption(), "R");
  EXPECT_EQ(L1(21).Caption(), "") << "head 0's column stays empty";
  EXPECT_EQ(L2(42).Caption(), "");
}

TEST_F(Banner, TheRestartSetsTheSameModeUpAgain) {
  Start("/s");
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 1);
  PassIntro();
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 2);
  EXPECT_EQ(sim::CursorCount(), -2);
  EXPECT_TRUE(RainWindow().visible);
}

TEST_F(Banner, CountsAndRestartsInTheAboutBoxModeToo) {
  Start("/c");
  ASSERT_TRUE(aboutBox->Loaded());
  PassIntro();
  EXPECT_EQ(saver->BannerTicks, 30);
  EXPECT_FALSE(saver->Frame2.Visible());
  // The dispatch ran again: the rain form is hidden and the about box still open.
  EXPECT_FALSE(RainWindow().visible);
  EXPECT_TRUE(aboutBox->Loaded());
  EXPECT_TRUE(sim::Find(aboutBox->hWnd())->visible);
  EXPECT_EQ(sim::VisibleTopLevelWindows(), 1);
}

TEST_F(Banner, CountsAndRestartsInPreviewModeToo) {
  sim::Reset();
  const platform::WindowHandle host = sim::CreateHostWindow(152, 112);
  sim::SetCommandLine("/P " + std::to_string(host));
  Create();
  PassIntro();
  EXPECT_EQ(saver->BannerTicks, 30);
  EXPECT_FALSE(saver->Frame2.Visible());
  // Fitted back into the preview after the restart's full-screen layout.
  EXPECT_EQ(RainWindow().parent, host);
  EXPECT_EQ(RainWindow().rect, (platform::PixelRect{0, 0, 152, 112}));
  EXPECT_EQ(saver->Height(), 112 * 15);
}

TEST_F(Banner, EveryTickOfEveryTimerBeginsWithTheKeepOnTopStep) {
  Start("/s");
  sim::ClearCalls();
  // 14 resolution ticks: Timer1 14 times, Timer3 7 times, Timer4 twice.
  sim::AdvanceTicks(14);
  int keepOnTop = 0;
  for (const sim::Call& call : sim::Calls()) keepOnTop += IsKeepOnTop(call);
  EXPECT_EQ(keepOnTop, 14 + 7 + 2);
  EXPECT_EQ(static_cast<int>(sim::Calls().size()), keepOnTop) << "and nothing else";
  EXPECT_TRUE(RainWindow().topmost);
}

TEST_F(Banner, TimersTickAtTheResolutionInCreationOrder) {
  Start("/s");
  // Periods: Timer1 1 ms -> 15.625 ms, Timer3 20 ms -> 31.25 ms, Timer4 100 ms -> 109.375 ms.
  sim::Advance(1000);
  EXPECT_EQ(saver->BannerTicks, 9);  // 9 x 109.375 = 984.4 ms
  sim::ClearCalls();
  sim::Advance(15.625);
  EXPECT_EQ(CountCalls(sim::Fn::SetWindowPos), 1);  // 1015.625 ms: only Timer1
  sim::ClearCalls();
  sim::Advance(15.625);
  EXPECT_EQ(CountCalls(sim::Fn::SetWindowPos), 2);  // 1031.25 ms: Timer3 and Timer1
}

}  // namespace
