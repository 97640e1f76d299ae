// Ending the saver: which input dismisses in which mode, and what the unload restores.
#include "saver_fixture.h"

namespace {

class FullScreen : public SaverTest {
 protected:
  void SetUp() override { Start("/s"); }
};

// Any key ends full screen, even a modifier in the banner, and so does the session's end.
// The unload shows the cursor as often as it was hidden and gives the activation back as
// it found it, or on if it could not read it; nothing reaches the form after it.
TEST_F(SaverTest, FullScreenEndsOnAnyKeyAndGivesTheCursorAndTheActivationBack) {
  const struct {
    bool activation, readable, pastIntro;
    void (*end)(platform::WindowHandle);
  } cases[] = {{true, true, true, [](platform::WindowHandle rain) { sim::KeyPress(rain, 'q'); }},
               {false, true, false, [](platform::WindowHandle rain) { sim::KeyDown(rain, 0x10); }},
               {false, false, true, [](platform::WindowHandle) { sim::Terminate(); }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Start("/s", c.activation, c.readable);
    EXPECT_TRUE(RainWindow().visible && RainWindow().topmost);
    EXPECT_EQ(sim::ActiveWindow(), Rain());
    if (c.pastIntro) PassIntro();  // the restart must not take "off" for the user's setting
    c.end(Rain());
    EXPECT_TRUE(Ended());
    EXPECT_EQ(sim::ExitStatus(), 0);
    EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
    EXPECT_EQ(sim::CursorCount(), 0);
    EXPECT_EQ(sim::ScreenSaverActive(), c.activation || !c.readable);
    sim::ClearCalls();
    sim::KeyDown(Rain(), 'B');
    sim::AdvanceTicks(500);
    EXPECT_TRUE(sim::Calls().empty());
  }
}

TEST_F(FullScreen, TheMouseEndsItOverTheBareFormOnly) {
  // The banner frame and the labels keep the mouse to themselves.
  sim::MouseMove(Rain(), 10, 10);
  sim::MouseMove(Rain(), 500, 300);
  sim::Click(Rain(), 500, 300);
  PassIntro();
  const int x = static_cast<int>(L2(5).Left() / 15) + 2, y = static_cast<int>(L2(5).Top() / 15) + 2;
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x + 1, y + 1);
  sim::Click(Rain(), x + 1, y + 1);
  EXPECT_FALSE(Ended());
  // Over the bare form the first move records where another one ends it...
  Bare(200, 150);
  sim::MouseMove(Rain(), 200, 150);
  sim::MouseMove(Rain(), 200, 150);  // reported again at the same place
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), 201, 150);
  EXPECT_TRUE(Ended());
  // ...and a button ends it before it is released.
  Start("/s");
  PassIntro();
  Bare(200, 150);
  sim::MouseDown(Rain(), 200, 150, 2);
  EXPECT_TRUE(Ended());
}

TEST_F(FullScreen, AFirstMoveAtTheOriginIsNotRecorded) {
  PassIntro();
  Bare(0, 0);
  sim::MouseMove(Rain(), 0, 0);
  sim::MouseMove(Rain(), 1, 1);  // recorded now
  EXPECT_FALSE(Ended());
  sim::MouseMove(Rain(), 0, 0);
  EXPECT_TRUE(Ended());
}

}  // namespace
