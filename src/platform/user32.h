// The window functions the program declares for itself, with the arguments it passes.
// Each platform folder implements them on its own windows: the real functions on
// Windows, the X11 mapping on Linux, a recorded window tree on sim.
#pragma once

#include <cstdint>

namespace user32 {

using HWND = std::int32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

constexpr HWND HWND_TOPMOST = -1;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;

constexpr int GWL_STYLE = -16;
constexpr int GWL_HWNDPARENT = -8;

constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_POPUP = static_cast<LONG>(0x80000000u);

constexpr UINT SPI_GETSCREENSAVEACTIVE = 16;
constexpr UINT SPI_SETSCREENSAVEACTIVE = 17;

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
BOOL GetClientRect(HWND hWnd, RECT* lpRect);
LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
HWND GetDesktopWindow();
BOOL GetWindowRect(HWND hWnd, RECT* lpRect);
int ShowCursor(BOOL bShow);
// uiParam carries the value for SPI_SETSCREENSAVEACTIVE; pvParam receives the
// BOOL for SPI_GETSCREENSAVEACTIVE.
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, void* pvParam, UINT fWinIni);
// Whether a handle names a window; the program checks the host's preview window.
BOOL IsWindow(HWND hWnd);

}  // namespace user32
