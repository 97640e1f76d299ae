// The rain: its first layout on a 1024 x 768 screen and what it paints, pinned as literal
// values; heads falling at their column's speed and wrapping at the bottom, trails lined up
// behind them, the banner intro ending in one restart, and a tick repainting only what moved.
#include "saver_fixture.h"

namespace {

const sim::PaintRecord* RecordOf(platform::WindowHandle window) {
  for (const sim::PaintRecord& record : sim::LastPaint())
    if (record.window == window) return &record;
  return nullptr;
}

TEST_F(SaverTest, TheFirstLayoutOnA1024By768Screen) {
  Start("/s");
  EXPECT_EQ(RainWindow().rect, (platform::PixelRect{0, 0, 1024, 768}));
  EXPECT_EQ(sim::Find(saver->Frame2.window())->rect, (platform::PixelRect{0, 0, 1024, 768}));
  // Label1 draws Top before Left, Label2 Left before Top.
  EXPECT_EQ(L1(0).Top(), 8127.9072265625f);
  EXPECT_EQ(L1(0).Left(), 8193.392578125f);
  EXPECT_EQ(L2(83).Top(), 10118.990234375f);
  for (int i = 0; i <= 83; ++i)
    for (forms::Label* label : {&L1(i), &L2(i)}) {
      EXPECT_GE(label->Top(), 0);
      EXPECT_LT(label->Top(), 11520);
      EXPECT_GE(label->Left(), 0);
      EXPECT_LT(label->Left(), 15360);
    }

  // Every start repeats it; the restart's set-up draws on to a new one.
  Start("/s");
  EXPECT_EQ(L1(0).Left(), 8193.392578125f);
  saver->Form_Load();
  EXPECT_NE(L1(0).Left(), 8193.392578125f);
}

TEST_F(SaverTest, TheBannerAndTheRainAsPainted) {
  Start("/s");
  sim::Paint();
  const sim::PaintRecord* banner = RecordOf(saver->Frame2.window());
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->background, 0u);
  ASSERT_EQ(banner->items.size(), 1u);
  const sim::PaintedItem* text = &banner->items[0];
  EXPECT_EQ(text->text, "ORVOK Computer Centers");
  EXPECT_EQ(text->rect, (platform::PixelRect{316, 352, 709, 417}));
  EXPECT_EQ(text->look, "Arial 21.75 bold, transparent");
  EXPECT_EQ(text->foreColour, 0x00FF00u);

  PassIntro();
  sim::AdvanceTicks(1);  // the trails refilled
  saver->InvalidateAll();
  Repaint();
  const sim::PaintRecord* rain = RecordOf(Rain());
  ASSERT_NE(rain, nullptr);
  // Heads bright, each trail depth a dimmer green; all Arial 12 bold, transparent, 17 px.
  int perColour[4] = {};
  const platform::Colour greens[] = {0x00FF00, 0x00C000, 0x008000, 0x004000};
  for (const sim::PaintedItem& item : rain->items) {
    EXPECT_EQ(item.look, "Arial 12 bold, transparent");
    EXPECT_EQ(item.rect.Height(), 17);
    for (int d = 0; d < 4; ++d) perColour[d] += item.foreColour == greens[d];
  }
  // Head 0 and its trail carry no letter; a trail above the top edge is not drawn.
  EXPECT_EQ(perColour[0], 40);
  for (int d = 1; d < 4; ++d) EXPECT_GE(perColour[d], 36) << d;
  EXPECT_EQ(static_cast<int>(rain->items.size()),
            perColour[0] + perColour[1] + perColour[2] + perColour[3]);
}

class Rain : public SaverTest {
 protected:
  void SetUp() override { Start("/s"); }
  void RaiseHeads(float top) {
    for (int c = 0; c <= 20; ++c) {
      L1(c).SetTop(top);
      L2(c).SetTop(top);
    }
  }
};

TEST_F(Rain, ColumnsFallAtTheirOwnSpeedAndTrailsFollowTheirHead) {
  RaiseHeads(3000);
  for (int tick = 0; tick < 3; ++tick) saver->Timer1_Timer();
  for (int c = 0; c <= 20; ++c) {
    EXPECT_EQ(L1(c).Top(), 3000 + 3 * 12.75f * (c + 1)) << c;
    EXPECT_EQ(L2(c).Top(), L1(c).Top()) << c;
    for (int depth = 1; depth <= 3; ++depth)
      for (forms::LabelArray* labels : {&saver->Label1, &saver->Label2}) {
        const forms::Label& head = (*labels)(c);
        const forms::Label& trail = (*labels)(c + 21 * depth);
        EXPECT_EQ(trail.Top(), head.Top() - 220.0f * depth);
        EXPECT_EQ(trail.Left(), head.Left());
        EXPECT_EQ(trail.Caption(), head.Caption());
        EXPECT_EQ(trail.Width(), head.Width());
      }
  }
}

