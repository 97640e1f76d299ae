#include "idle/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace idle {
namespace {

std::string_view Trim(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string_view Unquoted(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
    return s.substr(1, s.size() - 2);
  return s;
}

constexpr off_t kMaxFile = 64 * 1024;

// The whole file, or why not: refused unless a regular file, read without ever blocking.
std::string ReadFile(const std::string& path, std::string& text, bool& missing) {
  if (path == "/dev/null") return {};  // "no file", as everywhere
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return missing = errno == ENOENT, std::strerror(errno);
  struct stat st;
  std::string error;
  if (fstat(fd, &st) != 0)
    error = std::strerror(errno);
  else if (!S_ISREG(st.st_mode))
    error = "not a regular file";
  else if (st.st_size > kMaxFile)
    error = "larger than 64 KiB";
  char buffer[4096];
  for (ssize_t n = 1; error.empty() && n > 0;) {
    n = read(fd, buffer, sizeof buffer);
    if (n < 0) error = std::strerror(errno);
    if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > static_cast<std::size_t>(kMaxFile)) error = "larger than 64 KiB";
  }
  close(fd);
  return error;
}

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

std::string SetKey(Settings& settings, std::string_view key, std::string_view value) {
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
    if (Trim(value).empty()) return "lock-command: empty";
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
      error =
          SetKey(settings, Trim(line.substr(0, equals)), Unquoted(Trim(line.substr(equals + 1))));
    if (!error.empty()) errors.push_back(name + ":" + std::to_string(number) + ": " + error);
  }
  return errors;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    std::string arg = args[i], value;
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      (arg == "--version" ? line.version : line.help) = true;
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

Loaded Load(const CommandLine& line) {
  Loaded loaded;
  const std::string path = line.config.empty() ? DefaultConfigPath() : line.config;
  std::string text;
  bool missing = false;
  const std::string error = path.empty() ? std::string() : ReadFile(path, text, missing);
  if (error.empty())
    loaded.errors = ReadConfig(loaded.settings, text, path);
  else if (!missing || !line.config.empty())
    loaded.errors.push_back(path + ": cannot be read: " + error);
  for (const auto& [key, value] : line.options) {
    const std::string wrong = SetKey(loaded.settings, key, value);
    if (!wrong.empty()) loaded.errors.push_back("--" + wrong);
  }
  return loaded;
}

std::string Describe(const Settings& settings) {
  return "after " + FormatTime(settings.after) + ", lock " +
         (settings.lockAfter ? "after " + FormatTime(*settings.lockAfter) + " with \"" +
                                   settings.lockCommand + "\""
                             : std::string("off")) +
         ", backend " + settings.backend;
}

std::string LockCommandWarning(const Settings& settings) {
  const std::string_view command = Trim(settings.lockCommand);
  const std::string first(command.substr(0, command.find_first_of(" \t")));
  if (first.find('/') != std::string::npos)
    return access(first.c_str(), X_OK) == 0 ? ""
                                            : "lock-command: " + Quoted(first) + " cannot be run";
  const char* path = std::getenv("PATH");
  std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const std::size_t colon = std::min(dirs.find(':'), dirs.size());
    const std::string dir(dirs.substr(0, colon));
    if (access(((dir.empty() ? "." : dir) + "/" + first).c_str(), X_OK) == 0) return {};
    if (colon == dirs.size()) break;
    dirs.remove_prefix(colon + 1);
  }
  // The shell may know it (a builtin, an alias in $ENV); still worth a line before lock time.
  return "lock-command: " + Quoted(first) + " is not on PATH";
}

const char* const kUsage =
    "usage: quelvo-idle [--after TIME] [--lock-after TIME] [--lock-command CMD]\n"
    "                   [--backend=NAME] [--config FILE] | --help | --version\n"
    "Starts `quelvo /s` once the session has been idle for a while, and waits again\n"
    "once it ends.\n"
    "  --after TIME         idle time before the saver starts (default 5m)\n"
    "  --lock-after TIME    lock the session once the saver has run this long (default off)\n"
    "  --lock-command CMD   the command that locks (default: loginctl lock-session)\n"
    "  --backend=NAME       auto, ext-idle-notify, kde-idle, gnome or xsync (default auto)\n"
    "  --config FILE        settings file (default $XDG_CONFIG_HOME/quelvo/idle.conf),\n"
    "                       key = value lines: after, lock-after, lock-command, backend\n"
    "Times take a unit: 1500ms, 90s, 5m, 1h. The command line wins over the file;\n"
    "SIGHUP (or Reload on org.quelvo.Quelvo.Idle) reads the file again.\n"
    "One runner per session: a second one says which runs and leaves.\n";

}  // namespace idle
