// Preview mode: the form becomes a child of the host's window and fills it; only a key
// or a completed click ends it.
#include "saver_fixture.h"

namespace {

class Preview : public SaverTest {
 protected:
  void SetUp() override { Start("/P HOST"); }
};

TEST_F(Preview, TheFormBecomesAChildFillingThePreviewWithoutTheActivationAndRainsInIt) {
  const sim::Window& window = RainWindow();
  EXPECT_EQ(window.parent, host);
  EXPECT_EQ(window.owner, host);
  EXPECT_EQ(window.rect, (platform::PixelRect{0, 0, 152, 112}));
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.style, 0x02000000 | user32::WS_CHILD) << "the popup bit goes, as on Windows";
  EXPECT_EQ(sim::ActiveWindow(), host);
  // The rain falls into the small window and the restart fits it back.
  PassIntro();
  EXPECT_FALSE(saver->Frame2.Visible());
  EXPECT_EQ(RainWindow().parent, host);
  EXPECT_EQ(RainWindow().rect, (platform::PixelRect{0, 0, 152, 112}));
  // Heads below the preview's height wrap to its top on the next tick.
  L1(3).SetTop(5000);
  sim::ClearPaint();
  sim::AdvanceTicks(1);
  EXPECT_EQ(L1(3).Top(), 0);
  EXPECT_LT(L1(3).Left(), 152 * 15);
  for (const sim::PaintRecord& record : sim::LastPaint())
    for (const platform::PixelRect& area : record.areas) {
      EXPECT_EQ(record.window, Rain());
      EXPECT_LE(area.right, 152);
      EXPECT_LE(area.bottom, 112);
    }
}

TEST_F(Preview, OnlyAKeyDownOrACompletedClickEnds) {
  PassIntro();
  L1(1).SetLeft(60 * 15);
  L1(1).SetTop(60 * 15);
  const int x = 10, y = 10;
  Bare(x, y);
  sim::KeyPress(Rain(), 'a');
  sim::MouseMove(Rain(), x, y);
  sim::MouseMove(Rain(), x + 1, y);
  sim::MouseDown(Rain(), x, y);
  sim::MouseUp(Rain(), 62, 62);  // released over a label: no click
  EXPECT_FALSE(Ended());
  sim::MouseDown(Rain(), x, y);
  sim::MouseUp(Rain(), x, y);
  EXPECT_TRUE(Ended());
  // A key ends it too, and the unload leaves the cursor and the user's activation alone.
  Start("/P HOST", false);
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(sim::ScreenSaverActive());
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
}

}  // namespace
