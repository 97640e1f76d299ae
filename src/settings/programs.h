// The other Quelvo programs: found beside this one (a build tree, or /usr/bin), else on PATH,
// and started detached from the window.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace settings {

std::string FindProgram(const std::string& name);  // an absolute path, or the bare name
// Empty on success, else why it could not start. `ended` gets the exit status when it ends
// (-1: killed by a signal).
using Ended = std::function<void(int status)>;
std::string StartDetached(const std::vector<std::string>& argv, Ended ended = nullptr);

}  // namespace settings
