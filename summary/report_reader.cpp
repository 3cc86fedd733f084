#include "summary/report_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/text.h"
#include "summary/legacy_report_reader.h"
#include "summary/report_fields.h"

namespace quillmere {

namespace {

constexpr std::string_view kScenario = kScenarioLine;
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
  TextRef SubstanceResult::*maxDate;
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

// A marker and the line last found to contain it. A scan tests the current
// line first, so one line can serve the same marker for many substances in
// a row: it is searched once, not once per substance, and a text cut from it
// is kept once and shared.
struct Marker {
  explicit Marker(std::string_view marker) : text(marker) {}

  std::string_view text;
  std::size_t foundOnLine = 0;   // 0: not found yet (lines count from 1)
  std::size_t keptFromLine = 0;  // the line `keptText` was cut from
  TextRef keptText = TextList::kNone;
};

// The markers of one medium's block, for all substances of a report.
struct BlockMarkers {
  explicit BlockMarkers(const ResultBlock& block)
      : max(block.maxMarker), twa7(block.twa7Marker), twa21(block.twa21Marker) {}

  Marker max;
  Marker twa7;
  Marker twa21;
};

// The current line of a report and the way forward from it.
class Cursor {
 public:
  explicit Cursor(LineReader& lines) : lines_(lines) {}

  std::string_view line() const { return line_; }
  std::size_t number() const { return number_; }

  // What the first lines said of the program that wrote the file.
  ReportBanner& banner() { return banner_; }

  // Takes up `line`, line `number`, read by another reader of the same lines.
  void Resume(std::string_view line, std::size_t number) {
    line_ = line;
    number_ = number;
  }

  // From now on an end of the report is an early end, not a sign of another
  // kind of file.
  void FoundScenario() { foundScenario_ = true; }

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

  // Reads until the current line contains the marker, taking the current
  // line without a search when it was found there before.
  void ScanFor(Marker& marker) {
    if (marker.foundOnLine != 0 && marker.foundOnLine == number_) return;
    ScanFor(marker.text);
    marker.foundOnLine = number_;
  }

  // Trimmed text of at most `width` bytes from column `column`.
  std::string_view Field(std::size_t column, std::size_t width) const {
    return Trim(Cut(line_, column, width));
  }

  // Trimmed text from column `column` to the end of the line.
  std::string_view FieldToEnd(std::size_t column) const { return Trim(Cut(line_, column)); }

  // `field`, cut from the current line, kept in `record`; kept once for all
  // the substances that take it from the line where `marker` was found.
  TextRef Keep(std::string_view field, Marker& marker, ReportRecord& record) const {
    if (marker.keptFromLine != number_) {
      marker.keptText = record.KeepText(field);
      marker.keptFromLine = number_;
    }
    return marker.keptText;
  }

  // The number in the 15 bytes from column `column` of the line that holds
  // `marker`. A field TOXSWA filled with stars (a value too wide for it) or
  // with NaN or Infinity (a computation that failed) holds no figure at all:
  // reading it as 0 would put a wrong result in the table.
  double Value(std::size_t column, std::string_view marker) const {
    return ReadFigure(Cut(line_, column, 15), lines_.path(), number_, marker);
  }

  static std::string Quoted(std::string_view marker) { return LineContaining(marker); }

 private:
  bool Next() {
    try {
      if (!lines_.ReadLine(line_)) return false;
    } catch (const LineTooLong&) {
      throw FileError(lines_.path(), LineTooLongReason(number_ + 1));
    }
    ++number_;
    return true;
  }

  // Without its first marker the file is something else, named by the
  // version its first lines give when they give one; a report that stops
  // after it was cut short, as TOXSWA leaves the report of a run that did
  // not finish.
  FileError EndedBefore(std::string_view expecting) const {
    if (number_ == 0 || !foundScenario_) {
      if (!banner_.writer().empty()) return FileError(lines_.path(), banner_.Refusal(kScenario));
      return FileError(lines_.path(), "the file does not look like a TOXSWA summary report: looked for " +
                                          std::string(expecting) + " and found none");
    }
    return FileError(lines_.path(), EndedEarlyReason(expecting));
  }

