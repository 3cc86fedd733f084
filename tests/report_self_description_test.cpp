// What a report says of itself, read on the way to the table's figures: the
// version, the water body type, the units of its tables and its other
// time-weighted average windows. None of it may change what the table gets.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "summary/report_reader.h"
#include "tests/report_builder.h"
#include "tests/report_reading.h"

namespace quillmere {
namespace {

using quillmere::testing::BuildReport;
using quillmere::testing::FixtureReport;
using quillmere::testing::FixtureSubstance;
using quillmere::testing::FixtureWindow;
using quillmere::testing::ReadText;
using quillmere::testing::Replaced;
using quillmere::testing::TableFields;

ReportRecord ReadText(const std::string& text, ReportRecord record) {
  ReportReader reader;
  return ReadText(reader, text, std::move(record));
}

// "water 0 28d=0.6358", "sed 1 28d=0.7857", ...
std::vector<std::string> Windows(const ReportRecord& record) {
  std::vector<std::string> windows;
  for (const TwaWindow& window : record.twaWindows) {
    char value[32];
    std::snprintf(value, sizeof value, "%g", window.value);
    windows.push_back(std::string(window.sediment ? "sed " : "water ") + std::to_string(window.substance) +
                      " " + std::to_string(window.days) + "d=" + value);
  }
  return windows;
}

TEST(ReportSelfDescriptionTest, ReadsTheHeaderAndTheUnitsOfEachTable) {
  struct Case {
    const char* what;
    std::string version, waterBodyType, waterUnit, sedimentUnit;
    std::string wantVersion;
  };
  const Case cases[] = {
      {"all of it, Latin-1", "5.5.3", "R1_STREAM", "\xB5g.L-1", "\xB5g.kg-1", "FOCUS TOXSWA 5.5.3"},
      {"no version line", "", "D4_POND", "mg.L-1", "mg.kg-1", ""},
      {"no water body line", "4.4.2", "", "\xB5g.L-1", "\xB5g.kg-1", "FOCUS TOXSWA 4.4.2"},
      {"no unit lines", "5.5.3", "R1_STREAM", "", "", "FOCUS TOXSWA 5.5.3"},
  };
  for (const Case& c : cases) {
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
      FixtureReport fixture;
      fixture.version = c.version;
      fixture.waterBodyType = c.waterBodyType;
      fixture.waterUnit = c.waterUnit;
      fixture.sedimentUnit = c.sedimentUnit;
      fixture.lineEnd = lineEnd;
      fixture.substances.push_back(FixtureSubstance{});
      const ReportRecord record = ReadText(BuildReport(fixture));
      EXPECT_EQ(record.version, c.wantVersion) << c.what;
      EXPECT_EQ(record.waterBodyType, c.waterBodyType) << c.what;
      EXPECT_EQ(record.waterUnit, c.waterUnit) << c.what;
      EXPECT_EQ(record.sedimentUnit, c.sedimentUnit) << c.what;
    }
  }
}

TEST(ReportSelfDescriptionTest, GivesEachWindowToItsSubstanceAndMediumInTheReportsOrder) {
  FixtureReport fixture;
  FixtureSubstance parent;
  parent.waterWindows = {{1, "16.88"}, {2, "8.448"}, {14, "1.26"}, {28, "0.6358"}, {100, "0.1785"}};
  parent.sedimentWindows = {{4, "2.011"}, {50, "0.5863"}};
  FixtureSubstance metabolite;
  metabolite.name = "Met-1";
  metabolite.waterWindows = {{42, "0.4242"}};
  metabolite.sedimentWindows = {{1, "3.65"}, {100, "0.4034"}};  // the last: after the reader's last marker
  fixture.substances = {parent, metabolite};
  const ReportRecord record = ReadText(BuildReport(fixture));
  EXPECT_EQ(
      Windows(record),
      (std::vector<std::string>{"water 0 1d=16.88", "water 0 2d=8.448", "water 0 14d=1.26",
                                "water 0 28d=0.6358", "water 0 100d=0.1785", "water 1 42d=0.4242",
                                "sed 0 4d=2.011", "sed 0 50d=0.5863", "sed 1 1d=3.65", "sed 1 100d=0.4034"}));
}

TEST(ReportSelfDescriptionTest, LeavesOutAWindowItCannotReadAndReadsTheTableAsBefore) {
  struct Case {
    const char* what;
    std::string_view from, to;  // a change to the default report
    std::vector<std::string> wantWindows;
  };
  // The 14-day row made one the reader leaves out: each keeps the others.
  const std::string row14 = "TWAECsw_14_days     ";
  const std::vector<std::string> without14 = {"water 0 1d=16.88", "water 0 28d=0.6358", "sed 0 28d=0.7857"};
  const Case cases[] = {
      {"stars", "1.260", "*****", without14},
      {"NaN", "0.6358", "   NaN", {"water 0 1d=16.88", "water 0 14d=1.26", "sed 0 28d=0.7857"}},
      {"too large", "0.7857", "1E+999", {"water 0 1d=16.88", "water 0 14d=1.26", "water 0 28d=0.6358"}},
      {"blank reads 0",
       "16.88",
       "     ",
       {"water 0 1d=0", "water 0 14d=1.26", "water 0 28d=0.6358", "sed 0 28d=0.7857"}},
      {"0 days", row14, "TWAECsw_0_days      ", without14},
      {"101 days", row14, "TWAECsw_101_days    ", without14},
      {"7 days again", row14, "TWAECsw_7_days      ", without14},
      {"a longer label", row14, "TWAECsw_14_daysX    ", without14},
      {"no days", row14, "TWAECsw__days       ", without14},
      {"listed twice", row14, "TWAECsw_1_days      ", without14},
      {"four digits", row14, "TWAECsw_1000_days   ", without14},
      {"no day word", row14, "TWAECsw_14_dys      ", without14},
      {"a letter after the figure",
       "16.88",
       "6.88x",
       {"water 0 1d=6.88", "water 0 14d=1.26", "water 0 28d=0.6358", "sed 0 28d=0.7857"}},
  };
  const std::string report = BuildReport(FixtureReport{});
  const std::string table = TableFields(ReadText(report));
  for (const Case& c : cases) {
    const ReportRecord record = ReadText(Replaced(report, c.from, c.to));
    EXPECT_EQ(Windows(record), c.wantWindows) << c.what;
    EXPECT_EQ(TableFields(record), table) << c.what;
  }
}

TEST(ReportSelfDescriptionTest, NeverFailsAReportOverWhatFollowsItsLastMarker) {
  const std::string report = BuildReport(FixtureReport{});
  const std::string last = "TWAECsed_21_days";
  const std::size_t lastLineEnd = report.find("\r\n", report.find(last));
  const std::string table = TableFields(ReadText(report));
  const std::string cases[] = {
      report.substr(0, lastLineEnd),  // ends on the marker
      report.substr(0, lastLineEnd + 2) + std::string(LineReader::kLongestLine + 1, 'x'),  // a line too long
      report.substr(0, lastLineEnd + 2) + "TWAECsed_28_days   ****",                       // a broken window
      // A window too far after the last marker: the tail is not read to its end.
      report.substr(0, lastLineEnd + 2) +
          [&] {
            std::string tail;
            for (int i = 0; i < 128; ++i) tail += " \r\n";
            return tail + report.substr(report.find("TWAECsed_28_days"));
          }(),
  };
  for (const std::string& text : cases) {
    ReportRecord record;
    ASSERT_NO_THROW(record = ReadText(text));
    EXPECT_EQ(TableFields(record), table);
    EXPECT_EQ(Windows(record),
              (std::vector<std::string>{"water 0 1d=16.88", "water 0 14d=1.26", "water 0 28d=0.6358"}));
  }
}

TEST(ReportSelfDescriptionTest, ForgetsWhatThePreviousReportSaid) {
  FixtureReport full;
  full.waterUnit = "\xB5g.L-1";
  full.sedimentUnit = "\xB5g.kg-1";
  FixtureReport bare;
  bare.version.clear();
  bare.waterBodyType.clear();
  bare.substances[0].waterWindows.clear();
  bare.substances[0].sedimentWindows.clear();
  // One report of many substances and windows, whose memory the next
  // report does not keep.
  full.substances.assign(1100, full.substances[0]);
  const ReportRecord large = ReadText(BuildReport(full));
  ASSERT_EQ(large.twaWindows.size(), 4400u);
  // A version line that gives none.
  const std::string bareText = Replaced(BuildReport(bare), "* TOXSWA model version    : 3.3.6",
                                        "* FOCUS  TOXSWA version   :\r\n* FOCUS  TOXSWA version 5");
  const ReportRecord record = ReadText(bareText, large);
  EXPECT_LE(record.substances.capacity(), 1024u);
  EXPECT_LE(record.twaWindows.capacity(), 4096u);
  EXPECT_EQ(TableFields(record), TableFields(ReadText(BuildReport(bare))));
  EXPECT_EQ(record.version, "");
  EXPECT_EQ(record.waterBodyType, "");
  EXPECT_EQ(record.waterUnit, "");
  EXPECT_EQ(record.sedimentUnit, "");
  EXPECT_TRUE(record.twaWindows.empty());
}

}  // namespace
}  // namespace quillmere
