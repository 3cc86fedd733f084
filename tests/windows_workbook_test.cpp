// Summary.xlsx on Windows: a workbook another program holds (Excel opens
// its files without sharing them) or one with other hard links is refused
// before the run; a written one replaces the previous in one step and leaves
// no temporary file. Its cells are compared with the Linux program's by
// scripts/check-windows.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/windows_text.h"
#include "tests/command_line_capture.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "workbook/workbook_file.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::ReadFile;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;

bool Exists(const std::string& path) {
  return ::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in `folder`, "." and ".." left out.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(WidePath(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(WideToUtf8(name));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// The directory's absolute path, for the sheet About: what Windows makes of
// the path typed, dots and forward slashes resolved.
TEST(WindowsWorkbookTest, GivesTheDirectoryAsAFullPath) {
  wchar_t current[MAX_PATH] = L"";
  ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH, current), 0u);
  const std::string here = WideToUtf8(current);
  const struct {
    std::string typed, absolute;
  } cases[] = {
      {"C:\\runs\\..\\other", "C:\\other"},
      {"C:/runs/./Puffer-Gr\xC3\xB6\xC3\x9F"
       "e",
       "C:\\runs\\Puffer-Gr\xC3\xB6\xC3\x9F"
       "e"},
      {"D:\\", "D:\\"},
      {".", here},
  };
  for (const auto& c : cases) EXPECT_EQ(AbsolutePath(c.typed), c.absolute) << c.typed;
}

TEST(WindowsWorkbookTest, RefusesAWorkbookItMustNotReplaceBeforeTheRun) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  const std::string workbook = scratch.Write("Summary.xlsx", "the previous workbook");
  const std::string other = scratch / "elsewhere.xlsx";
  const auto refused = [&](const std::string& what, const std::string& reason) {
    const CommandLineResult result = RunCli({"--workbook", scratch.path()});
    EXPECT_EQ(result.status, 2) << what;
    EXPECT_EQ(result.err, "quillmere-summary: " + workbook + ": " + reason + "\n") << what;
    EXPECT_FALSE(Exists(scratch / "Summary.txt")) << what << ": the run started";
  };
  {
    // Excel's way: opened with no sharing at all.
    const HANDLE excel = ::CreateFileW(WidePath(workbook).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(excel, INVALID_HANDLE_VALUE);
    refused("open in Excel",
            "not written: the file is open in another program; close it there and try again");
    ::CloseHandle(excel);
  }
  ASSERT_TRUE(::CreateHardLinkW(WidePath(other).c_str(), WidePath(workbook).c_str(), nullptr));
  refused("hard link", "not written: it has other hard links");
  EXPECT_EQ(ReadFile(workbook), "the previous workbook");
}

TEST(WindowsWorkbookTest, ReplacesThePreviousWorkbookUnderAUnicodeName) {
  ScratchDirectory scratch;
  // Größe-緩衝: not in any ANSI code page as a whole.
  const std::string runs =
      "Gr\xC3\xB6\xC3\x9F"
      "e-\xE7\xB7\xA9\xE8\xA1\x9D";
  scratch.Write(runs + "/Puffer/toxswa/a.sum", BuildReport({}));
  scratch.Write(runs + "/Summary.xlsx", "the previous workbook");
  const CommandLineResult result = RunCli({"--workbook", scratch / runs});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Wrote " + (scratch / runs) + "\\Summary.xlsx\nWrote " + (scratch / runs) +
                            "\\Summary.txt: 1 report, 1 row\n");
  EXPECT_TRUE(ReadFile(scratch / (runs + "/Summary.xlsx")).starts_with("PK\x03\x04")) << "not a zip file";
  std::vector<std::string> expected = {"Puffer", "Summary.txt", "Summary.xlsx"};
  EXPECT_EQ(Names(scratch / runs), expected) << "a temporary file is left";
}

}  // namespace
}  // namespace quillmere
