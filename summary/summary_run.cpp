#include "summary/summary_run.h"

#include <new>
#include <optional>
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

namespace quillmere {

namespace {

constexpr std::string_view kTableName = "Summary.txt";
constexpr std::string_view kReportFolderName = "toxswa";
constexpr std::string_view kReportEnding = ".sum";

SummaryOutcome& Fail(SummaryOutcome& outcome, RunStatus status, const FileError& error) {
  outcome.status = status;
  outcome.failedPath = error.path();
  outcome.reason = error.reason();
  outcome.message = status == RunStatus::kReportFailure ? ReportFailureMessage(error.path())
                                                        : error.path() + ": " + error.reason();
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
};

std::optional<RunFolderReports> FindReports(const std::string& runPath) {
  std::string folderName(kReportFolderName);
  try {
    const std::vector<ListedEntry> entries = List(runPath);
    const ListedEntry* found = nullptr;
    for (const ListedEntry& entry : entries) {
      if (entry.kind == EntryKind::kFolder && EqualsIgnoringCase(entry.name, kReportFolderName)) {
        found = &entry;
        break;
      }
    }
    if (found == nullptr) return std::nullopt;
    folderName = found->name;
    RunFolderReports result{JoinPath(runPath, folderName), List(JoinPath(runPath, folderName))};
    std::erase_if(result.reports, [](const ListedEntry& entry) {
      // Folders, pipes and devices are never reports; an entry that cannot be
      // reached stays, so that reading it fails with a message naming it.
      return !EndsWithIgnoringCase(entry.name, kReportEnding) || entry.kind == EntryKind::kFolder ||
             entry.kind == EntryKind::kOther;
    });
    return result;
  } catch (const FileError& error) {
    // A report listing that fails is a failure of the run folder's report
    // folder, named with an empty report name.
    throw FileError(JoinPath(JoinPath(runPath, folderName), ""), error.reason());
  }
}

}  // namespace

std::string ReportFailureMessage(const std::string& path) {
  std::string message = "Problem with file " + path + "!";
  message += kMessageLineBreak;
  message += " Please check!";
  return message;
}

std::string TableKeeps(const SummaryOutcome& outcome) {
  return outcome.tablePath + " keeps " + std::to_string(outcome.reports) +
         (outcome.reports == 1 ? " report, " : " reports, ") + std::to_string(outcome.rows) +
         (outcome.rows == 1 ? " row" : " rows");
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path += folder;
  // A separator the user typed at the end of the folder ("runs/", "D:\\",
  // "/") already parts it from the name.
  if (folder.empty() || kPathSeparators.find(folder.back()) == std::string_view::npos) path += kPathSeparator;
  path += name;
  return path;
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

  ReportReader reader;
  ReportRecord record;
  try {
    for (const ListedEntry& runFolder : runFolders) {
      if (runFolder.kind != EntryKind::kFolder) continue;
      if (const int signal = InterruptionSignal()) return StopInterrupted(outcome, *file, signal);
      const std::optional<RunFolderReports> found = FindReports(JoinPath(directory, runFolder.name));
      if (!found) continue;
      reader.StartRunFolder();
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
      }
    }
  } catch (const FileError& error) {
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

  if (std::optional<FileError> writeFailure = file->Close()) {
    return FailWriting(outcome, *file, *writeFailure);
  }
  outcome.status = RunStatus::kWritten;
  return outcome;
}

}  // namespace quillmere
