// Settings: the file's bad lines as one table, the command line over the file, GNOME's delay.
#include "idle/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "idle/gnome_delay.h"
#include "idle/inhibitors.h"
#include "idle/log.h"

namespace idle {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

TEST(IdleSettings, EachBadLineNamesFileLineAndWhatIsWrong) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"after = 5", "after: \"5\" is not a time"},  // no unit
      {"after = 5x", "after: \"5x\" is not a time"},
      {"after = 0s", "after: \"0s\" is not a time"},
      {"after = -3s", "after: \"-3s\" is not a time"},
      {"after = 25h", "after: \"25h\" is not a time"},
      {"after = 99999999999999999999s", "after: \"99999999999999999999s\" is not"},
      {"lock-after = soon", "lock-after: \"soon\" is not a time"},
      {"lock-command =", "lock-command: empty"},
      {"lock-command = '  '", "lock-command: empty"},
      {"backend = wayland", "backend: \"wayland\" is none of"},
      {"--after = 5m", "unknown key \"--after\""},
      {"after 5m", "no \"=\""},
  };
  for (const auto& c : cases) {
    Settings settings;
    const auto errors = ReadConfig(settings, std::string("# ok\n\nafter = 1m\n") + c.line, "f");
    ASSERT_EQ(errors.size(), 1u) << c.line;
    EXPECT_EQ(errors[0].rfind(std::string("f:4: ") + c.error, 0), 0u) << errors[0];
  }
}

TEST(IdleSettings, GoodLinesTakeAndTheCommandLineWins) {
  Settings settings;
  EXPECT_TRUE(ReadConfig(settings,
                         " after=90s \r\nlock-after = 1500ms\nlock-command = \"swaylock -f\"\n"
                         "backend = kde-idle\n",
                         "f")
                  .empty());
  EXPECT_EQ(Describe(settings),
            "after 90s, lock after 1500ms with \"swaylock -f\", backend kde-idle");
  char dir[] = "/tmp/quelvo-idle-settings-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/idle.conf";
  std::ofstream(file) << "after = 1h\nlock-command = 'a \"b\"'\n";
  const Loaded loaded = Load(ParseCommandLine({"--config", file, "--after", "2s"}));
  EXPECT_EQ(Describe(loaded.settings), "after 2s, lock off, backend auto") << "the file won";
  EXPECT_EQ(loaded.settings.lockCommand, "a \"b\"");
  std::remove(file.c_str()), rmdir(dir);
  for (const auto& bad : {std::vector<std::string>{"--after"}, {"-s"}, {"/s"}})
    EXPECT_NE(ParseCommandLine(bad).error, "") << bad[0];
  EXPECT_EQ(Load(ParseCommandLine({"--config=/dev/null", "--after", "1d"})).errors,
            std::vector<std::string>{"--after: \"1d\" is not a time such as 90s or 5m (ms, s, m, "
                                     "h; above zero, at most 24h)"});
}

TEST(IdleSettings, GnomeDelayMovesOnlyTheDefaultAndSaysSo) {
  Settings chosen;
  chosen.after = minutes(10), chosen.afterChosen = true;
  EXPECT_NE(FitGnomeDelay(chosen, minutes(5)).find("will not be seen"), std::string::npos);
  EXPECT_EQ(chosen.after, minutes(10));
  Settings byDefault;
  EXPECT_NE(FitGnomeDelay(byDefault, minutes(5)).find("starts after 4m"), std::string::npos);
  EXPECT_EQ(byDefault.after, minutes(4));
  byDefault = {};
  FitGnomeDelay(byDefault, seconds(40));
  EXPECT_EQ(byDefault.after, seconds(20));
  byDefault = {};
  EXPECT_EQ(FitGnomeDelay(byDefault, Millis(0)), "");  // GNOME never blanks
  EXPECT_EQ(FitGnomeDelay(byDefault, minutes(15)), "");
  EXPECT_EQ(byDefault.after, minutes(5));
  EXPECT_EQ(ParseGnomeDelay("uint32 300\n"), Millis(300'000));
  for (const char* printed : {"", "No such schema\n", "uint32 300 and more"})
    EXPECT_EQ(ParseGnomeDelay(printed), std::nullopt) << printed;
}

TEST(IdleInhibitors, CookiesSkipZeroACallerHoldsABoundedNumberTextIsCutWhole) {
  Inhibitors held(0xFFFFFFFF);
  EXPECT_EQ(held.Add(":1.1", "mpv", "video"), 0xFFFFFFFFu);
  EXPECT_EQ(held.Add(":1.1", "mpv", "video"), 1u) << "0 is \"none\" to many callers";
  for (std::size_t i = 2; i < Inhibitors::kPerCaller; ++i) held.Add(":1.1", "x", "");
  EXPECT_FALSE(held.Add(":1.1", "x", "")) << "no bound";
  EXPECT_TRUE(held.Add(":1.2", "x", ""));
  EXPECT_EQ(Cut("\xC3\xA9", 1), "...") << "half a character";
}

}  // namespace
}  // namespace idle
