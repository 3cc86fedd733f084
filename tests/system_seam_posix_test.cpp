// The run when a POSIX system interrupts its calls (EINTR), refuses to
// open the table for a reason that is not a link, cannot lock or check the
// hidden file the table is built in, or cannot cut it back after a write
// that failed part-way, or when something else moves that file away, failed
// through the runtime's System.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "tests/command_line_capture.h"
#include "tests/failing_system.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"
#include "workbook/workbook_run.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
using quillmere::testing::DataRows;
using quillmere::testing::FailedCall;
using quillmere::testing::FailingSystem;
using quillmere::testing::FixtureReport;
using quillmere::testing::ReadFile;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;

TEST(SystemSeamPosixTest, InterruptedCallsAreCarriedOn) {
  // A table of several hand-overs of the 64 KiB buffer, and a report of
  // several reads.
  ScratchDirectory scratch;
  const std::string report = BuildReport({});
  for (int i = 0; i < 1000; ++i) scratch.Write("run/toxswa/r" + std::to_string(1000 + i) + ".sum", report);
  scratch.Write("run/toxswa/long.sum", BuildReport(FixtureReport{.fillerLines = 2000}));
  ASSERT_EQ(RunCli({"--", scratch.path()}).status, 0);
  const std::string expected = ReadFile(scratch / "Summary.txt");
  FailedCall half{SystemCall::kWrite, 3, 0, "Summary.txt"};
  half.transfer = FailedCall::Transfer::kHalf;
  struct Case {
    std::string what;
    std::vector<FailedCall> failures;
  } cases[] = {
      {"the first write", {{SystemCall::kWrite, 1, EINTR, "Summary.txt"}}},
      {"a later write, then one cut short", {{SystemCall::kWrite, 2, EINTR, "Summary.txt"}, half}},
      {"the first read of a report", {{SystemCall::kRead, 1, EINTR, ".sum"}}},
      {"a later read", {{SystemCall::kRead, 3, EINTR, "long.sum"}}},
      // Linux closes the descriptor all the same.
      {"the close", {{SystemCall::kClose, 1, EINTR, "Summary.txt"}}},
  };
  for (const Case& c : cases) {
    // Without a table before, the first close of Summary.txt is the new one's.
    std::filesystem::remove(scratch / "Summary.txt");
    FailingSystem system(c.failures);
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), static_cast<int>(c.failures.size())) << c.what;
    EXPECT_EQ(result.status, 0) << c.what << ": " << result.err;
    EXPECT_EQ(result.out, "Wrote " + (scratch / "Summary.txt") + ": 1001 reports, 1001 rows\n") << c.what;
    EXPECT_TRUE(ReadFile(scratch / "Summary.txt") == expected) << c.what;
  }
}

