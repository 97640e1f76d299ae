// Start-up: which mode each command line selects, the preview handle read from it, and
// the about box that "/C" or no switch shows.
#include <tuple>

#include "saver/trailing_number.h"
#include "saver_fixture.h"

namespace {

TEST_F(SaverTest, ACommandLineSelectsTheModeOfItsFirstTwoCharacters) {
  enum class Mode { FullScreen, Preview, AboutBox, None, Gone };
  using enum Mode;
  // A preview without a window to live in is gone at once.
  const std::pair<const char*, Mode> cases[] = {
      {"/S", FullScreen},   {"  /s  ", FullScreen}, {"/SAVE", FullScreen}, {"/P HOST", Preview},
      {"/p:HOST", Preview}, {"/PHOST", Preview},    {"/C", AboutBox},      {"/c:1234", AboutBox},
      {"", AboutBox},       {"    ", AboutBox},     {"/a", None},          {"-s", None},
      {"/", None},          {"\t/s", None},         {"/P", Gone},          {"/P 0", Gone},
      {"/P GONE", Gone},    {"/P 12345678", Gone}};
  for (auto [commandLine, mode] : cases) {
    SCOPED_TRACE(commandLine);
    Start(commandLine);
    const Mode seen = Ended()                    ? Gone
                      : aboutBox->Loaded()       ? AboutBox
                      : RainWindow().parent != 0 ? Preview
                      : sim::CursorCount() < 0   ? FullScreen
                                                 : None;
    EXPECT_EQ(seen, mode);
    if (seen == None) {
      // Shown, so that a key can end it rather than leaving an invisible process.
      EXPECT_TRUE(RainWindow().visible);
      EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
      sim::KeyDown(Rain(), 'A');
      EXPECT_TRUE(Ended());
    }
    if (seen == Gone) {
      EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
      EXPECT_EQ(CountCalls(sim::Fn::SetParent), 0);
    }
  }
}

// A window the system refuses (the nth made: 0 the rain form, 1 its banner frame, 2 the
// about box) ends the process at once and leaves the machine as it was.
TEST_F(SaverTest, AWindowRefusedEndsAtOnceWithNothingChanged) {
  for (auto [commandLine, refused] : {std::pair{"/s", 0}, {"/s", 1}, {"/c", 2}}) {
    Start(commandLine, true, true, refused);
    EXPECT_EQ(sim::ExitStatus(), forms::App::kWindowFailureStatus) << refused;
    EXPECT_EQ(sim::LiveWindowsOfOurs(), 0);
    EXPECT_EQ(CountCalls(sim::Fn::ShowCursor) + CountCalls(sim::Fn::SystemParametersInfoA), 0);
  }
}

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

TEST(TrailingNumber, IsTheLongestNumericTail) {
  // Hosts write handles as unsigned decimal: above the signed range within 32 bits they wrap.
  // clang-format off
  const std::pair<const char*, std::int32_t> cases[] = {
      {"/p 1234", 1234}, {"  /P 1234  ", 1234}, {"/P 12 34", 34}, {"/P -7", -7}, {"/P +7", 7},
      {"/P 12.5", 12}, {"/P 13.5", 14}, {"/P 1.5e3", 1500}, {"/P 1e", 0}, {"/P 0x10", 10},
      {"/P abc", 0}, {"", 0}, {"/P 5-3", -3}, {"/P 2147483647", 2147483647},
      {"/P 2147483648", INT32_MIN}, {"/P 4294967295", -1}, {"/P 4294967296", 0},
      {"/P 99999999999999999999", 0}, {"/P 1e400", 0}, {"/P -2147483649", 0}};
  // clang-format on
  for (auto [text, value] : cases)
    EXPECT_EQ(saver::TrailingNumber(text), value) << '"' << text << '"';
}

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