TEST_F(Rain, AHeadWrapsToANewColumnAtTheTopOnlyOnceBelowTheBottom) {
  RaiseHeads(100);
  const float H = saver->Height();
  L1(0).SetTop(H - 12.75f);  // lands exactly on the bottom edge: stays this tick
  L2(10).SetTop(H);
  L1(7).SetCaption("?");
  L2(7).SetCaption("?");
  const float left0 = L1(0).Left();
  saver->Timer1_Timer();
  EXPECT_EQ(L1(0).Top(), H);
  EXPECT_EQ(L1(0).Left(), left0);
  // The 337th value of the sequence, 0.6104328..., of the 15360-twip width.
  EXPECT_EQ(L2(10).Top(), 0);
  EXPECT_EQ(L2(10).Left(), 9376);
  for (int depth = 1; depth <= 3; ++depth) EXPECT_EQ(L2(10 + 21 * depth).Top(), -220.0f * depth);
  // A wrap reletters the heads of its own array only.
  EXPECT_EQ(L2(7).Caption(), "R");
  EXPECT_EQ(L1(7).Caption(), "?");
  saver->Timer1_Timer();
  EXPECT_EQ(L1(0).Top(), 0);
  EXPECT_EQ(L1(7).Caption(), "R");
  EXPECT_EQ(L1(0).Caption(), "X") << "head 0 gets no letter";
}

TEST_F(Rain, TheBannerReadsTheCompanyFromItsSecondTickAndTheThirtiethRestarts) {
  sim::AdvanceTicks(kTimer4Period);
  EXPECT_EQ(saver->Label5.Caption(), "ORVOK Computer Centers");
  sim::AdvanceTicks(kTimer4Period);
  EXPECT_EQ(saver->Label5.Caption(), "Your Company Name");
  sim::AdvanceTicks(kIntroTicks - 2 * kTimer4Period - 1);
  EXPECT_TRUE(sim::Find(saver->Frame2.window())->visible);
  sim::ClearPaint();
  sim::AdvanceTicks(1);  // Timer1, then Timer4's 30th tick: the restart
  EXPECT_FALSE(sim::Find(saver->Frame2.window())->visible);
  // The form beneath the banner is repainted whole, the trails emptied.
  EXPECT_EQ(sim::LastPaint().back().areas.front(), (platform::PixelRect{0, 0, 1024, 768}));
  for (int i = 21; i <= 83; ++i) EXPECT_EQ(L1(i).Caption(), "") << i;
  // The same mode set up again: the cursor hidden once more, the window in place.
  EXPECT_EQ(sim::CursorCount(), -2);
  EXPECT_TRUE(RainWindow().visible);
  sim::AdvanceTicks(1);
  EXPECT_EQ(L1(21).Caption(), "") << "head 0's column stays empty";
  EXPECT_NE(L1(22).Caption(), "") << "the trails fill again";
  sim::AdvanceTicks(40 * kTimer4Period);
  EXPECT_EQ(sim::CursorCount(), -2) << "no second restart";
}

TEST_F(Rain, ATickRepaintsTheOldAndNewPlacesOfWhatMovedAndNothingElse) {
  PassIntro();
  sim::AdvanceTicks(1);
  for (int i = 0; i <= 83; ++i) {
    L1(i).SetVisible(i % 21 == 5);
    L2(i).SetVisible(forms::False);
  }
  L1(5).SetTop(3000);
  L1(5).SetLeft(1500);  // (100, 200) in pixels
  Repaint();
  sim::ClearPaint();
  L1(5).SetTop(3000 + 15 * 4);  // four pixels down
  Repaint();
  ASSERT_EQ(sim::LastPaint().size(), 1u);
  long long area = 0;
  for (const platform::PixelRect& rect : sim::LastPaint()[0].areas) {
    EXPECT_GE(rect.left, 100);
    EXPECT_LE(rect.right, 100 + 17);
    EXPECT_GE(rect.top, 200);
    EXPECT_LE(rect.bottom, 200 + 4 + 17);
    area += static_cast<long long>(rect.Width()) * rect.Height();
  }
  EXPECT_GE(area, 17 * 21);
  // A step within one pixel, or a property set to its own value, repaints nothing.
  const std::int64_t passes = sim::PaintPasses();
  L1(5).SetTop(3000 + 15 * 4 + 1);
  L2(9).SetCaption(L2(9).Caption());
  Repaint();
  EXPECT_EQ(sim::PaintPasses(), passes);
}

}  // namespace
