#include "summary/summary_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace quillmere {
namespace {

using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

// The table's text after writing `records` (header included).
std::string Written(const std::vector<ReportRecord>& records) {
  ScratchDirectory scratch;
  const std::string path = scratch / "Summary.txt";
  {
    const Folder folder(scratch.path());
    OutputFile file(folder, "Summary.txt", path);
    SummaryTable table(file);
    table.WriteHeader();
    for (const ReportRecord& record : records) table.WriteReportRows(record);
    EXPECT_FALSE(file.Close().has_value());
  }
  return ReadFile(path);
}

const std::string& kHeader = quillmere::testing::kTableHeader;

// A substance of `record` whose figures derive from `base`.
SubstanceResult Substance(ReportRecord& record, const std::string& name, double base) {
  SubstanceResult s;
  s.name = record.KeepText(name);
  s.PECsw_max = base;
  s.TWA7d = base / 10;
  s.TWA21d = base / 100;
  s.PECsed_max = base * 2;
  s.TWAsed7d = 0;
  s.TWAsed21d = -0.0;
  s.waterMaxDate = record.KeepText("25-Nov-1978-02h00");
  s.sedimentMaxDate = record.KeepText("25-Nov-1978-11h00");
  return s;
}

ReportRecord Record(std::initializer_list<std::string_view> applicationDates = {}) {
  ReportRecord record;
  record.runFolder = "Run 1";
  record.reportFile = "buffer10m.sum";
  record.scenario = "R1_Stream";
  for (std::string_view date : applicationDates) record.applicationDates.Append(date);
  return record;
}

TEST(SummaryTableTest, PutsTheApplicationDatesOnTheFirstLineOfAReportOnly) {
  ReportRecord record = Record({"14-Nov-1978-09h00", " 21-Nov-1978     ", ""});
  record.substances = {Substance(record, "Parent", 39.57), Substance(record, "Met", 0.000015)};
  EXPECT_EQ(Written({record}),
            kHeader +
                "Run 1\tbuffer10m.sum\tR1_Stream\tParent\t39.57\t3.957\t0.3957\t79.14\t0\t0\t"
                "25-Nov-1978-02h00\t25-Nov-1978-11h00\t14-Nov-1978-09h00\t 21-Nov-1978     \t\r\n"
                "Run 1\tbuffer10m.sum\tR1_Stream\tMet\t1.5E-05\t1.5E-06\t1.5E-07\t3E-05\t0\t0\t"
                "25-Nov-1978-02h00\t25-Nov-1978-11h00\r\n");
}

TEST(SummaryTableTest, KeepsTabsAndLineBreaksInNamesFromSplittingTheTable) {
  ReportRecord record = Record({"x\ty"});
  record.runFolder = "Run\t1";
  record.reportFile = "a\r\nb.sum";
  record.scenario = std::string("S\0\x01\xff\t", 5);
  record.substances = {Substance(record, "Sub\nstance", 1)};
  record.substances[0].waterMaxDate = record.KeepText("\t");
  const std::string line = Written({record}).substr(kHeader.size());
  EXPECT_EQ(
      line,
      std::string(
          "Run 1\ta  b.sum\tS\0\x01\xff \tSub stance\t1\t0.1\t0.01\t2\t0\t0\t \t25-Nov-1978-11h00\tx y\r\n",
          74));
}

TEST(SummaryTableTest, AClosedFileRefusesWhatComesAfterAndLeavesTheTableWhole) {
  ScratchDirectory scratch;
  const std::string path = scratch / "Summary.txt";
  const Folder folder(scratch.path());
  OutputFile file(folder, "Summary.txt", path);
  file.Print("a line");
  file.EndLine();
  ASSERT_FALSE(file.Close().has_value());
  file.Print("a line after the close");
  ASSERT_TRUE(file.failure().has_value());
  EXPECT_EQ(Describe(*file.failure()), path + ": cannot write: the file is closed");
  EXPECT_EQ(ReadFile(path), "a line\r\n");

  FileHandle handle(folder, "Other.txt", scratch / "Other.txt");
  bool replaced = false;
  ASSERT_FALSE(handle.Close(replaced).has_value());
  std::size_t taken = 0;
  const std::optional<FileError> refusals[] = {
      handle.Write("bytes", taken), handle.Sync(),
      handle.WithNarrowName([](const std::string&) { return std::optional<FileError>(); })};
  for (const std::optional<FileError>& refusal : refusals) {
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->path(), scratch / "Other.txt");
    EXPECT_TRUE(refusal->reason().starts_with("cannot write: ")) << refusal->reason();
  }
}

}  // namespace
}  // namespace quillmere
