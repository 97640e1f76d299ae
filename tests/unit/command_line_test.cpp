// The command line: which mode each switch selects, and the preview handle read from it.
#include <gtest/gtest.h>

#include "saver/trailing_number.h"
#include "saver_fixture.h"

namespace {

enum class Mode { FullScreen, Preview, AboutBox, None };

struct DispatchCase {
  const char* commandLine;
  Mode mode;
};

class ModeDispatch : public SaverTest, public ::testing::WithParamInterface<DispatchCase> {};

Mode Observed(const rain::frmScreenSaver& saver, const about::Form1& aboutBox) {
  if (aboutBox.Loaded()) return Mode::AboutBox;
  if (saver.PreviewMode) return Mode::Preview;
  if (saver.ScreenSaverStateKnown) return Mode::FullScreen;
  return Mode::None;
}

TEST_P(ModeDispatch, SelectsTheModeOfTheFirstTwoCharacters) {
  const platform::WindowHandle host = [] {
    sim::Reset();
    return sim::CreateHostWindow(152, 112);
  }();
  std::string commandLine = GetParam().commandLine;
  if (const auto at = commandLine.find("HOST"); at != std::string::npos)
    commandLine.replace(at, 4, std::to_string(host));
  sim::SetCommandLine(commandLine);
  Create();
  EXPECT_EQ(Observed(*saver, *aboutBox), GetParam().mode) << '"' << commandLine << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ModeDispatch,
    ::testing::Values(
        DispatchCase{"/S", Mode::FullScreen}, DispatchCase{"  /s  ", Mode::FullScreen},
        DispatchCase{"/SAVE", Mode::FullScreen}, DispatchCase{"/Scr", Mode::FullScreen},
        DispatchCase{"/P HOST", Mode::Preview}, DispatchCase{"/p:HOST", Mode::Preview},
        DispatchCase{"/PHOST", Mode::Preview}, DispatchCase{"/C", Mode::AboutBox},
        DispatchCase{"/c:1234", Mode::AboutBox}, DispatchCase{"", Mode::AboutBox},
        DispatchCase{"    ", Mode::AboutBox}, DispatchCase{"/a", Mode::None},
        DispatchCase{"-s", Mode::None}, DispatchCase{"s", Mode::None},
        DispatchCase{"/", Mode::None}, DispatchCase{"\t/s", Mode::None}));

TEST_F(SaverTest, NoModeRunsNoSetUpAndTheRuntimeShowsTheRain) {
  Start("-s");
  EXPECT_EQ(saver->PreviewMode, forms::False);
  EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 0);
  EXPECT_FALSE(aboutBox->Loaded());
  // Shown, so that a key can end it rather than leaving an invisible process.
  EXPECT_TRUE(RainWindow().visible);
  sim::KeyDown(Rain(), 'A');
  EXPECT_TRUE(Ended());
}

struct NumberCase {
  const char* text;
  std::int32_t value;
};

class TrailingNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TrailingNumber, IsTheLongestNumericTail) {
  EXPECT_EQ(rain::frmScreenSaverProbe::GetTrailingNumber(GetParam().text), GetParam().value)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, TrailingNumber,
    ::testing::Values(NumberCase{"/P 1234", 1234}, NumberCase{"/p 1234", 1234},
                      NumberCase{"/P:1234", 1234}, NumberCase{"/P1234", 1234},
                      NumberCase{"  /P 1234  ", 1234}, NumberCase{"/P 12 34", 34},
                      NumberCase{"/P -7", -7}, NumberCase{"/P +7", 7}, NumberCase{"/P 12.5", 12},
                      NumberCase{"/P 13.5", 14}, NumberCase{"/P 12.7", 13}, NumberCase{"/P .5", 0},
                      NumberCase{"/P 1.5e3", 1500}, NumberCase{"/P 1e", 0}, NumberCase{"/P", 0},
                      NumberCase{"/P abc", 0}, NumberCase{"", 0}, NumberCase{"   ", 0},
                      NumberCase{"/P 5-3", -3}, NumberCase{"/P 2147483647", 2147483647},
                      // Hosts write handles as unsigned decimal.
                      NumberCase{"/P 2147483648", INT32_MIN}, NumberCase{"/P 4294967295", -1},
                      NumberCase{"/P 4294967296", 0}, NumberCase{"/P 99999999999999999999", 0},
                      NumberCase{"/P 1e400", 0}, NumberCase{"/P -2147483649", 0}));

TEST(NumericValue, FollowsTheDecimalGrammar) {
  EXPECT_EQ(saver::NumericValue(" 42 "), 42.0);
  EXPECT_EQ(saver::NumericValue("-0.25"), -0.25);
  EXPECT_EQ(saver::NumericValue("5."), 5.0);
  EXPECT_EQ(saver::NumericValue("2E+2"), 200.0);
  EXPECT_FALSE(saver::NumericValue("."));
  EXPECT_FALSE(saver::NumericValue("-"));
  EXPECT_FALSE(saver::NumericValue("1 2"));
  EXPECT_FALSE(saver::NumericValue("0x10"));
  EXPECT_FALSE(saver::NumericValue("1e+"));
  EXPECT_FALSE(saver::NumericValue(":12"));
}

}  // namespace
