#include "settings/idle_file.h"

#include <glib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace settings {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t eol = std::min(text.find('\n'), text.size());
    lines.push_back(text.substr(0, eol));
    text.remove_prefix(std::min(eol + 1, text.size()));
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The key a `key = value` line sets; empty for blank lines, comments and lines without "=".
std::string_view KeyOf(std::string_view line) {
  line = Trim(line);
  const std::size_t equals = line.find('=');
  if (line.empty() || line.front() == '#' || equals == std::string_view::npos) return {};
  return Trim(line.substr(0, equals));
}

}  // namespace

IdleFile ParseIdleText(std::string text, const std::string& path) {
  IdleFile file{path, std::move(text), {}, {}, {}, {}};
  const std::vector<std::string_view> lines = Lines(file.text);
  // One line at a time through quelvo-idle's own reader, so each refusal has its number.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> errors = idle::ReadConfig(file.values, lines[i], "");
    if (errors.empty()) continue;
    const std::string& error = errors.front();  // ":1: what"
    const int number = static_cast<int>(i) + 1;
    file.badLines.push_back(number);
    file.problems.push_back("line " + std::to_string(number) + ": " +
                            error.substr(std::min(error.size(), std::size_t{4})));
  }
  return file;
}

IdleFile ReadIdleFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    IdleFile file = ParseIdleText({}, path);
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) file.readError = "cannot be read";
    return file;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseIdleText(text.str(), path);
}

std::string WithValue(std::string_view text, std::string_view key, std::string_view value,
                      const std::vector<int>& badLines) {
  const std::vector<std::string_view> lines = Lines(text);
  int last = -1;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (KeyOf(lines[i]) == key) last = static_cast<int>(i);
  const std::string setting = std::string(key) + " = " + std::string(value);
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool bad = std::find(badLines.begin(), badLines.end(), i + 1) != badLines.end();
    if (static_cast<int>(i) == last)
      out += setting;
    else if (bad)
      out += "# not understood, kept as a comment: " + std::string(lines[i]);
    else
      out += lines[i];
    out += '\n';
  }
  if (last < 0) out += setting + '\n';
  return out;
}

std::string WriteIdleFile(const std::string& path, const std::string& text) {
  std::string target = path;
  if (char* real = realpath(path.c_str(), nullptr)) target = real, std::free(real);
  gchar* folder = g_path_get_dirname(target.c_str());
  const int made = g_mkdir_with_parents(folder, 0700);
  g_free(folder);
  if (made != 0) return "cannot make the folder for " + target;
  struct stat info {};
  const int mode = stat(target.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : 0644;
  GError* error = nullptr;
  if (g_file_set_contents_full(target.c_str(), text.data(), static_cast<gssize>(text.size()),
                               G_FILE_SET_CONTENTS_CONSISTENT, mode, &error))
    return {};
  std::string message = error->message;
  g_error_free(error);
  return message;
}

}  // namespace settings
