// Implements: the process entry point of quelvo on Linux: reads the conventions around
// the command line (usage, version, a daemon's window, --platform), picks X11 or
// Wayland, runs the program on it and gives everything back.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux_entry/linux_backend.h"
#include "platform/linux_entry/linux_invocation.h"
#include "platform/linux_shared/linux_signals.h"
#include "platform/x11/x11_backend.h"
#include "saver/startup.h"

namespace {

using linux_platform::Invocation;
using linux_platform::Platform;

constexpr int kArgumentError = 2;

const linux_platform::Backend& BackendOf(Platform platform) {
  return platform == Platform::Wayland ? linux_platform::kWaylandBackend
                                       : linux_platform::kX11Backend;
}

void ShutdownActive() { linux_platform::Active().Shutdown(); }

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const Invocation call = linux_platform::ReadInvocation(args, std::getenv("XSCREENSAVER_WINDOW"));
  switch (call.kind) {
    case Invocation::Kind::Help:
      std::fputs(linux_platform::Usage(), stdout);
      return 0;
    case Invocation::Kind::Version:
      std::printf("quelvo %s\n", QUELVO_VERSION);
      return 0;
    case Invocation::Kind::Error:
      std::fprintf(stderr, "quelvo: %s (%s)\n", call.error.c_str(), linux_platform::UsageLine());
      return kArgumentError;
    default:
      break;
  }

  // The ending signals keep their default action while we connect: a display that
  // accepts and never answers must not hold them off.
  linux_platform::IgnoreBrokenPipe();
  const linux_platform::Choice choice = linux_platform::ChoosePlatform(
      call, {std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY")},
      [](Platform platform) { return BackendOf(platform).Connect(); });
  if (!choice.platform) {
    std::fprintf(stderr, "quelvo: %s\n", choice.error.c_str());
    return 1;
  }
  const linux_platform::Backend& backend = BackendOf(*choice.platform);
  linux_platform::Activate(backend);

  std::string command = call.commandLine;
  if (call.kind == Invocation::Kind::Embedded) {
    std::string error;
    const auto embedding = x11::EmbeddingCommand(call.window, error);
    if (!embedding) {
      std::fprintf(stderr, "quelvo: %s\n", error.c_str());
      backend.Shutdown();
      return 1;
    }
    command = *embedding;
  }
  linux_platform::RouteEndingSignals();
  backend.Start(command);
  // The program may end the process from inside the loop; give back what we took then too.
  std::atexit(ShutdownActive);
  const int status = quelvo::Main();
  backend.Shutdown();
  return status;
}
