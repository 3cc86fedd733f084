#include "tests/report_reading.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "runtime/file_error.h"
#include "tests/report_builder.h"

namespace quillmere::testing {

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

ReportRecord ReadText(ReportReader& reader, const std::string& text, ReportRecord record) {
  LineReader lines{std::string_view(text)};
  reader.Read(lines, record);
  return record;
}

ReportRecord ReadText(const std::string& text) {
  ReportReader reader;
  return ReadText(reader, text);
}

std::string FailureReason(const std::string& text) {
  try {
    ReadText(text);
  } catch (const FileError& error) {
    return error.reason();
  }
  return "";
}

std::string NotAReport() {
  return "the file does not look like a TOXSWA summary report: looked for a line containing \"* Scenario    "
         "            :\" and found none";
}

std::string EndsEarly(const std::string& marker) {
  return "the report ends early, as that of a TOXSWA run that did not finish would, before a line "
         "containing \"" +
         marker + "\"";
}

void ExpectEachMarkerNeeded(const std::string& report, std::initializer_list<std::string_view> markers) {
  for (const std::string_view marker : markers) {
    EXPECT_EQ(FailureReason(WithoutLinesContaining(report, marker)), EndsEarly(std::string(marker)))
        << "without " << marker;
  }
}

std::vector<std::string> Dates(const ReportRecord& record) {
  return std::vector<std::string>(record.applicationDates.begin(), record.applicationDates.end());
}

std::string TableFields(const ReportRecord& record) {
  std::string fields = record.scenario;
  for (const SubstanceResult& s : record.substances) {
    (fields += " | ") += record.Text(s.name);
    for (const double figure : {s.PECsw_max, s.TWA7d, s.TWA21d, s.PECsed_max, s.TWAsed7d, s.TWAsed21d}) {
      char text[32];
      std::snprintf(text, sizeof text, " %.10g", figure);
      fields += text;
    }
    ((fields += ' ') += record.Text(s.waterMaxDate)) += ' ';
    fields += record.Text(s.sedimentMaxDate);
  }
  fields += " |";
  for (const std::string_view date : record.applicationDates) (fields += ' ') += date;
  return fields;
}

}  // namespace quillmere::testing
