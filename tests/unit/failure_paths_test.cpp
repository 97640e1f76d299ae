// Faults of the platform the saver must survive: a window that cannot be made and a
// screen-saver setting that cannot be read leave the user's machine as it was.
#include <gtest/gtest.h>

#include "saver_fixture.h"

namespace {

struct Refusal {
  const char* commandLine;
  int creation;  // 0 the rain form, 1 its banner frame, 2 the about box
};

class WindowRefused : public SaverTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WindowRefused, EndsAtOnceWithNothingChanged) {
  sim::Reset();
  sim::SetScreenSaverActive(false);
  sim::RefuseWindowCreation(GetParam().creation);
  sim::SetCommandLine(GetParam().commandLine);
  Create();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), forms::App::kWindowFailureStatus);
  EXPECT_EQ(sim::LiveWindowsOfOurs(), 0);
  EXPECT_FALSE(saver->Loaded());
  EXPECT_FALSE(aboutBox->Loaded());
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_FALSE(sim::ScreenSaverActive());
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 0);
  EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
  sim::ClearCalls();
  sim::AdvanceTicks(300);
  EXPECT_TRUE(sim::Calls().empty()) << "no timer runs without a window";
}

INSTANTIATE_TEST_SUITE_P(Creations, WindowRefused,
                         ::testing::Values(Refusal{"/s", 0}, Refusal{"/s", 1}, Refusal{"/c", 2},
                                           Refusal{"", 0}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(SaverTest, AnActivationThatCannotBeReadIsSwitchedBackOn) {
  sim::Reset();
  sim::FailScreenSaverRead(true);
  sim::SetCommandLine("/s");
  Create();
  PassIntro();
  EXPECT_FALSE(sim::ScreenSaverActive());
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(sim::ScreenSaverActive());
  EXPECT_EQ(sim::CursorCount(), 0);
}

// Found by the fuzzer: a preview handle naming the saver's own window (the first the
// sim makes) or its banner frame made the form its own ancestor.
class OwnWindowAsHost : public SaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(OwnWindowAsHost, EndsAtOnce) {
  Start(GetParam());
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), 0);
  EXPECT_EQ(sim::LiveWindowsOfOurs(), 0);
  EXPECT_EQ(sim::CursorCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Handles, OwnWindowAsHost, ::testing::Values("/p 131072", "/p 131076"));

}  // namespace
