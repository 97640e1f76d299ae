// Entry point of the Wine test host: one check per command, exit status = failures.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "host.h"

namespace {

int Usage() {
  std::fputs(
      "usage: quelvo_wine_host COMMAND ...\n"
      "  version SCR                   version block, icon and manifest of SCR\n"
      "  preview SCR                   /P and /p: embedding in a 152 x 112 preview window\n"
      "  preview-no-window SCR         /P naming no window ends at once\n"
      "  fullscreen SCR key|mouse|end-session   /S: topmost cover, banner, rain, how it ends\n"
      "  about SCR ARGS|none close|alt-f4|click   the about box, and how it ends the program\n"
      "  dpi SCR                       on a scaled display: the cover and the text sizes\n"
      "  first-frame SCR               milliseconds from start to the first painted frame\n"
      "  monitors SCR key|mouse        /S on two monitors: both covered, how it ends\n"
      "  covers SCR                    milliseconds from start to both monitors covered\n"
      "  spi-get | spi-set 0|1         the screen-saver activation, from a process of its own\n",
      stderr);
  return 100;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  std::wstring command = argv[1];
  if (command == L"spi-get") {
    BOOL active = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active ? 1 : 0;
  }
  if (command == L"spi-set" && argc == 3) {
    UINT active = std::wcstol(argv[2], nullptr, 10);
    return SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0) ? 0 : 1;
  }
  if (argc < 3) return Usage();
  std::wstring scr = argv[2];
  if (command == L"version") return host::CheckVersionBlock(scr);
  if (command == L"preview") return host::CheckPreview(scr);
  if (command == L"preview-no-window") return host::CheckPreviewWithoutWindow(scr);
  if (command == L"fullscreen" && argc == 4) return host::CheckFullScreen(scr, argv[3]);
  if (command == L"about" && argc == 5) {
    std::wstring arguments = argv[3];
    return host::CheckAboutBox(scr, arguments == L"none" ? L"" : arguments, argv[4]);
  }
  if (command == L"dpi") return host::CheckHighDpi(scr);
  if (command == L"first-frame") return host::MeasureFirstFrame(scr);
  if (command == L"monitors" && argc == 4) return host::CheckMonitors(scr, argv[3]);
  if (command == L"covers") return host::MeasureCovers(scr);
  return Usage();
}
