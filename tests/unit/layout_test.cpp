// The rain set-up and what every form paints, pinned as literal values: the sequence,
// the first layout it gives on a 1024 x 768 screen, and the labels as the platform draws them.
#include "forms/rnd.h"
#include "saver_fixture.h"

namespace {

const sim::PaintRecord* RecordOf(platform::WindowHandle window) {
  for (const sim::PaintRecord& record : sim::LastPaint())
    if (record.window == window) return &record;
  return nullptr;
}

TEST(RandomSequence, StartsTheSameOnEveryRun) {
  forms::RandomSequence sequence;
  EXPECT_EQ(sequence.Next(), 11837123 / 16777216.0f);
  EXPECT_EQ(sequence.Next(), 8949370 / 16777216.0f);
  EXPECT_EQ(sequence.Next(), 9722709 / 16777216.0f);
  EXPECT_EQ(sequence.Next(), 4858052 / 16777216.0f);
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

}  // namespace
