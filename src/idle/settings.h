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
std::string SetKey(Settings& settings, std::string_view key, std::string_view value);

// `key = value` lines, blank lines and lines starting with #; one pair of matching quotes
// around a whole value is taken off, as users write them. Errors read "NAME:LINE: what".
std::vector<std::string> ReadConfig(Settings& settings, std::string_view text,
                                    const std::string& name);

struct CommandLine {
  std::vector<std::pair<std::string, std::string>> options;  // key without dashes, value
  std::string config;                                        // --config, else empty
  bool help = false, version = false;
  std::string error;  // an unknown option or one without its value
};
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The file named by --config, else $XDG_CONFIG_HOME/quelvo/idle.conf (~/.config by default).
std::string DefaultConfigPath();

// Defaults, then the file, then the command line: the settings, or everything wrong with
// them (ReadConfig's errors, the file that cannot be read, or "--option: what").
// A missing default file is no error; any file that exists must be a regular file we
// can read (opened without blocking, so a FIFO cannot hang us).
struct Loaded {
  Settings settings;  // only when errors is empty
  std::vector<std::string> errors;
};
Loaded Load(const CommandLine& line);

std::string Describe(const Settings& settings);  // one line for the log
// A line to log when the lock command's first word names no program we can find.
std::string LockCommandWarning(const Settings& settings);
extern const char* const kUsage;

}  // namespace idle