  LineReader& lines_;
  std::string_view line_;
  std::size_t number_ = 0;
  bool foundScenario_ = false;
  ReportBanner banner_;
};

void ReadBlock(Cursor& cursor, const ResultBlock& block, BlockMarkers& markers, ReportRecord& record,
               SubstanceResult& substance) {
  cursor.ScanFor(markers.max);
  substance.*block.max = cursor.Value(block.column, block.maxMarker);
  substance.*block.maxDate = cursor.Keep(cursor.Field(block.column + 15, 25), markers.max, record);
  cursor.ScanFor(markers.twa7);
  substance.*block.twa7 = cursor.Value(block.column, block.twa7Marker);
  cursor.ScanFor(markers.twa21);
  substance.*block.twa21 = cursor.Value(block.column, block.twa21Marker);
}

// Gives up a vector's memory when it is much larger than a common report
// needs, so that one huge report does not hold it through the rest of a run.
void ClearSubstances(std::vector<SubstanceResult>& substances) {
  constexpr std::size_t kKeptCapacity = 1024;
  if (substances.capacity() > kKeptCapacity) {
    std::vector<SubstanceResult>().swap(substances);
  } else {
    substances.clear();
  }
}

// Forgets what the reader put into `record` before.
void ClearRecord(ReportRecord& record) {
  ClearSubstances(record.substances);
  record.applicationDates.Clear();
  record.texts.Clear();
  record.version.clear();
  record.waterBodyType.clear();
  record.waterUnit.clear();
  record.sedimentUnit.clear();
  record.twaWindows.clear();
}

}  // namespace

void ReportReader::KeepScenario(std::string scenario) {
  if (scenario == previousScenario_) scenario += '2';
  previousScenario_ = std::move(scenario);
}

void ReportReader::Read(const std::string& path, ReportRecord& record) {
  LineReader lines(path);
  Read(lines, record);
}

void ReportReader::Read(LineReader& lines, ReportRecord& record) {
  Cursor cursor(lines);
  ClearRecord(record);

  // The first lines tell a report of the older layout by its banner, before
  // any "* Scenario" line; should a "* Scenario" line come before the older
  // header's lines after all, the file is read from there as before.
  cursor.ReadFor(kScenario);
  while (!Contains(cursor.line(), kScenario)) {
    if (cursor.number() <= ReportBanner::kLines && cursor.banner().Note(cursor.line())) {
      const std::optional<ScenarioLineMet> met =
          ReadOlderLayout(lines, cursor.number(), cursor.banner(), waterBodyLookup_, record);
      if (!met) {
        KeepScenario(record.scenario);
        record.scenario = previousScenario_;
        return;
      }
      ClearRecord(record);
      cursor.Resume(met->line, met->number);
      break;
    }
    cursor.ReadFor(kScenario);
  }
  cursor.FoundScenario();
  KeepScenario(std::string(cursor.Field(28, 100)));
  record.scenario = previousScenario_;

  cursor.ScanFor(kEndOfHeader);

  // Only the count is kept: every name is replaced by the one of the
  // substance's water-layer table. A line that holds both the loadings
  // marker and "* Substance" ends the list without being counted.
  std::size_t substanceCount = 0;
  while (!Contains(cursor.line(), kLoadings)) {
    if (Contains(cursor.line(), kSubstance)) ++substanceCount;
    cursor.ReadFor(kLoadings);
  }

  cursor.ScanFor(kApplications);
  cursor.Read("the first application row");
  while (cursor.line() != " " && cursor.line() != "*") {
    record.applicationDates.Append(Cut(cursor.line(), 9, 17));
    cursor.Read("the end of the application list (a line \" \" or \"*\")");
  }

  // Reserved, not filled: memory is taken as substances are read, and the
  // vector never grows by copying.
  record.substances.reserve(substanceCount);
  Marker waterTable(kWaterTable);
  BlockMarkers water(kWaterLayer);
  for (std::size_t j = 0; j < substanceCount; ++j) {
    SubstanceResult& substance = record.substances.emplace_back();
    cursor.ScanFor(waterTable);
    substance.name = cursor.Keep(cursor.FieldToEnd(43), waterTable, record);
    ReadBlock(cursor, kWaterLayer, water, record, substance);
  }
  BlockMarkers sediment(kSediment);
  for (SubstanceResult& substance : record.substances) {
    ReadBlock(cursor, kSediment, sediment, record, substance);
  }
}

}  // namespace quillmere
