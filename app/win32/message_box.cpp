#include "app/win32/message_box.h"

#include <commctrl.h>

#include "runtime/windows_text.h"

namespace quillmere {

namespace {

// TaskDialogIndirect is only in common controls 6, which Quillmere.exe's
// manifest asks for; a program without it gets the plain box.
using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
TaskDialogIndirectFunction TaskDialogFunction() {
  HMODULE comctl32 = GetModuleHandleW(L"comctl32.dll");
  if (comctl32 == nullptr) comctl32 = LoadLibraryW(L"comctl32.dll");
  if (comctl32 == nullptr) return nullptr;
  return reinterpret_cast<TaskDialogIndirectFunction>(
      reinterpret_cast<void*>(GetProcAddress(comctl32, "TaskDialogIndirect")));
}

}  // namespace

Win32MessageBox MessageBoxOf(const Message& message) {
  Win32MessageBox box;
  box.title = Utf8ToWide(message.title);
  box.text = Utf8ToWide(message.text);
  box.details = Utf8ToWide(message.details);
  switch (message.icon) {
    case MessageIcon::kStop:
      box.icon = TD_ERROR_ICON;
      box.messageBoxStyle = MB_OK | MB_ICONSTOP;
      break;
    case MessageIcon::kInformation:
      box.icon = TD_INFORMATION_ICON;
      box.messageBoxStyle = MB_OK | MB_ICONINFORMATION;
      break;
    case MessageIcon::kWarning:
      box.icon = TD_WARNING_ICON;
      box.messageBoxStyle = MB_OK | MB_ICONWARNING;
      break;
  }
  return box;
}

void ShowMessageBox(HWND owner, const Message& message) {
  const Win32MessageBox box = MessageBoxOf(message);
  if (const TaskDialogIndirectFunction taskDialog = TaskDialogFunction()) {
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pszWindowTitle = box.title.c_str();
    config.pszMainIcon = box.icon;
    config.pszContent = box.text.c_str();
    if (!box.details.empty()) config.pszExpandedInformation = box.details.c_str();
    if (SUCCEEDED(taskDialog(&config, nullptr, nullptr, nullptr))) return;
  }
  const std::wstring text = box.details.empty() ? box.text : box.text + L"\r\n\r\n" + box.details;
  MessageBoxW(owner, text.c_str(), box.title.c_str(), box.messageBoxStyle);
}

}  // namespace quillmere
