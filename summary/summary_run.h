// The whole work of one run: from a chosen directory to a finished table.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "runtime/path.h"

namespace quillmere {

class Folder;
struct ReportRecord;
struct SummaryOutcome;

// How a run ended.
enum class RunStatus {
  kWritten,        // the table is complete
  kReportFailure,  // a report (or a run folder's report listing) could not be read
  kWriteFailure,   // the table could not be written out
  kNotStarted,     // the directory could not be listed or the table not created
  kInterrupted     // a request to stop (see runtime/interruption.h) ended it between reports
};

// How far a run has come, for a progress display.
struct SummaryProgress {
  std::size_t reports = 0;         // reports read so far
  std::size_t runFoldersDone = 0;  // run folders taken so far, the one in hand included
  std::size_t runFolders = 0;      // folders in the directory, each a candidate run folder
};

struct SummaryOptions {
  // Decimal point of the figures in the table; the front ends pass the
  // user's locale's separator.
  std::string decimalSeparator = ".";
  // Called with the path of each report after the listing that found it and
  // just before it is opened; empty in a normal run. Tests use it to change
  // the tree in that window.
  std::function<void(const std::string& reportPath)> beforeReading;
  // Called after each report's rows are written, with its record, the run
  // folder and report names as the file system gives them (the record holds
  // them as the table writes them) and the report's path. Empty unless
  // another output follows the run.
  std::function<void(const ReportRecord& record, const std::string& runFolder, const std::string& reportFile,
                     const std::string& reportPath)>
      afterRows;
  // Called once, when the run completed: the whole table is on the disk but
  // not yet in place, and the run still holds it, so no second run starts.
  // It gets the directory as the run opened it at its start, and the
  // outcome so far (reports and rows counted). What it puts in place there
  // goes in before the table; it must not throw. A stop that comes from
  // then on is its to tell of: the run ends as kWritten. Empty unless another
  // file goes into place with the table.
  std::function<void(const Folder& directory, const SummaryOutcome& outcome)> beforeReplacing;
  // Called when a run folder is taken up and after each report is read;
  // empty when nobody shows the progress.
  std::function<void(const SummaryProgress& progress)> progress;
};

struct SummaryOutcome {
  RunStatus status = RunStatus::kNotStarted;
  // Path of Summary.txt in the chosen directory.
  std::string tablePath;
  // Reports read and data lines written (the header not counted). After a
  // report failure, what the table keeps; after a write failure, `rows` is
  // the data lines the table keeps (it ends at its last whole line).
  std::size_t reports = 0;
  std::size_t rows = 0;
  // After kInterrupted: the signal that asked the run to stop.
  int interruption = 0;
  // After a failure: the path it concerns and what went wrong.
  std::string failedPath;
  std::string reason;
  // After a complete run that found no report: one line saying so, naming
  // the directory and what was looked for; empty otherwise.
  std::string warning;
  // After a failure: the message for the user. For a report failure the two
  // lines of ReportFailureMessage; after an interruption "interrupted by
  // <signal>"; otherwise "<path>: <reason>".
  std::string message;
};

// The message shown when a report cannot be read: "Problem with file <path>!"
// and, on a second line, " Please check!". The line break is LF, or CR LF on
// Windows.
std::string ReportFailureMessage(const std::string& path);

// "<table> keeps N reports, M rows": what the table of an ended run holds.
std::string TableKeeps(const SummaryOutcome& outcome);

// Writes Summary.txt in `directory` anew: the table is built beside it and
// takes its place when the run ends, however it ends (see OutputFile), and a
// second run on a directory whose table is being written does not start. Every entry of
// `directory` is taken in listing order; a run folder contributes the reports
// (plain files ending in ".sum", any case) of its first folder named "toxswa"
// in any case; each report adds one line per substance. Entries that are not
// folders, and folders without reports, contribute nothing.
//
// The first report that cannot be read ends the run (kReportFailure, naming
// it), and so does memory running out while a report is read or its rows are
// written; a run folder or report folder that cannot be listed is named
// itself. Every whole line written before stays in the table, which never
// ends inside a line. A request to stop noted by CatchInterruptions, at any
// moment of the run, ends it as kInterrupted: before the next report, or
// within the report being read, or after the last one; it outweighs the
// failure of the report it cut short. A complete run that found no report
// says so in `warning`. Never throws for anything a directory tree or a file
// system can do.
SummaryOutcome SummaryRun(const std::string& directory, const SummaryOptions& options = {});

}  // namespace quillmere
