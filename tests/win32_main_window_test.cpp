// Quillmere.exe's window, driven through its controls' messages under Wine
// (tests/gui/with_virtual_display.sh gives it a display).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/win32/main_window.h"
// After <windows.h>, which the window's header brings.
#include <commctrl.h>

#include "runtime/windows_text.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::ScratchDirectory;

std::string Native(const std::string& path) { return NormalPath(kNativePathStyle, path, ""); }

// The window over the given volumes, shown, with the boxes it asked for
// recorded instead of shown.
struct ShownWindow {
  std::vector<Message> messages;
  Win32MainWindow window;

  ShownWindow(std::vector<Volume> volumes, std::string directory, decltype(WindowStart::run) run = {})
      : window(Setup(std::move(volumes), directory, std::move(run))) {
    EXPECT_TRUE(window.create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetForegroundWindow(window.handle());
    Pump();
  }

  Win32WindowSetup Setup(std::vector<Volume> volumes, const std::string& directory,
                         decltype(WindowStart::run) run) {
    Win32WindowSetup setup;
    setup.start.volumes = std::move(volumes);
    setup.start.directory = directory;
    setup.start.run = std::move(run);
    setup.showMessage = [this](HWND, const Message& message) { messages.push_back(message); };
    return setup;
  }

  // Handles what is queued, as the program's message loop does.
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageW(window.handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  // A key pressed on the control with the focus, through the message loop.
  void Press(WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  // Where `control` stands in the window's client area.
  RECT Placed(HWND control) const {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, window.handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  std::vector<std::string> Dir1Rows() const {
    return Texts(window.dir1(), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
  }
  std::vector<std::string> Drive1Rows() const {
    return Texts(window.drive1(), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
  }

  static std::vector<std::string> Texts(HWND control, UINT count, UINT length, UINT text) {
    std::vector<std::string> texts;
    for (LRESULT i = 0, n = SendMessageW(control, count, 0, 0); i < n; ++i) {
      std::wstring row(static_cast<std::size_t>(SendMessageW(control, length, i, 0)) + 1, L'\0');
      row.resize(
          static_cast<std::size_t>(SendMessageW(control, text, i, reinterpret_cast<LPARAM>(row.data()))));
      texts.push_back(WideToUtf8(row));
    }
    return texts;
  }
};

// The height of a line of `control`'s font.
int LineHeight(HWND control) {
  HDC context = GetDC(control);
  HGDIOBJ previous = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(context, &metrics);
  SelectObject(context, previous);
  ReleaseDC(control, context);
  return metrics.tmHeight;
}

bool operator==(const RECT& a, const TwipsRect& twips) {
  return a.left == TwipsToPixels(twips.left, 96) && a.top == TwipsToPixels(twips.top, 96) &&
         a.right - a.left == TwipsToPixels(twips.width, 96) &&
         a.bottom - a.top == TwipsToPixels(twips.height, 96);
}

TEST(Win32MainWindowTest, HasItsCaptionFixedFrameControlsAndTabOrder) {
  ScratchDirectory scratch;
  ShownWindow shown({}, scratch.path());
  HWND window = shown.window.handle();
  wchar_t text[32] = L"";
  GetWindowTextW(window, text, 32);
  EXPECT_EQ(std::wstring(text), L"Form1");
  GetWindowTextW(shown.window.command1(), text, 32);
  EXPECT_EQ(std::wstring(text), L"Start");
  HDC screen = GetDC(window);
  const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(window, screen);
  ASSERT_EQ(dotsPerInch, 96) << "the measures below are at 96 dots per inch";
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 758);
  EXPECT_EQ(client.bottom, 456);
  // The controls stand where the twips put them: no sizing border, no
  // maximise button.
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_NE(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), 0);
  EXPECT_TRUE(shown.Placed(shown.window.dir1()) == kDir1Rect);
  EXPECT_TRUE(shown.Placed(shown.window.command1()) == kCommand1Rect);
  EXPECT_TRUE(shown.Placed(shown.window.check1()) == kCheck1Rect);
  GetWindowTextW(shown.window.check1(), text, 32);
  EXPECT_EQ(std::wstring(text), L"Also write Summary.xlsx");
  EXPECT_EQ(SendMessageW(shown.window.check1(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // Drive1's place and width are the program's own; its height is too,
  // unless its font needs more. A drop-down list's selection field is never
  // lower than 13/8 of its font's line (the dialog units Windows sizes it
  // by): with a font taller than the one Wine brings (Liberation Sans, say)
  // the list is that field and its frame, and no taller.
  HWND drive1 = shown.window.drive1();
  const RECT placed = shown.Placed(drive1);
  EXPECT_EQ(placed.left, TwipsToPixels(kDrive1Rect.left, 96));
  EXPECT_EQ(placed.top, TwipsToPixels(kDrive1Rect.top, 96));
  EXPECT_EQ(placed.right - placed.left, TwipsToPixels(kDrive1Rect.width, 96));
  const int height = placed.bottom - placed.top;
  const int field = static_cast<int>(SendMessageW(drive1, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int frame = height - field;
  EXPECT_GE(height, TwipsToPixels(kDrive1Rect.height, 96));
  EXPECT_LE(field, std::max(TwipsToPixels(kDrive1Rect.height, 96) - frame, MulDiv(LineHeight(drive1), 13, 8)))
      << "a drive list " << height << " pixels tall for a font line of " << LineHeight(drive1);
  EXPECT_LE(frame, 6) << "two pixels of frame on each side, and the field's own margin";

  EXPECT_EQ(GetFocus(), shown.window.drive1());
  for (HWND next :
       {shown.window.dir1(), shown.window.command1(), shown.window.check1(), shown.window.drive1()}) {
    shown.Press(VK_TAB);
    EXPECT_EQ(GetFocus(), next);
  }

  // The box's state reaches the presenter, by the mouse and by the space
  // bar, and the presenter's reaches the box.
  HWND check1 = shown.window.check1();
  SendMessageW(check1, BM_CLICK, 0, 0);
  shown.Pump();
  EXPECT_EQ(SendMessageW(check1, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(shown.window.presenter().check1());
  SetFocus(check1);
  PostMessageW(check1, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(check1, WM_KEYUP, VK_SPACE, 0xC0000001);
  shown.Pump();
  EXPECT_EQ(SendMessageW(check1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(shown.window.presenter().check1());
  shown.window.showCheck1(true);
  EXPECT_EQ(SendMessageW(check1, BM_GETCHECK, 0, 0), BST_CHECKED);
  SetFocus(shown.window.drive1());

  shown.window.setBusy(true);
  EXPECT_FALSE(IsWindowEnabled(shown.window.command1()));
  EXPECT_FALSE(IsWindowEnabled(check1));
  shown.window.setBusy(false);
  EXPECT_FALSE(IsWindowEnabled(shown.window.command1())) << "the program is ending";
}

TEST(Win32MainWindowTest, FollowsTheWindowsDensity) {
  ScratchDirectory scratch;
  ShownWindow shown({}, scratch.path());
  // 120 dots per inch: the window still fits the virtual display.
  RECT suggested{10, 10, 1000, 700};
  SendMessageW(shown.window.handle(), WM_DPICHANGED, MAKEWPARAM(120, 120),
               reinterpret_cast<LPARAM>(&suggested));
  RECT client;
  GetClientRect(shown.window.handle(), &client);
  EXPECT_EQ(client.right, 948);
  EXPECT_EQ(client.bottom, 570);
  const RECT command1 = shown.Placed(shown.window.command1());
  EXPECT_EQ(command1.left, 30);
  EXPECT_EQ(command1.top, 460);
  EXPECT_EQ(command1.right - command1.left, 281);
  const RECT check1 = shown.Placed(shown.window.check1());
  EXPECT_EQ(check1.left, 380);
  EXPECT_EQ(check1.top, 80);
  EXPECT_EQ(check1.right - check1.left, 281);
  EXPECT_EQ(check1.bottom - check1.top, 26);
  // A drop-down list is never lower than its font needs.
  const RECT drive1 = shown.Placed(shown.window.drive1());
  EXPECT_EQ(drive1.top, 320);
  EXPECT_NEAR(drive1.bottom - drive1.top, 26, 2);
}

TEST(Win32MainWindowTest, ShowsTheDrivesAndFoldersAndOpensOnEnterOrDoubleClickOnly) {
  ScratchDirectory scratch;
  scratch.MakeFolder("runs/A/inner");
  scratch.MakeFolder("runs/b");
  const std::string runs = Native(scratch / "runs");
  const std::string root = SplitPath(kNativePathStyle, runs, "").root;
  ShownWindow shown({{root, "System"}, {"Q:\\", ""}}, runs);
  const MainWindowPresenter& model = shown.window.presenter();
  EXPECT_EQ(shown.Drive1Rows(), (std::vector<std::string>{root + " [System]", "Q:\\"}));
  EXPECT_EQ(SendMessageW(shown.window.drive1(), CB_GETCURSEL, 0, 0), 0);
  std::vector<std::string> texts;
  for (const DirectoryEntry& entry : model.dir1().entries()) texts.push_back(entry.text);
  EXPECT_EQ(shown.Dir1Rows(), texts);
  HWND dir1 = shown.window.dir1();
  const LRESULT open = static_cast<LRESULT>(model.dir1().openRow());
  EXPECT_EQ(SendMessageW(dir1, LB_GETCURSEL, 0, 0), open);

  // A single click on A highlights it; Enter opens it.
  SetFocus(dir1);
  RECT a;
  SendMessageW(dir1, LB_GETITEMRECT, open + 1, reinterpret_cast<LPARAM>(&a));
  const LPARAM onA = MAKELPARAM(a.left + 5, (a.top + a.bottom) / 2);
  SendMessageW(dir1, WM_LBUTTONDOWN, MK_LBUTTON, onA);
  SendMessageW(dir1, WM_LBUTTONUP, 0, onA);
  shown.Pump();
  EXPECT_EQ(SendMessageW(dir1, LB_GETCURSEL, 0, 0), open + 1);
  EXPECT_EQ(model.dir1().path(), runs);
  shown.Press(VK_RETURN);
  EXPECT_EQ(model.dir1().path(), runs + "\\A");
  EXPECT_EQ(shown.Dir1Rows().back(), "inner");
  EXPECT_EQ(GetFocus(), dir1) << "Enter stays with the list";

  // A double-click on the parent opens it again.
  SendMessageW(dir1, LB_SETCURSEL, open, 0);
  SendMessageW(dir1, LB_GETITEMRECT, open, reinterpret_cast<LPARAM>(&a));
  SendMessageW(dir1, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(a.left + 5, (a.top + a.bottom) / 2));
  SendMessageW(dir1, WM_LBUTTONUP, 0, MAKELPARAM(a.left + 5, (a.top + a.bottom) / 2));
  shown.Pump();
  EXPECT_EQ(model.dir1().path(), runs);
  EXPECT_TRUE(shown.messages.empty());
}

TEST(Win32MainWindowTest, TheSystemsBoxShowsTheTextTheIconOneOkButtonAndTheDetailsOnRequest) {
  const struct {
    Message message;
    std::wstring text;
    std::wstring details;
    PCWSTR icon;
    UINT style;
  } cases[] = {
      {{MessageIcon::kStop, "Quillmere", "Problem with file C:\\r\\a.sum!\r\n Please check!",
        "cannot open: Access is denied\r\nC:\\r\\Summary.txt keeps 12 reports, 15 rows"},
       L"Problem with file C:\\r\\a.sum!\r\n Please check!",
       L"cannot open: Access is denied\r\nC:\\r\\Summary.txt keeps 12 reports, 15 rows",
       TD_ERROR_ICON,
       MB_OK | MB_ICONSTOP},
      {{MessageIcon::kWarning, "Quillmere", "Q:\\: cannot list: The device is not ready", ""},
       L"Q:\\: cannot list: The device is not ready",
       L"",
       TD_WARNING_ICON,
       MB_OK | MB_ICONWARNING},
      {{MessageIcon::kInformation, "Quillmere",
        "C:\\r\\Gr\xC3\xB6\xC3\x9F"
        "e holds no report\r\n",
        ""},
       L"C:\\r\\Gr\u00F6\u00DF"
       L"e holds no report\r\n",
       L"",
       TD_INFORMATION_ICON,
       MB_OK | MB_ICONINFORMATION},
  };
  for (const auto& c : cases) {
    const Win32MessageBox box = MessageBoxOf(c.message);
    EXPECT_EQ(box.title, L"Quillmere") << c.message.text;
    EXPECT_EQ(box.text, c.text) << c.message.text;
    EXPECT_EQ(box.details, c.details) << c.message.text;
    EXPECT_EQ(box.icon, c.icon) << c.message.text;
    EXPECT_EQ(box.messageBoxStyle, c.style) << c.message.text;
  }
}

// The status of the WM_QUIT the window posted, or -1 when it posted none.
int QuitStatus() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    DispatchMessageW(&message);
  }
  return -1;
}

TEST(Win32MainWindowTest, ACloseEndsTheProgramBeforeStartAndWaitsForTheRunOnceItHoldsTheWindow) {
  ScratchDirectory scratch;
  for (const bool duringRun : {false, true}) {
    HWND handle = nullptr;
    bool stayed = false;  // the window outlived a close during the run
    ShownWindow shown({}, scratch.path(), [&](const std::string&, const SummaryOptions&) {
      SendMessageW(handle, WM_CLOSE, 0, 0);
      stayed = IsWindow(handle) != FALSE;
      SummaryOutcome outcome;
      outcome.status = RunStatus::kWritten;
      return outcome;
    });
    handle = shown.window.handle();
    if (duringRun) {
      SendMessageW(shown.window.command1(), BM_CLICK, 0, 0);
      EXPECT_TRUE(stayed);
    } else {
      SendMessageW(handle, WM_CLOSE, 0, 0);
      EXPECT_FALSE(IsWindow(handle));
    }
    EXPECT_EQ(QuitStatus(), 0) << (duringRun ? "during the run" : "before Start");
  }
}

}  // namespace
}  // namespace quillmere
