// Process-wide facts the entry point records before the program starts.
#pragma once

#include <string>

namespace x11 {

// The program's command line: argv[1..] joined by single spaces, or what a daemon's
// options were translated into.
void SetCommandLine(std::string line);

}  // namespace x11
