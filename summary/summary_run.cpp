#include "summary/summary_run.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/interruption.h"
#include "runtime/listing.h"
#include "runtime/output_file.h"
#include "runtime/platform.h"
#include "runtime/table_name.h"
#include "runtime/text.h"
#include "summary/report_reader.h"
#include "summary/report_record.h"
#include "summary/summary_table.h"
#include "summary/swash_project_report.h"

namespace quillmere {

namespace {

constexpr std::string_view kTableName = "Summary.txt";
constexpr std::string_view kReportFolderName = "toxswa";
constexpr std::string_view kReportEnding = ".sum";

SummaryOutcome& Fail(SummaryOutcome& outcome, RunStatus status, const FileError& error) {
  outcome.status = status;
  outcome.failedPath = error.path();
  outcome.reason = error.reason();
  outcome.message =
      status == RunStatus::kReportFailure ? ReportFailureMessage(error.path()) : Describe(error);
  return outcome;
}

// A table that could not be written holds fewer lines than were printed:
// the rows counted are those it keeps, without the header.
SummaryOutcome& FailWriting(SummaryOutcome& outcome, const OutputFile& file, const FileError& error) {
  outcome.rows = file.linesKept() > 0 ? file.linesKept() - 1 : 0;
  return Fail(outcome, RunStatus::kWriteFailure, error);
}

// Closes the table of a run stopped by `signal`; it keeps every whole line.
SummaryOutcome& StopInterrupted(SummaryOutcome& outcome, OutputFile& file, int signal) {
  if (std::optional<FileError> writeFailure = file.Close()) return FailWriting(outcome, file, *writeFailure);
  outcome.status = RunStatus::kInterrupted;
  outcome.interruption = signal;
  outcome.reason = "interrupted by " + InterruptionName(signal);
  outcome.message = outcome.reason;
  return outcome;
}

// The reports of run folder `runPath`, sorted, and the folder that holds
// them; no folder when the run folder has none named "toxswa".
struct RunFolderReports {
  std::string folderPath;
  std::vector<ListedEntry> reports;
  // The files of the run folder that may be its SWASH project report, in
  // listing order.
  std::vector<std::string> projectReports;
};

constexpr std::string_view kProjectReportEnding = "_report.txt";

bool IsReportFolder(const ListedEntry& entry) {
  return entry.kind == EntryKind::kFolder && EqualsIgnoringCase(entry.name, kReportFolderName);
}

bool IsReport(const ListedEntry& entry) {
  // Folders, pipes and devices are never reports; an entry that cannot be
  // reached stays, so that reading it fails with a message naming it.
  return EndsWithIgnoringCase(entry.name, kReportEnding) && entry.kind != EntryKind::kFolder &&
         entry.kind != EntryKind::kOther;
}

// A listing that fails throws a FileError naming the folder that failed, the
// run folder or its report folder, with its name as the folder has it.
std::optional<RunFolderReports> FindReports(const std::string& runPath) {
  const std::vector<ListedEntry> entries = List(runPath);
  const auto found = std::find_if(entries.begin(), entries.end(), IsReportFolder);
  if (found == entries.end()) return std::nullopt;
  RunFolderReports result;
  result.folderPath = JoinPath(runPath, found->name);
  result.reports = List(result.folderPath);
  std::erase_if(result.reports, [](const ListedEntry& entry) { return !IsReport(entry); });
  for (const ListedEntry& entry : entries) {
    if (entry.kind == EntryKind::kPlainFile && EndsWithIgnoringCase(entry.name, kProjectReportEnding)) {
      result.projectReports.push_back(JoinPath(runPath, entry.name));
    }
  }
  return result;
}

// The water bodies that the SWASH project report of a run folder gives by
// run ID: the first of `candidates` (its *_report.txt files, taken from the
// listing the run made anyway) that reads as one. It is read when a report
// of the older layout first asks, and only once for the run folder; a folder
// without one, or one not understood, gives none.
WaterBodyLookup ProjectReportWaterBodies(std::vector<std::string> candidates) {
  struct Project {
    std::vector<std::string> candidates;
    bool read = false;
    std::optional<SwashProjectReport> report;
  };
  auto project = std::make_shared<Project>();
  project->candidates = std::move(candidates);
  return [project](std::string_view runId) {
    if (!project->read) {
      project->read = true;
      for (const std::string& path : project->candidates) {
        project->report = ReadSwashProjectReport(path).report;
        if (project->report) break;
      }
    }
    const SwashRun* run = project->report ? project->report->Run(runId) : nullptr;
    return run != nullptr ? run->waterBody : std::string();
  };
}

// The line for a run that found no report in `directory`, whose entries are
// `entries`, with a hint when the directory chosen is one of a run's own.
std::string NoReportWarning(const std::string& directory, const std::vector<ListedEntry>& entries) {
  std::string warning = "no report was found under " + directory + " (it looks for *.sum files in a " +
                        std::string(kReportFolderName) + " folder of each run folder)";
  if (std::any_of(entries.begin(), entries.end(), IsReport)) {
    warning += "; it holds .sum files itself, so it is probably a " + std::string(kReportFolderName) +
               " folder and the folder of the runs is two levels up";
  } else if (std::any_of(entries.begin(), entries.end(), IsReportFolder)) {
    warning += "; it holds a " + std::string(kReportFolderName) +
               " folder itself, so it is probably a run folder and the folder of the runs is one level up";
  }
  return warning;
}

}  // namespace

std::string ReportFailureMessage(const std::string& path) {
  std::string message = "Problem with file " + path + "!";
  message += kMessageLineBreak;
  message += " Please check!";
  return message;
}

std::string TableKeeps(const SummaryOutcome& outcome) {
  return outcome.tablePath + " keeps " + Counted(outcome.reports, "report") + ", " +
         Counted(outcome.rows, "row");
}

SummaryOutcome SummaryRun(const std::string& directory, const SummaryOptions& options) {
  SummaryOutcome outcome;
  outcome.tablePath = JoinPath(directory, std::string(kTableName));

  // The directory is listed and its table written through one handle, so
  // that both stay in the directory listed.
  std::vector<ListedEntry> runFolders;
  std::optional<Folder> folder;
  std::optional<OutputFile> file;
  try {
    folder.emplace(directory);
    runFolders = List(*folder);
    file.emplace(*folder, std::string(kTableName), outcome.tablePath);
  } catch (const FileError& error) {
    return Fail(outcome, RunStatus::kNotStarted, error);
  }

  SummaryTable table(*file, options.decimalSeparator);
  table.WriteHeader();

  SummaryProgress progress;
  progress.runFolders = static_cast<std::size_t>(
      std::count_if(runFolders.begin(), runFolders.end(),
                    [](const ListedEntry& entry) { return entry.kind == EntryKind::kFolder; }));
  ReportReader reader;
  ReportRecord record;
  try {
    for (const ListedEntry& runFolder : runFolders) {
      if (runFolder.kind != EntryKind::kFolder) continue;
      if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
      ++progress.runFoldersDone;
      if (options.progress) options.progress(progress);
      const std::string runPath = JoinPath(directory, runFolder.name);
      const std::optional<RunFolderReports> found = FindReports(runPath);
      if (!found) continue;
      reader.StartRunFolder(ProjectReportWaterBodies(found->projectReports));
      for (const ListedEntry& report : found->reports) {
        if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
        const std::string reportPath = JoinPath(found->folderPath, report.name);
        if (options.beforeReading) options.beforeReading(reportPath);
        try {
          reader.Read(reportPath, record);
          record.runFolder = NameInTable(runFolder.name);
          record.reportFile = NameInTable(report.name);
        } catch (const std::bad_alloc&) {
          // Only a report of absurd lines can exhaust memory; it is that
          // report's failure, not the program's.
          throw FileError(reportPath, "not enough memory to read it");
        }
        try {
          outcome.rows += table.WriteReportRows(record);
        } catch (const std::bad_alloc&) {
          // The row in progress is never ended, so it never reaches the file.
          throw FileError(reportPath, "not enough memory to write its rows");
        }
        ++outcome.reports;
        if (options.afterRows) options.afterRows(record, runFolder.name, report.name, reportPath);
        if (file->failure()) return FailWriting(outcome, *file, *file->failure());
        progress.reports = outcome.reports;
        if (options.progress) options.progress(progress);
      }
    }
  } catch (const FileError& error) {
    // A stop cuts the report in hand short, or came while it failed anyway:
    // either way the user asked for the stop, and is told of it.
    if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
    if (std::optional<FileError> writeFailure = file->Close()) {
      return FailWriting(outcome, *file, *writeFailure);
    }
    // Memory running out between two rows of a report leaves the rows ended
    // before in the table: they and their report are counted as kept.
    const std::size_t rowsKept = file->linesKept() > 0 ? file->linesKept() - 1 : 0;
    if (rowsKept > outcome.rows) {
      outcome.rows = rowsKept;
      ++outcome.reports;
    }
    return Fail(outcome, RunStatus::kReportFailure, error);
  }

  // A stop that comes after the last report is still a stop: whoever asked
  // for it learns that the run ended by it.
  if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
  if (options.beforeReplacing) {
    // The table is on the disk before what goes into place with it is
    // written, and put in place after it, all under the table's lock.
    if (file->Sync()) {
      const std::optional<FileError> writeFailure = file->Close();
      return FailWriting(outcome, *file, *writeFailure);
    }
    if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
    options.beforeReplacing(*folder, outcome);
  }
  if (std::optional<FileError> writeFailure = file->Close()) {
    return FailWriting(outcome, *file, *writeFailure);
  }
  // Once what goes into place with the table was written, a stop is its to
  // tell of: it keeps the file it replaces when the stop came first, and
  // after that both files are whole and new.
  if (!options.beforeReplacing) {
    if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
  }
  outcome.status = RunStatus::kWritten;
  if (outcome.reports == 0) outcome.warning = NoReportWarning(directory, runFolders);
  return outcome;
}

}  // namespace quillmere
