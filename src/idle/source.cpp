#include "idle/source.h"

namespace idle {

SourcePtr OpenSource(sd_event* loop, sd_bus* session, const std::string& backend,
                     const Source::Events& events, std::string& missing) {
  std::string why[3];
  SourcePtr source;
  const bool any = backend == "auto";
  if (any || backend == "ext-idle-notify" || backend == "kde-idle")
    source = OpenWayland(loop, any ? "auto" : backend, events, why[0]);
  if (!source && (any || backend == "gnome")) source = OpenMutter(loop, session, events, why[1]);
  if (!source && (any || backend == "xsync")) source = OpenXSync(loop, events, why[2]);
  if (source) return source;
  missing = "no idle source";
  for (const std::string& reason : why)
    if (!reason.empty()) missing += (missing == "no idle source" ? ": " : "; ") + reason;
  return nullptr;
}

}  // namespace idle
