// Repainting: a rain step repaints the old and new places of the labels that moved,
// nothing else, and a paint pass is told every label that touches those places.
#include <gtest/gtest.h>

#include <vector>

#include "saver_fixture.h"

namespace {

using platform::PixelRect;

struct Placed {
  const forms::Label* label;
  PixelRect rect;  // empty when the label draws nothing
};

class Damage : public SaverTest {
 protected:
  void SetUp() override {
    Start("/s");
    PassIntro();
    sim::AdvanceTicks(1);  // Timer3 is due with the next odd tick; keep to Timer1 alone
  }
  std::vector<Placed> Snapshot() const {
    std::vector<Placed> placed;
    for (int i = 0; i <= 85; ++i) placed.push_back(Place(saver->Label1(i)));
    for (int i = 0; i <= 83; ++i) placed.push_back(Place(saver->Label2(i)));
    return placed;
  }
  Placed Place(const forms::Label& label) const {
    if (!label.Draws()) return {&label, {}};
    return {&label, saver->ToPixels(label.Left(), label.Top(), label.Width(), label.Height())};
  }
  static bool Inside(const PixelRect& inner, const PixelRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }
  static PixelRect Clip(const PixelRect& r) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, 1024),
            std::min(r.bottom, 768)};
  }
  static long long Area(const PixelRect& r) {
    return r.Empty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
  }
};

TEST_F(Damage, ATickRepaintsOnlyWhereLabelsMoved) {
  const std::vector<Placed> before = Snapshot();
  sim::ClearPaint();
  sim::AdvanceTicks(1);
  const std::vector<Placed> after = Snapshot();

  ASSERT_EQ(sim::LastPaint().size(), 1u);
  const sim::PaintRecord& paint = sim::LastPaint()[0];
  EXPECT_EQ(paint.window, Rain());
  EXPECT_EQ(paint.background, 0u);

  // Every repainted pixel lies in the old or new place of a label that changed.
  std::vector<PixelRect> changed;
  for (std::size_t i = 0; i < before.size(); ++i)
    if (before[i].rect != after[i].rect)
      changed.insert(changed.end(), {before[i].rect, after[i].rect});
  long long repainted = 0;
  for (const PixelRect& area : paint.areas) {
    repainted += Area(area);
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        const PixelRect pixel{x, y, x + 1, y + 1};
        bool explained = false;
        for (const PixelRect& place : changed) explained = explained || place.Intersects(pixel);
        ASSERT_TRUE(explained) << "pixel " << x << "," << y;
      }
  }
  // Columns fall as one strip each, not a rectangle per label.
  EXPECT_LT(paint.areas.size(), changed.size() / 2);
  // And every moved label's old and new places are repainted.
  int moved = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i].rect == after[i].rect) continue;
    ++moved;
    for (const PixelRect& place : {Clip(before[i].rect), Clip(after[i].rect)}) {
      if (place.Empty()) continue;
      bool covered = false;
      for (const PixelRect& area : paint.areas) covered = covered || Inside(place, area);
      EXPECT_TRUE(covered) << "label " << i;
    }
  }
  EXPECT_GT(moved, 50);
  EXPECT_LT(repainted, 1024LL * 768 / 10) << "a tick is far from a whole-screen repaint";

  // The paint is told the labels that touch the areas, each with its text.
  int moving = 0;
  for (const sim::PaintedItem& item : paint.items) {
    EXPECT_FALSE(item.text.empty());
    moving += item.foreColour == 65280;
  }
  EXPECT_GT(moving, 0);
}

TEST_F(Damage, SettingAPropertyToItsValueRepaintsNothing) {
  sim::ClearPaint();
  const std::int64_t passes = sim::PaintPasses();
  for (int i = 0; i <= 83; ++i) {
    L1(i).SetTop(L1(i).Top());
    L1(i).SetCaption(L1(i).Caption());
    L2(i).SetForeColor(L2(i).ForeColor());
  }
  sim::Paint();
  app->FlushDamage();
  sim::Paint();
  EXPECT_EQ(sim::PaintPasses(), passes);
}

TEST_F(Damage, AMoveWithinOnePixelRepaintsNothing) {
  L1(1).SetTop(3000);
  app->FlushDamage();
  sim::Paint();
  const std::int64_t passes = sim::PaintPasses();
  L1(1).SetTop(3001);  // 15 twips to a pixel
  app->FlushDamage();
  sim::Paint();
  EXPECT_EQ(sim::PaintPasses(), passes);
  L1(1).SetTop(3015);
  app->FlushDamage();
  sim::Paint();
  EXPECT_EQ(sim::PaintPasses(), passes + 1);
}

TEST_F(Damage, HidingTheBannerFrameRepaintsTheFormBeneathIt) {
  TearDown();
  Start("/s");
  sim::AdvanceTicks(kIntroTicks - 1);
  sim::ClearPaint();
  sim::AdvanceTicks(1);  // the restart
  bool wholeForm = false;
  for (const sim::PaintRecord& record : sim::LastPaint())
    for (const PixelRect& area : record.areas)
      wholeForm = wholeForm || (record.window == Rain() && area == PixelRect{0, 0, 1024, 768});
  EXPECT_TRUE(wholeForm);
  EXPECT_FALSE(sim::Find(saver->Frame2.window())->visible);
}

TEST_F(Damage, ABannerCaptionChangeRepaintsOnlyTheBanner) {
  TearDown();
  Start("/s");
  sim::AdvanceTicks(kTimer4Period);  // first banner tick: caption unchanged
  sim::ClearPaint();
  sim::AdvanceTicks(kTimer4Period);  // second: "Your Company Name"
  const platform::WindowHandle frame = saver->Frame2.window();
  const PixelRect banner = saver->ToPixels(saver->Label5.Left(), saver->Label5.Top(),
                                           saver->Label5.Width(), saver->Label5.Height());
  bool painted = false;
  for (const sim::PaintRecord& record : sim::LastPaint()) {
    if (record.window != frame) continue;
    painted = true;
    ASSERT_EQ(record.areas.size(), 1u);
    EXPECT_EQ(record.areas[0], banner);
    ASSERT_EQ(record.items.size(), 1u);
    EXPECT_EQ(record.items[0].text, "Your Company Name");
  }
  EXPECT_TRUE(painted);
}

}  // namespace
