// Process-wide facts the entry records before the program starts.
#pragma once

#include <string>

namespace wayland {

// The program's command line: argv[1..] joined by single spaces.
void SetCommandLine(std::string line);

}  // namespace wayland
