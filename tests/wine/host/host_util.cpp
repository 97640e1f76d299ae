// Process, window, polling and screen helpers of the Wine test host.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "host.h"

namespace host {

bool Checks::Expect(bool condition, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::printf("%s: ", condition ? "ok" : "FAIL");
  std::vprintf(format, args);
  va_end(args);
  std::puts("");
  std::fflush(stdout);
  if (!condition) ++failures_;
  return condition;
}

Saver::~Saver() {
  if (!process) return;
  if (ExitCode() == STILL_ACTIVE) {
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 5000);
  }
  CloseHandle(process);
}

bool Saver::Start(const std::wstring& path, const std::wstring& arguments) {
  std::wstring line = L"\"" + path + L"\"";
  if (!arguments.empty()) line += L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  CloseHandle(pi.hThread);
  process = pi.hProcess;
  pid = pi.dwProcessId;
  return true;
}

bool Saver::WaitForExit(std::chrono::milliseconds deadline) {
  return PollUntil(deadline, [&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; });
}

DWORD Saver::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  return code;
}

HWND Saver::WaitForWindow(const std::function<bool(HWND)>& filter) {
  HWND found = nullptr;
  PollUntil(std::chrono::seconds(10), [&] {
    found = FindTopLevelWindow(pid, [&](HWND w) { return IsWindowVisible(w) && filter(w); });
    return found != nullptr;
  });
  return found;
}

void Saver::ExpectEnds(Checks& checks, const wchar_t* how, std::chrono::milliseconds deadline) {
  const bool ended = WaitForExit(deadline);
  checks.Expect(ended && ExitCode() == 0, "%ls ends it within %lld ms, status 0 (%lu)", how,
                static_cast<long long>(deadline.count()), ExitCode());
}

void Saver::ExpectEndsPromptly(Checks& checks, const wchar_t* how,
                               const std::function<bool()>& offScreen) {
  using std::chrono::milliseconds;
  const auto start = std::chrono::steady_clock::now();
  auto since = [&] {
    return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  };
  milliseconds gone{-1}, ended{-1};
  while (since() < std::chrono::seconds(6) && (ended.count() < 0 || gone.count() < 0)) {
    if (gone.count() < 0 && offScreen()) gone = since();
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) ended = since();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(2);
  }
  checks.Expect(gone.count() >= 0 && gone <= milliseconds(250),
                "after %ls the saver's windows leave the screen within 250 ms (%lld ms)", how,
                static_cast<long long>(gone.count()));
  checks.Expect(ended.count() >= 0 && ended <= milliseconds(1000) && ExitCode() == 0,
                "and the process ends within 1 s, status 0 (%lld ms, %lu)",
                static_cast<long long>(ended.count()), ExitCode());
}

void PumpFor(std::chrono::milliseconds duration) {
  PollUntil(duration, [] { return false; });
}

bool PollUntil(std::chrono::milliseconds deadline, const std::function<bool()>& condition) {
  auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
}

HWND FindTopLevelWindow(DWORD pid, const std::function<bool(HWND)>& filter) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && filter(w)) return w;
  }
  return nullptr;
}

HWND SaverWindowAt(const Saver& saver, POINT p) {
  HWND w = GetAncestor(WindowFromPoint(p), GA_ROOT);
  DWORD pid = 0;
  return w && GetWindowThreadProcessId(w, &pid) && pid == saver.pid ? w : nullptr;
}

std::vector<std::uint32_t> Capture(HDC source, const RECT& r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return {};
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> out(pixels, pixels + width * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return out;
}

bool OfHue(std::uint32_t p, Hue hue) {
  const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;  // 0x00RRGGBB in a DIB
  const int main = hue == Hue::Green ? g : hue == Hue::Blue ? b : std::max({r, g, b});
  const int other = hue == Hue::Green ? std::max(r, b) : hue == Hue::Blue ? std::max(r, g) : 0;
  return main >= 0x30 && other < main / 2;
}

int CountPixels(const RECT& r, Hue hue) {
  HDC screen = GetDC(nullptr);
  std::vector<std::uint32_t> pixels = Capture(screen, r);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(
      std::count_if(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return OfHue(p, hue); }));
}

int CountGreenPixels(const RECT& r) { return CountPixels(r, Hue::Green); }

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int RunSelf(const std::wstring& arguments) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  Saver child;
  if (!child.Start(self, arguments) || !child.WaitForExit(std::chrono::seconds(10))) return -1;
  return static_cast<int>(child.ExitCode());
}

}  // namespace host
