#include "idle/log.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace idle {
namespace {

// The journal reads "<N>" priorities only from the stream it gave us (JOURNAL_STREAM is its
// "device:inode"); a terminal gets plain lines.
bool ToJournal() {
  const char* stream = std::getenv("JOURNAL_STREAM");
  struct stat st;
  unsigned long long device = 0, inode = 0;
  return stream != nullptr && std::sscanf(stream, "%llu:%llu", &device, &inode) == 2 &&
         fstat(2, &st) == 0 && st.st_dev == device && st.st_ino == inode;
}

void Write(Level level, std::string_view line) {
  static const bool journal = ToJournal();
  if (journal) std::fprintf(stderr, "<%d>", static_cast<int>(level));
  std::fprintf(stderr, "quelvo-idle: %.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stderr);
}

}  // namespace

void Log(Level level, std::string_view raw) {
  const std::string line = Escape(raw);
  // A caller repeating itself gets one line, and a count once something else is said.
  static std::string last;
  static unsigned long repeats = 0;
  if (line == last) return void(++repeats);
  if (repeats > 0)
    Write(Level::kInfo, "(the line before came " + std::to_string(repeats) + " more times)");
  last = line, repeats = 0;
  Write(level, line);
}

std::string Cut(std::string_view text, std::size_t max) {
  if (text.size() <= max) return std::string(text);
  std::size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end)) + "...";
}

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace idle
