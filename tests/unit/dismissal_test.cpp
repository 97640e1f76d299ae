// Ending the saver: which input dismisses in which mode, and what the unload restores.
#include <gtest/gtest.h>

#include "saver_fixture.h"

namespace {

constexpr int VK_SHIFT = 0x10;

class FullScreen : public SaverTest {
 protected:
  void SetUp() override { Start("/s"); }
};

TEST_F(FullScreen, AnyKeyEndsAtOnceEvenDuringTheBanner) {
  sim::KeyDown(Rain(), VK_SHIFT);  // a modifier alone
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), 0);
  EXPECT_FALSE(saver->Loaded());
  EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
}

TEST_F(FullScreen, AKeyPressAloneEndsToo) {
  sim::KeyPress(Rain(), 'q');
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, TheBannerFrameSwallowsTheMouse) {
  sim::MouseMove(Rain(), 10, 10);
  sim::MouseMove(Rain(), 500, 300);
  sim::MouseDown(Rain(), 500, 300);
  sim::MouseUp(Rain(), 500, 300);
  EXPECT_FALSE(Ended());
  EXPECT_EQ(saver->MouseStartX, 0);
}

TEST_F(FullScreen, AButtonOverTheBackgroundEndsBeforeItIsReleased) {
  PassIntro();
  int x, y;
  BarePoint(x, y);
  sim::MouseDown(Rain(), x, y, 2);
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, TheFirstMoveRecordsAndAnyOtherPositionEnds) {
  PassIntro();
  int x, y;
  BarePoint(x, y);
  sim::MouseMove(Rain(), x, y);
  EXPECT_FALSE(Ended());
  EXPECT_EQ(saver->MouseStartX, x * 15.0f);
  EXPECT_EQ(saver->MouseStartY, y * 15.0f);
  sim::MouseMove(Rain(), x, y);  // reported again at the same place
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), x + 1, y);
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, AFirstMoveAtTheOriginIsNotRecorded) {
  PassIntro();
  // Keep the corner bare so the moves reach the form.
  for (int i = 0; i <= 83; ++i) {
    if (L1(i).Contains(0, 0) || L1(i).Contains(15, 15)) L1(i).SetVisible(forms::False);
    if (L2(i).Contains(0, 0) || L2(i).Contains(15, 15)) L2(i).SetVisible(forms::False);
  }
  sim::MouseMove(Rain(), 0, 0);
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), 1, 1);  // recorded now
  EXPECT_FALSE(Ended());
  EXPECT_EQ(saver->MouseStartX, 15);
  sim::MouseMove(Rain(), 0, 0);
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, MouseOverARainLabelDoesNothing) {
  PassIntro();
  const forms::Label& label = L2(5);
  const int x = static_cast<int>(label.Left() / 15) + 2, y = static_cast<int>(label.Top() / 15) + 2;
  ASSERT_GE(y, 0);
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x + 1, y + 1);
  sim::MouseDown(Rain(), x + 1, y + 1);
  sim::MouseUp(Rain(), x + 1, y + 1);
  EXPECT_FALSE(Ended());
}

TEST_F(FullScreen, UnloadShowsTheCursorAndRestoresTheActivation) {
  PassIntro();
  EXPECT_EQ(sim::CursorCount(), -2);  // hidden once per set-up
  EXPECT_FALSE(sim::ScreenSaverActive());
  sim::KeyDown(Rain(), 'A');
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_TRUE(sim::ScreenSaverActive());
}

TEST_F(SaverTest, AnActivationThatWasOffStaysOff) {
  sim::Reset();
  sim::SetScreenSaverActive(false);
  sim::SetCommandLine("/s");
  Create();
  PassIntro();  // the restart must not take "off" for the user's setting
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(sim::ScreenSaverActive());
}

TEST_F(SaverTest, FullScreenCoversTheDesktopTopmostAndActive) {
  Start("/s");
  EXPECT_EQ(RainWindow().rect, (platform::PixelRect{0, 0, 1024, 768}));
  EXPECT_TRUE(RainWindow().visible);
  EXPECT_TRUE(RainWindow().topmost);
  EXPECT_EQ(sim::ActiveWindow(), Rain());
  EXPECT_EQ(saver->PreviewMode, forms::False);
  EXPECT_EQ(saver->TargetRect.right, 1024);
  EXPECT_EQ(saver->TargetRect.bottom, 768);
}

class Preview : public SaverTest {
 protected:
  void SetUp() override {
    sim::Reset();
    host = sim::CreateHostWindow(152, 112);
    sim::SetCommandLine("/p " + std::to_string(host));
    Create();
    PassIntro();
  }
  platform::WindowHandle host = 0;
};

TEST_F(Preview, OnlyAKeyDownOrACompletedClickEnds) {
  int x, y;
  BarePoint(x, y);
  ASSERT_LT(x, 152);
  ASSERT_LT(y, 112);
  sim::KeyPress(Rain(), 'a');
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x + 1, y);
  sim::MouseDown(Rain(), x, y);
  EXPECT_FALSE(Ended());
  sim::MouseUp(Rain(), x, y);
  EXPECT_TRUE(Ended());
}

TEST_F(Preview, APressReleasedElsewhereIsNoClick) {
  L1(1).SetLeft(60 * 15);
  L1(1).SetTop(60 * 15);
  int x, y;
  BarePoint(x, y);
  sim::MouseDown(Rain(), x, y);
  sim::MouseUp(Rain(), 62, 62);  // over the label
  EXPECT_FALSE(Ended());
  sim::MouseDown(Rain(), 62, 62);
  sim::MouseUp(Rain(), x, y);
  EXPECT_FALSE(Ended());
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
}

TEST_F(Preview, UnloadLeavesTheActivationAlone) {
  sim::SetScreenSaverActive(false);
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(sim::ScreenSaverActive());
  EXPECT_EQ(sim::CursorCount(), 0);  // never hidden, so not shown either
  EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
}

TEST_F(SaverTest, NoModeEndsOnAKeyWithTheActivationUntouched) {
  Start("/x");
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(sim::ScreenSaverActive());
  EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
}

TEST_F(SaverTest, TerminationUnloadsLikeAKey) {
  Start("/s");
  sim::Terminate();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_TRUE(sim::ScreenSaverActive());
}

TEST_F(SaverTest, NothingReachesTheFormAfterItsUnload) {
  Start("/s");
  const platform::WindowHandle window = Rain();
  sim::KeyDown(window, 'A');
  ASSERT_TRUE(Ended());
  sim::ClearCalls();
  sim::KeyDown(window, 'B');
  sim::AdvanceTicks(500);
  EXPECT_TRUE(sim::Calls().empty());
  EXPECT_EQ(sim::CursorCount(), 0);
}

}  // namespace
