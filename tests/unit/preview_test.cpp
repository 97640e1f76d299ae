// Preview mode: the form becomes a child of the host's window and fills it; without
// a window to live in, the saver ends instead of running unseen.
#include <gtest/gtest.h>

#include "saver_fixture.h"

namespace {

class Embedding : public SaverTest {
 protected:
  void StartIn(int width, int height, const std::string& prefix = "/P ") {
    sim::Reset();
    host = sim::CreateHostWindow(width, height);
    sim::SetCommandLine(prefix + std::to_string(host));
    Create();
  }
  platform::WindowHandle host = 0;
};

TEST_F(Embedding, TheFormBecomesAChildFillingThePreview) {
  StartIn(152, 112);
  const sim::Window& window = RainWindow();
  EXPECT_EQ(window.parent, host);
  EXPECT_EQ(window.owner, host);
  EXPECT_EQ(window.rect, (platform::PixelRect{0, 0, 152, 112}));
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.style, 0x02000000 | user32::WS_CHILD) << "the popup bit goes, as on Windows";
  EXPECT_EQ(sim::ActiveWindow(), host) << "the host keeps the activation";
  EXPECT_EQ(saver->PreviewMode, forms::True);
  EXPECT_EQ(saver->PreviewParent, host);
  EXPECT_EQ(saver->TargetRect.right, 152);
  EXPECT_EQ(saver->TargetRect.bottom, 112);
  // Neither the cursor nor the system's screen saver is touched.
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_EQ(CountCalls(sim::Fn::SystemParametersInfoA), 0);
}

TEST_F(Embedding, TheParentIsSetBeforeTheWindowIsShownInIt) {
  StartIn(152, 112, "/p:");
  int setParent = -1, show = -1, index = 0;
  for (const sim::Call& call : sim::Calls()) {
    if (call.fn == sim::Fn::SetParent) setParent = index;
    if (call.fn == sim::Fn::SetWindowPos && call.args[6] == 0x54) show = index;
    ++index;
  }
  ASSERT_GE(setParent, 0);
  EXPECT_GT(show, setParent);
}

TEST_F(Embedding, TheRainRunsInThePreview) {
  StartIn(152, 112);
  PassIntro();
  sim::ClearPaint();
  sim::AdvanceTicks(1);
  ASSERT_FALSE(sim::LastPaint().empty());
  for (const sim::PaintRecord& record : sim::LastPaint()) {
    EXPECT_EQ(record.window, Rain());
    for (const platform::PixelRect& area : record.areas) {
      EXPECT_GE(area.left, 0);
      EXPECT_LE(area.right, 152);
      EXPECT_LE(area.bottom, 112);
    }
  }
}

TEST_F(Embedding, TheHostDestroyingItsWindowEndsTheSaver) {
  StartIn(152, 112);
  sim::AdvanceTicks(40);
  sim::SetScreenSaverActive(false);
  sim::DestroyWindow(host);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(sim::ExitStatus(), 0);
  EXPECT_FALSE(saver->Loaded());
  EXPECT_EQ(sim::CursorCount(), 0);
  EXPECT_FALSE(sim::ScreenSaverActive());
  sim::ClearCalls();
  sim::AdvanceTicks(300);
  EXPECT_TRUE(sim::Calls().empty()) << "no timer outlives the window";
}

class NoPreviewWindow : public SaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(NoPreviewWindow, EndsAtOnce) {
  sim::Reset();
  const platform::WindowHandle gone = sim::CreateHostWindow(10, 10);
  sim::DestroyWindow(gone);
  std::string commandLine = GetParam();
  if (const auto at = commandLine.find("GONE"); at != std::string::npos)
    commandLine.replace(at, 4, std::to_string(gone));
  sim::SetCommandLine(commandLine);
  Create();
  EXPECT_TRUE(Ended()) << commandLine;
  EXPECT_FALSE(saver->Loaded());
  EXPECT_EQ(sim::VisibleTopLevelWindows(), 0);
  EXPECT_EQ(CountCalls(sim::Fn::SetParent), 0);
}

// 131076 and 131080 name the saver's own form and banner frame here.
INSTANTIATE_TEST_SUITE_P(Handles, NoPreviewWindow,
                         ::testing::Values("/P", "/P 0", "/P abc", "/P GONE", "/P 4294967296",
                                           "/P 12345678", "/P 131076", "/P 131080"));

}  // namespace
