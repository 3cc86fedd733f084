// Reading hand-made reports in tests, and what was read as text to compare.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "summary/report_reader.h"

namespace quillmere::testing {

// `text` with the first `from` replaced by `to`; fails the test when `text`
// lacks `from`.
std::string Replaced(std::string text, std::string_view from, std::string_view to);

// The record `reader` reads from the report `text`, into `record`.
ReportRecord ReadText(ReportReader& reader, const std::string& text, ReportRecord record = {});
ReportRecord ReadText(const std::string& text);

// The reason a new reader gives for refusing `text`, or "" when it reads it.
std::string FailureReason(const std::string& text);

// The reason for a report that ends before a line containing `marker`.
std::string EndsEarly(const std::string& marker);

// The reason for a file without the header's scenario line: no report at all.
std::string NotAReport();

// Checks that `report` without the lines holding any one of `markers` is
// refused as ending early before that marker.
void ExpectEachMarkerNeeded(const std::string& report, std::initializer_list<std::string_view> markers);

// The application dates of `record`, in order.
std::vector<std::string> Dates(const ReportRecord& record);

// What the table takes of `record`, as one text: "scenario | name figures
// dates | ... | application dates", each figure to ten digits:
// "R1_Stream | EXSW2 39.57 2.415 0.8402 5.338 1.544 0.9058 25-Nov-1978-02h00
// 25-Nov-1978-11h00 | 14-Nov-1978-09h00".
std::string TableFields(const ReportRecord& record);

}  // namespace quillmere::testing
