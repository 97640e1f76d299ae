// Implements: platform::CreateFormWindow, CreateFrameWindow, DestroyWindow,
// SetWindowVisible and SetWindowRect on Win32, the record of our windows, and the
// WindowRectChanged reports.
#include <windows.h>

#include <cwchar>
#include <unordered_map>

#include "forms/events.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "resources/resource_ids.h"

namespace platform::win32 {
namespace {

std::unordered_map<HWND, WindowRecord>& Records() {
  static std::unordered_map<HWND, WindowRecord> records;
  return records;
}

int destroyDepth = 0;

void RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // No class background: every pixel is painted in WM_PAINT, so nothing is erased first.
    wc.hbrBackground = nullptr;
    wc.lpszClassName = WindowClassName();
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

// A GUI program has no stderr: the one line goes to the debugger's output; the
// runtime then ends the process.
WindowHandle CreationFailed() {
  wchar_t line[96];
  swprintf(line, 96, L"Quelvo: CreateWindowEx failed (error %lu)\n", GetLastError());
  OutputDebugStringW(line);
  return 0;
}

void SetProgramIcon(HWND hwnd) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto load = [&](int size) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(QUELVO_ICON), IMAGE_ICON, size, size, LR_SHARED));
  };
  SendMessageW(hwnd, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXICON))));
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXSMICON))));
}

// The window's rectangle relative to its parent's client area (the screen for a top-level
// window), and its client size.
void MeasureWindow(HWND hwnd, PixelRect& rect, std::int32_t& clientWidth,
                   std::int32_t& clientHeight) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  HWND parent = GetAncestor(hwnd, GA_PARENT);
  if (parent && parent != GetDesktopWindow()) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  rect = {r.left, r.top, r.right, r.bottom};
  RECT client{};
  GetClientRect(hwnd, &client);
  clientWidth = client.right;
  clientHeight = client.bottom;
}

// AdjustWindowRectEx measures the frame at the system DPI; on a primary monitor scaled
// otherwise a per-monitor aware window's frame differs, so correct by what is there.
void FitClientArea(HWND hwnd, int width, int height) {
  RECT client{};
  GetClientRect(hwnd, &client);
  if (client.right == width && client.bottom == height) return;
  RECT window{};
  GetWindowRect(hwnd, &window);
  SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left + width - client.right,
               window.bottom - window.top + height - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

const wchar_t* WindowClassName() { return L"QuelvoWindow"; }

WindowRecord* FindRecord(HWND hwnd) {
  auto it = Records().find(hwnd);
  return it == Records().end() ? nullptr : &it->second;
}

void AddRecord(HWND hwnd, const WindowRecord& record) { Records()[hwnd] = record; }
void RemoveRecord(HWND hwnd) { Records().erase(hwnd); }

bool DestroyingOurselves() { return destroyDepth > 0; }

// Wine hands a full-screen popup to the window manager and, before unmapping it, waits
// up to 2 s for the manager to confirm it was mapped: with none running (a bare X server)
// each hidden window costs 2 s, and the process ends 4 s after a key on two monitors.
// Destroying a window that the system believes hidden destroys its X window at once. The
// area it covered is repainted by those beneath, as it would be after a hide.
void DestroyOwnWindow(HWND hwnd) {
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  RECT covered{};
  const bool shownTopLevel = (style & WS_VISIBLE) && !(style & WS_CHILD);
  if (shownTopLevel) {
    GetWindowRect(hwnd, &covered);
    SetWindowLongW(hwnd, GWL_STYLE, style & ~WS_VISIBLE);
    // No longer shown: its covers go first, so they never take the activation from it.
    UpdateCovers(hwnd, false);
  }
  ::DestroyWindow(hwnd);
  if (shownTopLevel) {
    RedrawWindow(nullptr, &covered, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

void ReportRectIfChanged(HWND hwnd) {
  WindowRecord* record = FindRecord(hwnd);
  if (!record) return;
  PixelRect rect;
  std::int32_t clientWidth = 0;
  std::int32_t clientHeight = 0;
  MeasureWindow(hwnd, rect, clientWidth, clientHeight);
  if (rect == record->rect && clientWidth == record->clientWidth &&
      clientHeight == record->clientHeight) {
    return;
  }
  record->rect = rect;
  record->clientWidth = clientWidth;
  record->clientHeight = clientHeight;
  forms::events::WindowRectChanged(ToHandle(hwnd), rect, clientWidth, clientHeight);
}

}  // namespace platform::win32

namespace platform {

using namespace platform::win32;

WindowHandle CreateFormWindow(const FormWindowDesc& desc) {
  CallGuard guard;
  RegisterWindowClass();
  DWORD style = WS_CLIPCHILDREN;
  int x = 0;
  int y = 0;
  RECT frame{0, 0, desc.clientWidth, desc.clientHeight};
  if (desc.border == FormBorder::Sizable) {
    style |= WS_OVERLAPPEDWINDOW;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    x = CW_USEDEFAULT;
    y = CW_USEDEFAULT;
  } else {
    style |= WS_POPUP;
  }
  std::wstring caption = Widen(desc.caption);
  HWND hwnd = CreateWindowExW(0, WindowClassName(), caption.c_str(), style, x, y,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return CreationFailed();
  if (desc.border == FormBorder::Sizable) FitClientArea(hwnd, desc.clientWidth, desc.clientHeight);
  if (desc.hasIcon) SetProgramIcon(hwnd);
  WindowRecord record;
  record.isForm = true;
  record.border = desc.border;
  MeasureWindow(hwnd, record.rect, record.clientWidth, record.clientHeight);
  AddRecord(hwnd, record);
  return ToHandle(hwnd);
}

WindowHandle CreateFrameWindow(WindowHandle parent, const PixelRect& rect, Colour /*backColour*/,
                               bool visible) {
  CallGuard guard;
  RegisterWindowClass();
  // The frame's colour reaches the paint through DescribePaint, like the form's.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  HWND hwnd =
      CreateWindowExW(0, WindowClassName(), L"", style, rect.left, rect.top, rect.Width(),
                      rect.Height(), ToHwnd(parent), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return CreationFailed();
  WindowRecord record;
  MeasureWindow(hwnd, record.rect, record.clientWidth, record.clientHeight);
  AddRecord(hwnd, record);
  return ToHandle(hwnd);
}

void DestroyWindow(WindowHandle window) {
  CallGuard guard;
  HWND hwnd = ToHwnd(window);
  // A handle of a window already gone may since name someone else's window.
  if (!FindRecord(hwnd) || !IsWindow(hwnd)) return;
  ++destroyDepth;
  DestroyOwnWindow(hwnd);
  --destroyDepth;
}

void SetWindowVisible(WindowHandle window, bool visible) {
  CallGuard guard;
  HWND hwnd = ToHwnd(window);
  LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  if (((style & WS_VISIBLE) != 0) == visible) return;
  if (!visible) {
    ShowWindow(hwnd, SW_HIDE);
  } else {
    // A child window (a frame, or the rain form inside a preview) never takes the activation.
    ShowWindow(hwnd, (style & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
  }
}

void SetWindowRect(WindowHandle window, const PixelRect& rect) {
  CallGuard guard;
  SetWindowPos(ToHwnd(window), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform
