// The text of the workbook's cells: report bytes and file names made into
// the UTF-8 a workbook holds, report dates made into date-times, and the two
// columns derived from a report.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "summary/text_list.h"

namespace quillmere {

// Excel's limit on the characters of one cell.
inline constexpr std::size_t kCellCharacters = 32767;

// `text`, report text in Windows-1252, as UTF-8. The five bytes that code
// page leaves undefined and the control characters other than TAB, LF and CR
// (which a workbook cannot hold) become U+FFFD. At most `limit` characters
// are kept.
std::string Windows1252ToUtf8(std::string_view text, std::size_t limit = kCellCharacters);

// `name`, a file or folder name in UTF-8 as the file system gives it, fit for
// a cell: a byte that does not belong to a valid UTF-8 sequence is taken as
// Windows-1252 (the code page older systems wrote names in), control
// characters other than TAB, LF and CR become U+FFFD. At most `limit`
// characters are kept.
std::string NameInWorkbook(std::string_view name, std::size_t limit = kCellCharacters);

// The formula of a cell that links to `target` and shows `name` (both valid
// UTF-8): =HYPERLINK("target","name"). A quote in either is doubled, and a
// text longer than the 255 characters Excel takes in one string of a formula
// is joined from pieces with "&". Empty when the formula is longer than the
// 8,192 characters Excel takes: the name then goes into the cell as text.
std::string HyperlinkFormula(std::string_view target, std::string_view name);

// A date and time of a report.
struct ReportDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to the days of the month
  int hour = 0;   // 0 to 23
  int minute = 0;
};

// The date a report writes as "25-Nov-1978-02h00" (spaces around it
// ignored): an English month abbreviation in any case, a day that exists in
// that month (29 February only in leap years), a year from 1900 (the first
// Excel knows) to 9999, hours 0 to 23 and minutes 0 to 59. Nothing for any
// other text.
std::optional<ReportDate> ParseReportDate(std::string_view text);

// The water body of a scenario label: the part after its last "_" ("Pond"
// for "D4_Pond"); empty when the label has no "_".
std::string_view WaterBody(std::string_view scenario);

// The water body of a report's "* Water Body Type" ("R1_STREAM" gives
// "Stream"): the part after its last "_" (all of it when it has none), its
// ASCII letters in lower case but the first. Empty for an empty type.
std::string WaterBodyOfType(std::string_view type);

// The characters of `text`, valid UTF-8.
std::size_t CharacterCount(std::string_view text);

// The estimated entry route of a substance into the water: "Drift" when the
// date of its water maximum (spaces around it ignored, and not empty) is one
// of the report's application dates (compared without their spaces too); otherwise "Drainage" for a scenario
// label beginning with "D", "Run-off" for one beginning with "R", else empty.
std::string_view EntryRoute(std::string_view scenario, std::string_view waterMaxDate,
                            const TextList& applicationDates);

}  // namespace quillmere
