// Preview mode: the form becomes a child of the host's preview window and fills it.
#include "rain/frmScreenSaver.h"
#include "saver/trailing_number.h"

namespace rain {

void frmScreenSaver::SetupPreviewMode() {
  PreviewMode = forms::True;
  PreviewParent = GetTrailingNumber(Command());
  // A handle that names no window would leave an invisible process behind; one that
  // names our own window or its banner frame is no host to live in either.
  if (!user32::IsWindow(PreviewParent) || PreviewParent == hWnd() ||
      PreviewParent == Frame2.window()) {
    Unload(*this);
    return;
  }
  user32::GetClientRect(PreviewParent, &TargetRect);
  WindowStyle = user32::GetWindowLongA(hWnd(), user32::GWL_STYLE);
  WindowStyle = WindowStyle | user32::WS_CHILD;
  user32::SetWindowLongA(hWnd(), user32::GWL_STYLE, WindowStyle);
  user32::SetParent(hWnd(), PreviewParent);
  user32::SetWindowLongA(hWnd(), user32::GWL_HWNDPARENT, PreviewParent);
  user32::SetWindowPos(hWnd(), user32::HWND_TOPMOST, 0, 0, TargetRect.right, TargetRect.bottom,
                       user32::SWP_NOZORDER | user32::SWP_NOACTIVATE | user32::SWP_SHOWWINDOW);
}

Long frmScreenSaver::GetTrailingNumber(std::string_view text) {
  return saver::TrailingNumber(text);
}

}  // namespace rain
