// quelvo-idle: starts `quelvo /s` once the session has been idle for a while.
#include <cstdio>

#include "idle/runner.h"

int main(int argc, char** argv) {
  const idle::CommandLine line = idle::ParseCommandLine({argv + 1, argv + argc});
  if (line.help) return std::fputs(idle::kUsage, stdout), 0;
  if (!line.error.empty()) {
    std::fprintf(stderr, "quelvo-idle: %s\n%s", line.error.c_str(), idle::kUsage);
    return 2;
  }
  idle::Settings settings;
  const std::vector<std::string> errors = idle::Load(settings, line);
  for (const std::string& error : errors) idle::Log(error);
  if (!errors.empty()) return 2;
  return idle::Runner(settings, line).Run();
}
