#include "summary/report_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file_error.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::Dates;
using quillmere::testing::EndsEarly;
using quillmere::testing::FailureReason;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::NotAReport;
using quillmere::testing::ReadText;
using quillmere::testing::ReportFromLines;
using quillmere::testing::TableFields;

// A report with the header and application parts only, substances named in
// `substanceLines`.
std::string HeaderOnly(std::initializer_list<std::string_view> substanceLines,
                       std::initializer_list<std::string_view> applicationRows) {
  std::string text = ReportFromLines(
      {"* TOXSWA REPORT: Header", "* Scenario                : D4_Pond", "* End of TOXSWA REPORT: Header"});
  text += ReportFromLines(substanceLines);
  text += ReportFromLines({"* Summary for the substance loadings", "* Appl.No  Date/Hour   Mass"});
  text += ReportFromLines(applicationRows);
  return text;
}

// One substance's blocks reduced to their markers: `waterLine` names its
// water-layer table, `waterMax` and `twa7` are its first two rows.
std::string Blocks(std::string_view waterLine, std::string_view waterMax = "Global max ",
                   std::string_view twa7 = "TWAECsw_7_days") {
  return ReportFromLines({waterLine, waterMax, twa7, "TWAECsw_21_days", "Global max    ", "TWAECsed_7_days",
                          "TWAECsed_21_days"});
}

// A report of substance "A" with those blocks.
std::string OneSubstance(std::string_view waterLine, std::string_view waterMax = "Global max ",
                         std::string_view twa7 = "TWAECsw_7_days") {
  return HeaderOnly({"* Substance  1:  A"}, {"*"}) + Blocks(waterLine, waterMax, twa7);
}

// The number of the line of `text` that holds byte `at`.
std::string LineOf(const std::string& text, std::size_t at) {
  return std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1);
}

TEST(ReportReaderTest, ReadsEveryFigureOfAReportInTheModelsLayout) {
  for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
    FixtureReport fixture;
    fixture.lineEnd = lineEnd;
    fixture.applicationDates = {"14-Nov-1978-09h00", "21-Nov-1978-09h00"};
    EXPECT_EQ(TableFields(ReadText(BuildReport(fixture))),
              "R1_Stream | EXSW2 39.57 2.415 0.8402 5.338 1.544 0.9058 25-Nov-1978-02h00 25-Nov-1978-11h00 | "
              "14-Nov-1978-09h00 21-Nov-1978-09h00");
  }
}

TEST(ReportReaderTest, ReadsAllWaterBlocksBeforeTheSedimentBlocks) {
  // Figures in every form the model writes: an exponent with or without its
  // E, "-" and "< 1e-6" for no number.
  EXPECT_EQ(TableFields(ReadText(BuildReport(quillmere::testing::OddFiguresReport()))),
            "R1_Stream | EXSW2 39.57 2.415 0.8402 5.338 1.544 0.9058 25-Nov-1978-02h00 25-Nov-1978-11h00 | "
            "MET1 0.0015 0 0.8402 1.234e-101 1.544 0 01-Jan-1979-07h00 25-Nov-1978-11h00 | "
            "14-Nov-1978-09h00 21-Nov-1978-09h00 28-Nov-1978-09h00");
}

TEST(ReportReaderTest, TakesSubstanceNamesFromTheWaterTables) {
  const auto nameOf = [](std::string_view waterLine) {
    const ReportRecord record = ReadText(OneSubstance(waterLine));
    return std::string(record.Text(record.substances.at(0).name));
  };
  EXPECT_EQ(nameOf("* Table: PEC in water layer of substance:   from-table  "), "from-table");
  EXPECT_EQ(nameOf("* Table: PEC in water layer of substance:XYZ"), "YZ") << "the name starts at column 43";
}

TEST(ReportReaderTest, ReadsLinesTooShortForAFieldAsEmptyAndZero) {
  const ReportRecord record =
      ReadText(OneSubstance("PEC in water layer", "Global max ", "TWAECsw_7_days 12"));
  ASSERT_EQ(record.substances.size(), 1u);
  const SubstanceResult& s = record.substances[0];
  EXPECT_EQ(record.Text(s.name), "");
  EXPECT_EQ(record.Text(s.waterMaxDate), "");
  EXPECT_EQ(record.Text(s.sedimentMaxDate), "");
  EXPECT_EQ(s.PECsw_max, 0);
  EXPECT_EQ(s.TWA7d, 0) << "12 stands left of column 21";

  // A figure is the 15 bytes from its column; what touches it after them is
  // not part of it.
  const ReportRecord crowded =
      ReadText(OneSubstance("PEC in water layer", "Global max          1234567890123459-Jan"));
  const SubstanceResult& c = crowded.substances.at(0);
  EXPECT_DOUBLE_EQ(c.PECsw_max, 123456789012345);
  EXPECT_EQ(crowded.Text(c.waterMaxDate), "9-Jan");
}

