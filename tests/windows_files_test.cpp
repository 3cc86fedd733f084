// What a run does with the files and names of a Windows system: paths with
// "\", Unicode and long names, names in the ANSI code page, files that other
// programs hold open, read-only tables and drive roots.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "runtime/file_error.h"
#include "runtime/windows_text.h"
#include "summary/summary_run.h"
#include "tests/failing_system.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::DataRows;
using quillmere::testing::FixtureReport;
using quillmere::testing::ReadFile;
using quillmere::testing::RowNames;
using quillmere::testing::ScratchDirectory;

const std::string kReport = BuildReport(FixtureReport{});

// A file opened the way another program (Excel) holds it: no sharing at all.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path)
      : handle_(::CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << "cannot hold " << path;
  }
  ~HeldOpen() { ::CloseHandle(handle_); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;

 private:
  HANDLE handle_;
};

TEST(WindowsFilesTest, BuildsPathsAndTheMessageWithBackslashes) {
  ScratchDirectory scratch;
  scratch.Write("a-run/toxswa/good.sum", kReport);
  scratch.Write("b-run/TOXSWA/bad.sum", "no markers\r\n");
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  EXPECT_EQ(outcome.tablePath, scratch.path() + "\\Summary.txt");
  EXPECT_EQ(outcome.status, RunStatus::kReportFailure);
  EXPECT_EQ(outcome.message,
            "Problem with file " + scratch.path() + "\\b-run\\TOXSWA\\bad.sum!\r\n Please check!");
  // Binary file: one CR LF per line, never CR CR LF.
  const std::string table = ReadFile(outcome.tablePath);
  EXPECT_EQ(table.find("\r\r"), std::string::npos);
  EXPECT_EQ(DataRows(table).size(), 1u);
}

TEST(WindowsFilesTest, WritesNamesInTheAnsiCodePageWithQuestionMarksForTheRest) {
  if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not Windows-1252";
  ScratchDirectory scratch;
  scratch.Write(
      "Puffer-Gr\xC3\xB6\xC3\x9F"
      "e/toxswa/Bericht-\xC3\xA4.sum",
      kReport);  // Puffer-Größe, Bericht-ä
  // Пруд-Ω-ō€, 池: no look-alikes (Omega and o macron are no "O" and "o"),
  // and the euro sign Windows-1252 has.
  scratch.Write("\xD0\x9F\xD1\x80\xD1\x83\xD0\xB4-\xCE\xA9-\xC5\x8D\xE2\x82\xAC/toxswa/\xE6\xB1\xA0.sum",
                kReport);
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  ASSERT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
  EXPECT_EQ(RowNames(ReadFile(outcome.tablePath)), (std::vector<std::string>{"Puffer-Gr\xF6\xDF"
                                                                             "e/Bericht-\xE4.sum",
                                                                             "???\?-?-?\x80/?.sum"}));
}

TEST(WindowsFilesTest, WorksBeyondTheClassicPathLimit) {
  ScratchDirectory scratch;
  // The table itself, the listings and the report all lie past 260
  // characters.
  const std::string runs = std::string(130, 'd') + "/" + std::string(130, 'e');
  const std::string runFolder(120, 'r');
  const std::string report = std::string(150, 'p') + ".sum";
  scratch.Write(runs + "/" + runFolder + "/toxswa/" + report, kReport);
  ASSERT_GT((scratch / runs).size(), 260u);
  const SummaryOutcome outcome = SummaryRun(scratch / runs);
  ASSERT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
  EXPECT_EQ(RowNames(ReadFile(outcome.tablePath)), (std::vector<std::string>{runFolder + "/" + report}));
}

