#include "app/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "app/win32/dpi.h"
#include "app/win32/resource_ids.h"
#include "app/window/form_layout.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

constexpr wchar_t kWindowClass[] = L"QuillmereForm1";
// Posted to the window to open Dir1's row wParam once the list box is done
// with the double-click or key that asked for it.
constexpr UINT kOpenDir1Row = WM_APP + 1;
constexpr int kDir1Id = 101;
constexpr int kDrive1Id = 102;
constexpr int kCommand1Id = 103;
constexpr int kCheck1Id = 104;
// A fixed frame: the controls stand where the twips put them, so the window
// neither resizes nor maximises.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// The size of Dir1's folder icons, in pixels at 96 dots per inch.
constexpr int kIconSize = 16;

// The system's small folder icon, open or closed, as Explorer shows it.
HICON FolderIcon(bool open) {
  SHFILEINFOW info{};
  const UINT flags = SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0);
  return SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info), flags) != 0 ? info.hIcon
                                                                                              : nullptr;
}

}  // namespace

Win32MainWindow::Win32MainWindow(Win32WindowSetup setup)
    : setup_(std::move(setup)), presenter_(*this, setup_.start) {}

Win32MainWindow::~Win32MainWindow() {
  destroying_ = true;
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
  if (openFolder_ != nullptr) DestroyIcon(openFolder_);
  if (closedFolder_ != nullptr) DestroyIcon(closedFolder_);
}

bool Win32MainWindow::create(HINSTANCE instance, int showCommand) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLMERE));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLMERE), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  window_ = CreateWindowExW(kWindowExStyle, kWindowClass, Utf8ToWide(kForm1Caption).c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            instance, this);
  if (window_ == nullptr) return false;
  openFolder_ = FolderIcon(true);
  closedFolder_ = FolderIcon(false);
  createControls();
  layOut(DotsPerInchOf(window_), nullptr);
  presenter_.form1Load();
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(focus_);
  return true;
}

void Win32MainWindow::createControls() {
  // Each control's system class, styles, caption and id, and where its
  // window is kept.
  struct ControlWindow {
    Control control;
    HWND Win32MainWindow::*window;
    DWORD extendedStyle;
    const wchar_t* systemClass;
    const char* caption;
    DWORD style;
    int id;
  };
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  const ControlWindow controls[] = {
      {Control::kDrive1, &Win32MainWindow::drive1_, 0, WC_COMBOBOXW, "",
       kChild | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, kDrive1Id},
      {Control::kDir1, &Win32MainWindow::dir1_, WS_EX_CLIENTEDGE, WC_LISTBOXW, "",
       kChild | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
       kDir1Id},
      {Control::kCommand1, &Win32MainWindow::command1_, 0, WC_BUTTONW, kCommand1Caption,
       kChild | BS_PUSHBUTTON, kCommand1Id},
      {Control::kCheck1, &Win32MainWindow::check1_, 0, WC_BUTTONW, kCheck1Caption, kChild | BS_AUTOCHECKBOX,
       kCheck1Id},
  };
  const auto entryOf = [&controls](Control control) -> const ControlWindow& {
    return *std::find_if(std::begin(controls), std::end(controls),
                         [control](const ControlWindow& entry) { return entry.control == control; });
  };
  // Windows are created in tab order: IsDialogMessage moves through them so.
  for (Control control : kTabOrder) {
    const ControlWindow& entry = entryOf(control);
    this->*entry.window = CreateWindowExW(
        entry.extendedStyle, entry.systemClass, Utf8ToWide(entry.caption).c_str(), entry.style, 0, 0, 0, 0,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), nullptr, nullptr);
  }
  SetWindowSubclass(dir1_, Dir1Procedure, 1, reinterpret_cast<DWORD_PTR>(this));
  focus_ = this->*entryOf(kTabOrder.front()).window;
}

