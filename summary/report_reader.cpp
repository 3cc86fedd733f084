#include "summary/report_reader.h"

#include <string_view>

#include "runtime/file_error.h"
#include "runtime/number.h"
#include "runtime/text.h"

namespace quillmere {

namespace {

constexpr std::string_view kScenario = "* Scenario                :";
constexpr std::string_view kEndOfHeader = "* End of TOXSWA REPORT: Header";
constexpr std::string_view kLoadings = "* Summary for the substance loadings";
constexpr std::string_view kSubstance = "* Substance";
constexpr std::string_view kApplications = "Appl.No  Date/Hour";
constexpr std::string_view kWaterTable = "PEC in water layer";

// The maximum and the two time-weighted averages of one medium. Water-layer
// figures stand one column left of the sediment ones, and the date of the
// maximum follows 15 columns after its figure.
struct ResultBlock {
  std::string_view maxMarker;
  std::string_view twa7Marker;
  std::string_view twa21Marker;
  std::size_t column;
  double SubstanceResult::*max;
  std::string SubstanceResult::*maxDate;
  double SubstanceResult::*twa7;
  double SubstanceResult::*twa21;
};

constexpr ResultBlock kWaterLayer{"Global max ",
                                  "TWAECsw_7_days",
                                  "TWAECsw_21_days",
                                  21,
                                  &SubstanceResult::PECsw_max,
                                  &SubstanceResult::waterMaxDate,
                                  &SubstanceResult::TWA7d,
                                  &SubstanceResult::TWA21d};
constexpr ResultBlock kSediment{"Global max    ",
                                "TWAECsed_7_days",
                                "TWAECsed_21_days",
                                22,
                                &SubstanceResult::PECsed_max,
                                &SubstanceResult::sedimentMaxDate,
                                &SubstanceResult::TWAsed7d,
                                &SubstanceResult::TWAsed21d};

// The current line of a report and the way forward from it.
class Cursor {
 public:
  explicit Cursor(LineReader& lines) : lines_(lines) {}

  std::string_view line() const { return line_; }

  // Replaces the current line by the next; `expecting` says, for the message
  // when there is none, what the reader was looking for.
  void Read(std::string_view expecting) {
    if (!Next()) throw EndedBefore(expecting);
  }

  // The same, looking for a line that contains `marker`. The message is
  // built only when it is needed: building it for every line read cost a
  // fifth of the run's time.
  void ReadFor(std::string_view marker) {
    if (!Next()) throw EndedBefore(Quoted(marker));
  }

  // Reads until the current line contains `marker`; the current line is
  // tested first.
  void ScanFor(std::string_view marker) {
    while (!Contains(line_, marker)) ReadFor(marker);
  }

  // Trimmed text of at most `width` bytes from column `column`.
  std::string Field(std::size_t column, std::size_t width) const {
    return std::string(Trim(Cut(line_, column, width)));
  }

  // Trimmed text from column `column` to the end of the line.
  std::string FieldToEnd(std::size_t column) const { return std::string(Trim(Cut(line_, column))); }

  // The number in the 15 bytes from column `column`.
  double Value(std::size_t column) const {
    const std::string_view field = Trim(Cut(line_, column, 15));
    const NumberReading reading = ToNumber(field);
    if (reading.tooLarge) {
      throw FileError(lines_.path(), "line " + std::to_string(number_) + ": the figure \"" +
                                         std::string(field) + "\" is too large for a number");
    }
    return reading.value;
  }

  static std::string Quoted(std::string_view marker) {
    return "a line containing \"" + std::string(marker) + "\"";
  }

 private:
  bool Next() {
    if (!lines_.ReadLine(line_)) return false;
    ++number_;
    return true;
  }

  FileError EndedBefore(std::string_view expecting) const {
    return FileError(lines_.path(), "the report ends before " + std::string(expecting));
  }

  LineReader& lines_;
  std::string_view line_;
  std::size_t number_ = 0;
};

void ReadBlock(Cursor& cursor, const ResultBlock& block, SubstanceResult& substance) {
  cursor.ScanFor(block.maxMarker);
  substance.*block.max = cursor.Value(block.column);
  substance.*block.maxDate = cursor.Field(block.column + 15, 25);
  cursor.ScanFor(block.twa7Marker);
  substance.*block.twa7 = cursor.Value(block.column);
  cursor.ScanFor(block.twa21Marker);
  substance.*block.twa21 = cursor.Value(block.column);
}

}  // namespace

void ReportReader::Read(const std::string& path, ReportRecord& record) {
  LineReader lines(path);
  Read(lines, record);
}

void ReportReader::Read(LineReader& lines, ReportRecord& record) {
  Cursor cursor(lines);
  record.substances.clear();
  record.applicationDates.clear();

  cursor.ReadFor(kScenario);
  cursor.ScanFor(kScenario);
  std::string scenario = cursor.Field(28, 100);
  if (scenario == previousScenario_) scenario += '2';
  previousScenario_ = scenario;
  record.scenario = std::move(scenario);

  cursor.ScanFor(kEndOfHeader);

  // A line that holds both the loadings marker and "* Substance" ends the
  // list without being counted.
  while (!Contains(cursor.line(), kLoadings)) {
    if (Contains(cursor.line(), kSubstance)) {
      record.substances.emplace_back().name = cursor.FieldToEnd(17);
    }
    cursor.ReadFor(kLoadings);
  }

  cursor.ScanFor(kApplications);
  cursor.Read("the first application row");
  while (cursor.line() != " " && cursor.line() != "*") {
    record.applicationDates.emplace_back(Cut(cursor.line(), 9, 17));
    cursor.Read("the end of the application list (a line \" \" or \"*\")");
  }

  for (SubstanceResult& substance : record.substances) {
    cursor.ScanFor(kWaterTable);
    substance.name = cursor.FieldToEnd(43);
    ReadBlock(cursor, kWaterLayer, substance);
  }
  for (SubstanceResult& substance : record.substances) ReadBlock(cursor, kSediment, substance);
}

}  // namespace quillmere
