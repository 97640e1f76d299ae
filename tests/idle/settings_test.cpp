// Settings: the file's bad lines as one table, the command line over the file, GNOME's delay.
#include "idle/settings.h"

#include <gtest/gtest.h>

#include "idle/gnome_delay.h"

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
                         " after=90s \r\nlock-after = 1500ms\nlock-command = swaylock -f\n"
                         "backend = kde-idle\n",
                         "f")
                  .empty());
  EXPECT_EQ(Describe(settings),
            "after 90s, lock after 1500ms with \"swaylock -f\", backend kde-idle");
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
}

}  // namespace
}  // namespace idle
