// Ending the saver: which input dismisses in which mode, and what the unload restores.
#include <gtest/gtest.h>

#include "saver_fixture.h"

namespace {

constexpr int VK_SHIFT = 0x10;

class FullScreen : public SaverTest {
 protected:
  void SetUp() override { Start("/s"); }
};

TEST_F(FullScreen, CoversTheDesktopTopmostAndActiveUntilAnyKeyEvenAModifier) {
  EXPECT_TRUE(RainWindow().visible);
  EXPECT_TRUE(RainWindow().topmost);
  EXPECT_EQ(sim::ActiveWindow(), Rain());
  sim::KeyDown(Rain(), VK_SHIFT);  // during the banner
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), 0);
  EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
  TearDown();
  Start("/s");
  sim::KeyPress(Rain(), 'q');
  EXPECT_TRUE(Ended());
  TearDown();
  Start("/s");
  sim::Terminate();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::CursorCount(), 0);
}

TEST_F(FullScreen, TheBannerFrameAndTheLabelsSwallowTheMouse) {
  sim::MouseMove(Rain(), 10, 10);
  sim::MouseMove(Rain(), 500, 300);
  sim::Click(Rain(), 500, 300);
  EXPECT_FALSE(Ended());
  PassIntro();
  const int x = static_cast<int>(L2(5).Left() / 15) + 2, y = static_cast<int>(L2(5).Top() / 15) + 2;
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x + 1, y + 1);
  sim::Click(Rain(), x + 1, y + 1);
  EXPECT_FALSE(Ended());
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
  sim::MouseMove(Rain(), x, y);  // reported again at the same place
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), x + 1, y);
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, AFirstMoveAtTheOriginIsNotRecorded) {
  PassIntro();
  for (int i = 0; i <= 83; ++i)  // keep the corner bare so the moves reach the form
    for (forms::Label* label : {&L1(i), &L2(i)})
      if (label->Contains(0, 0) || label->Contains(15, 15)) label->SetVisible(forms::False);
  sim::MouseMove(Rain(), 0, 0);
  sim::MouseMove(Rain(), 1, 1);  // recorded now
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), 0, 0);
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, UnloadShowsTheCursorAndRestoresTheActivation) {
  PassIntro();
  sim::KeyDown(Rain(), 'A');
  EXPECT_EQ(sim::CursorCount(), 0) << "shown as often as it was hidden";
  EXPECT_TRUE(sim::ScreenSaverActive());
  // Nothing reaches the form after its unload.
  sim::ClearCalls();
  sim::KeyDown(Rain(), 'B');
  sim::AdvanceTicks(500);
  EXPECT_TRUE(sim::Calls().empty());
}

// The unload gives the activation back as it found it, and on if it could not read it.
TEST_F(SaverTest, AnActivationThatWasOffStaysOffAndOneThatCannotBeReadIsSwitchedOn) {
  for (bool unreadable : {false, true}) {
    TearDown();
    sim::Reset();
    sim::SetScreenSaverActive(false);
    sim::FailScreenSaverRead(unreadable);
    sim::SetCommandLine("/s");
    Create();
    PassIntro();  // the restart must not take "off" for the user's setting
    sim::KeyDown(Rain(), 'A');
    EXPECT_TRUE(Ended());
    EXPECT_EQ(sim::ScreenSaverActive(), unreadable) << unreadable;
  }
}

}  // namespace
