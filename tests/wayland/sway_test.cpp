// "/s" and "/c" on sway with HEADLESS-1 at (0, 0) and HEADLESS-2 to its right, on layer-shell
// and on the full-screen fallback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

#include "compositor.h"

namespace wltest {
namespace {

using namespace std::chrono_literals;

// The parameter: layer-shell hidden from quelvo, for the full-screen fallback.
class Sway : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!sway.Ok()) GTEST_SKIP() << "sway does not start here";
    // The headless seat has no devices: a keyboard and a pointer come before quelvo.
    keyboard.emplace(sway.As({"wtype", "-s", "600000", ""}), "");
    Send(pointer, "move 10 10 2304 800");
    const auto seat = [&] { return sway.Read({"swaymsg", "-t", "get_seats"}); };
    ASSERT_TRUE(
        WaitUntil([&] { return seat().find("\"capabilities\": 3") != std::string::npos; }, 5s));
  }
  void Start(const std::string& mode, std::vector<std::string> env = {}) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    env.insert(env.end(),
               {"LD_PRELOAD=" QUELVO_REGISTRY_SHIM, "QUELVO_SHIM_TOUCH=touched",
                std::string("QUELVO_SHIM_HIDE=") + (GetParam() ? "zwlr_layer_shell_v1" : ""),
                std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0"});
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
  bool StaysBlack(const std::string& output) {  // sway shows a cursor set a moment later
    for (const auto end = Clock::now() + 500ms; Clock::now() < end;)
      if (!Black(output)) return false;
    return true;
  }

  Compositor sway{Kind::kSway};
  std::optional<Process> keyboard, saver;
  Compositor::Helper pointer = sway.Open({QUELVO_POINTER_TOOL});
};

INSTANTIATE_TEST_SUITE_P(Sway, Sway, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Fallback" : "LayerShell"; });

TEST_P(Sway, RainOnTheFirstOutputTheOthersBlackWithoutCursorUntilASecondMoveThere) {
  Start("/s");
  // The stage after the saver (a lock, the screens off) comes at its time: nothing holds
  // the compositor's idle off while the rain runs.
  Process idle(sway.As({"swayidle", "timeout", "5", "touch idled"}), "");
  ASSERT_TRUE(Banner());
  const std::string tree = sway.Read({"swaymsg", "-t", "get_tree"});  // layers are not in it
  EXPECT_EQ(tree.find("\"app_id\": \"quelvo\"") != tree.npos, GetParam()) << "fallback or not";
  ASSERT_TRUE(Rain());
  const auto idled = [&] { return sway.Run({"test", "-e", "idled"}) == 0; };
  EXPECT_TRUE(WaitUntil(idled, 5s) && saver->Running()) << "swayidle's next stage did not come";
  // Two buffers of the rain's 1280 x 800 (sway keeps the last until the next commit), and
  // covers that cost next to nothing, however large their outputs.
  const long shmem = ShmemKb(saver->Pid());
  EXPECT_LE(shmem, 2 * 4000 + 1024);
  Send(pointer, "move 1800 400 2304 800");  // onto HEADLESS-2
  EXPECT_TRUE(StaysBlack("HEADLESS-2")) << "not black, or the cursor shows";
  ASSERT_EQ(sway.Run({"swaymsg", "create_output"}), 0);
  EXPECT_TRUE(WaitUntil([&] { return Black("HEADLESS-3"); }, 3s)) << "an added output shows";
  EXPECT_LT(ShmemKb(saver->Pid()) - shmem, 1024) << "a third output";
  EXPECT_TRUE(saver->Running()) << "the first move ended it";
  Send(pointer, "move 1850 450 4224 1080");  // HEADLESS-3 came: 1920 x 1080 at (2304, 0)
  EXPECT_EQ(saver->WaitExit(1s), 0);
  EXPECT_EQ(saver->Output(), "");
  const auto gone = [&] {  // the sway background shows again, grey
    return Count(sway.Grab("HEADLESS-1"), kAll, IsBlack) == 0 &&
           Count(sway.Grab("HEADLESS-3"), kAll, IsBlack) == 0;
  };
  EXPECT_TRUE(WaitUntil(gone, 2s)) << "a surface stayed";
}

// The pointer already on the second output when quelvo starts enters its cover without a
// move: the cover hides the arrow from that first entry on.
TEST_P(Sway, ACoverUnderThePointerFromTheStartShowsNoArrow) {
  Send(pointer, "move 1800 400 2304 800");  // onto HEADLESS-2, before quelvo
  Start("/s");
  ASSERT_TRUE(Rain());
  EXPECT_TRUE(StaysBlack("HEADLESS-2")) << "the arrow shows on the cover under the pointer";
  EXPECT_TRUE(saver->Running()) << "entering without a move ended it";
}

TEST_P(Sway, AKeyAButtonOrSigtermEndsItLettersTwiceAsTallAtScaleTwoALostCompositorFails) {
  int heights[3] = {};
  Image shown;
  // At scale 1 a key ends it, with a keymap compiled without the system's xkb files, or with
  // none at all; at 2 a SIGTERM, at once.
  const char* keymap = GetParam() ? "QUELVO_SHIM_NO_KEYMAP=1" : "XKB_CONFIG_ROOT=/nonexistent";
  for (const int scale : {1, 2}) {
    Start("/s", {keymap, "HOME=/nonexistent"});
    const auto banner = [&] {
      return heights[scale] = GreenHeight(shown = sway.Grab("HEADLESS-1"));
    };
    ASSERT_TRUE(WaitUntil(banner, 5s));
    const auto start = Clock::now();
    EXPECT_EQ(scale == 1 ? sway.Run({"wtype", "x"}) : (saver->Signal(SIGTERM), 0), 0);
    EXPECT_EQ(saver->WaitExit(1s), 0);
    EXPECT_TRUE(scale == 1 || Clock::now() - start < 300ms) << "100 ms, and room for sanitizers";
    ASSERT_EQ(sway.Run({"swaymsg", "output", "HEADLESS-1", "scale", "2"}), 0);
  }
  EXPECT_GT(heights[1], 15);
  EXPECT_NEAR(heights[2], 2 * heights[1], heights[1] / 8);
  // Detail finer than a logical pixel at scale 2: about half the banner's lit 2 x 2 blocks
  // hold more than one colour; drawn at scale 1 and doubled by sway, none would.
  int lit = 0, detailed = 0;
  for (int y = 0; y + 1 < shown.height; y += 2) {
    for (int x = 0; x + 1 < shown.width; x += 2) {
      const std::uint32_t a = shown.At(x, y);
      const bool mixed =
          a != shown.At(x + 1, y) || a != shown.At(x, y + 1) || a != shown.At(x + 1, y + 1);
      lit += mixed || a != 0, detailed += mixed;
    }
  }
  EXPECT_GT(4 * detailed, lit) << detailed << " of " << lit << " lit blocks";

  Start("/s");
  ASSERT_TRUE(Rain());
  if (GetParam()) sway.Run({"touch", "touched"});  // the fallback's run ends on a touch instead
  Send(pointer, "move 1800 400 2304 800");  // onto the black of HEADLESS-2, where no letter falls
  if (!GetParam()) Send(pointer, "click");
  EXPECT_EQ(saver->WaitExit(1s), 0);

  Start("/s");
  ASSERT_TRUE(WaitUntil([&] { return GreenHeight(sway.Grab("HEADLESS-1")) > 0; }, 5s));
  const auto start = Clock::now();
  sway.Kill(SIGKILL);
  EXPECT_EQ(saver->WaitExit(2s), 1);
  EXPECT_LT(Clock::now() - start, 1s);
  const std::string out = saver->Output();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST_P(Sway, TheAboutBoxIsAToplevelOfItsClientSizeThatTheCompositorCloses) {
  Start("/c");
  int width = 0, height = 0;
  const auto sized = [&] {  // the client area of the node whose app_id is quelvo's
    const std::string tree = sway.Read({"swaymsg", "-t", "get_tree"});
    const auto at = tree.rfind("\"window_rect\"", tree.find("\"app_id\": \"quelvo\""));
    return at != tree.npos &&
           std::sscanf(tree.c_str() + at, "%*[^h]h\": %d, \"height\": %d", &width, &height) == 2 &&
           width > 0;
  };
  ASSERT_TRUE(WaitUntil(sized, 5s));
  EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), "286x117");  // 4290 x 1755 twips
  ASSERT_EQ(sway.Run({"swaymsg", "[app_id=quelvo] kill"}), 0);
  EXPECT_EQ(saver->WaitExit(1s), 0);
}

TEST(NestedSway, AnOutputRemovedWhileItRunsLosesItsSurfaceAndTheRestGoesOn) {
  Compositor host(Kind::kSway), sway(Kind::kNestedSway, &host);
  if (!sway.Ok()) GTEST_SKIP() << "no sway inside sway here";
  Process keyboard(sway.As({"wtype", "-s", "600000", ""}), "");
  Process saver(
      sway.As({SaverPath(), "/s"},
              {"WAYLAND_DEBUG=client",
               "LSAN_OPTIONS=print_suppressions=0:suppressions=" QUELVO_REMOVED_OUTPUT_SUPP}),
      "");
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
