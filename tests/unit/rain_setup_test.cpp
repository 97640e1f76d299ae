// The rain set-up: the form and banner fitted to the screen, labels coloured by
// depth, lettered and scattered from the never-seeded sequence.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "forms/rnd.h"
#include "saver_fixture.h"

namespace {

constexpr forms::Colour kDepthColour[] = {65280, 49152, 32768, 16384};
const char* const kHeadLetters[] = {"O", "R", "V", "O", "K"};

std::vector<float> FirstValues(int count) {
  forms::RandomSequence sequence;
  std::vector<float> values(static_cast<std::size_t>(count));
  for (float& v : values) v = sequence.Next();
  return values;
}

float Scaled(float fraction, float extent) {
  return static_cast<float>(static_cast<double>(fraction) * extent);
}

TEST_F(SaverTest, FitsFormAndBannerToA1024By768Screen) {
  Start("/s");
  EXPECT_EQ(saver->Width(), 15360);
  EXPECT_EQ(saver->Height(), 11520);
  EXPECT_EQ(saver->Left(), 0);
  EXPECT_EQ(saver->Top(), 0);
  EXPECT_EQ(saver->Frame2.Width(), 15360);
  EXPECT_EQ(saver->Frame2.Height(), 11520);
  EXPECT_EQ(saver->Frame2.Left(), 0);
  EXPECT_EQ(saver->Frame2.Top(), 0);
  EXPECT_EQ(saver->Label5.Left(), 4732.5f);
  EXPECT_EQ(saver->Label5.Top(), 5272.5f);
  EXPECT_EQ(saver->Label5.Width(), 5895);
  EXPECT_EQ(saver->Label5.Caption(), "ORVOK Computer Centers");
  EXPECT_TRUE(saver->Frame2.Visible());
  const sim::Window& frame = *sim::Find(saver->Frame2.window());
  EXPECT_EQ(frame.rect, (platform::PixelRect{0, 0, 1024, 768}));
}

TEST_F(SaverTest, ScreenSizeFollowsTheDisplaysDpi) {
  Start("/s", 1920, 1080, 120);  // 12 twips per pixel
  EXPECT_EQ(saver->Width(), 23040);
  EXPECT_EQ(saver->Height(), 12960);
  EXPECT_EQ(saver->Label5.Left(), 23040 / 2.0f - 5895 / 2.0f);
}

TEST_F(SaverTest, ColoursLettersAndMakesEveryRainLabelTransparent) {
  Start("/s");
  for (int i = 0; i <= 83; ++i) {
    for (forms::Label* label : {&L1(i), &L2(i)}) {
      EXPECT_EQ(label->ForeColor(), kDepthColour[i / 21]) << i;
      EXPECT_EQ(label->BackStyle(), 0) << i;
      EXPECT_GE(label->Top(), 0);
      EXPECT_LT(label->Top(), saver->Height());
      EXPECT_GE(label->Left(), 0);
      EXPECT_LT(label->Left(), saver->Width());
    }
  }
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(L1(n).Caption(), kHeadLetters[(n - 1) % 5]) << n;
    EXPECT_EQ(L2(n).Caption(), kHeadLetters[(n - 1) % 5]) << n;
  }
  // Head 0 and the trail labels keep their design caption.
  EXPECT_EQ(L1(0).Caption(), "X");
  EXPECT_EQ(L2(0).Caption(), "X");
  EXPECT_EQ(L1(21).Caption(), "X");
}

TEST_F(SaverTest, ScattersFromTheSequenceInDesignOrder) {
  Start("/s");
  const std::vector<float> r = FirstValues(337);
  const float W = saver->Width(), H = saver->Height();
  // Label1: Top before Left, member by member; then Label2: Left before Top.
  EXPECT_EQ(L1(0).Top(), Scaled(r[0], H));
  EXPECT_EQ(L1(0).Left(), Scaled(r[1], W));
  EXPECT_EQ(L1(83).Top(), Scaled(r[166], H));
  EXPECT_EQ(L1(83).Left(), Scaled(r[167], W));
  EXPECT_EQ(L2(0).Left(), Scaled(r[168], W));
  EXPECT_EQ(L2(0).Top(), Scaled(r[169], H));
  EXPECT_EQ(L2(83).Left(), Scaled(r[334], W));
  EXPECT_EQ(L2(83).Top(), Scaled(r[335], H));

  // The animation's first draw is the 337th value: make head 0 wrap on the next tick.
  L1(0).SetTop(H);
  saver->Timer1_Timer();
  EXPECT_EQ(L1(0).Top(), 0);
  EXPECT_EQ(L1(0).Left(), std::floor(static_cast<double>(r[336]) * W));
}

TEST_F(SaverTest, EveryStartRepeatsTheFirstLayoutAndASecondSetUpMakesANewOne) {
  Start("/s");
  const float first = L1(40).Left(), second = L2(7).Top();
  TearDown();
  Start("/s");
  EXPECT_EQ(L1(40).Left(), first);
  EXPECT_EQ(L2(7).Top(), second);

  // The restart's set-up draws on from where the sequence stands.
  saver->Form_Load();
  const std::vector<float> r = FirstValues(338);
  EXPECT_EQ(L1(0).Top(), Scaled(r[336], saver->Height()));
  EXPECT_EQ(L1(0).Left(), Scaled(r[337], saver->Width()));
  EXPECT_NE(L1(40).Left(), first);
  EXPECT_NE(L2(7).Top(), second);
}

TEST_F(SaverTest, LeavesTheHiddenSpareMembersAlone) {
  Start("/s");
  const float left84 = L1(84).Left(), top85 = L1(85).Top();
  PassIntro();
  sim::AdvanceTicks(500);
  for (int i : {84, 85}) {
    EXPECT_FALSE(L1(i).Visible());
    EXPECT_EQ(L1(i).Caption(), "X");
    EXPECT_EQ(L1(i).BackStyle(), 1);
  }
  EXPECT_EQ(L1(84).Left(), left84);
  EXPECT_EQ(L1(85).Top(), top85);
}

TEST_F(SaverTest, PreviewLaysTheRainOutForTheWholeScreen) {
  sim::Reset();
  const platform::WindowHandle host = sim::CreateHostWindow(152, 112);
  sim::SetCommandLine("/P " + std::to_string(host));
  Create();
  // The labels were scattered over the screen before the form was fitted into the host.
  const std::vector<float> r = FirstValues(2);
  EXPECT_EQ(L1(0).Top(), Scaled(r[0], 11520));
  EXPECT_EQ(L1(0).Left(), Scaled(r[1], 15360));
  EXPECT_EQ(saver->Label5.Left(), 4732.5f);
  EXPECT_EQ(saver->Width(), 152 * 15);
  EXPECT_EQ(saver->Height(), 112 * 15);
}

}  // namespace
