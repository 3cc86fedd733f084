// The columns of the workbook's Summary sheet as the reports decide them.
#include "workbook/summary_sheet.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "workbook/sheet_cells.h"
#include "workbook/workbook_text.h"

namespace quillmere {
namespace {

ReportRecord Record(std::string waterUnit, std::string sedimentUnit, std::vector<TwaWindow> windows = {},
                    std::size_t applications = 1) {
  ReportRecord record;
  record.waterUnit = std::move(waterUnit);
  record.sedimentUnit = std::move(sedimentUnit);
  record.twaWindows = std::move(windows);
  for (std::size_t n = 0; n < applications; ++n) record.applicationDates.Append("14-Nov-1978-09h00");
  return record;
}

TEST(SummarySheetTest, PutsTheUnitTheReportsShareInTheFiguresHeads) {
  struct Case {
    const char* what;
    std::vector<ReportRecord> records;
    std::string water, sediment;  // heads of PECsw_max and PECsed_max
    std::string waterDisagreement;
  };
  std::vector<ReportRecord> many;
  // The unit built in two steps: MinGW's GCC 12 warns of an overlapping copy
  // in "u" + text (-Wrestrict), which -Werror stops on.
  for (int n = 0; n < 10; ++n) {
    std::string unit = "u";
    unit += std::to_string(n);
    many.push_back(Record(unit, ""));
  }
  const Case cases[] = {
      {"one unit each",
       {Record("\xB5g.L-1", "\xB5g.kg-1")},
       "PECsw_max (\xC2\xB5g.L-1)",
       "PECsed_max (\xC2\xB5g.kg-1)",
       ""},
      {"a report without units says nothing",
       {Record("", ""), Record("mg.L-1", ""), Record("", "")},
       "PECsw_max (mg.L-1)",
       "PECsed_max",
       ""},
      {"reports disagree",
       {Record("\xB5g.L-1", "mg.kg-1"), Record("mg.L-1", "mg.kg-1"), Record("\xB5g.L-1", "mg.kg-1")},
       "PECsw_max (units differ)",
       "PECsed_max (mg.kg-1)",
       "\xC2\xB5g.L-1, mg.L-1"},
      {"many units", many, "PECsw_max (units differ)", "PECsed_max", "u0, u1, u2, u3, u4, u5, u6, u7, ..."},
  };
  for (const Case& c : cases) {
    SummaryColumns columns;
    for (const ReportRecord& record : c.records) columns.Take(record);
    const std::vector<std::string> header = columns.Header();
    EXPECT_EQ(header.at(4), c.water) << c.what;
    EXPECT_EQ(header.at(7), c.sediment) << c.what;
    EXPECT_EQ(columns.UnitDisagreement(false), c.waterDisagreement) << c.what;
  }
}

TEST(SummarySheetTest, RefusesMoreColumnsThanASheetHolds) {
  // 18 columns besides the application dates: the most that fit are 16,366.
  const struct {
    std::size_t applications;
    bool fits;
  } cases[] = {{0, true}, {16366, true}, {16367, false}, {16400, false}, {65526, false}, {70000, false}};
  for (const auto& c : cases) {
    SummaryColumns columns;
    columns.Take(Record("", "", {}, c.applications));
    EXPECT_EQ(!columns.LimitProblem().has_value(), c.fits) << c.applications;
  }
  SummaryColumns columns;
  columns.Take(Record("", "", {}, 16400));
  EXPECT_EQ(columns.LimitProblem().value_or(""),
            "not written: a report has 16400 application dates, which would take the Summary sheet to 16418 "
            "columns, more than the 16384 an Excel worksheet holds");
}

TEST(SummarySheetTest, NamesTheWaterBodyOfTheReportsType) {
  const struct {
    std::string type, body;
  } cases[] = {{"R1_STREAM", "Stream"},
               {"D4_POND", "Pond"},
               {" D1_DITCH ", "Ditch"},
               {"LAKE", "Lake"},
               {"pond", "Pond"},
               {"X_", ""},
               {"", ""},
               {"R1_\xC4RA", "\xC4ra"}};
  for (const auto& c : cases) EXPECT_EQ(WaterBodyOfType(c.type), c.body) << c.type;
}

TEST(SheetCellsTest, WordsALibraryFailureInTheSystemsWordsWhereTheSystemCausedIt) {
  const std::string full = SystemError("", "", ENOSPC).reason();  // ": No space left on device"
  const struct {
    lxw_error error;
    int errorNumber;
    std::string reason;
  } cases[] = {
      {LXW_ERROR_MEMORY_MALLOC_FAILED, ENOMEM, "cannot write: not enough memory"},
      {LXW_ERROR_CREATING_XLSX_FILE, ENOSPC, "cannot write" + full},
      {LXW_ERROR_ZIP_CLOSE, ENOSPC, "cannot write" + full},
      {LXW_ERROR_ZIP_FILE_ADD, 0, std::string("cannot write: ") + lxw_strerror(LXW_ERROR_ZIP_FILE_ADD)},
      {LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED, ENOSPC,
       std::string("cannot write: ") + lxw_strerror(LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED)},
  };
  for (const auto& c : cases) {
    const FileError failure = LibraryFailure("Summary.xlsx", "cannot write", c.error, c.errorNumber);
    EXPECT_EQ(failure.path(), "Summary.xlsx");
    EXPECT_EQ(failure.reason(), c.reason) << c.error;
  }
}

}  // namespace
}  // namespace quillmere
