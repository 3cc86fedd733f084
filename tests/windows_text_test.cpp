// The conversions at the boundary between the core's UTF-8 and the Windows
// API's UTF-16.
#include "runtime/windows_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace quillmere {
namespace {

TEST(WindowsTextTest, KeepsEveryCharacterThroughUtf16) {
  // Latin-1, Greek, CJK and a character beyond the basic plane (a surrogate pair).
  const std::string text =
      "Gr\xC3\xB6\xC3\x9F"
      "e \xCE\xA9 \xE6\xB1\xA0 \xF0\x9F\x98\x80";
  const std::wstring wide = Utf8ToWide(text);
  EXPECT_EQ(wide, L"Gr\u00F6\u00DFe \u03A9 \u6C60 \U0001F600");
  EXPECT_EQ(WideToUtf8(wide), text);
}

TEST(WindowsTextTest, GivesEveryPathThePrefixThatKeepsItsNamesWhole) {
  const std::string longName(300, 'n');
  struct Case {
    std::string path;
    std::wstring wide;
  } cases[] = {
      {"C:/runs/Buffer05m", L"\\\\?\\C:\\runs\\Buffer05m"},
      {"C:\\", L"\\\\?\\C:\\"},
      {"C:\\\\Summary.txt", L"\\\\?\\C:\\Summary.txt"},  // a doubled "\" is one
      {"C:\\runs\\.\\a\\..\\b\\", L"\\\\?\\C:\\runs\\b"},
      {"C:\\..\\..\\runs", L"\\\\?\\C:\\runs"},  // ".." never leaves the root
      // Trailing dots and spaces stay part of the name.
      {"C:\\runs\\run.\\toxswa\\a.sum.", L"\\\\?\\C:\\runs\\run.\\toxswa\\a.sum."},
      {"C:\\runs\\run \\x ", L"\\\\?\\C:\\runs\\run \\x "},
      {"C:\\runs\\...\\x", L"\\\\?\\C:\\runs\\...\\x"},
      {"\\\\server\\share\\runs.", L"\\\\?\\UNC\\server\\share\\runs."},
      {"//server/share/a/../../..", L"\\\\?\\UNC\\server\\share\\"},
      {"C:\\runs\\\\" + longName, L"\\\\?\\C:\\runs\\" + std::wstring(300, L'n')},
      {"\\\\?\\C:\\" + longName + ".", L"\\\\?\\C:\\" + std::wstring(300, L'n') + L"."},
  };
  for (const Case& c : cases) EXPECT_EQ(WidePath(c.path), c.wide) << c.path;
}

TEST(WindowsTextTest, MakesRelativePathsAbsoluteAgainstTheCurrentDirectory) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, buffer);
  ASSERT_GT(length, 2u);
  ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
  std::wstring current(buffer, length);
  ASSERT_EQ(current[1], L':') << "the tests run on a drive";
  if (current.back() == L'\\') current.pop_back();  // a drive root
  const std::wstring drive = current.substr(0, 2);
  struct Case {
    std::string path;
    std::wstring wide;
  } cases[] = {
      {"run.", L"\\\\?\\" + current + L"\\run."},
      {".\\run \\toxswa", L"\\\\?\\" + current + L"\\run \\toxswa"},
      {"\\runs.", L"\\\\?\\" + drive + L"\\runs."},
      // "C:run.": from the current directory of that drive.
      {WideToUtf8(drive) + "run.", L"\\\\?\\" + current + L"\\run."},
  };
  for (const Case& c : cases) EXPECT_EQ(WidePath(c.path), c.wide) << c.path;
}

}  // namespace
}  // namespace quillmere
