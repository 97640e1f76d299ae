// quelvo-idle's one way to the journal: a line per decision, with a priority, and text from
// a bus cut and escaped so no caller can forge a line or flood the log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace idle {

// The syslog priorities the journal reads from a "<N>" before the line.
enum class Level { kError = 3, kWarning = 4, kNotice = 5, kInfo = 6 };

void Log(Level level, std::string_view line);
inline void Log(std::string_view line) { Log(Level::kInfo, line); }

// Text from a bus at most `max` bytes long, never cut inside a UTF-8 character.
std::string Cut(std::string_view text, std::size_t max);
// Control characters and backslashes written as \n, \t, \\ or \xHH: one line, whatever
// came. Log does it to every line, once.
std::string Escape(std::string_view text);

}  // namespace idle