TEST(ReportReaderTest, LabelsARepeatedScenarioWithATwo) {
  FixtureReport pond;
  pond.scenario = "D4_Pond";
  FixtureReport blank;
  blank.scenario = "";
  ReportReader reader;
  EXPECT_EQ(ReadText(reader, BuildReport(pond)).scenario, "D4_Pond");
  EXPECT_EQ(ReadText(reader, BuildReport(pond)).scenario, "D4_Pond2");
  EXPECT_EQ(ReadText(reader, BuildReport(pond)).scenario, "D4_Pond") << "differs from \"D4_Pond2\"";
  reader.StartRunFolder();
  EXPECT_EQ(ReadText(reader, BuildReport(pond)).scenario, "D4_Pond") << "a new run folder";
  reader.StartRunFolder();
  EXPECT_EQ(ReadText(reader, BuildReport(blank)).scenario, "2") << "blank equals the empty label";
}

TEST(ReportReaderTest, CutsTheScenarioFromColumn28ToAtMost100Bytes) {
  const std::string longName(120, 'x');
  const std::string text = ReportFromLines({"* Scenario                :" + longName});
  EXPECT_EQ(FailureReason(text), EndsEarly("* End of TOXSWA REPORT: Header"));
  FixtureReport fixture;
  fixture.scenario = longName;
  EXPECT_EQ(ReadText(BuildReport(fixture)).scenario, std::string(99, 'x'))
      << "column 28 holds the space after the colon";
  fixture.scenario = std::string("R1\0\x01\xff\tStream", 12);
  EXPECT_EQ(ReadText(BuildReport(fixture)).scenario, fixture.scenario) << "any byte is kept";
}

TEST(ReportReaderTest, EndsTheSubstanceListAtTheLoadingsLineEvenIfItNamesASubstance) {
  const std::string text = HeaderOnly({"* Substance  1:  A", "  * Substance  2:  B"}, {"*"});
  // The loadings line of HeaderOnly comes after; put one that also holds
  // "* Substance" first.
  const std::string both = ReportFromLines({"* TOXSWA REPORT: Header", "* Scenario                : S",
                                            "* End of TOXSWA REPORT: Header", "* Substance  1:  A",
                                            "* Summary for the substance loadings * Substance  2:  B",
                                            "* Substance  3:  C", "* Appl.No  Date/Hour", "*"}) +
                           Blocks("PEC in water layer");
  EXPECT_EQ(ReadText(both).substances.size(), 1u);
  // The substance list starts on the end-of-header line itself.
  const std::string onHeaderLine =
      ReportFromLines({"* Scenario                : S", "* End of TOXSWA REPORT: Header * Substance 1: A",
                       "* Summary for the substance loadings", "* Appl.No  Date/Hour", "*"});
  EXPECT_EQ(FailureReason(onHeaderLine), EndsEarly("PEC in water layer"));
  EXPECT_EQ(FailureReason(text), EndsEarly("PEC in water layer"))
      << "two substances need two water-layer blocks";
}

TEST(ReportReaderTest, EndsTheApplicationListOnlyAtASpaceOrAnAsterisk) {
  const ReportRecord record =
      ReadText(HeaderOnly({}, {"    1   14-Nov-1978-09h00   1000.0", "", "  ", "*x", "    5   short",
                               "    6   19-Nov-1978-09h00x-too-long", " "}));
  EXPECT_EQ(Dates(record),
            (std::vector<std::string>{"14-Nov-1978-09h00", "", "", "", "short", "19-Nov-1978-09h00"}));
  EXPECT_TRUE(ReadText(HeaderOnly({}, {"*"})).applicationDates.empty());
  EXPECT_TRUE(ReadText(HeaderOnly({}, {" "})).applicationDates.empty());
  EXPECT_EQ(Dates(ReadText(HeaderOnly({}, {"x       12-Dec-1978-10h00  ", "*"}))),
            (std::vector<std::string>{"12-Dec-1978-10h00"}));
  EXPECT_EQ(Dates(ReadText(HeaderOnly({}, {"    1      12-Dec  ", "*"}))),
            (std::vector<std::string>{"   12-Dec  "}))
      << "dates are not trimmed";
}

