// Start-up: which mode each command line selects, the preview handle read from it, and
// the about box that "/C" or no switch shows.
#include <tuple>

#include "saver/trailing_number.h"
#include "saver_fixture.h"

namespace {

enum class Mode { FullScreen, Preview, AboutBox, None, Ended };

struct DispatchCase {
  const char* commandLine;
  Mode mode;
};

class ModeDispatch : public SaverTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(ModeDispatch, SelectsTheModeOfTheFirstTwoCharacters) {
  Start(GetParam().commandLine);
  const Mode seen = Ended()                    ? Mode::Ended
                    : aboutBox->Loaded()       ? Mode::AboutBox
                    : RainWindow().parent != 0 ? Mode::Preview
                    : sim::CursorCount() < 0   ? Mode::FullScreen
                                               : Mode::None;
  EXPECT_EQ(seen, GetParam().mode) << '"' << GetParam().commandLine << '"';
  if (seen == Mode::None) {
    // Shown, so that a key can end it rather than leaving an invisible process.
    EXPECT_TRUE(RainWindow().visible);
    EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
    sim::KeyDown(Rain(), 'A');
    EXPECT_TRUE(Ended());
  }
  if (seen == Mode::Ended) {  // a preview without a window to live in
    EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
    EXPECT_EQ(CountCalls(sim::Fn::SetParent), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ModeDispatch,
    ::testing::Values(
        DispatchCase{"/S", Mode::FullScreen}, DispatchCase{"  /s  ", Mode::FullScreen},
        DispatchCase{"/SAVE", Mode::FullScreen}, DispatchCase{"/P HOST", Mode::Preview},
        DispatchCase{"/p:HOST", Mode::Preview}, DispatchCase{"/PHOST", Mode::Preview},
        DispatchCase{"/C", Mode::AboutBox}, DispatchCase{"/c:1234", Mode::AboutBox},
        DispatchCase{"", Mode::AboutBox}, DispatchCase{"    ", Mode::AboutBox},
        DispatchCase{"/a", Mode::None}, DispatchCase{"-s", Mode::None},
        DispatchCase{"/", Mode::None}, DispatchCase{"\t/s", Mode::None},
        DispatchCase{"/P", Mode::Ended}, DispatchCase{"/P 0", Mode::Ended},
        DispatchCase{"/P GONE", Mode::Ended}, DispatchCase{"/P 12345678", Mode::Ended}));

// The saver's own form or banner frame is no host for its preview.
TEST_F(SaverTest, APreviewInOneOfItsOwnWindowsEnds) {
  Start("/s");
  for (const platform::WindowHandle own : {Rain(), saver->Frame2.window()}) {
    Start("/P " + std::to_string(own));
    ASSERT_TRUE(sim::Find(own)->ours) << "a fresh start numbers its windows as before";
    EXPECT_TRUE(Ended());
    EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
  }
}

struct NumberCase {
  const char* text;
  std::int32_t value;
};

class TrailingNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TrailingNumber, IsTheLongestNumericTail) {
  EXPECT_EQ(saver::TrailingNumber(GetParam().text), GetParam().value)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, TrailingNumber,
    ::testing::Values(NumberCase{"/p 1234", 1234}, NumberCase{"  /P 1234  ", 1234},
                      NumberCase{"/P 12 34", 34}, NumberCase{"/P -7", -7}, NumberCase{"/P +7", 7},
                      NumberCase{"/P 12.5", 12}, NumberCase{"/P 13.5", 14},
                      NumberCase{"/P 1.5e3", 1500}, NumberCase{"/P 1e", 0},
                      NumberCase{"/P 0x10", 10}, NumberCase{"/P abc", 0}, NumberCase{"", 0},
                      NumberCase{"/P 5-3", -3}, NumberCase{"/P 2147483647", 2147483647},
                      // Hosts write handles as unsigned decimal.
                      NumberCase{"/P 2147483648", INT32_MIN}, NumberCase{"/P 4294967295", -1},
                      NumberCase{"/P 4294967296", 0}, NumberCase{"/P 99999999999999999999", 0},
                      NumberCase{"/P 1e400", 0}, NumberCase{"/P -2147483649", 0}));

class AboutBox : public SaverTest {
 protected:
  void SetUp() override { Start("/C"); }
  platform::WindowHandle Box() const { return aboutBox->hWnd(); }
};

TEST_F(AboutBox, ShowsItsFourLinesWhileTheRainFormTicksHiddenBehindIt) {
  const platform::WindowHandle box = Box();
  EXPECT_TRUE(sim::Find(box)->visible);
  EXPECT_EQ(sim::Find(box)->caption, "");
  EXPECT_EQ(sim::Find(box)->clientWidth, 4290 / 15);
  EXPECT_EQ(sim::Find(box)->clientHeight, 1755 / 15);
  sim::Paint();
  const sim::PaintRecord& record = sim::LastPaint()[0];
  ASSERT_EQ(record.window, box);
  EXPECT_EQ(record.background, 0xC0C0C0u);
  const std::tuple<std::string, platform::PixelRect, std::string, platform::Colour> lines[] = {
      {"Created", {120, 40, 177, 57}, "MS Sans Serif 8.25, transparent", 0},
      {"By", {131, 56, 156, 81}, "MS Sans Serif 8.25, transparent", 0},
      {"SUVANI", {112, 72, 185, 97}, "MS Sans Serif 9.75 bold, transparent", 0xFF0000},
      {"suvani.example/software.html", {72, 88, 241, 113}, "MS Sans Serif 8.25, transparent", 0}};
  ASSERT_EQ(record.items.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const sim::PaintedItem& item = record.items[i];
    EXPECT_EQ(std::tie(item.text, item.rect, item.look, item.foreColour), lines[i]);
  }
  // The banner's end restarts the rain form's set-up: it must leave the box as it is.
  PassIntro();
  EXPECT_EQ(Box(), box);
  EXPECT_TRUE(sim::Find(box)->visible);
  EXPECT_FALSE(RainWindow().visible);
  EXPECT_EQ(sim::VisibleTopLevelWindows(), 1);
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_TRUE(sim::ScreenSaverActive());
}

TEST_F(AboutBox, AClickBesideTheLabelsOrACloseRequestEndsAllWithoutTheRainFormsUnload) {
  sim::Click(Box(), 1800 / 15 + 5, 600 / 15 + 5);  // on "Created"
  EXPECT_FALSE(Ended());
  sim::Click(Box(), 10, 10);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), 0);
  EXPECT_FALSE(saver->Loaded());
  Start("/C");
  sim::CloseRequest(Box());
  EXPECT_TRUE(Ended());
  EXPECT_EQ(CountCalls(sim::Fn::ShowCursor), 0);
  sim::ClearCalls();
  sim::AdvanceTicks(300);
  EXPECT_TRUE(sim::Calls().empty()) << "the rain form's timers stopped";
}

}  // namespace
