#include "summary/report_reader.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/number.h"
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

// True for a field of digits, signs, points, exponent letters and spaces
// only: no broken figure, checked without the search IsBrokenFigure makes.
bool PlainFigure(std::string_view field) {
  for (const char c : field) {
    if ((c < '0' || c > '9') && c != '.' && c != '-' && c != '+' && c != 'E' && c != 'e' && c != 'D' &&
        c != 'd' && c != ' ') {
      return false;
    }
  }
  return true;
}

inline bool StartsWith(std::string_view line, std::string_view text) { return line.starts_with(text); }

// The text after the first ":" of `line`, trimmed; empty when it has none.
std::string_view AfterColon(std::string_view line) {
  const std::size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : Trim(line.substr(colon + 1));
}

// The first word of a comment line, after its "*" and the spaces that
// follow; empty when the line is no comment line or the word begins with
// "-" (a rule).
std::string_view FirstWord(std::string_view line) {
  if (!StartsWith(line, "*")) return {};
  std::size_t start = 1;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  if (start == line.size() || line[start] == '-') return {};
  std::size_t end = start;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
  return line.substr(start, end - start);
}

// What a report says of itself (its version, water body type, the units of
// its tables and its other time-weighted average windows), gathered from
// the lines the reader passes on its way to its markers. It never moves the
// reader and never fails a report: a line it does not understand is left
// out. The reader tells it where it is: the header ended, the water-layer
// table of substance N found, the sediment part begun, the sediment maximum
// of substance N found. A window line belongs to the substance whose table
// of that medium was found last.
class SelfDescription {
 public:
  explicit SelfDescription(ReportRecord& record) : record_(record) {}

  void EndOfHeader() { inHeader_ = false; }
  void WaterTable(std::size_t substance) {
    water_ = substance;
    if (record_.waterUnit.empty()) LookForHead(Unit::kWaterUnit);
  }
  void SedimentPart() {
    sedimentPart_ = true;
    head_ = Unit::kNone;
    unitNext_ = Unit::kNone;
  }
  void SedimentTable(std::size_t substance) { sediment_ = substance; }
  // True once a sediment maximum was found: the windows after it may follow.
  bool InSedimentTable() const { return sediment_ != kNone; }

  // Called for every line of a report: most are passed over at the cost of a
  // look at their first byte.
  void Take(std::string_view line) {
    if (head_ == Unit::kNone && unitNext_ == Unit::kNone &&
        (line.empty() || (line[0] != 'T' && line[0] != '*'))) {
      return;
    }
    TakeLine(line);
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  enum class Unit { kNone, kWaterUnit, kSedimentUnit };

  // The head line of a table stands within the few lines after its title.
  void LookForHead(Unit unit) {
    head_ = unit;
    headLinesLeft_ = 3;
  }

  // Out of line, so that the reader's own loop stays small.
  [[gnu::noinline]] void TakeLine(std::string_view line) {
    if (unitNext_ != Unit::kNone) {
      TakeUnit(line);
    } else if (head_ != Unit::kNone) {
      TakeHead(line);
    } else if (line[0] == 'T') {
      TakeWindow(line);
    } else {
      TakeComment(line);
    }
  }

  // The head line of a table, "Concentration" for the water layer and
  // "Content" for the sediment: the next line is the unit line.
  void TakeHead(std::string_view line) {
    if (FirstWord(line) == (head_ == Unit::kWaterUnit ? "Concentration" : "Content")) {
      unitNext_ = head_;
      head_ = Unit::kNone;
    } else if (--headLinesLeft_ == 0) {
      head_ = Unit::kNone;
    }
  }

  // "* FOCUS  TOXSWA version   : 5.5.3" and "* Water Body Type : R1_STREAM"
  // in the header; after the water layer, the title of a sediment table,
  // "* Table: PEC in sediment". The first of each is kept.
  void TakeComment(std::string_view line) {
    if (inHeader_) {
      if (record_.version.empty() && StartsWith(line, "* FOCUS") && Contains(line, "TOXSWA version")) {
        const std::string_view version = AfterColon(line);
        if (!version.empty()) record_.version = "FOCUS TOXSWA " + std::string(version);
      } else if (record_.waterBodyType.empty() && StartsWith(line, "* Water Body Type")) {
        record_.waterBodyType = AfterColon(line);
      }
    } else if (sedimentPart_ && record_.sedimentUnit.empty() &&
               StartsWith(line, "* Table: PEC in sediment")) {
      LookForHead(Unit::kSedimentUnit);
    }
  }

  // The first word of the line under the head, when it is one: it holds a
  // letter (a rule of dashes is no unit).
  void TakeUnit(std::string_view line) {
    const std::string_view word = FirstWord(line);
    const bool isUnit = std::any_of(word.begin(), word.end(), [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte >= 0x80;
    });
    if (isUnit) (unitNext_ == Unit::kWaterUnit ? record_.waterUnit : record_.sedimentUnit) = word;
    unitNext_ = Unit::kNone;
  }

  // "TWAECsw_N_day(s)" (water layer, figure from column 21) or
  // "TWAECsed_N_day(s)" (sediment, from column 22), N from 1 to 100 but not
  // the table's 7 and 21. A broken figure, or one too large for a number,
  // leaves the window out; so does a window already taken for the substance.
  void TakeWindow(std::string_view line) {
    bool sediment = false;
    std::size_t at = 0;
    if (StartsWith(line, "TWAECsw_")) {
      at = 8;
    } else if (StartsWith(line, "TWAECsed_")) {
      at = 9;
      sediment = true;
    } else {
      return;
    }
    const std::size_t substance = sediment ? sediment_ : water_;
    if (substance == kNone) return;
    unsigned days = 0;
    const std::size_t digits = at;
    while (at < line.size() && at - digits < 3 && line[at] >= '0' && line[at] <= '9') {
      days = days * 10 + static_cast<unsigned>(line[at++] - '0');
    }
    if (at == digits || days < 1 || days > 100 || days == 7 || days == 21) return;
    std::string_view rest = line.substr(at);
    if (StartsWith(rest, "_days")) {
      rest.remove_prefix(5);
    } else if (StartsWith(rest, "_day")) {
      rest.remove_prefix(4);
    } else {
      return;
    }
    if (!rest.empty() && rest[0] != ' ') return;
    const std::string_view field = Trim(Cut(line, sediment ? 22 : 21, 15));
    if (!PlainFigure(field) && IsBrokenFigure(field)) return;
    const NumberReading reading = ToNumber(field);
    if (reading.tooLarge) return;
    std::vector<TwaWindow>& windows = record_.twaWindows;
    for (auto it = windows.rbegin(); it != windows.rend() && it->substance == substance; ++it) {
      if (it->sediment == sediment && it->days == days) return;
    }
    windows.push_back(TwaWindow{static_cast<std::uint32_t>(substance), sediment,
                                static_cast<std::uint16_t>(days), reading.value});
  }

  ReportRecord& record_;
  bool inHeader_ = true;
  bool sedimentPart_ = false;
  Unit head_ = Unit::kNone;  // the head line looked for
  int headLinesLeft_ = 0;
  Unit unitNext_ = Unit::kNone;  // the unit line expected next
  std::size_t water_ = kNone;
  std::size_t sediment_ = kNone;
};

// The current line of a report and the way forward from it.
class Cursor {
 public:
  Cursor(LineReader& lines, SelfDescription& description) : lines_(lines), description_(&description) {}