void Win32MainWindow::layOut(UINT dotsPerInch, const RECT* suggested) {
  dotsPerInch_ = dotsPerInch;
  const int dpi = static_cast<int>(dotsPerInch);
  auto pixels = [dpi](int twips) { return TwipsToPixels(twips, dpi); };

  const LOGFONTW logicalFont = MessageFontAt(dotsPerInch);
  HFONT font = CreateFontIndirectW(&logicalFont);
  for (HWND control : {drive1_, dir1_, command1_, check1_})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;

  RECT frame{0, 0, pixels(kForm1ClientWidth), pixels(kForm1ClientHeight)};
  AdjustFrameRect(frame, kWindowStyle, kWindowExStyle, dotsPerInch);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  if (suggested != nullptr) {
    SetWindowPos(window_, nullptr, suggested->left, suggested->top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Where the frame does not grow with the density as the system said it
  // would, the client area is set right from what it came out as.
  RECT client;
  GetClientRect(window_, &client);
  const int wrongWidth = client.right - pixels(kForm1ClientWidth);
  const int wrongHeight = client.bottom - pixels(kForm1ClientHeight);
  if (wrongWidth != 0 || wrongHeight != 0) {
    SetWindowPos(window_, nullptr, 0, 0, width - wrongWidth, height - wrongHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  auto place = [&](HWND control, const TwipsRect& rect, int extraHeight) {
    MoveWindow(control, pixels(rect.left), pixels(rect.top), pixels(rect.width),
               pixels(rect.height) + extraHeight, TRUE);
  };
  place(dir1_, kDir1Rect, 0);
  place(command1_, kCommand1Rect, 0);
  place(check1_, kCheck1Rect, 0);
  // A drop-down list's height includes its open list; its closed height
  // follows the height of its selection field.
  place(drive1_, kDrive1Rect, pixels(kDir1Rect.height));
  for (int attempt = 0; attempt < 2; ++attempt) {
    RECT shown;
    GetWindowRect(drive1_, &shown);
    const int difference = pixels(kDrive1Rect.height) - (shown.bottom - shown.top);
    if (difference == 0) break;
    const LRESULT field = SendMessageW(drive1_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field == CB_ERR || field + difference < 1) break;
    SendMessageW(drive1_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + difference);
  }

  HDC context = GetDC(dir1_);
  HGDIOBJ previous = SelectObject(context, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(context, &metrics);
  SelectObject(context, previous);
  ReleaseDC(dir1_, context);
  const int rowHeight = std::max<int>(metrics.tmHeight, MulDiv(kIconSize, dpi, 96)) + MulDiv(2, dpi, 96);
  SendMessageW(dir1_, LB_SETITEMHEIGHT, 0, rowHeight);
  InvalidateRect(window_, nullptr, TRUE);
}

void Win32MainWindow::showDrives(const std::vector<std::string>& texts) {
  SendMessageW(drive1_, CB_RESETCONTENT, 0, 0);
  for (const std::string& text : texts)
    SendMessageW(drive1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void Win32MainWindow::chooseDrive(std::size_t row) {
  const bool listed = static_cast<LRESULT>(row) < SendMessageW(drive1_, CB_GETCOUNT, 0, 0);
  SendMessageW(drive1_, CB_SETCURSEL, listed ? static_cast<WPARAM>(row) : static_cast<WPARAM>(-1), 0);
}

void Win32MainWindow::showFolders(const std::vector<DirectoryEntry>& rows, std::size_t highlighted) {
  // The rows are drawn from this copy, as they were sent.
  rows_ = rows;
  SendMessageW(dir1_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(dir1_, LB_RESETCONTENT, 0, 0);
  for (const DirectoryEntry& entry : rows) {
    SendMessageW(dir1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(entry.text).c_str()));
  }
  SendMessageW(dir1_, LB_SETCURSEL, highlighted, 0);
  SendMessageW(dir1_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(dir1_, nullptr, TRUE);
}

void Win32MainWindow::showCheck1(bool ticked) {
  SendMessageW(check1_, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32MainWindow::showMessage(const Message& message) { setup_.showMessage(window_, message); }

void Win32MainWindow::setBusy(bool busy) {
  if (busy) {
    EnableWindow(command1_, FALSE);
    EnableWindow(check1_, FALSE);
    idleCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  } else {
    SetCursor(idleCursor_);
  }
}

void Win32MainWindow::endProgram(int status) { PostQuitMessage(status); }

void Win32MainWindow::drawDir1Row(const DRAWITEMSTRUCT& item) const {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows_.size()) return;
  const DirectoryEntry& entry = rows_[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const int dpi = static_cast<int>(dotsPerInch_);
  RECT row = item.rcItem;
  FillRect(item.hDC, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

  const int iconSize = MulDiv(kIconSize, dpi, 96);
  int left = row.left + MulDiv(2 + kDir1IndentPixels * entry.level, dpi, 96);
  if (HICON icon = entry.open ? openFolder_ : closedFolder_) {
    DrawIconEx(item.hDC, left, row.top + (row.bottom - row.top - iconSize) / 2, icon, iconSize, iconSize, 0,
               nullptr, DI_NORMAL);
  }
  left += iconSize + MulDiv(4, dpi, 96);

  HGDIOBJ previous = SelectObject(item.hDC, font_);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT text{left, row.top, row.right, row.bottom};
  const std::wstring name = Utf8ToWide(entry.text);
  DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(item.hDC, previous);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &row);
}

LRESULT CALLBACK Win32MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self != nullptr ? self->handle(message, wParam, lParam)
                         : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::Dir1Procedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR self) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter opens the highlighted folder instead of going to the dialog.
      if (lParam != 0 && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) {
        return DLGC_WANTMESSAGE | DefSubclassProc(list, message, wParam, lParam);
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (row != LB_ERR)
          PostMessageW(reinterpret_cast<Win32MainWindow*>(self)->window_, kOpenDir1Row, row, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, Dir1Procedure, 1);
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

LRESULT Win32MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == kDrive1Id && (code == CBN_SELENDOK ||
                              (code == CBN_SELCHANGE && !SendMessageW(drive1_, CB_GETDROPPEDSTATE, 0, 0)))) {
        const LRESULT row = SendMessageW(drive1_, CB_GETCURSEL, 0, 0);
        if (row != CB_ERR) presenter_.drive1Change(static_cast<std::size_t>(row));
      } else if (id == kDir1Id && code == LBN_DBLCLK) {
        const LRESULT row = SendMessageW(dir1_, LB_GETCURSEL, 0, 0);
        if (row != LB_ERR) PostMessageW(window_, kOpenDir1Row, static_cast<WPARAM>(row), 0);
      } else if (id == kCommand1Id && code == BN_CLICKED) {
        presenter_.command1Click();
      } else if (id == kCheck1Id && code == BN_CLICKED) {
        presenter_.check1Click(SendMessageW(check1_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      }
      return 0;
    }
    case kOpenDir1Row:
      presenter_.dir1Open(static_cast<std::size_t>(wParam));
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != kDir1Id) break;
      drawDir1Row(*item);
      return TRUE;
    }
    case WM_DPICHANGED:
      layOut(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETCURSOR:
      if (presenter_.busy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the same control.
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus != nullptr && IsChild(window_, focus)) focus_ = focus;
      } else {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (presenter_.form1Unload()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      // A window destroyed by other means than a close ends the program too.
      if (!destroying_) presenter_.form1Unload();
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quillmere
