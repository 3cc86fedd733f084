// What SWAN and SWASH wrote into a run folder beside its reports, read once
// per run folder for the workbook's Mitigation, Crop and Application columns.
//
// A run folder may hold SWAN's log `SWAN_log.txt` (the name in any case) and
// the SWASH project report (summary/swash_project_report.h tells how it is
// found). A file that is not there leaves its columns empty without a word; a
// file that is there but not read or not understood leaves them empty too and
// becomes a problem, for the workbook's About sheet, naming the file and the
// line. Neither ever makes the run fail: the table does not depend on them.
//
// A report is known by its file name ("4630.sum"); its run ID is that name
// without ".sum", compared as summary/field_text.h's RunKey does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "summary/swan_log.h"
#include "summary/swash_project_report.h"

namespace quillmere {

// A file beside the reports that was there but not read or not understood.
struct RunFolderProblem {
  std::string path;      // of the file, as joined from the run folder's path
  std::size_t line = 0;  // the line it concerns, from 1; 0 when not one line
  std::string what;      // "line 34: ..." or the reason it was not read
};

// "<path>: <what>".
std::string Describe(const RunFolderProblem& problem);

class RunFolderDetails {
 public:
  // The mitigation applied to the run of `reportFile` (MitigationText), the
  // crop and application of its run in the project report (CropText,
  // ApplicationText); empty when there is none.
  std::string Mitigation(std::string_view reportFile) const;
  std::string Crop(std::string_view reportFile) const;
  std::string Application(std::string_view reportFile) const;

  // The mitigation of the whole run folder (RunFolderMitigationText).
  std::string RunFolderMitigation() const;

  // The run of `reportFile` in the project report, or nullptr.
  const SwashRun* Run(std::string_view reportFile) const;

  const std::optional<SwanLog>& swanLog() const { return swanLog_; }
  const std::optional<SwashProjectReport>& projectReport() const { return projectReport_; }
  const std::vector<RunFolderProblem>& problems() const { return problems_; }

 private:
  friend RunFolderDetails ReadRunFolderDetails(const std::string& runFolderPath);

  // Builds the look-ups by run, so that each report costs the same however
  // many runs the folder has.
  void Index();

  std::optional<SwanLog> swanLog_;
  std::optional<SwashProjectReport> projectReport_;
  std::vector<RunFolderProblem> problems_;
  std::unordered_map<std::string, std::size_t> runs_;  // RunKey -> index in projectReport_->runs
  std::unordered_set<std::string> drifted_;            // RunKeys the drift mitigation was applied to
  std::unordered_set<std::string> runOff_;             // RunKeys the run-off mitigation was applied to
};

// Finds and reads the SWAN log and the SWASH project report of the run folder
// at `runFolderPath`, each once. Never throws: a folder that cannot be
// listed, like a file not read, is a problem.
RunFolderDetails ReadRunFolderDetails(const std::string& runFolderPath);

}  // namespace quillmere
