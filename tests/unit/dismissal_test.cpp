// Ending the saver: which input dismisses in which mode, and what the unload restores.
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
  Start("/s");
  sim::KeyPress(Rain(), 'q');
  EXPECT_TRUE(Ended());
  Start("/s");
  sim::Terminate();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::CursorCount(), 0);
}

TEST_F(FullScreen, TheMouseEndsItOverTheBareFormOnly) {
  // The banner frame and the labels keep the mouse to themselves.
  sim::MouseMove(Rain(), 10, 10);
  sim::MouseMove(Rain(), 500, 300);
  sim::Click(Rain(), 500, 300);
  PassIntro();
  int x = static_cast<int>(L2(5).Left() / 15) + 2, y = static_cast<int>(L2(5).Top() / 15) + 2;
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x + 1, y + 1);
  sim::Click(Rain(), x + 1, y + 1);
  EXPECT_FALSE(Ended());
  // Over the bare form the first move records where another one ends it...
  BarePoint(x, y);
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x, y);  // reported again at the same place
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), x + 1, y);
  EXPECT_TRUE(Ended());
  // ...and a button ends it before it is released.
  Start("/s");
  PassIntro();
  BarePoint(x, y);
  sim::MouseDown(Rain(), x, y, 2);
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

// The unload shows the cursor as often as it was hidden and gives the activation back as
// it found it, or on if it could not read it; nothing reaches the form after it.
TEST_F(SaverTest, UnloadShowsTheCursorAndRestoresTheActivation) {
  for (auto [before, unreadable] : {std::pair{true, false}, {false, false}, {false, true}}) {
    SCOPED_TRACE(testing::Message() << before << unreadable);
    TearDown();
    sim::Reset();
    sim::SetScreenSaverActive(before);
    sim::FailScreenSaverRead(unreadable);
    sim::SetCommandLine("/s");
    Create();
    PassIntro();  // the restart must not take "off" for the user's setting
    sim::KeyDown(Rain(), 'A');
    EXPECT_TRUE(Ended());
    EXPECT_EQ(sim::CursorCount(), 0);
    EXPECT_EQ(sim::ScreenSaverActive(), before || unreadable);
    sim::ClearCalls();
    sim::KeyDown(Rain(), 'B');
    sim::AdvanceTicks(500);
    EXPECT_TRUE(sim::Calls().empty());
  }
}

}  // namespace
