// The run when a POSIX system interrupts its calls (EINTR) or refuses to
// open the table for a reason that is not a link, failed through the
// runtime's System.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/command_line_capture.h"
#include "tests/failing_system.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::CommandLineResult;
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

}  // namespace
}  // namespace quillmere