// One line may serve the same block of many substances at once: each takes
// its figures from it, and its texts are kept once for all.
TEST(ReportReaderTest, SubstancesServedByOneLineShareItsFiguresAndOneCopyOfItsTexts) {
  // Water: figure from column 21, date from 36, name from 43; sediment:
  // figure from 22, date from 37.
  const std::string water =
      "Global max -        1.5            2-Jan  Shared PEC in water layer TWAECsw_7_days TWAECsw_21_days";
  const std::string sediment = "Global max           2.5            3-Feb TWAECsed_7_days TWAECsed_21_days";
  const ReportRecord record = ReadText(ReportFromLines(
      {"* Scenario                : S", "* End of TOXSWA REPORT: Header", "* Substance", "* Substance",
       "* Summary for the substance loadings", "* Appl.No  Date/Hour", "*", water, sediment}));
  // Each date is the 25 bytes from its column.
  const std::string shared =
      "Shared PEC in water layer TWAECsw_7_days TWAECsw_21_days 1.5 1.5 1.5 2.5 2.5 2.5 2-Jan  Shared PEC in "
      "wate 3-Feb TWAECsed_7_days TWA";
  EXPECT_EQ(TableFields(record), "S | " + shared + " | " + shared + " |");
  EXPECT_EQ(record.texts.size(), 3u) << "a name and two dates";
}

TEST(ReportReaderTest, ReadsAReportWithoutSubstances) {
  const ReportRecord record = ReadText(HeaderOnly({}, {"    1   14-Nov-1978-09h00", "*"}));
  EXPECT_EQ(record.scenario, "D4_Pond");
  EXPECT_TRUE(record.substances.empty());
  EXPECT_EQ(record.applicationDates.size(), 1u);
}

TEST(ReportReaderTest, FailsNamingTheMarkerThatNeverComes) {
  quillmere::testing::ExpectEachMarkerNeeded(
      BuildReport(FixtureReport{}),
      {"* End of TOXSWA REPORT: Header", "* Summary for the substance loadings", "Appl.No  Date/Hour",
       "PEC in water layer", "TWAECsw_7_days", "TWAECsw_21_days", "Global max ", "TWAECsed_7_days",
       "TWAECsed_21_days"});
  EXPECT_EQ(FailureReason(""), NotAReport());
  EXPECT_EQ(FailureReason(HeaderOnly({}, {"    1   14-Nov-1978-09h00"})),
            "the report ends early, as that of a TOXSWA run that did not finish would, before the end of the "
            "application list (a line \" \" or \"*\")");
}

TEST(ReportReaderTest, ScansOnlyForwardFromWhereTheLastMarkerWasFound) {
  // Each substance's sediment right after its own water block: the first
  // sediment scan lands in the last block, and the second finds nothing.
  std::string interleaved = HeaderOnly({"* Substance  1:  A", "* Substance  2:  B"}, {"*"});
  for (std::string_view name : {"A", "B"}) {
    interleaved += ReportFromLines({"* Table: PEC in water layer of substance:", name,
                                    "Global max            1", "TWAECsw_7_days", "TWAECsw_21_days",
                                    "Global max             2", "TWAECsed_7_days", "TWAECsed_21_days"});
  }
  const struct {
    std::string what, text, marker;
  } cases[] = {
      {"the application heading before the loadings line",
       ReportFromLines({"* Scenario                : S", "* End of TOXSWA REPORT: Header",
                        "* Appl.No  Date/Hour", "*", "* Summary for the substance loadings"}),
       "Appl.No  Date/Hour"},
      {"the 7-day average before the maximum",
       OneSubstance("PEC in water layer", "TWAECsw_7_days", "Global max "), "TWAECsw_7_days"},
      {"sediment blocks interleaved with water blocks", interleaved, "Global max    "},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureReason(c.text), EndsEarly(c.marker)) << c.what;
}

