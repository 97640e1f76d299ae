// Entry point of the Wine test host: one check per command, exit status = failures.
#include <cstdio>
#include <cwchar>

#include "host.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"spi-get") {
    BOOL active = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active ? 1 : 0;
  }
  if (command == L"spi-on")
    return SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0) ? 0 : 1;
  const std::wstring scr = argc > 2 ? argv[2] : L"";
  if (command == L"lock") {
    // Holds the file open without sharing, as a running saver might, until stdin ends.
    HANDLE file = CreateFileW(scr.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::puts("locked");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
  }
  if (command == L"version") return host::CheckVersionBlock(scr);
  if (command == L"preview") return host::CheckPreview(scr);
  if (command == L"fullscreen" && argc == 4) return host::CheckFullScreen(scr, argv[3]);
  if (command == L"about" && argc == 5)
    return host::CheckAboutBox(scr, std::wcscmp(argv[3], L"none") ? argv[3] : L"", argv[4]);
  if (command == L"dpi") return host::CheckHighDpi(scr);
  if (command == L"monitors" && argc >= 4)
    return host::CheckMonitors(scr, argv[3], argc == 5 && !std::wcscmp(argv[4], L"primary"));
  if (command == L"first-frame") return host::MeasureFirstFrame(scr);
  if (command == L"covers") return host::MeasureCovers(scr);
  std::fputws(L"unknown command: see tests/wine/CMakeLists.txt\n", stderr);
  return 100;
}
