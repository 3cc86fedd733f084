#include "summary/legacy_report_reader.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/file_error.h"
#include "runtime/text.h"
#include "summary/report_fields.h"

namespace quillmere {

namespace {

constexpr std::string_view kFocusBanner = "FOCUS_TOXSWA v";
constexpr std::string_view kModelBanner = "TOXSWA v";
constexpr std::string_view kTodaysVersion = "TOXSWA version";

constexpr std::string_view kRunId = "* Run ID           :";
constexpr std::string_view kSubstance = "Substance              :";
constexpr std::string_view kLocation = "Location               :";
constexpr std::string_view kWaterBodyType = "Type of water body     :";
constexpr std::string_view kApplications = "Appl.No  Date/Hour";
constexpr std::string_view kGlobalMax = "Global max";

// Columns of the older layout's result lines: the label, the figure and the
// date of the figure.
constexpr std::size_t kLabelWidth = 12;
constexpr std::size_t kFigureColumn = 13;
constexpr std::size_t kFigureWidth = 18;
constexpr std::size_t kDateColumn = 31;
constexpr std::size_t kDateWidth = 29;
// An application date: 17 bytes from column 8 ("10-Sep-1985 09:00").
constexpr std::size_t kApplicationColumn = 8;
constexpr std::size_t kApplicationWidth = 17;

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// The text of `line` from column `column` up to the first space.
std::string_view Word(std::string_view line, std::size_t column) {
  const std::string_view rest = Cut(line, column);
  return rest.substr(0, rest.find(' '));
}

// The trimmed text after the first `marker` of `line`.
std::string_view After(std::string_view line, std::string_view marker) {
  const std::size_t at = Find(line, marker);
  return at == 0 ? std::string_view() : Trim(Cut(line, at + marker.size()));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Column of the first `banner` in `line` that a digit follows and, when
// `notAfter` is given, that does not end a "<notAfter><banner>"; 0 when there
// is none. "TOXSWA version" is no banner, nor is the "TOXSWA v" of
// "FOCUS_TOXSWA v".
std::size_t FindBanner(std::string_view line, std::string_view banner, std::string_view notAfter = {}) {
  for (std::size_t from = 0;;) {
    const std::size_t index = line.find(banner, from);
    if (index == std::string_view::npos) return 0;
    const std::size_t end = index + banner.size();
    const bool followedByDigit = end < line.size() && IsDigit(line[end]);
    const bool afterOther = !notAfter.empty() && index >= notAfter.size() &&
                            line.substr(index - notAfter.size(), notAfter.size()) == notAfter;
    if (followedByDigit && !afterOther) return index + 1;
    from = index + 1;
  }
}

// The current line of a report of the older layout and the way forward.
// Until the older header has been read, every line read is tested for the
// line that starts today's header.
class OlderCursor {
 public:
  OlderCursor(LineReader& lines, std::size_t number) : lines_(lines), number_(number) {}

  std::string_view line() const { return line_; }
  std::size_t number() const { return number_; }
  const std::string& path() const { return lines_.path(); }

  // Replaces the current line by the next; `expecting` says, for the message
  // when there is none, what the reader was looking for.
  void Read(std::string_view expecting) {
    if (!Next()) throw FileError(path(), EndedEarlyReason(expecting));
  }

  // The same, looking for a line containing `marker`; the message is built
  // only when it is needed.
  void ReadFor(std::string_view marker) {
    if (!Next()) throw FileError(path(), EndedEarlyReason(LineContaining(marker)));
  }

  // Reads until the current line contains `marker`, the current line first.
  void ScanFor(std::string_view marker) {
    while (!Contains(line_, marker)) ReadFor(marker);
  }

  // Replaces the current line by the next; false at the end.
  bool TryRead() { return Next(); }

  // From now on the file is one of the older layout.
  void HeaderRead() { headerRead_ = true; }
  bool headerRead() const { return headerRead_; }

  // True once reading a line failed (a line too long, the file unreadable,
  // a request to stop): nothing more can be read.
  bool readFailed() const { return readFailed_; }

  // Reads the rest of the file.
  void ReadToEnd() {
    while (Next()) {
    }
  }

  double Figure(std::string_view label) const {
    return ReadFigure(Cut(line_, kFigureColumn, kFigureWidth), path(), number_, label);
  }

  std::string_view Date() const { return Trim(Cut(line_, kDateColumn, kDateWidth)); }

 private:
  bool Next() {
    try {
      if (!lines_.ReadLine(line_)) return false;
    } catch (const LineTooLong&) {
      readFailed_ = true;
      throw FileError(path(), LineTooLongReason(number_ + 1));
    } catch (const FileError&) {
      readFailed_ = true;
      throw;
    }
    ++number_;
    if (!headerRead_ && Contains(line_, kScenarioLine)) {
      throw ScenarioLineMet{line_, number_};
    }
    return true;
  }

  LineReader& lines_;
  std::string_view line_;
  std::size_t number_;
  bool headerRead_ = false;
  bool readFailed_ = false;
};

// The water layer or the sediment: the heading of its table of actual
// concentrations, the labels of its averages, and where its figures go.
struct Medium {
  std::string_view heading;
  std::string_view averageLabel;
  std::string_view name;
  bool sediment;
  std::string ReportRecord::*unit;
  double SubstanceResult::*max;
  TextRef SubstanceResult::*maxDate;
  double SubstanceResult::*twa7;
  double SubstanceResult::*twa21;
};

constexpr Medium kWaterLayer{"Actual concentrations in water layer",
                             "TWAECsw",
                             "water layer",
                             false,
                             &ReportRecord::waterUnit,
                             &SubstanceResult::PECsw_max,
                             &SubstanceResult::waterMaxDate,
                             &SubstanceResult::TWA7d,
                             &SubstanceResult::TWA21d};
constexpr Medium kSediment{"Actual concentrations in sediment",
                           "TWAECsed",
                           "sediment",
                           true,
                           &ReportRecord::sedimentUnit,
                           &SubstanceResult::PECsed_max,
                           &SubstanceResult::sedimentMaxDate,
                           &SubstanceResult::TWAsed7d,
                           &SubstanceResult::TWAsed21d};

// The days of an average's label ("TWAECsw14": 14), or 0 when `label` is
// not the medium's label followed by one to five digits.
std::uint32_t AverageDays(std::string_view label, std::string_view averageLabel) {
  if (!StartsWith(label, averageLabel)) return 0;
  const std::string_view digits = label.substr(averageLabel.size());
  if (digits.empty() || digits.size() > 5) return 0;
  std::uint32_t days = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    days = days * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return days;
}

void ReadMedium(OlderCursor& cursor, const Medium& medium, ReportRecord& record, SubstanceResult& substance) {
  cursor.ScanFor(medium.heading);
  std::string_view unit = After(cursor.line(), medium.heading);
  if (StartsWith(unit, "in ")) unit = Trim(unit.substr(3));
  record.*medium.unit = std::string(unit);

  cursor.ScanFor(kGlobalMax);
  substance.*medium.max = cursor.Figure(kGlobalMax);
  substance.*medium.maxDate = record.KeepText(cursor.Date());

  // The averages stand in one block of lines that name them; a window the
  // simulation was too short for is a line of text instead of figures.
  cursor.ScanFor(medium.averageLabel);
  const std::size_t firstLine = cursor.number();
  bool found7 = false;
  bool found21 = false;
  do {
    if (!Contains(cursor.line(), medium.averageLabel)) break;
    const std::string_view label = Trim(Cut(cursor.line(), 1, kLabelWidth));
    const std::uint32_t days = AverageDays(label, medium.averageLabel);
    if (days == 7 && !found7) {
      substance.*medium.twa7 = cursor.Figure(label);
      found7 = true;
    } else if (days == 21 && !found21) {
      substance.*medium.twa21 = cursor.Figure(label);
      found21 = true;
    } else if (days > 0 && days <= UINT16_MAX && days != 7 && days != 21 &&
               std::none_of(record.twaWindows.begin(), record.twaWindows.end(), [&](const TwaWindow& taken) {
                 return taken.sediment == medium.sediment && taken.days == days;
               })) {
      // The table's own 7 and 21 days, and a window listed again, are no
      // other window: the first row of each counts.
      TwaWindow& window = record.twaWindows.emplace_back();
      window.substance = 0;
      window.sediment = medium.sediment;
      window.days = static_cast<std::uint16_t>(days);
      window.value = cursor.Figure(label);
    }
  } while (cursor.TryRead());
  for (const auto& [found, days] : {std::pair{found7, "7"}, std::pair{found21, "21"}}) {
    if (found) continue;
    throw FileError(cursor.path(), "the " + std::string(medium.name) +
                                       "'s time-weighted averages from line " + std::to_string(firstLine) +
                                       " lack the line \"" + std::string(medium.averageLabel) + days + "\"");
  }
}

void ReadFields(OlderCursor& cursor, const ReportBanner& banner, const WaterBodyLookup& lookup,
                ReportRecord& record) {
  record.version = banner.version();

  // The run ID, when the header has it, comes before the substance.
  std::string runId;
  while (!Contains(cursor.line(), kSubstance)) {
    if (Contains(cursor.line(), kRunId)) runId = std::string(After(cursor.line(), kRunId));
    cursor.ReadFor(kSubstance);
  }
  SubstanceResult substance;
  substance.name = record.KeepText(After(cursor.line(), kSubstance));

  cursor.ScanFor(kLocation);
  const std::string_view place = After(cursor.line(), kLocation);
  const std::string location(place.substr(0, place.find(' ')));
  cursor.ScanFor(kWaterBodyType);
  record.waterBodyType = std::string(After(cursor.line(), kWaterBodyType));
  cursor.HeaderRead();
  record.scenario = location + "_" + OlderLayoutWaterBody(record.waterBodyType, runId, lookup);

  cursor.ScanFor(kApplications);
  cursor.Read("the first application row");
  while (!Trim(cursor.line()).empty()) {
    record.applicationDates.Append(Cut(cursor.line(), kApplicationColumn, kApplicationWidth));
    cursor.Read("the end of the application list (a blank line)");
  }

  ReadMedium(cursor, kWaterLayer, record, substance);
  ReadMedium(cursor, kSediment, record, substance);
  record.substances.push_back(substance);
}

}  // namespace

bool ReportBanner::Note(std::string_view line) {
  if (const std::size_t at = FindBanner(line, kFocusBanner); at != 0 && (writer_.empty() || todaysHeader_)) {
    const std::string_view version = Word(line, at + kFocusBanner.size());
    writer_ = std::string(kFocusBanner) + std::string(version);
    version_ = "FOCUS_TOXSWA " + std::string(version);
    todaysHeader_ = false;
    focusNamed_ = true;
    return StartsWith(version, "3.");
  }
  if (const std::size_t at = FindBanner(line, kModelBanner, "FOCUS_"); at != 0 && !focusNamed_) {
    const std::string_view version = Word(line, at + kModelBanner.size());
    writer_ = std::string(kModelBanner) + std::string(version);
    version_ = "TOXSWA " + std::string(version);
    todaysHeader_ = false;
    return StartsWith(version, "2.");
  }
  if (writer_.empty() && Contains(line, "FOCUS") && Contains(line, kTodaysVersion)) {
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
      const std::string_view version = Trim(line.substr(colon + 1));
      if (!version.empty()) {
        writer_ = "FOCUS TOXSWA " + std::string(version);
        todaysHeader_ = true;
      }
    }
  }
  return false;
}

std::string ReportBanner::Refusal(std::string_view scenarioLine) const {
  if (todaysHeader_) {
    return "the report was written by " + writer_ + ", but it lacks the line \"" + std::string(scenarioLine) +
           "\"";
  }
  return "the report was written by " + writer_ + ", a layout this program does not read";
}

std::string OlderLayoutWaterBody(std::string_view typeOfWaterBody, std::string_view runId,
                                 const WaterBodyLookup& lookup) {
  const std::string_view type = Trim(typeOfWaterBody);
  if (type == "pond") return "Pond";
  if (type == "ditch") return "Ditch";
  if (type == "stream") return "Stream";
  if (!StartsWith(type, "watercourse")) return std::string(type);
  if (lookup && !runId.empty()) {
    const std::string body = lookup(runId);
    if (body == "focus_ditch") return "Ditch";
    if (body == "focus_stream") return "Stream";
  }
  // SWASH 3 names a run by its number, the water body's letter and the
  // crop's letters: "00002d_pa".
  std::size_t digits = 0;
  while (digits < runId.size() && IsDigit(runId[digits])) ++digits;
  if (digits > 0 && digits < runId.size() && (digits + 1 == runId.size() || runId[digits + 1] == '_')) {
    switch (runId[digits]) {
      case 'd':
        return "Ditch";
      case 's':
        return "Stream";
      case 'p':
        return "Pond";
      default:
        break;
    }
  }
  return "Watercourse";
}

std::optional<ScenarioLineMet> ReadOlderLayout(LineReader& lines, std::size_t lineNumber,
                                               const ReportBanner& banner, const WaterBodyLookup& lookup,
                                               ReportRecord& record) {
  OlderCursor cursor(lines, lineNumber);
  try {
    ReadFields(cursor, banner, lookup, record);
  } catch (const ScenarioLineMet& met) {
    return met;
  } catch (const FileError&) {
    // Without the older header, a line of today's header anywhere makes the
    // file one of today's layout, read as before.
    if (cursor.headerRead() || cursor.readFailed()) throw;
    try {
      cursor.ReadToEnd();
    } catch (const ScenarioLineMet& met) {
      return met;
    }
    throw;
  }
  return std::nullopt;
}

}  // namespace quillmere