TEST(SystemSeamPosixTest, ATableRefusedAsALoopThatIsNoLinkIsNamedWithTheSystemsReason) {
  // ELOOP says "a symbolic link" only where one stands at the name.
  for (const bool oldTable : {true, false}) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    if (oldTable) scratch.Write("Summary.txt", "the table of the last run\r\n");
    FailingSystem system({{SystemCall::kOpen, 1, ELOOP, "Summary.txt"}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << oldTable;
    EXPECT_EQ(result.status, 2) << oldTable;
    EXPECT_EQ(result.err, "quillmere-summary: " + (scratch / "Summary.txt") +
                              ": cannot create: Too many levels of symbolic links\n")
        << oldTable;
  }
}

const std::string kOldTable = "the table of the last run\r\n";

// The message of a run that stopped on the table, after "quillmere-summary: ".
std::string Stopped(const ScratchDirectory& scratch, const std::string& reason) {
  return "quillmere-summary: " + (scratch / "Summary.txt") + ": " + reason + "\n";
}

TEST(SystemSeamPosixTest, ALockRefusedByAnotherRunStopsTheRunAndOneTheSystemCannotTakeDoesNot) {
  struct Case {
    unsigned long error;
    int status;
    bool written;  // the new table, or the old one kept
  } cases[] = {
      {EWOULDBLOCK, 2, false},
      // A file system without locks (ENOLCK): nothing tells of another run.
      {ENOLCK, 0, true},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    scratch.Write("Summary.txt", kOldTable);
    FailingSystem system({{SystemCall::kLock, 1, c.error, "Summary.txt"}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.error;
    EXPECT_EQ(result.status, c.status) << c.error << ": " << result.err;
    EXPECT_EQ(result.err, c.written ? "" : Stopped(scratch, Refusal("", FileErrorKind::kRunAtWork).reason()));
    EXPECT_EQ(ReadFile(scratch / "Summary.txt") != kOldTable, c.written) << c.error;
    // The hidden file another run holds is that run's to put in place.
    EXPECT_EQ(std::filesystem::exists(scratch / ".Summary.txt.partial"), !c.written) << c.error;
  }
}

TEST(SystemSeamPosixTest, AHiddenFileThatCannotBeOpenedOrCheckedIsNamedWithWhatToDo) {
  const std::string hint =
      "; it is the hidden file a run builds Summary.txt in, and no run is using it: "
      "remove it and try again\n";
  struct Case {
    SystemCall call;
    unsigned long error;
  } cases[] = {{SystemCall::kOpen, EACCES}, {SystemCall::kStatus, EIO}, {SystemCall::kSetAttributes, EPERM}};
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    scratch.Write("Summary.txt", kOldTable);
    FailingSystem system({{c.call, 1, c.error, ".Summary.txt.partial"}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.error;
    EXPECT_EQ(result.status, 2) << c.error;
    EXPECT_EQ(result.err, "quillmere-summary: " + (scratch / ".Summary.txt.partial") + ": cannot create: " +
                              std::generic_category().message(static_cast<int>(c.error)) + hint);
    EXPECT_EQ(ReadFile(scratch / "Summary.txt"), kOldTable) << c.error;
  }
}

// Renames the hidden file the table is built in away, as another run that
// held it would put it in place, when the run locks it (the first `lockMoves`
// times) or flushes it; with `replace` a file of another program then takes
// its name.
class MovingSystem : public FailingSystem {
 public:
  MovingSystem(std::string folder, int lockMoves, bool atFlush, bool replace = false)
      : FailingSystem({}),
        folder_(std::move(folder)),
        lockMoves_(lockMoves),
        atFlush_(atFlush),
        replace_(replace) {}
  bool Lock(std::intptr_t file) override {
    if (moves_ < lockMoves_) Move();
    return FailingSystem::Lock(file);
  }
  bool Flush(std::intptr_t file) override {
    if (atFlush_) Move();
    return FailingSystem::Flush(file);
  }
  int moves() const { return moves_; }

 private:
  void Move() {
    const std::string hidden = folder_ + "/.Summary.txt.partial";
    if (std::rename(hidden.c_str(), (folder_ + "/moved" + std::to_string(moves_)).c_str()) != 0) return;
    ++moves_;
    if (std::FILE* other = replace_ ? std::fopen(hidden.c_str(), "wb") : nullptr) {
      std::fputs("another program's", other);
      std::fclose(other);
    }
  }
  std::string folder_;
  int lockMoves_;
  bool atFlush_;
  bool replace_;
  int moves_ = 0;
};

TEST(SystemSeamPosixTest, AHiddenFileMovedAwayIsOpenedAgainOrEndsTheRunWithoutTouchingTheTable) {
  struct Case {
    std::string what;
    int lockMoves;
    bool atFlush;
    bool replace;
    int status;
    std::string reason;  // empty when the table is written
  } cases[] = {
      {"once, before the lock", 1, false, false, 0, ""},
      {"before every lock", 1000, false, false, 2, Refusal("", FileErrorKind::kRunAtWork).reason()},
      {"during the run", 0, true, false, 1,
       "not written: .Summary.txt.partial was moved away during the run"},
      {"during the run, another file put at its name", 0, true, true, 1,
       "not written: .Summary.txt.partial was moved away during the run"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    scratch.Write("Summary.txt", kOldTable);
    MovingSystem system(scratch.path(), c.lockMoves, c.atFlush, c.replace);
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_GE(system.moves(), 1) << c.what;
    EXPECT_EQ(result.status, c.status) << c.what << ": " << result.err;
    if (c.reason.empty()) {
      EXPECT_EQ(result.err, "") << c.what;
      EXPECT_EQ(DataRows(ReadFile(scratch / "Summary.txt")).size(), 1u) << c.what;
    } else {
      EXPECT_EQ(result.err, Stopped(scratch, c.reason)) << c.what;
      EXPECT_EQ(ReadFile(scratch / "Summary.txt"), kOldTable) << c.what;
    }
    // What was moved, or put in its place, is not this run's to remove;
    // what it made itself is gone.
    EXPECT_TRUE(std::filesystem::exists(scratch / "moved0")) << c.what;
    if (c.replace) {
      EXPECT_EQ(ReadFile(scratch / ".Summary.txt.partial"), "another program's") << c.what;
    } else {
      EXPECT_FALSE(std::filesystem::exists(scratch / ".Summary.txt.partial")) << c.what;
    }
  }
}

TEST(SystemSeamPosixTest, AHiddenFileWithOtherHardLinksIsNotWrittenThrough) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  scratch.Write("Summary.txt", kOldTable);
  const std::string elsewhere = scratch.Write("elsewhere.txt", "a file of its own");
  ASSERT_EQ(::link(elsewhere.c_str(), (scratch / ".Summary.txt.partial").c_str()), 0);
  const CommandLineResult result = RunCli({"--", scratch.path()});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "quillmere-summary: " + (scratch / ".Summary.txt.partial") +
                            ": not written: it has other hard links; it is the hidden file a run builds "
                            "Summary.txt in, and no run is using it: remove it and try again\n");
  EXPECT_EQ(ReadFile(elsewhere), "a file of its own");
  EXPECT_EQ(ReadFile(scratch / "Summary.txt"), kOldTable);
}

TEST(SystemSeamPosixTest, CallsThatNeedNotEndTheRunDoNot) {
  if (!WorkbookAvailable()) GTEST_SKIP() << "built without the workbook";
  struct Case {
    std::string what;
    FailedCall failure;
  } cases[] = {
      {"an interrupted flush, repeated", {SystemCall::kFlush, 1, EINTR, "Summary.txt"}},
      // The workbook is then written through the hidden file's path.
      {"the hidden workbook's own entry that cannot be checked",
       {SystemCall::kStatus, 2, EIO, ".Summary.xlsx.partial"}},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    FailingSystem system({c.failure});
    const CommandLineResult result = RunCli({"--workbook", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.what;
    EXPECT_EQ(result.status, 0) << c.what << ": " << result.err;
    EXPECT_EQ(DataRows(ReadFile(scratch / "Summary.txt")).size(), 1u) << c.what;
    EXPECT_TRUE(ReadFile(scratch / "Summary.xlsx").starts_with("PK\x03\x04")) << c.what;
  }
}

TEST(SystemSeamPosixTest, AWriteThatFailsPartWayIsNamedEvenWhenTheFileCannotBeCutBack) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  FailedCall half{SystemCall::kWrite, 1, 0, "Summary.txt"};
  half.transfer = FailedCall::Transfer::kHalf;
  // The first truncate empties the hidden file as it is opened.
  FailingSystem system(
      {half, {SystemCall::kWrite, 2, ENOSPC, "Summary.txt"}, {SystemCall::kTruncate, 2, EIO, "Summary.txt"}});
  const CommandLineResult result = RunCli({"--", scratch.path()});
  EXPECT_EQ(system.failed(), 3);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, Stopped(scratch, "cannot write: No space left on device"));
}

TEST(SystemSeamPosixTest, ADirectoryThatCannotBeOpenedOrHeldOnceMoreIsNamedBeforeTheRun) {
  struct Case {
    SystemCall call;
    int nth;
    std::string path;    // of the message, in the scratch directory
    std::string action;  // of the message
  } cases[] = {
      {SystemCall::kOpen, 1, "", "cannot list"},
      {SystemCall::kDuplicate, 1, "", "cannot list"},
      {SystemCall::kDuplicate, 2, "/Summary.txt", "cannot create"},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch;
    scratch.Write("run/toxswa/a.sum", BuildReport({}));
    scratch.Write("Summary.txt", kOldTable);
    FailingSystem system({{c.call, c.nth, EMFILE, scratch.path()}});
    const CommandLineResult result = RunCli({"--", scratch.path()});
    EXPECT_EQ(system.failed(), 1) << c.nth;
    EXPECT_EQ(result.status, 2) << c.nth;
    EXPECT_EQ(result.err,
              "quillmere-summary: " + scratch.path() + c.path + ": " + c.action + ": Too many open files\n");
    EXPECT_EQ(ReadFile(scratch / "Summary.txt"), kOldTable) << c.nth;
  }
}

}  // namespace
}  // namespace quillmere
