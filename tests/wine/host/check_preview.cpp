// Preview mode: the host's settings page with a 152 x 112 preview window, as the
// screen-saver host makes it, and the saver started with its handle, or with none.
#include "host.h"

namespace host {
namespace {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

void RunPreview(Checks& checks, const std::wstring& scr, const wchar_t* switchFormat) {
  // The settings page: a top-level window with the preview as its child.
  HWND page = CreateWindowExW(0, L"STATIC", L"Screen saver settings",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 400,
                              300, nullptr, nullptr, nullptr, nullptr);
  HWND preview = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                                 kPreviewWidth, kPreviewHeight, page, nullptr, nullptr, nullptr);
  SetForegroundWindow(page);
  PollUntil(std::chrono::seconds(2), [&] { return GetForegroundWindow() == page; });
  const HWND foreground = GetForegroundWindow();
  const HWND active = GetActiveWindow();

  wchar_t arguments[64];
  // Hosts write the handle as an unsigned decimal number.
  wsprintfW(arguments, switchFormat, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(preview)));
  Saver saver;
  checks.Expect(saver.Start(scr, arguments), "the saver starts");

  HWND child = nullptr;
  bool embedded = PollUntil(std::chrono::seconds(10), [&] {
    child = GetWindow(preview, GW_CHILD);
    DWORD pid = 0;
    if (child) GetWindowThreadProcessId(child, &pid);
    return child && pid == saver.pid && IsWindowVisible(child);
  });
  if (checks.Expect(embedded, "a visible window of the saver appears inside the preview window")) {
    // Its client area, in the preview's: a border or an offset would show here.
    RECT r;
    GetClientRect(child, &r);
    MapWindowPoints(child, preview, reinterpret_cast<POINT*>(&r), 2);
    checks.Expect(
        r.left == 0 && r.top == 0 && r.right == kPreviewWidth && r.bottom == kPreviewHeight,
        "its client area fills the preview (%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    checks.Expect((GetWindowLongW(child, GWL_STYLE) & WS_CHILD) != 0, "it has the WS_CHILD style");

    // Its timers make it topmost many times a second, without the activation.
    PumpFor(std::chrono::seconds(1));
    checks.Expect(GetForegroundWindow() == foreground && GetActiveWindow() == active,
                  "the settings page keeps the activation");
    // Wine 8 does not put on screen what a process paints into a child window of another
    // process's window, so the rain inside the preview cannot be seen here.
  }

  DestroyWindow(page);
  saver.ExpectEnds(checks, L"destroying the host's window");
}

}  // namespace

int CheckPreview(const std::wstring& scr) {
  Checks checks;
  RunPreview(checks, scr, L"/P %u");
  // A path with spaces and letters beyond ASCII: the command line must still be split right.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"Quelvo pr\u00e9view \u00fc";
  const std::wstring unusual = dir + L"\\Quelvo s\u00e4ver.scr";
  CreateDirectoryW(dir.c_str(), nullptr);
  if (checks.Expect(CopyFileW(scr.c_str(), unusual.c_str(), FALSE),
                    "Quelvo.scr copied to a path with spaces and accents"))
    RunPreview(checks, unusual, L"/p:%u");
  // A handle that names no window, or none: the saver ends at once, quietly.
  for (const wchar_t* arguments : {L"/P 0", L"/P", L"/p 123456789"}) {
    Saver saver;
    checks.Expect(saver.Start(scr, arguments), "the saver starts with %ls", arguments);
    saver.ExpectEnds(checks, arguments, std::chrono::seconds(3));
  }
  return checks.failures();
}

}  // namespace host
