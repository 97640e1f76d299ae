// Preview mode: the host's settings page with a 152 x 112 preview window, as the
// screen-saver host makes it, and the saver started with its handle.
#include <windows.h>

#include <string>

#include "host.h"

namespace host {
namespace {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

HWND CreateSettingsPage(HWND& preview) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"QuelvoTestSettingsPage";
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  HWND page = CreateWindowExW(0, L"QuelvoTestSettingsPage", L"Screen saver settings",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 400,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  preview = CreateWindowExW(0, L"QuelvoTestSettingsPage", L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, kPreviewWidth,
                            kPreviewHeight, page, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(page);
  return page;
}

void RunPreview(Checks& checks, const std::wstring& scr, const wchar_t* switchFormat) {
  HWND preview = nullptr;
  HWND page = CreateSettingsPage(preview);
  PollUntil(std::chrono::seconds(2), [&] { return GetForegroundWindow() == page; });
  const HWND foreground = GetForegroundWindow();
  const HWND active = GetActiveWindow();

  wchar_t arguments[64];
  // Hosts write the handle as an unsigned decimal number.
  wsprintfW(arguments, switchFormat, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(preview)));
  Note("preview: %ls %ls", scr.c_str(), arguments);
  Saver saver;
  checks.Expect(saver.Start(scr, arguments), "the saver starts");

  HWND child = nullptr;
  bool embedded = PollUntil(std::chrono::seconds(10), [&] {
    child = GetWindow(preview, GW_CHILD);
    DWORD pid = 0;
    if (child) GetWindowThreadProcessId(child, &pid);
    return child && pid == saver.pid && IsWindowVisible(child);
  });
  checks.Expect(embedded, "a visible window of the saver appears inside the preview window");
  if (embedded) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, preview, reinterpret_cast<POINT*>(&r), 2);
    checks.Expect(
        r.left == 0 && r.top == 0 && r.right == kPreviewWidth && r.bottom == kPreviewHeight,
        "it sits at (0, 0) with the preview's size (%ld, %ld, %ld, %ld)", r.left, r.top, r.right,
        r.bottom);
    GetClientRect(child, &r);
    checks.Expect(r.right == kPreviewWidth && r.bottom == kPreviewHeight,
                  "its client area is 152 x 112 (%ld x %ld)", r.right, r.bottom);
    checks.Expect((GetWindowLongW(child, GWL_STYLE) & WS_CHILD) != 0, "it has the WS_CHILD style");

    // Its timers make it topmost many times a second, without the activation.
    PumpFor(std::chrono::seconds(1));
    checks.Expect(GetForegroundWindow() == foreground && GetActiveWindow() == active,
                  "the settings page keeps the activation");
    // Wine 8 does not put on screen what a process paints into a child window of another
    // process's window, so the rain inside the preview cannot be seen here.
    RECT area;
    GetWindowRect(preview, &area);
    Note("green pixels in the preview under this display: %d", CountGreenPixels(area));
  }

  DestroyWindow(page);
  bool ended = saver.WaitForExit(std::chrono::seconds(2));
  checks.Expect(ended, "destroying the host's window ends the saver within 2 s");
  if (ended) checks.Expect(saver.ExitCode() == 0, "exit status 0 (%lu)", saver.ExitCode());
}

// A path with spaces and letters beyond ASCII: the command line must still be split right.
std::wstring CopyToUnusualPath(const std::wstring& scr) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + L"Quelvo pr\u00e9view \u00fc";
  CreateDirectoryW(dir.c_str(), nullptr);
  std::wstring copy = dir + L"\\Quelvo s\u00e4ver.scr";
  return CopyFileW(scr.c_str(), copy.c_str(), FALSE) ? copy : std::wstring();
}

}  // namespace

int CheckPreview(const std::wstring& scr) {
  Checks checks;
  RunPreview(checks, scr, L"/P %u");
  std::wstring unusual = CopyToUnusualPath(scr);
  checks.Expect(!unusual.empty(), "Quelvo.scr copied to a path with spaces and accents");
  if (!unusual.empty()) RunPreview(checks, unusual, L"/p:%u");
  return checks.failures();
}

int CheckPreviewWithoutWindow(const std::wstring& scr) {
  Checks checks;
  for (const wchar_t* arguments : {L"/P 0", L"/P", L"/p 123456789"}) {
    Saver saver;
    checks.Expect(saver.Start(scr, arguments), "the saver starts with %ls", arguments);
    bool ended = saver.WaitForExit(std::chrono::seconds(3));
    checks.Expect(ended, "with %ls, naming no window, it ends at once", arguments);
    if (ended) checks.Expect(saver.ExitCode() == 0, "exit status 0 (%lu)", saver.ExitCode());
  }
  return checks.failures();
}

}  // namespace host
