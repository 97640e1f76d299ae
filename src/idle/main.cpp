// quelvo-idle: starts `quelvo /s` once the session has been idle for a while.
#include <cstdio>

#include "idle/log.h"
#include "idle/runner.h"

int main(int argc, char** argv) {
  const idle::CommandLine line = idle::ParseCommandLine({argv + 1, argv + argc});
  if (line.help) return std::fputs(idle::kUsage, stdout), 0;
  if (line.version) return std::printf("quelvo-idle %s\n", QUELVO_VERSION), 0;
  if (!line.error.empty()) {
    std::fprintf(stderr, "quelvo-idle: %s\n%s", line.error.c_str(), idle::kUsage);
    return 2;
  }
  idle::Loaded loaded = idle::Load(line);
  for (const std::string& error : loaded.errors) idle::Log(idle::Level::kError, error);
  if (!loaded.errors.empty()) return 2;
  return idle::Runner(std::move(loaded.settings), line).Run();
}
