// Implements: the covers over the monitors other than the primary in full-screen mode
// on Win32. While a borderless, topmost form covering the whole primary monitor is
// shown, every other monitor gets a black topmost window without a cursor, and input
// there reaches that form as input on its bare background. They are made when the
// rain form's full-screen set-up shows it, follow WM_DISPLAYCHANGE, and go with it.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace platform::win32 {
namespace {

struct Cover {
  HWND hwnd = nullptr;
  RECT rect{};
};

std::vector<Cover> covers;
HWND coveredFor = nullptr;  // the form the covers stand for
DWORD lastRaise = 0;
constexpr DWORD kRaiseIntervalMs = 100;

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// A shown, borderless, topmost top-level form over the whole primary monitor. The one
// covered already keeps its covers if a new primary monitor is larger than it.
bool IsFullScreenForm(HWND hwnd) {
  const WindowRecord* record = FindRecord(hwnd);
  if (!record || !record->isForm || record->border != FormBorder::Borderless) return false;
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  if (!(style & WS_VISIBLE) || (style & WS_CHILD) ||
      GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow() ||
      !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    return false;
  }
  RECT r{};
  GetWindowRect(hwnd, &r);
  return hwnd == coveredFor ||
         (r.left <= 0 && r.top <= 0 && r.right >= GetSystemMetrics(SM_CXSCREEN) &&
          r.bottom >= GetSystemMetrics(SM_CYSCREEN));
}

// Every monitor but the primary, once; one overlapping the primary (a mirror of it)
// would hide the rain, so it stays as it is.
std::vector<RECT> MonitorsToCover() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM param) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
          reinterpret_cast<std::vector<RECT>*>(param)->push_back(info.rcMonitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  std::vector<RECT> wanted;
  for (const RECT& m : monitors) {
    RECT overlap;
    const bool unique =
        std::none_of(wanted.begin(), wanted.end(), [&](const RECT& w) { return SameRect(w, m); });
    if (!IntersectRect(&overlap, &m, &primary) && unique) wanted.push_back(m);
  }
  return wanted;
}

bool IsForwardedInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL &&
          message != WM_MOUSEHWHEEL);
}

LRESULT CALLBACK CoverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_MOUSEACTIVATE:
      // The form keeps the activation, and with it the keyboard.
      return MA_NOACTIVATE;
    default:
      break;
  }
  if (coveredFor && IsForwardedInput(message)) {
    if (message >= WM_MOUSEFIRST) {
      // Where the same spot of the screen lies in the form's client area.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      MapWindowPoints(hwnd, coveredFor, &p, 1);
      lParam = MAKELPARAM(p.x, p.y);
    }
    return WindowProc(coveredFor, message, wParam, lParam);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* CoverClass() {
  static const wchar_t* name = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = CoverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"QuelvoCover";
    RegisterClassExW(&wc);
    return wc.lpszClassName;
  }();
  return name;
}

HWND MakeCover(const RECT& r) {
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, CoverClass(),
                              L"", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hwnd) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  return hwnd;
}

void RemoveCovers() {
  std::vector<Cover> going;
  going.swap(covers);
  coveredFor = nullptr;
  for (const Cover& c : going) DestroyOwnWindow(c.hwnd);
}

// Covers exactly these monitors: keeps the covers already in place, drops the others.
void PlaceCovers(const std::vector<RECT>& wanted) {
  std::erase_if(covers, [&](const Cover& c) {
    const bool keep = std::any_of(wanted.begin(), wanted.end(),
                                  [&](const RECT& m) { return SameRect(m, c.rect); });
    if (!keep) DestroyOwnWindow(c.hwnd);
    return !keep;
  });
  for (const RECT& m : wanted) {
    const bool covered = std::any_of(covers.begin(), covers.end(),
                                     [&](const Cover& c) { return SameRect(m, c.rect); });
    if (!covered) {
      if (HWND hwnd = MakeCover(m)) covers.push_back({hwnd, m});
    }
  }
  lastRaise = GetTickCount();
}

// The form's keep-on-top steps come many times a second; the covers follow at most
// every 100 ms.
void KeepCoversOnTop() {
  const DWORD now = GetTickCount();
  if (now - lastRaise < kRaiseIntervalMs) return;
  lastRaise = now;
  for (const Cover& c : covers) {
    SetWindowPos(c.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

}  // namespace

void UpdateCovers(HWND form, bool displayChanged) {
  if (!IsFullScreenForm(form)) {
    if (form == coveredFor) RemoveCovers();
    return;
  }
  if (form != coveredFor || displayChanged) {
    if (coveredFor && form != coveredFor) RemoveCovers();
    coveredFor = form;
    PlaceCovers(MonitorsToCover());
    return;
  }
  KeepCoversOnTop();
}

}  // namespace platform::win32
