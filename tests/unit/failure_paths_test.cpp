// A window the system refuses (the nth made: 0 the rain form, 1 its banner frame, 2 the
// about box) leaves the machine as it was.
#include "saver_fixture.h"

class WindowRefused : public SaverTest,
                      public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(WindowRefused, EndsAtOnceWithNothingChanged) {
  sim::Reset();
  sim::RefuseWindowCreation(GetParam().second);
  sim::SetCommandLine(GetParam().first);
  Create();
  EXPECT_EQ(sim::ExitStatus(), forms::App::kWindowFailureStatus);
  EXPECT_EQ(sim::LiveWindowsOfOurs(), 0);
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor) + CountCalls(sim::Fn::SystemParametersInfoA), 0);
}

INSTANTIATE_TEST_SUITE_P(Creations, WindowRefused,
                         ::testing::Values(std::pair{"/s", 0}, std::pair{"/s", 1},
                                           std::pair{"/c", 2}));
