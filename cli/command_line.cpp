#include "cli/command_line.h"

#include <exception>
#include <ostream>

#include "cli/arguments.h"
#include "cli/progress_line.h"
#include "cli/workbook_step.h"
#include "runtime/file_error.h"
#include "runtime/number.h"
#include "runtime/text.h"
#include "summary/summary_run.h"

namespace quillmere {

namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: " << kProgram << " [--workbook [--compare FIGURE]... [--threshold THRESHOLD]...] [--] DIR\n"
      << "\n"
      << "Reads the TOXSWA summary reports (*.sum) in the toxswa folder of every run\n"
      << "folder of DIR and writes their key exposure results to DIR/Summary.txt:\n"
      << "one tab-separated line per report and substance.\n"
      << "\n"
      << "Options:\n"
      << "  --workbook     also write DIR/Summary.xlsx when the run completes: the table as\n"
      << "                 typed cells (sheet Summary), each figure of every run folder side\n"
      << "                 by side per substance and scenario (Compare), and how it was made\n"
      << "                 (About); the previous workbook stays until the run completes\n"
      << "  --compare FIGURE\n"
      << "                 a figure of the sheet Compare, a block per substance each; repeat\n"
      << "                 for more, in order (default PECsw_max): PECsw_max, TWA7d, TWA21d,\n"
      << "                 PECsed_max, TWAsed7d, TWAsed21d, or \"TWAsw Nd\" / \"TWAsed Nd\" for\n"
      << "                 another window of N days (1 to 100) that the reports list\n"
      << "  --threshold [[SUBSTANCE:]FIGURE=]VALUE\n"
      << "                 the value of the threshold cell of every block, of the blocks of\n"
      << "                 FIGURE, or of one block; repeatable, the most specific wins. The\n"
      << "                 cells fill red above it and green at or under it, and counts follow\n"
      << "                 it, also when it is changed in the workbook (\".\" or \",\" as decimal\n"
      << "                 point)\n"
      << "  -h, --help     show this help and exit\n"
      << "  -V, --version  show the version and exit\n"
      << "  --             end of options: the next argument is DIR even if it begins with '-'\n"
      << "\n"
      << "Exit status: 0 the table is complete; 1 a report could not be read or the\n"
      << "table could not be written (the lines before stay); 2 bad arguments, or the\n"
      << "run could not start; 128+N the run was stopped by signal N (Ctrl-C, kill, the\n"
      << "terminal closing, or any other signal that ends a program) and the table keeps\n"
      << "the reports read before.\n";
}

// Help and version are the whole answer; an answer nobody could read is a
// failure.
int Answered(std::ostream& out, std::ostream& err, const char* what) {
  if (!out.flush()) {
    err << kProgram << ": the " << what << " cannot be written to standard output\n";
    return kExitRunFailed;
  }
  return kExitWritten;
}

}  // namespace

int RunCommandLine(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                   SlashHelp slashHelp) {
  const std::optional<Arguments> parsed = ParseArguments(arguments, err, slashHelp);
  if (!parsed) return kExitNotStarted;
  if (parsed->action == Arguments::Action::kHelp) {
    PrintHelp(out);
    return Answered(out, err, "help");
  }
  if (parsed->action == Arguments::Action::kVersion) {
    out << kProgram << " " << QUILLMERE_VERSION << "\n"
        << "Copyright (C) 2026 Quillmere maintainers\n"
        << "License MIT: <https://opensource.org/licenses/MIT>\n";
    return Answered(out, err, "version");
  }
  const std::string& directory = parsed->directory;
  const WorkbookRequest& workbookRequest = parsed->workbook;

  SummaryOptions options;
  options.decimalSeparator = LocaleDecimalSeparator();
  WorkbookStepPointer workbook;
  if (workbookRequest.wanted && !(workbook = StartWorkbook(workbookRequest, directory, options, err))) {
    return kExitNotStarted;
  }
  ProgressLine progressLine(err, StandardErrorIsTerminal());
  options.progress = [&progressLine](const SummaryProgress& progress) { progressLine.Show(progress); };
  const SummaryOutcome outcome = SummaryRun(directory, options);
  progressLine.Erase();
  if (workbook) {
    if (const std::optional<int> status = FinishWorkbook(*workbook, outcome, out, err)) return *status;
  }
  switch (outcome.status) {
    case RunStatus::kWritten:
      if (!outcome.warning.empty()) err << kProgram << ": " << Visible(outcome.warning) << "\n";
      out << "Wrote " << Visible(outcome.tablePath) << ": " << Counted(outcome.reports, "report") << ", "
          << Counted(outcome.rows, "row") << "\n";
      // The table is complete, but a success nobody could be told of is
      // not reported as one.
      if (!out.flush()) {
        err << kProgram << ": the table is complete, but standard output cannot be written\n";
        return kExitRunFailed;
      }
      return kExitWritten;
    case RunStatus::kReportFailure:
      err << ReportFailureMessage(Visible(outcome.failedPath)) << "\n"
          << kProgram << ": " << Visible(outcome.reason) << "\n"
          << kProgram << ": " << Visible(TableKeeps(outcome)) << "\n";
      return kExitRunFailed;
    case RunStatus::kWriteFailure:
      err << kProgram << ": " << Visible(outcome.message) << "\n";
      return kExitRunFailed;
    case RunStatus::kNotStarted:
      err << kProgram << ": " << Visible(outcome.message) << "\n";
      return kExitNotStarted;
    case RunStatus::kInterrupted:
      err << kProgram << ": " << outcome.reason << "; " << Visible(TableKeeps(outcome)) << "\n";
      return kExitInterrupted + outcome.interruption;
  }
  return kExitRunFailed;
}

int RunProgram(const std::function<std::vector<std::string>()>& arguments, std::ostream& out,
               std::ostream& err, SlashHelp slashHelp) {
  try {
    return RunCommandLine(arguments(), out, err, slashHelp);
  } catch (const std::exception& error) {
    err << kProgram << ": " << DescribeUnexpected(error) << "\n";
    return kExitRunFailed;
  }
}

}  // namespace quillmere
