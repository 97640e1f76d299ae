// Process-wide facts the entry point records before the program starts.
#pragma once

namespace x11 {

// Keeps argv[1..] joined by single spaces: the program's command line.
void SetArguments(int argc, char** argv);

}  // namespace x11
