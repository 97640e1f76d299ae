#include "idle/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace idle {
namespace {

std::string_view Trim(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

}  // namespace

std::optional<Millis> ParseTime(std::string_view text) {
  long long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  const std::string_view unit(end, static_cast<std::size_t>(text.data() + text.size() - end));
  long long scale = 0;
  if (unit == "ms")
    scale = 1;
  else if (unit == "s")
    scale = 1000;
  else if (unit == "m")
    scale = 60'000;
  else if (unit == "h")
    scale = 3'600'000;
  constexpr long long kDay = 86'400'000;
  if (scale == 0 || number <= 0 || number > kDay / scale) return std::nullopt;
  return Millis(number * scale);
}

std::string FormatTime(Millis time) {
  const long long ms = time.count();
  if (ms % 3'600'000 == 0) return std::to_string(ms / 3'600'000) + "h";
  if (ms % 60'000 == 0) return std::to_string(ms / 60'000) + "m";
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + "s";
  return std::to_string(ms) + "ms";
}

std::string Apply(Settings& settings, std::string_view key, std::string_view value) {
  const auto time = [&]() -> std::optional<Millis> { return ParseTime(value); };
  const std::string notTime = Quoted(value) +
                              " is not a time such as 90s or 5m (ms, s, m, h; "
                              "above zero, at most 24h)";
  if (key == "after") {
    if (!time()) return "after: " + notTime;
    settings.after = *time(), settings.afterChosen = true;
  } else if (key == "lock-after") {
    if (value == "off")
      settings.lockAfter.reset();
    else if (!time())
      return "lock-after: " + notTime + ", or off";
    else
      settings.lockAfter = time();
  } else if (key == "lock-command") {
    if (value.empty()) return "lock-command: empty";
    settings.lockCommand = value;
  } else if (key == "backend") {
    if (std::find(std::begin(kBackends), std::end(kBackends), value) == std::end(kBackends))
      return "backend: " + Quoted(value) +
             " is none of auto, ext-idle-notify, kde-idle, gnome, xsync";
    settings.backend = value;
  } else {
    return "unknown key " + Quoted(key) + " (after, lock-after, lock-command, backend)";
  }
  return {};
}

std::vector<std::string> ReadConfig(Settings& settings, std::string_view text,
                                    const std::string& name) {
  std::vector<std::string> errors;
  int number = 0;
  while (!text.empty()) {
    const std::size_t eol = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, eol));
    text.remove_prefix(std::min(eol + 1, text.size()));
    ++number;
    if (line.empty() || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    std::string error = "no \"=\": lines read key = value";
    if (equals != std::string_view::npos)
      error = Apply(settings, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    if (!error.empty()) errors.push_back(name + ":" + std::to_string(number) + ": " + error);
  }
  return errors;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    std::string arg = args[i], value;
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const bool inline_value = equals != std::string::npos;
    if (inline_value) value = arg.substr(equals + 1), arg.resize(equals);
    static const std::string known[] = {"--after", "--lock-after", "--lock-command", "--backend",
                                        "--config"};
    if (std::find(std::begin(known), std::end(known), arg) == std::end(known)) {
      line.error = "unknown option " + Quoted(args[i]);
      break;
    }
    if (!inline_value) {
      if (i + 1 == args.size()) {
        line.error = arg + " needs a value";
        break;
      }
      value = args[++i];
    }
    if (arg == "--config") {
      line.config = value;
      continue;
    }
    Settings probe;  // values are checked here, so a bad one stops the start
    const std::string error = Apply(probe, arg.substr(2), value);
    if (!error.empty()) line.error = "--" + error;
    line.options.emplace_back(arg.substr(2), value);
  }
  return line;
}

std::string DefaultConfigPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string base;
  if (config != nullptr && config[0] == '/')
    base = config;
  else if (home != nullptr)
    base = std::string(home) + "/.config";
  return base.empty() ? std::string() : base + "/quelvo/idle.conf";
}

std::vector<std::string> Load(Settings& settings, const CommandLine& line) {
  const std::string path = line.config.empty() ? DefaultConfigPath() : line.config;
  std::vector<std::string> errors;
  if (!path.empty()) {
    std::ifstream file(path);
    if (file) {
      std::ostringstream text;
      text << file.rdbuf();
      errors = ReadConfig(settings, text.str(), path);
    } else if (!line.config.empty()) {
      errors.push_back(path + ": cannot be read");
    }
  }
  for (const auto& [key, value] : line.options) Apply(settings, key, value);
  return errors;
}

std::string Describe(const Settings& settings) {
  return "after " + FormatTime(settings.after) + ", lock " +
         (settings.lockAfter ? "after " + FormatTime(*settings.lockAfter) + " with \"" +
                                   settings.lockCommand + "\""
                             : std::string("off")) +
         ", backend " + settings.backend;
}

const char* const kUsage =
    "usage: quelvo-idle [--after TIME] [--lock-after TIME] [--lock-command CMD]\n"
    "                   [--backend=NAME] [--config FILE]\n"
    "Starts `quelvo /s` once the session has been idle for a while, and waits again\n"
    "once it ends.\n"
    "  --after TIME         idle time before the saver starts (default 5m)\n"
    "  --lock-after TIME    lock the session once the saver has run this long (default off)\n"
    "  --lock-command CMD   the command that locks (default: loginctl lock-session)\n"
    "  --backend=NAME       auto, ext-idle-notify, kde-idle, gnome or xsync (default auto)\n"
    "  --config FILE        settings file (default $XDG_CONFIG_HOME/quelvo/idle.conf),\n"
    "                       key = value lines: after, lock-after, lock-command, backend\n"
    "Times take a unit: 1500ms, 90s, 5m, 1h. The command line wins over the file;\n"
    "SIGHUP reads the file again.\n";

}  // namespace idle
