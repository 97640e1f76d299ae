// The program's start: each platform's entry point sets itself up, then calls this.
#pragma once

namespace quelvo {

// Creates the forms, loads the start-up form and runs the message loop; returns the
// process's exit status.
int Main();

}  // namespace quelvo
