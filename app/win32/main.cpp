// Quillmere.exe: the desktop program for Windows, one window.
#include "app/win32/main_window.h"
// After <windows.h>, which the window's header brings.
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  quillmere::Win32MainWindow window;
  if (!window.create(instance, showCommand)) return 1;
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    // Tab, Shift+Tab and the arrow keys move between the controls.
    if (IsDialogMessageW(window.handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return got < 0 ? 1 : static_cast<int>(message.wParam);
}
