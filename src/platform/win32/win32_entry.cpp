// Implements: the process entry point of Quelvo.scr (a GUI-subsystem program).
#include <windows.h>

#include "saver/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return quelvo::Main(); }
