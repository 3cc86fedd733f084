// How a run puts Summary.txt and Summary.xlsx in place, on every system: the
// table's lock is held until both are, and the hidden workbook a killed run
// left behind is taken over by the next.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "runtime/system.h"
#include "summary/summary_run.h"
#include "tests/command_line_capture.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::ReadFile;
using quillmere::testing::RunCli;
using quillmere::testing::ScratchDirectory;

bool IsWorkbook(const std::string& path) { return ReadFile(path).starts_with("PK\x03\x04"); }

// Starts a second run over `directory` at the moment the first renames its
// workbook into place.
class SecondRunAtTheWorkbooksRename : public SystemWrapper {
 public:
  explicit SecondRunAtTheWorkbooksRename(std::string directory)
      : SystemWrapper(PlatformSystem()), directory_(std::move(directory)), previous_(UseSystem(this)) {}
  ~SecondRunAtTheWorkbooksRename() override { UseSystem(previous_); }

  bool Rename(const RenameCall& call) override {
    if (call.to == "Summary.xlsx" && !second) second = SummaryRun(directory_);
    return SystemWrapper::Rename(call);
  }

  std::optional<SummaryOutcome> second;

 private:
  std::string directory_;
  System* previous_;
};

TEST(FileProtocolTest, ASecondRunIsRefusedWhileTheWorkbookIsPutInPlace) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  SecondRunAtTheWorkbooksRename system(scratch.path());
  const quillmere::testing::CommandLineResult first = RunCli({"--workbook", scratch.path()});
  ASSERT_TRUE(system.second.has_value());
  EXPECT_EQ(system.second->status, RunStatus::kNotStarted);
  EXPECT_EQ(system.second->message,
            scratch / "Summary.txt: not written: another run is writing it; try again when it has ended");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(IsWorkbook(scratch / "Summary.xlsx"));
  EXPECT_NE(ReadFile(scratch / "Summary.txt").find("a.sum"), std::string::npos);
}

TEST(FileProtocolTest, TakesOverTheHiddenWorkbookOfARunThatWasKilled) {
  ScratchDirectory scratch;
  scratch.Write("run/toxswa/a.sum", BuildReport({}));
  scratch.Write(".Summary.xlsx.partial", "half a workbook of a run killed");
  ASSERT_EQ(RunCli({"--workbook", scratch.path()}).status, 0);
  EXPECT_TRUE(IsWorkbook(scratch / "Summary.xlsx"));
  EXPECT_FALSE(std::filesystem::exists(scratch / ".Summary.xlsx.partial"));
}

}  // namespace
}  // namespace quillmere
