// quelvo-idle's settings: the command line over the file, times with units, and every
// error naming where it came from (the file and line, or the option).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace idle {

using Millis = std::chrono::milliseconds;

struct Settings {
  Millis after = std::chrono::minutes(5);
  bool afterChosen = false;  // GNOME's blank delay may move the default, never the user's time
  std::optional<Millis> lockAfter;
  std::string lockCommand = "loginctl lock-session";
  std::string backend = "auto";
};

inline constexpr const char* kBackends[] = {"auto", "ext-idle-notify", "kde-idle", "gnome",
                                            "xsync"};

// "1500ms", "90s", "5m", "1h": a whole number and a unit, above zero, at most a day.
std::optional<Millis> ParseTime(std::string_view text);
std::string FormatTime(Millis time);  // the largest unit that divides it

// Sets one key (without dashes); returns what is wrong, empty when it took.
std::string Apply(Settings& settings, std::string_view key, std::string_view value);

// `key = value` lines, blank lines and lines starting with #. Errors read "NAME:LINE: what".
std::vector<std::string> ReadConfig(Settings& settings, std::string_view text,
                                    const std::string& name);

struct CommandLine {
  std::vector<std::pair<std::string, std::string>> options;  // key without dashes, value
  std::string config;                                        // --config, else empty
  bool help = false;
  std::string error;
};
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The file named by --config, else $XDG_CONFIG_HOME/quelvo/idle.conf (~/.config by default).
std::string DefaultConfigPath();

// Defaults, then the file (a missing default file is no error), then the command line.
// Errors are as ReadConfig's, or the option's.
std::vector<std::string> Load(Settings& settings, const CommandLine& line);

std::string Describe(const Settings& settings);  // one line for the log
extern const char* const kUsage;

}  // namespace idle
