// quillmere-summary.exe as a Windows user runs it: Unicode arguments, exit
// statuses, and messages with "\" paths and CR LF line ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/windows_text.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::NotAReport;
using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

struct Result {
  unsigned long status = 0;
  std::string out;
  std::string err;
};

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// quillmere-summary.exe, which the Windows build puts beside the tests.
std::wstring ProgramPath() {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + Utf8ToWide(QUILLMERE_SUMMARY_EXE);
}

// Runs quillmere-summary.exe with `arguments` (UTF-8, each quoted), its
// standard output and error going to files.
Result RunProgram(const ScratchDirectory& outputs, const std::vector<std::string>& arguments) {
  std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
  for (const std::string& argument : arguments) commandLine += L" \"" + Utf8ToWide(argument) + L"\"";
  const std::string outPath = outputs / "out.txt";
  const std::string errPath = outputs / "err.txt";
  Result result;
  {
    const HANDLE out = InheritableFile(outPath);
    const HANDLE err = InheritableFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    EXPECT_TRUE(started) << "cannot start " << QUILLMERE_SUMMARY_EXE;
    if (started) {
      ::WaitForSingleObject(process.hProcess, INFINITE);
      DWORD status = 0;
      ::GetExitCodeProcess(process.hProcess, &status);
      result.status = status;
      ::CloseHandle(process.hProcess);
      ::CloseHandle(process.hThread);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
  }
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

TEST(WindowsCommandLineTest, TakesAUnicodeDirectoryAndSaysWhereTheTableIsInUtf8) {
  ScratchDirectory scratch;
  const std::string runs = scratch /
                           "Gr\xC3\xB6\xC3\x9F"
                           "e-\xCE\xA9";  // Größe-Ω
  scratch.Write(
      "Gr\xC3\xB6\xC3\x9F"
      "e-\xCE\xA9/run/toxswa/a.sum",
      BuildReport(FixtureReport{}));
  const Result result = RunProgram(scratch, {runs});
  EXPECT_EQ(result.status, 0u) << result.err;
  EXPECT_EQ(result.out, "Wrote " + runs + "\\Summary.txt: 1 report, 1 row\r\n");
  EXPECT_EQ(result.err, "");
}

// The program's own status and its message with CR LF; which run ends with
// which status is CommandLineTest's.
TEST(WindowsCommandLineTest, ExitsWithTheRunsStatusAndItsMessage) {
  ScratchDirectory scratch;
  scratch.Write("failing/run/toxswa/bad.sum", "no markers\n");
  struct Case {
    std::vector<std::string> arguments;
    unsigned long status;
    std::string err;
  } cases[] = {
      {{scratch / "failing"},
       1,
       "Problem with file " + (scratch / "failing/run/toxswa/bad.sum") +
           "!\r\n Please check!\r\nquillmere-summary: " + NotAReport() +
           "\r\nquillmere-summary: " + (scratch / "failing/Summary.txt") + " keeps 0 reports, 0 rows\r\n"},
      {{}, 2, "quillmere-summary: expected the directory that holds the run folders; try --help\r\n"},
  };
  for (const Case& c : cases) {
    const Result result = RunProgram(scratch, c.arguments);
    EXPECT_EQ(result.status, c.status) << c.err;
    EXPECT_EQ(result.err, c.err);
  }
}

TEST(WindowsCommandLineTest, SlashQuestionMarkAsksForTheHelpUnlessItFollowsDoubleDash) {
  ScratchDirectory scratch;
  const Result help = RunProgram(scratch, {"/?"});
  EXPECT_EQ(help.status, 0u) << help.err;
  EXPECT_TRUE(help.out.starts_with(
      "Usage: quillmere-summary [--workbook [--compare FIGURE]... [--threshold THRESHOLD]...] [--] DIR\r\n"))
      << help.out;
  EXPECT_EQ(help.err, "");
  // After -- it names a directory, which Windows does not allow.
  const Result named = RunProgram(scratch, {"--", "/?"});
  EXPECT_EQ(named.status, 2u);
  EXPECT_EQ(named.out, "");
  EXPECT_TRUE(named.err.starts_with("quillmere-summary: /?: cannot list: ")) << named.err;
}

TEST(WindowsCommandLineTest, WritesFiguresWithTheRegionalDecimalSeparator) {
  // The tests run with a German locale (see tests/CMakeLists.txt).
  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
  ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
  if (!std::wstring_view(locale).starts_with(L"de")) GTEST_SKIP() << "the user's locale is not German";
  ScratchDirectory scratch;
  scratch.Write("runs/run/toxswa/a.sum", BuildReport(FixtureReport{}));
  ASSERT_EQ(RunProgram(scratch, {scratch / "runs"}).status, 0u);
  const std::string table = ReadFile(scratch / "runs/Summary.txt");
  EXPECT_NE(table.find("\tEXSW2\t39,57\t2,415\t0,8402\t5,338\t1,544\t0,9058\t"), std::string::npos) << table;
}

}  // namespace
}  // namespace quillmere