// Network shares, NAS boxes and WSL make folders and files whose names end in
// a dot or a space, which plain Windows paths cut off.
TEST(WindowsFilesTest, ReadsRunFoldersAndReportsWhoseNamesEndInADotOrASpace) {
  ScratchDirectory scratch;
  const std::string runs = scratch.MakeFolder("runs");
  const char* const folders[] = {"runs\\run.", "runs\\run.\\toxswa", "runs\\run ", "runs\\run \\toxswa"};
  // "c.sum." does not end in ".sum": it is listed and left out.
  const char* const files[] = {"runs\\run.\\toxswa\\a.sum", "runs\\run \\toxswa\\b.sum",
                               "runs\\run \\toxswa\\c.sum."};
  for (const char* folder : folders) {
    ASSERT_TRUE(::CreateDirectoryW(WidePath(scratch / folder).c_str(), nullptr)) << folder;
  }
  for (const char* report : files) {
    const HANDLE file = ::CreateFileW(WidePath(scratch / report).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << report;
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file, kReport.data(), static_cast<DWORD>(kReport.size()), &written, nullptr));
    ::CloseHandle(file);
  }
  const SummaryOutcome outcome = SummaryRun(runs);
  EXPECT_EQ(outcome.status, RunStatus::kWritten) << outcome.message;
  EXPECT_EQ(RowNames(ReadFile(outcome.tablePath)), (std::vector<std::string>{"run /b.sum", "run./a.sum"}));
  // The scratch directory's own clean-up uses plain paths, which miss them.
  for (const char* report : files) ::DeleteFileW(WidePath(scratch / report).c_str());
  for (auto folder = std::rbegin(folders); folder != std::rend(folders); ++folder) {
    ::RemoveDirectoryW(WidePath(scratch / *folder).c_str());
  }
}

TEST(WindowsFilesTest, SaysSoWhenAnotherProgramHoldsTheTable) {
  ScratchDirectory scratch;
  const std::string report = scratch.Write("run/toxswa/a.sum", kReport);
  const std::string tablePath = scratch / "Summary.txt";
  {
    HeldOpen excel(tablePath);
    const SummaryOutcome outcome = SummaryRun(scratch.path());
    EXPECT_EQ(outcome.status, RunStatus::kNotStarted);
    EXPECT_EQ(outcome.message, tablePath +
                                   ": cannot create: the file is open in another program; close it there "
                                   "and try again");
  }
  EXPECT_EQ(ReadFile(report), kReport);
  EXPECT_EQ(ReadFile(tablePath), "");
}

TEST(WindowsFilesTest, RefusesAReadOnlyTable) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", kReport);
  const std::string tablePath = scratch.Write("Summary.txt", "kept");
  ASSERT_TRUE(::SetFileAttributesW(WidePath(tablePath).c_str(), FILE_ATTRIBUTE_READONLY));
  const HANDLE probe = ::CreateFileW(WidePath(tablePath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    // Wine keeps the attribute as file permissions, which do not stop root.
    ::CloseHandle(probe);
    ::SetFileAttributesW(WidePath(tablePath).c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "the read-only attribute does not stop this user";
  }
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  ::SetFileAttributesW(WidePath(tablePath).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(outcome.status, RunStatus::kNotStarted);
  EXPECT_EQ(outcome.message,
            tablePath + ": " + WindowsError("", "cannot create", ERROR_ACCESS_DENIED).reason());
  EXPECT_EQ(ReadFile(tablePath), "kept");
}

TEST(WindowsFilesTest, RefusesATableWithOtherHardLinksOrThatIsASymbolicLink) {
  for (const bool symbolic : {false, true}) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", kReport);
    const std::wstring other = WidePath(scratch.Write("kept.txt", "kept"));
    const std::string tablePath = scratch / "Summary.txt";
    const std::wstring table = WidePath(tablePath);
    if (!symbolic) {
      ASSERT_TRUE(::CreateHardLinkW(table.c_str(), other.c_str(), nullptr));
    } else {
      // Unprivileged creation needs developer mode; Wine 8 makes a plain file.
      const bool made =
          ::CreateSymbolicLinkW(table.c_str(), other.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
      const DWORD attributes = ::GetFileAttributesW(table.c_str());
      if (!made || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        GTEST_SKIP() << "this system makes no symbolic links for this user";
    }
    const SummaryOutcome outcome = SummaryRun(scratch.path());
    EXPECT_EQ(outcome.status, RunStatus::kNotStarted);
    EXPECT_EQ(outcome.message, tablePath + ": not written: " +
                                   (symbolic ? "it is a symbolic link" : "it has other hard links"));
    EXPECT_EQ(ReadFile(scratch / "kept.txt"), "kept");
  }
}

TEST(WindowsFilesTest, FailsOnAReportAnotherProgramHoldsKeepingTheRowsBefore) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", kReport);
  const std::string locked = scratch.Write("run/toxswa/b.sum", kReport);
  HeldOpen other(locked);
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  EXPECT_EQ(outcome.status, RunStatus::kReportFailure);
  EXPECT_EQ(outcome.failedPath, locked);
  EXPECT_EQ(outcome.reason, "cannot open: the file is open in another program; close it there and try again");
  EXPECT_EQ(RowNames(ReadFile(outcome.tablePath)), (std::vector<std::string>{"run/a.sum"}));
}

// A second run started while the first writes its table (a second window, a
// scheduled run) is refused; the first one's table comes out whole.
TEST(WindowsFilesTest, RefusesASecondRunWhileTheFirstWritesItsTable) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", kReport);
  scratch.Write("run/toxswa/b.sum", kReport);
  std::optional<SummaryOutcome> second;
  SummaryOptions options;
  options.beforeReading = [&](const std::string&) {
    if (!second) second = SummaryRun(scratch.path());
  };
  const SummaryOutcome first = SummaryRun(scratch.path(), options);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->status, RunStatus::kNotStarted);
  EXPECT_EQ(second->message,
            first.tablePath + ": not written: another run is writing it; try again when it has ended");
  EXPECT_EQ(first.status, RunStatus::kWritten);
  EXPECT_EQ(RowNames(ReadFile(first.tablePath)), (std::vector<std::string>{"run/a.sum", "run/b.sum"}));
}

