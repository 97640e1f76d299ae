// The Wine test host: plays the screen-saver settings page around Quelvo.scr (starts it
// with the host's command lines, owns the preview window) and checks what it sees.
// Each check prints "ok: ..." or "FAIL: ..." lines and counts the failures.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

// Counts and prints results; the process's exit status is the number of failures.
class Checks {
 public:
  void Expect(bool condition, const char* format, ...);
  int failures() const { return failures_; }

 private:
  int failures_ = 0;
};

void Note(const char* format, ...);

// A started saver process.
struct Saver {
  HANDLE process = nullptr;
  DWORD pid = 0;
  ~Saver();
  bool Start(const std::wstring& path, const std::wstring& arguments);
  // Waits for the process to end, pumping our own messages meanwhile.
  bool WaitForExit(std::chrono::milliseconds deadline);
  DWORD ExitCode() const;
  void Kill();
};

// Polls until the condition holds or the deadline passes, pumping our messages.
bool PollUntil(std::chrono::milliseconds deadline, const std::function<bool()>& condition);
void PumpFor(std::chrono::milliseconds duration);

// A top-level window of a process that satisfies the filter, or null.
HWND FindTopLevelWindow(DWORD pid, const std::function<bool(HWND)>& filter);

// Counts pixels of a clear hue in a screen rectangle: the rain's and the banner's greens,
// the blue of the about box's maker name.
// Lit: any pixel that is not (nearly) black.
enum class Hue { Green, Blue, Lit };
int CountPixels(const RECT& screenRect, Hue hue);
bool OfHue(std::uint32_t pixel, Hue hue);
// The pixels of a rectangle of a device context, 0x00RRGGBB, row by row.
std::vector<std::uint32_t> Capture(HDC source, const RECT& r);
int CountGreenPixels(const RECT& screenRect);

// Runs this host again with arguments and returns its exit code (-1 when it cannot start).
int RunSelf(const std::wstring& arguments);

int CheckVersionBlock(const std::wstring& scr);
int CheckPreview(const std::wstring& scr);
int CheckPreviewWithoutWindow(const std::wstring& scr);
int CheckFullScreen(const std::wstring& scr, const std::wstring& dismissal);
int CheckAboutBox(const std::wstring& scr, const std::wstring& arguments, const std::wstring& how);
int CheckHighDpi(const std::wstring& scr);
int MeasureFirstFrame(const std::wstring& scr);
int CheckMonitors(const std::wstring& scr, const std::wstring& dismissal);
int MeasureCovers(const std::wstring& scr);
// The top-level window of the saver's process under a point of the screen, or null.
HWND SaverWindowAt(const Saver& saver, POINT p);

}  // namespace host
