// Reading a report of the older layout that FOCUS_TOXSWA 3.x (TOXSWA 2.x)
// wrote, as SWASH 3 ran it: a banner instead of the "* Scenario" header, one
// substance, and its figures in tables of their own.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/line_reader.h"
#include "summary/report_record.h"

namespace quillmere {

// What the first lines of a file say of the program that wrote it. Only the
// first kLines lines are looked at.
class ReportBanner {
 public:
  static constexpr std::size_t kLines = 30;

  // Notes what `line` says; true when it shows the file to be of the older
  // layout: a banner naming FOCUS_TOXSWA 3.x, or TOXSWA 2.x with no
  // FOCUS_TOXSWA version before it.
  bool Note(std::string_view line);

  // The writer as the file names it ("FOCUS_TOXSWA v2.2.1", "FOCUS TOXSWA
  // 4.4.2"); empty when no line named one.
  const std::string& writer() const { return writer_; }

  // The version for the record ("FOCUS_TOXSWA 3.3.1").
  const std::string& version() const { return version_; }

  // Why a file that named its writer but lacks the line that starts today's
  // header cannot be read.
  std::string Refusal(std::string_view scenarioLine) const;

 private:
  std::string writer_;
  std::string version_;
  bool todaysHeader_ = false;  // the writer came from a "FOCUS TOXSWA version" line
  bool focusNamed_ = false;    // a "FOCUS_TOXSWA v" banner line was met
};

// The water body ("focus_ditch", "focus_stream", "focus_pond") the run
// folder's SWASH project report gives for a run ID; empty when it gives none.
using WaterBodyLookup = std::function<std::string(std::string_view runId)>;

// The line of today's header met while reading the older layout: the file is
// of today's layout after all, and is read so from this line on.
struct ScenarioLineMet {
  std::string_view line;  // valid until the next line is read
  std::size_t number = 0;
};

// Reads the rest of a report of the older layout into `record`, from after
// line `lineNumber` of `lines`, the banner line that showed the layout.
// Every line looked for is found by the text it begins with and its values
// cut from fixed byte columns:
//
//   the run ID                "* Run ID           :" (optional), before
//   the substance             "Substance              :", text after the colon
//   the location              "Location               :", its first word
//   the water body            "Type of water body     :", text after the colon
//   applications              the rows after "Appl.No  Date/Hour", date in
//                             columns 8 to 24, up to a blank line
//   water layer               "Actual concentrations in water layer" (unit
//                             after "in"), "Global max", then the block of
//                             "TWAECsw<days>" lines
//   sediment                  "Actual concentrations in sediment", "Global
//                             max", then the block of "TWAECsed<days>" lines
//
// Figures stand in columns 13 to 30, dates in columns 31 to 59; a label is
// the text of columns 1 to 12. The scenario label is the location, "_" and
// the water body (see OlderLayoutWaterBody), without the "2" of a repeated
// scenario. Throws FileError naming `lines.path()` as today's layout does.
// Returns the line of today's header when one comes before the older
// header's last line (the water body), or anywhere in a file that lacks the
// older header; `record` then holds nothing that counts. Once the older
// header is read, the file is of the older layout.
std::optional<ScenarioLineMet> ReadOlderLayout(LineReader& lines, std::size_t lineNumber,
                                               const ReportBanner& banner, const WaterBodyLookup& lookup,
                                               ReportRecord& record);

// The water body of the scenario label: "Pond" for "pond", "Ditch",
// "Stream"; for "watercourse (ditch / small stream)" the project report's
// water body for `runId` ("focus_ditch", "focus_stream"), else the letter
// SWASH 3 puts after the digits of the run ID ("00002d_pa": d ditch, s
// stream, p pond), else "Watercourse". Any other text is kept as written.
std::string OlderLayoutWaterBody(std::string_view typeOfWaterBody, std::string_view runId,
                                 const WaterBodyLookup& lookup);

}  // namespace quillmere
