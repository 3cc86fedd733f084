// The memory a report costs, measured against a limit on the address space
// of a child process: fork, rlimits and /proc exist on Linux only.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <new>
#include <string>
#include <string_view>

#include "summary/report_reader.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::ReportFromLines;

// The address sanitizer reserves far more address space than any limit here,
// so these run in the plain build.
#ifndef __SANITIZE_ADDRESS__
// The address space of this process, in bytes.
std::size_t AddressSpace() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) == 0) return std::stoul(line.substr(7)) * 1024;
  }
  return 0;
}

// Reads the report at `path` in a child process whose address space may grow
// by at most `budget` bytes. Returns the child's exit status: 0 when the
// report was read and held `substances` substances and `applications`
// application rows, 3 when memory ran out.
int ReadInChildWithin(const std::string& path, std::size_t budget, std::size_t substances,
                      std::size_t applications) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlim_t limit = AddressSpace() + budget;
    const rlimit addressSpace{limit, limit};
    if (::setrlimit(RLIMIT_AS, &addressSpace) != 0) ::_exit(121);
    try {
      ReportReader reader;
      ReportRecord record;
      reader.Read(path, record);
      const bool whole =
          record.substances.size() == substances && record.applicationDates.size() == applications;
      ::_exit(whole ? 0 : 5);
    } catch (const std::bad_alloc&) {
      ::_exit(3);
    } catch (...) {
      ::_exit(4);
    }
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The reports that cost the most memory per byte: each is read whole in
// less than 8 times its size.
TEST(ReportReaderTest, ReadsTheCostliestShapesWithinEightTimesTheirSize) {
  constexpr std::size_t kSubstances = 350000;
  constexpr std::size_t kRows = 4000000;
  const std::string header =
      ReportFromLines({"* Scenario                : S", "* End of TOXSWA REPORT: Header"});
  const std::string blocks = ReportFromLines({"PEC in water layer Global max  TWAECsw_7_days TWAECsw_21_days",
                                              "Global max     TWAECsed_7_days TWAECsed_21_days"});
  std::string substanceLines;
  for (std::size_t i = 0; i < kSubstances; ++i) substanceLines += "* Substance\n";
  // The longest line a report may have.
  const std::string longName(LineReader::kLongestLine - 48, 'n');
  struct Case {
    std::string_view shape;
    std::string text;
    std::size_t substances;
    std::size_t applications;
  } cases[] = {
      {"substance lines served by one line",
       header + substanceLines +
           ReportFromLines({"* Summary for the substance loadings", "* Appl.No  Date/Hour", "*"}) + blocks,
       kSubstances, 0},
      {"empty application rows",
       header + ReportFromLines({"* Summary for the substance loadings", "* Appl.No  Date/Hour"}) +
           std::string(kRows, '\n') + "*\n",
       0, kRows},
      {"a name on the longest line allowed",
       header +
           ReportFromLines({"* Substance", "* Summary for the substance loadings", "* Appl.No  Date/Hour",
                            "*", "PEC in water layer" + std::string(30, ' ') + longName}) +
           blocks,
       1, 0},
  };
  quillmere::testing::ScratchDirectory scratch;
  for (const Case& c : cases) {
    const std::string path = scratch.Write("report.sum", c.text);
    EXPECT_EQ(ReadInChildWithin(path, 8 * c.text.size(), c.substances, c.applications), 0) << c.shape;
  }
  // The limit bites: the substances' own 72 bytes each do not fit in the
  // report's size.
  const std::string path = scratch.Write("report.sum", cases[0].text);
  EXPECT_EQ(ReadInChildWithin(path, cases[0].text.size(), kSubstances, 0), 3);
}
#endif

}  // namespace
}  // namespace quillmere
