#include "summary/run_folder_details.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/listing.h"
#include "runtime/path.h"
#include "runtime/text.h"
#include "summary/field_text.h"
#include "summary/summary_run.h"

namespace quillmere {

namespace {

constexpr std::string_view kSwanLogName = "SWAN_log.txt";
constexpr std::string_view kProjectReportSuffix = "_report.txt";

}  // namespace

std::string Describe(const RunFolderProblem& problem) { return problem.path + ": " + problem.what; }

void RunFolderDetails::Index() {
  if (projectReport_) {
    const std::vector<SwashRun>& runs = projectReport_->runs;
    for (std::size_t i = 0; i < runs.size(); ++i) runs_.emplace(RunKey(runs[i].id), i);
  }
  if (swanLog_) {
    for (const std::string& file : swanLog_->drift.appliedTo) drifted_.insert(RunKey(RunIdOfFile(file)));
    for (const std::string& file : swanLog_->runOff.appliedTo) runOff_.insert(RunKey(RunIdOfFile(file)));
  }
}

const SwashRun* RunFolderDetails::Run(std::string_view reportFile) const {
  if (!projectReport_) return nullptr;
  const auto found = runs_.find(RunKey(ReportRunId(reportFile)));
  return found == runs_.end() ? nullptr : &projectReport_->runs[found->second];
}

std::string RunFolderDetails::Mitigation(std::string_view reportFile) const {
  if (!swanLog_) return {};
  const std::string_view runId = ReportRunId(reportFile);
  if (runId.empty()) return {};
  const std::string key = RunKey(runId);
  // Run-off files are known by their number only.
  return MitigationText(*swanLog_, drifted_.count(key) != 0, IsWholeNumber(runId) && runOff_.count(key) != 0);
}

std::string RunFolderDetails::Crop(std::string_view reportFile) const {
  const SwashRun* run = Run(reportFile);
  return run == nullptr ? std::string() : CropText(*run);
}

std::string RunFolderDetails::Application(std::string_view reportFile) const {
  const SwashRun* run = Run(reportFile);
  return run == nullptr ? std::string() : ApplicationText(*run);
}

std::string RunFolderDetails::RunFolderMitigation() const {
  return swanLog_ ? RunFolderMitigationText(*swanLog_) : std::string();
}

RunFolderDetails ReadRunFolderDetails(const std::string& runFolderPath) {
  RunFolderDetails details;
  try {
    std::vector<ListedEntry> entries;
    try {
      entries = List(runFolderPath);
    } catch (const FileError& error) {
      details.problems_.push_back({error.path(), 0, error.reason()});
      return details;
    }
    bool logSeen = false;
    bool reportSeen = false;
    for (const ListedEntry& entry : entries) {
      if (entry.kind != EntryKind::kPlainFile) continue;
      if (!logSeen && EqualsIgnoringCase(entry.name, kSwanLogName)) {
        logSeen = true;
        const std::string path = JoinPath(runFolderPath, entry.name);
        SwanLogReading reading = ReadSwanLog(path);
        if (reading.log) {
          details.swanLog_ = std::move(reading.log);
        } else {
          details.problems_.push_back({path, reading.problemLine, std::move(reading.problem)});
        }
      } else if (!reportSeen && EndsWithIgnoringCase(entry.name, kProjectReportSuffix)) {
        const std::string path = JoinPath(runFolderPath, entry.name);
        if (!IsSwashProjectReport(path)) continue;
        reportSeen = true;
        SwashReading reading = ReadSwashProjectReport(path);
        if (reading.report) {
          details.projectReport_ = std::move(reading.report);
        } else {
          details.problems_.push_back({path, reading.problemLine, std::move(reading.problem)});
        }
      }
    }
    details.Index();
  } catch (const std::exception& error) {
    // Memory ran out on the way: what was read stays out, and says so.
    RunFolderDetails failed;
    failed.problems_.push_back({runFolderPath, 0, DescribeUnexpected(error)});
    return failed;
  }
  return details;
}

}  // namespace quillmere
