// "/s" and "/c" on sway with HEADLESS-1 at (0, 0) and HEADLESS-2 to its right, on layer-shell
// and on the full-screen fallback.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "compositor.h"

namespace wltest {
namespace {

using namespace std::chrono_literals;

// The parameter: the platform told to ignore layer-shell, for the full-screen fallback.
class Sway : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!sway.Ok()) GTEST_SKIP() << "sway does not start here";
    // The headless seat has no devices: a keyboard and a pointer come before quelvo.
    keyboard.emplace(sway.As({"wtype", "-s", "600000", ""}), "");
    Send(pointer, "move 10 10 2304 800");
    const auto has = [&](const std::string& type) {
      return sway.Read({"swaymsg", "-t", "get_inputs"}).find(type) != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil([&] { return has("\"pointer\"") && has("\"keyboard\""); }, 5s));
  }
  void Start(const std::string& mode, std::vector<std::string> env = {}) {
    if (GetParam()) env.push_back("QUELVO_WAYLAND_IGNORE=zwlr_layer_shell_v1");
    saver.emplace(sway.As({SaverPath(), mode}, env), "");
  }
  bool Banner() {  // green in the middle of HEADLESS-1, black everywhere else
    const auto shows = [&] {
      const Image i = sway.Grab("HEADLESS-1");
      return Count(i, kBanner, IsGreen) >= 1000 &&
             Count(i, kAll, IsLit) == Count(i, kAroundBanner, IsLit);
    };
    return WaitUntil(shows, 5s, 50ms);
  }
  bool Rain() {
    return WaitUntil([&] { return RainShows(sway.Grab("HEADLESS-1")); }, 10s, 100ms);
  }
  bool Black(const std::string& output) {
    const Image i = sway.Grab(output);  // sway draws its cursor into the picture
    return i.width > 0 && Count(i, kAll, IsLit) == 0;
  }

  Compositor sway{Kind::kSway};
  std::optional<Process> keyboard, saver;
  Compositor::Helper pointer = sway.Open({QUELVO_POINTER_TOOL});
};

INSTANTIATE_TEST_SUITE_P(Sway, Sway, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Fallback" : "LayerShell"; });
class About : public Sway {};
INSTANTIATE_TEST_SUITE_P(Sway, About, ::testing::Values(false));

TEST_P(Sway, RainOnTheFirstOutputTheOthersBlackWithoutCursorUntilASecondMoveThere) {
  Start("/s");
  ASSERT_TRUE(Banner());
  ASSERT_TRUE(Rain());
  Send(pointer, "move 1800 400 2304 800");  // onto HEADLESS-2
  EXPECT_TRUE(Black("HEADLESS-2")) << "not black, or the cursor shows";
  ASSERT_EQ(sway.Run({"swaymsg", "create_output"}), 0);
  EXPECT_TRUE(WaitUntil([&] { return Black("HEADLESS-3"); }, 3s)) << "an added output shows";
  EXPECT_TRUE(saver->Running()) << "the first move ended it";
  Send(pointer, "move 1850 450 4224 1080");  // HEADLESS-3 came: 1920 x 1080 at (2304, 0)
  EXPECT_EQ(saver->WaitExit(1s), 0);
  EXPECT_EQ(saver->Output(), "");
  const auto gone = [&] {  // the sway background shows again, grey
    return Count(sway.Grab("HEADLESS-1"), kAll, IsBlack) +
               Count(sway.Grab("HEADLESS-3"), kAll, IsBlack) ==
           0;
  };
  EXPECT_TRUE(WaitUntil(gone, 2s)) << "a surface stayed";
}

TEST_P(Sway, AKeyEndsItAndSoDoesAButton) {
  for (const bool key : {true, false}) {
    Start("/s");
    ASSERT_TRUE(Rain());
    if (key) {
      ASSERT_EQ(sway.Run({"wtype", "x"}), 0);
    } else {
      Send(pointer, "click");
    }
    EXPECT_EQ(saver->WaitExit(1s), 0);
  }
}

TEST_P(Sway, AtScaleTwoTheLettersAreTwiceAsTallASigtermEndsItALostCompositorWithOneLine) {
  int heights[2] = {};
  for (int& height : heights) {
    Start("/s");
    ASSERT_TRUE(WaitUntil([&] { return (height = GreenHeight(sway.Grab("HEADLESS-1"))); }, 5s));
    const auto start = Clock::now();
    saver->Signal(SIGTERM);
    EXPECT_EQ(saver->WaitExit(1s), 0);
    EXPECT_LT(Clock::now() - start, 300ms);  // 100 ms, with room for the sanitizers' exit
    ASSERT_EQ(sway.Run({"swaymsg", "output", "HEADLESS-1", "scale", "2"}), 0);
  }
  EXPECT_GT(heights[0], 15);
  EXPECT_NEAR(heights[1], 2 * heights[0], heights[0] / 8);

  Start("/s");
  ASSERT_TRUE(WaitUntil([&] { return GreenHeight(sway.Grab("HEADLESS-1")) > 0; }, 5s));
  const auto start = Clock::now();
  sway.Kill(SIGKILL);
  EXPECT_EQ(saver->WaitExit(2s), 1);
  EXPECT_LT(Clock::now() - start, 1s);
  const std::string out = saver->Output();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST_P(About, TheAboutBoxIsAToplevelOfItsClientSizeThatTheCompositorCloses) {
  Start("/c");
  int width = 0, height = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {  // the window_rect (client area) of the node quelvo's app_id ends
        const std::string tree = sway.Read({"swaymsg", "-t", "get_tree"});
        const auto at = tree.rfind("\"window_rect\"", tree.find("\"app_id\": \"quelvo\""));
        return at != tree.npos &&
               std::sscanf(tree.c_str() + at,
                           "\"window_rect\": { \"x\": %*d, \"y\": %*d, "
                           "\"width\": %d, \"height\": %d",
                           &width, &height) == 2 &&
               width > 0;
      },
      5s));
  EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), "286x117");  // 4290 x 1755 twips
  ASSERT_EQ(sway.Run({"swaymsg", "[app_id=quelvo] kill"}), 0);
  EXPECT_EQ(saver->WaitExit(1s), 0);
}

TEST(NestedSway, AnOutputRemovedWhileItRunsLosesItsSurfaceAndTheRestGoesOn) {
  Compositor host(Kind::kSway), sway(Kind::kNestedSway, &host);
  if (!sway.Ok()) GTEST_SKIP() << "no sway inside sway here";
  Process keyboard(sway.As({"wtype", "-s", "600000", ""}), "");
  Process saver(sway.As({SaverPath(), "/s"}, {"WAYLAND_DEBUG=client"}), "");
  ASSERT_TRUE(WaitUntil([&] { return GreenHeight(sway.Grab("WL-1")) > 0; }, 5s, 100ms));
  const auto destroyed = [&, destroy = std::regex(R"(-> wl_surface@\d+\.destroy\(\))")] {
    const std::string log = saver.Output();
    return std::distance(std::sregex_iterator(log.begin(), log.end(), destroy), {});
  };
  EXPECT_EQ(destroyed(), 0);
  ASSERT_EQ(host.Run({"swaymsg", "[title=\"- WL-2$\"] kill"}), 0);  // WL-2 goes
  EXPECT_TRUE(WaitUntil([&] { return destroyed() == 1; }, 2s));
  EXPECT_TRUE(saver.Running());
  ASSERT_EQ(sway.Run({"wtype", "x"}), 0);
  EXPECT_EQ(saver.WaitExit(1s), 0);
}

}  // namespace
}  // namespace wltest
