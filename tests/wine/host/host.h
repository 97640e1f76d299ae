// The Wine test host: plays the screen-saver settings page around Quelvo.scr (starts it
// with the host's command lines, owns the preview window) and checks what it sees.
// Each check prints "ok: ..." or "FAIL: ..." lines and returns its failures.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

class Checks {
 public:
  bool Expect(bool condition, const char* format, ...);
  int failures() const { return failures_; }

 private:
  int failures_ = 0;
};

struct Saver {
  HANDLE process = nullptr;
  DWORD pid = 0;
  ~Saver();
  bool Start(const std::wstring& path, const std::wstring& arguments);
  bool WaitForExit(std::chrono::milliseconds deadline);
  DWORD ExitCode() const;
  // Its first visible top-level window that passes the filter, within 10 s; or null.
  HWND WaitForWindow(const std::function<bool(HWND)>& filter = [](HWND) { return true; });
  void ExpectEnds(Checks& checks, const wchar_t* how,
                  std::chrono::milliseconds deadline = std::chrono::seconds(2));
  // Timed from the host's last action: the saver gone from the screen (as offScreen sees
  // it) within 250 ms, the process ended with status 0 within 1 s.
  void ExpectEndsPromptly(Checks& checks, const wchar_t* how,
                          const std::function<bool()>& offScreen);
};

// Polls until the condition holds or the deadline passes, pumping our messages.
bool PollUntil(std::chrono::milliseconds deadline, const std::function<bool()>& condition);
void PumpFor(std::chrono::milliseconds duration);

HWND FindTopLevelWindow(DWORD pid, const std::function<bool(HWND)>& filter);
// The top-level window of the saver's process under a point of the screen, or null.
HWND SaverWindowAt(const Saver& saver, POINT p);

// Lit: any pixel that is not (nearly) black.
enum class Hue { Green, Blue, Lit };
bool OfHue(std::uint32_t pixel, Hue hue);
int CountPixels(const RECT& screenRect, Hue hue);
int CountGreenPixels(const RECT& screenRect);
// The pixels of a rectangle of a device context, 0x00RRGGBB, row by row.
std::vector<std::uint32_t> Capture(HDC source, const RECT& r);
int ScreenDpi();

// Runs this host again; its exit code, or -1.
int RunSelf(const std::wstring& arguments);

int CheckVersionBlock(const std::wstring& scr);
int CheckPreview(const std::wstring& scr);
int CheckFullScreen(const std::wstring& scr, const std::wstring& dismissal);
int CheckAboutBox(const std::wstring& scr, const std::wstring& arguments, const std::wstring& how);
int CheckHighDpi(const std::wstring& scr);
int CheckMonitors(const std::wstring& scr, const std::wstring& dismissal, bool onPrimary);
int MeasureFirstFrame(const std::wstring& scr);
int MeasureCovers(const std::wstring& scr);

}  // namespace host