  // Gives every line read from now on to `description`; none when it is
  // null, for the parts of a report where it has nothing to find.
  void Describe(SelfDescription* description) { description_ = description; }

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

  // Replaces the current line by the next and returns true; false at the
  // end, or when the rest cannot be read: for lines the table does not need.
  bool ReadIfAny() {
    try {
      return Next();
    } catch (const FileError&) {
      return false;
    }
  }

 private:
  bool Next() {
    try {
      if (!lines_.ReadLine(line_)) return false;
    } catch (const LineTooLong&) {
      throw FileError(lines_.path(), LineTooLongReason(number_ + 1));
    }
    ++number_;
    if (description_ != nullptr) description_->Take(line_);
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
  SelfDescription* description_;
  std::string_view line_;
  std::size_t number_ = 0;
  bool foundScenario_ = false;
  ReportBanner banner_;
};

// `foundMax` is called when the maximum's line is found.
template <typename FoundMax>
void ReadBlock(Cursor& cursor, const ResultBlock& block, BlockMarkers& markers, ReportRecord& record,
               SubstanceResult& substance, FoundMax foundMax) {
  cursor.ScanFor(markers.max);
  foundMax();
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
  constexpr std::size_t kKeptWindows = 4096;
  if (record.twaWindows.capacity() > kKeptWindows) {
    std::vector<TwaWindow>().swap(record.twaWindows);
  } else {
    record.twaWindows.clear();
  }
}

// The longest a window table runs on after the last marker of a report:
// TOXSWA lists at most 100 windows.
constexpr int kWindowLinesAfterLastMarker = 128;

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
  ClearRecord(record);
  SelfDescription description(record);
  Cursor cursor(lines, description);

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
  description.EndOfHeader();
  // Between the header and the first water-layer table there is nothing it
  // looks for.
  cursor.Describe(nullptr);

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
    cursor.Describe(&description);
    description.WaterTable(j);
    substance.name = cursor.Keep(cursor.FieldToEnd(43), waterTable, record);
    ReadBlock(cursor, kWaterLayer, water, record, substance, [] {});
  }
  description.SedimentPart();
  BlockMarkers sediment(kSediment);
  for (std::size_t j = 0; j < record.substances.size(); ++j) {
    ReadBlock(cursor, kSediment, sediment, record, record.substances[j],
              [&] { description.SedimentTable(j); });
  }
  // The last substance's longer sediment windows follow the last marker:
  // read on to the end of their table, never failing the report.
  if (description.InSedimentTable()) {
    for (int n = 0; n < kWindowLinesAfterLastMarker && cursor.ReadIfAny(); ++n) {
      if (StartsWith(cursor.line(), "*")) break;
    }
  }
}

}  // namespace quillmere
