// The system's box for a Message of the window: a task dialog where common
// controls 6 have one, a plain message box elsewhere.
#pragma once

#include <windows.h>

#include <string>

#include "app/window/main_window_presenter.h"

namespace quillmere {

// What the system's box shows for a Message: a task dialog with the title,
// the text, the icon and one OK button, and the details as its expanded
// information, shown on request.
struct Win32MessageBox {
  std::wstring title;
  std::wstring text;             // line breaks as the Message has them: CR LF
  std::wstring details;          // the same; empty when there are none
  PCWSTR icon = nullptr;         // TD_ERROR_ICON, TD_WARNING_ICON or TD_INFORMATION_ICON
  UINT messageBoxStyle = MB_OK;  // the plain box's, where there is no task dialog
};
Win32MessageBox MessageBoxOf(const Message& message);

// Shows MessageBoxOf(message), owned by `owner`, and returns once the user
// dismissed it: a task dialog (common controls 6), or a plain message box
// with the details below the text where the task dialog is missing.
void ShowMessageBox(HWND owner, const Message& message);

}  // namespace quillmere