// A drive whose root is a scratch folder, as `subst` (or, under Wine, a link
// in dosdevices) makes it; the test is given its letter.
TEST(WindowsFilesTest, JoinsPathsToADriveRootWithoutDoublingTheBackslash) {
  const char* root = std::getenv("QUILLMERE_TEST_DRIVE_ROOT");
  if (root == nullptr || *root == '\0') GTEST_SKIP() << "QUILLMERE_TEST_DRIVE_ROOT names no spare drive";
  std::string drive = root;  // "Q:\" (or "Q:/")
  drive.back() = '\\';
  ::CreateDirectoryW(WidePath(drive + "run").c_str(), nullptr);
  ::CreateDirectoryW(WidePath(drive + "run\\toxswa").c_str(), nullptr);
  {
    const HANDLE bad = ::CreateFileW(WidePath(drive + "run\\toxswa\\bad.sum").c_str(), GENERIC_WRITE, 0,
                                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(bad, INVALID_HANDLE_VALUE);
    ::CloseHandle(bad);
  }
  const SummaryOutcome outcome = SummaryRun(drive);
  EXPECT_EQ(outcome.tablePath, drive + "Summary.txt");
  EXPECT_EQ(outcome.status, RunStatus::kReportFailure);
  EXPECT_EQ(outcome.message, "Problem with file " + drive + "run\\toxswa\\bad.sum!\r\n Please check!");
  EXPECT_EQ(ReadFile(drive + "Summary.txt"), quillmere::testing::kTableHeader);
}

TEST(WindowsFilesTest, AHiddenTableThatCannotBeMadeVisibleAgainIsNotPutInPlace) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", kReport);
  const std::string tablePath = scratch.Write("Summary.txt", "the table of the last run\r\n");
  // The first takes the hidden attribute as the run starts, and may fail;
  // the second gives it up before the rename.
  const auto denied = quillmere::testing::PermissionDenied();
  quillmere::testing::FailingSystem system(
      {{SystemCall::kSetAttributes, 2, denied.error, ".Summary.txt.partial"}});
  const SummaryOutcome outcome = SummaryRun(scratch.path());
  EXPECT_EQ(system.failed(), 1);
  EXPECT_EQ(outcome.status, RunStatus::kWriteFailure);
  EXPECT_EQ(outcome.message, tablePath + ": cannot write: " + denied.words);
  EXPECT_EQ(ReadFile(tablePath), "the table of the last run\r\n");
  EXPECT_EQ(::GetFileAttributesW(WidePath(scratch / ".Summary.txt.partial").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace quillmere
