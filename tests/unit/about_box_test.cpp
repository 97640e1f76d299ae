// The about box: shown for "/C" or no switch, closed by a click on its bare surface or
// a close request, which ends the whole program at once.
#include <gtest/gtest.h>

#include "saver_fixture.h"

namespace {

class AboutBox : public SaverTest {
 protected:
  void SetUp() override { Start("/C"); }
  platform::WindowHandle Box() const { return aboutBox->hWnd(); }
};

TEST_F(AboutBox, ShowsFourLinesInAnUntitledWindowWhileTheRainFormHides) {
  ASSERT_TRUE(aboutBox->Loaded());
  const sim::Window& box = *sim::Find(Box());
  EXPECT_TRUE(box.visible);
  EXPECT_TRUE(box.sizable);
  EXPECT_EQ(box.caption, "");
  EXPECT_EQ(box.clientWidth, 4290 / 15);
  EXPECT_EQ(box.clientHeight, 1755 / 15);
  EXPECT_FALSE(RainWindow().visible);
  EXPECT_TRUE(saver->Loaded());

  EXPECT_EQ(aboutBox->Label3.Caption(), "SUVANI");
  EXPECT_EQ(aboutBox->Label3.ForeColor(), 16711680u);
  EXPECT_EQ(aboutBox->Label3.Font().weight, 700);
  const float tops[] = {600, 840, 1080, 1320};
  const forms::Label* lines[] = {&aboutBox->Label1, &aboutBox->Label2, &aboutBox->Label3,
                                 &aboutBox->Label4};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[i]->Top(), tops[i]);
  EXPECT_TRUE(aboutBox->Label4.Caption().ends_with("/software.html"));
}

TEST_F(AboutBox, IsPaintedWithItsTextsOnTheButtonFace) {
  sim::Paint();  // the first pass paints the new window whole
  bool found = false;
  for (const sim::PaintRecord& record : sim::LastPaint()) {
    if (record.window != Box()) continue;
    found = true;
    EXPECT_EQ(record.background, 0xC0C0C0u);
    ASSERT_EQ(record.items.size(), 4u);
    EXPECT_EQ(record.items[2].text, "SUVANI");
    EXPECT_EQ(record.items[2].foreColour, 0xFF0000u);
    EXPECT_EQ(record.items[0].rect, (platform::PixelRect{120, 40, 177, 57}));
  }
  EXPECT_TRUE(found);
}

TEST_F(AboutBox, AClickOnALabelDoesNothingAndOneBesideThemEndsAll) {
  sim::Click(Box(), 1800 / 15 + 5, 600 / 15 + 5);  // on "Created"
  EXPECT_FALSE(Ended());
  sim::Click(Box(), 10, 10);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), 0);
  EXPECT_FALSE(saver->Loaded());
  EXPECT_FALSE(aboutBox->Loaded());
}

TEST_F(AboutBox, ACloseRequestEndsWithoutTheRainFormsUnload) {
  sim::AdvanceTicks(50);
  sim::CloseRequest(Box());
  EXPECT_TRUE(Ended());
  // The rain form's Form_Unload would have raised the cursor count.
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 0);
  sim::ClearCalls();
  sim::AdvanceTicks(300);
  EXPECT_TRUE(sim::Calls().empty()) << "the rain form's timers stopped";
}

TEST_F(AboutBox, TheRestartShowsItAgainUnchanged) {
  sim::Click(Box(), 1800 / 15 + 5, 600 / 15 + 5);
  const platform::WindowHandle before = Box();
  PassIntro();
  EXPECT_EQ(Box(), before);
  EXPECT_TRUE(sim::Find(Box())->visible);
  EXPECT_FALSE(Ended());
}

TEST_F(SaverTest, NoSwitchAtAllShowsTheAboutBoxToo) {
  Start("");
  EXPECT_TRUE(aboutBox->Loaded());
  EXPECT_FALSE(RainWindow().visible);
  sim::CloseRequest(aboutBox->hWnd());
  EXPECT_TRUE(Ended());
}

}  // namespace