TEST(ReportReaderTest, FailsOnAFigureTooLargeForANumber) {
  FixtureReport fixture;
  fixture.substances[0].waterTwa21 = "1.0E+999";
  const std::string text = BuildReport(fixture);
  EXPECT_EQ(FailureReason(text), "line " + LineOf(text, text.find("TWAECsw_21_days")) +
                                     ": the figure \"1.0E+999\" is too large for a number");
}

TEST(ReportReaderTest, RefusesAFigureTheModelCouldNotWriteAndReadsEveryOtherAsBefore) {
  // Each case puts `field` in one figure. A refused one names the marker of
  // its line; any other is read as the plain figure `readAs` would be.
  struct Case {
    std::string field;
    std::string FixtureSubstance::*figure;
    std::string marker;  // "" when the report is read
    std::string readAs;
  } cases[] = {
      {"*****", &FixtureSubstance::waterMax, "Global max", ""},
      {"*********", &FixtureSubstance::sedimentTwa21, "TWAECsed_21_days", ""},
      {"1.5*", &FixtureSubstance::waterTwa7, "TWAECsw_7_days", ""},
      {"NaN", &FixtureSubstance::waterTwa21, "TWAECsw_21_days", ""},
      {"nan", &FixtureSubstance::sedimentMax, "Global max", ""},
      {"-NaN", &FixtureSubstance::sedimentTwa7, "TWAECsed_7_days", ""},
      {"Infinity", &FixtureSubstance::waterMax, "Global max", ""},
      {"-INF", &FixtureSubstance::waterMax, "Global max", ""},
      {"+Inf", &FixtureSubstance::sedimentTwa21, "TWAECsed_21_days", ""},
      {"", &FixtureSubstance::waterMax, "", "0"},
      {"< 1E-06", &FixtureSubstance::waterTwa21, "", "0"},
      {"< 1e-6", &FixtureSubstance::sedimentMax, "", "0"},
      {"1.5E-05", &FixtureSubstance::waterMax, "", "0.000015"},
      {"2.4x", &FixtureSubstance::sedimentTwa7, "", "2.4"},
      {"1.0E-999", &FixtureSubstance::waterTwa21, "", "0"},  // too small for a number
  };
  for (const Case& c : cases) {
    FixtureReport fixture;
    fixture.substances[0].*c.figure = c.field;
    const std::string text = BuildReport(fixture);
    if (c.marker.empty()) {
      fixture.substances[0].*c.figure = c.readAs;
      EXPECT_EQ(TableFields(ReadText(text)), TableFields(ReadText(BuildReport(fixture)))) << c.field;
      continue;
    }
    // The water layer's "Global max" line comes first.
    std::size_t at = text.find(c.marker + " ");
    if (c.figure == &FixtureSubstance::sedimentMax) at = text.find(c.marker + " ", at + 1);
    EXPECT_EQ(FailureReason(text), "line " + LineOf(text, at) + ": the figure after \"" + c.marker +
                                       "\" is not a number: \"" + c.field + "\"")
        << c.field;
  }
}

TEST(ReportReaderTest, RefusesFilesThatAreNoReport) {
  std::string binary(64 * 1024, '\0');
  unsigned state = 12345;
  for (char& c : binary) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  std::string utf16 = "\xff\xfe";
  for (const char c : BuildReport(FixtureReport{})) utf16 += {c, '\0'};
  const struct {
    std::string what;
    std::string bytes;
  } cases[] = {
      {"binary bytes", binary},
      {"NUL bytes", std::string(4096, '\0')},
      {"only CR", std::string(1024 * 1024, '\r')},
      {"UTF-16", utf16},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureReason(c.bytes), NotAReport()) << c.what;
}

TEST(ReportReaderTest, RefusesALineLongerThanAnyReportHas) {
  const std::string text = ReportFromLines({"* Scenario                : S", std::string(3 << 20, 'x')});
  EXPECT_EQ(FailureReason(text),
            "line 2 is longer than 1 MiB: the file does not look like a TOXSWA summary report");
}

TEST(ReportReaderTest, NamesTheFileItCannotOpen) {
  quillmere::testing::ScratchDirectory scratch;
  ReportReader reader;
  ReportRecord record;
  try {
    reader.Read(scratch / "gone.sum", record);
    ADD_FAILURE() << "read a missing report";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), scratch / "gone.sum");
    EXPECT_EQ(error.reason(), "cannot open: " + quillmere::testing::MissingFileWords());
  }
}

}  // namespace
}  // namespace quillmere
