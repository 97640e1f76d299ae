// The rain step: heads fall at their column's speed and wrap at the bottom; trail
// labels line up behind their head.
#include <gtest/gtest.h>

#include <cmath>

#include "forms/rnd.h"
#include "saver_fixture.h"

namespace {

float Fallen(float top, int column) {
  return static_cast<float>(static_cast<double>(top) + (column + 1) * (255.0 / 20));
}

class RainStep : public SaverTest {
 protected:
  void SetUp() override { Start("/s"); }
  // Puts every head of both arrays at a height where it cannot wrap this tick.
  void RaiseHeads(float top = 100) {
    for (int c = 0; c <= 20; ++c) {
      L1(c).SetTop(top);
      L2(c).SetTop(top);
    }
  }
};

TEST_F(RainStep, EachColumnFallsAtItsOwnFixedSpeed) {
  RaiseHeads();
  for (int tick = 0; tick < 3; ++tick) saver->Timer1_Timer();
  for (int c = 0; c <= 20; ++c) {
    const float expected = Fallen(Fallen(Fallen(100, c), c), c);
    EXPECT_EQ(L1(c).Top(), expected) << c;
    EXPECT_EQ(L2(c).Top(), expected) << c;
  }
  EXPECT_FLOAT_EQ(L1(0).Top() - 100, 3 * 12.75f);
  EXPECT_FLOAT_EQ(L1(20).Top() - 100, 3 * 267.75f);
}

TEST_F(RainStep, AHeadExactlyAtTheBottomWrapsOnlyOnTheNextTick) {
  RaiseHeads();
  const float H = saver->Height();
  L1(0).SetTop(H - 12.75f);        // lands exactly on the bottom edge
  L2(3).SetTop(H - 51.0f + 0.5f);  // lands half a twip below it
  const float left0 = L1(0).Left();
  saver->Timer1_Timer();
  EXPECT_EQ(L1(0).Top(), H);
  EXPECT_EQ(L1(0).Left(), left0);
  EXPECT_EQ(L2(3).Top(), 0);
  saver->Timer1_Timer();
  EXPECT_EQ(L1(0).Top(), 0);
}

TEST_F(RainStep, AWrappingColumnJumpsWholeToANewLeftAtTheTop) {
  RaiseHeads();
  const float W = saver->Width();
  L2(10).SetTop(saver->Height());
  forms::RandomSequence sequence;
  for (int i = 0; i < 336; ++i) sequence.Next();
  const double expectedLeft = std::floor(static_cast<double>(sequence.Next()) * W);
  saver->Timer1_Timer();
  EXPECT_EQ(L2(10).Top(), 0);
  EXPECT_EQ(L2(10).Left(), expectedLeft);
  EXPECT_EQ(L2(10).Left(), std::floor(L2(10).Left()));
  EXPECT_LE(L2(10).Left(), W - 1);
  for (int depth = 1; depth <= 3; ++depth) {
    EXPECT_EQ(L2(10 + 21 * depth).Top(), -220.0f * depth);
    EXPECT_EQ(L2(10 + 21 * depth).Left(), L2(10).Left());
    EXPECT_EQ(L2(10 + 21 * depth).Caption(), "K");
  }
}

TEST_F(RainStep, TrailLabelsLineUpBehindTheirHeadOnTheFirstTick) {
  RaiseHeads(3000);
  saver->Timer1_Timer();
  for (int c = 0; c <= 20; ++c) {
    for (int depth = 1; depth <= 3; ++depth) {
      for (auto* labels : {&saver->Label1, &saver->Label2}) {
        const forms::Label& head = (*labels)(c);
        const forms::Label& trail = (*labels)(c + 21 * depth);
        EXPECT_EQ(trail.Top(), head.Top() - 220.0f * depth);
        EXPECT_EQ(trail.Left(), head.Left());
        EXPECT_EQ(trail.Caption(), head.Caption());
        EXPECT_EQ(trail.Height(), head.Height());
        // Never the head's colour: each depth keeps its own green.
        EXPECT_NE(trail.ForeColor(), head.ForeColor());
      }
    }
  }
}

TEST_F(RainStep, TheWiderHeadOfColumnTwoWidensItsTrail) {
  EXPECT_EQ(L1(23).Width(), 255);
  saver->Timer1_Timer();
  for (int i : {2, 23, 44, 65}) EXPECT_EQ(L1(i).Width(), 375) << i;
  for (int i : {3, 24, 45, 66}) EXPECT_EQ(L1(i).Width(), 255) << i;
  EXPECT_EQ(L2(23).Width(), 255);
}

TEST_F(RainStep, AWrapReletterOnlyTheHeadsOfItsOwnArray) {
  RaiseHeads();
  L1(7).SetCaption("?");
  L2(7).SetCaption("?");
  saver->Timer1_Timer();
  EXPECT_EQ(L1(7).Caption(), "?");  // no wrap: untouched
  L1(0).SetTop(saver->Height());
  saver->Timer1_Timer();
  EXPECT_EQ(L1(7).Caption(), "R");
  EXPECT_EQ(L2(7).Caption(), "?");
  EXPECT_EQ(L1(0).Caption(), "X");  // head 0 gets no letter
}

TEST_F(RainStep, PreviewHeadsWrapIntoTheSmallWindow) {
  TearDown();
  sim::Reset();
  const platform::WindowHandle host = sim::CreateHostWindow(152, 112);
  sim::SetCommandLine("/P " + std::to_string(host));
  Create();
  const float W = saver->Width(), H = saver->Height();
  bool below[2][21];
  for (int c = 0; c <= 20; ++c) {
    below[0][c] = L1(c).Top() > H;
    below[1][c] = L2(c).Top() > H;
  }
  saver->Timer1_Timer();
  int wrapped = 0;
  for (int c = 0; c <= 20; ++c) {
    for (int a = 0; a < 2; ++a) {
      const forms::Label& head = a == 0 ? L1(c) : L2(c);
      if (!below[a][c]) continue;
      ++wrapped;
      EXPECT_EQ(head.Top(), 0);
      EXPECT_LT(head.Left(), W);
    }
  }
  EXPECT_GT(wrapped, 30);  // most of a screen lies below a 112-pixel preview
}

}  // namespace
