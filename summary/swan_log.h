// Reading the log SWAN leaves in a mitigated project (SWAN_log.txt): the
// spray-drift and run-off mitigation it applied, and to which files.
//
// One of the log's first ten lines says "SWAN log file"; a log that SWAN
// wrote on over several runs, each opening with the banner "* SWAN log
// file", is read for its last run. Settings are lines
// "<label>: <value>", found by their label wherever they stand; values are
// kept as written, without surrounding blanks:
//
//   run-off    "Reduction run-off mode:" (ManualReduction, VfsMod, ...);
//              for ManualReduction "Fractional reduction in run-off volume:",
//              "... in run-off flux:", "... in erosion mass:", "... in erosion
//              flux:"; for VfsMod "Filter strip buffer width:" (m)
//              "Run-off mitigation has been applied to: <file>", one a file
//   drift      "Nozzle reduction (%):", "Use Step 3 mass loadings:" Yes/No,
//              "Select buffer width:" Yes/No, "Buffer width (m):",
//              "Enter mass loadings directly:" Yes/No, "Pond mass loading",
//              "Ditch mass loading", "Stream mass loading" (mg/m2)
//              "Spray drift mitigation has been applied to: <file>"
//
// A figure that is not a number, a Yes/No that is neither, ManualReduction
// without its four reductions, VfsMod without its width, a buffer selected
// without its width, or files named without the settings that were applied
// to them make the log not understood.
//
// Which report a mitigation concerns: spray drift is applied to TOXSWA input
// files, and the report `4630.sum` comes from `4630.txw` (names compared
// without case, numbers without leading zeros). Run-off is applied to the MACRO or PRZM file that feeds the
// TOXSWA run (`04637-C1.p2t`, `macro04631_p.m2t`): the first digits in that
// name are the TOXSWA run ID, zero-padded, so it concerns the report whose
// name, without `.sum`, is that number (`04637-C1.p2t` -> `4637.sum`).
// Reports whose names are not numbers get no run-off mitigation.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "summary/marked_file_reader.h"

namespace quillmere {

struct SprayDriftMitigation {
  bool present = false;         // the log holds drift settings
  std::string nozzleReduction;  // %, "0"
  bool bufferSelected = false;  // "Select buffer width: Yes"
  std::string bufferWidth;      // m, when bufferSelected
  bool step3MassLoadings = false;
  bool massLoadingsEntered = false;                      // "Enter mass loadings directly: Yes"
  std::string pondLoading, ditchLoading, streamLoading;  // mg/m2, as written
  std::vector<std::string> appliedTo;                    // "4630.txw"
};

struct RunOffMitigation {
  std::string mode;  // "ManualReduction", "VfsMod", ...; empty without run-off settings
  // ManualReduction's fractional reductions.
  std::string volumeReduction, fluxReduction, erosionMassReduction, erosionFluxReduction;
  std::string filterStripWidth;        // VfsMod, m
  std::vector<std::string> appliedTo;  // "04637-C1.p2t"
};

struct SwanLog {
  std::string path;
  SprayDriftMitigation drift;
  RunOffMitigation runOff;
};

// The log, or no log and why (a log not understood, or not read).
struct SwanLogReading : ReadingProblem {
  std::optional<SwanLog> log;
};

// Reads the log at `path`. Never throws.
SwanLogReading ReadSwanLog(const std::string& path);

// The same from bytes in memory; `path` is only recorded.
SwanLogReading ReadSwanLogText(std::string_view bytes, const std::string& path = {});

// The TOXSWA run ID a file SWAN names is for: the name without its folder
// and its extension for a TOXSWA file ("4630.txw" -> "4630"); for a MACRO or
// PRZM file the first digits of its name without leading zeros
// ("04637-C1.p2t" -> "4637", "macro04631_p.m2t" -> "4631"); empty when it
// has none.
std::string RunIdOfFile(std::string_view file);

// True when the drift or the run-off mitigation of `log` was applied to the
// run of the report named `reportFile` ("4630.sum").
bool DriftAppliesTo(const SwanLog& log, std::string_view reportFile);
bool RunOffAppliesTo(const SwanLog& log, std::string_view reportFile);

// The mitigation of the report named `reportFile`, only the parts applied to
// it; empty when none was:
//   "drift: buffer 10 m, nozzles 0 %; run-off: VFS 10 m"
//   "run-off: reduced volume 0.6, flux 0.6, erosion mass 0.85, erosion flux 0.85"
// Drift reads "buffer W m" when a buffer was selected, then "nozzles N %",
// then "Step 3 mass loadings" or "mass loadings pond P, ditch D, stream S
// mg/m2" when those were used. A run-off mode other than the two is named as
// written.
std::string MitigationText(const SwanLog& log, std::string_view reportFile);

// The same with what applies given.
std::string MitigationText(const SwanLog& log, bool drift, bool runOff);

// One line for the whole run folder: each mitigation with the runs it was
// applied to, "drift: buffer 10 m, nozzles 0 % (runs 4630, 4631, ...);
// run-off: VFS 10 m (run 4637)", at most eight runs named, then "and N
// more"; empty when none was applied.
std::string RunFolderMitigationText(const SwanLog& log);

}  // namespace quillmere
