#include "summary/swan_log.h"

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "runtime/text.h"
#include "summary/field_text.h"

namespace quillmere {

namespace {

constexpr std::string_view kLogMarker = "SWAN log file";
constexpr std::size_t kMarkerLines = 10;
// More files than any project holds: a log naming more is not understood.
constexpr std::size_t kMostFiles = 100000;
constexpr std::size_t kMostRunsNamed = 8;

// What a setting's value must be.
enum class ValueKind { kText, kFigure, kYesNo, kFile };

// The settings of the log, each at most once (files once a line).
enum class Setting {
  kRunOffMode,
  kVolumeReduction,
  kFluxReduction,
  kErosionMassReduction,
  kErosionFluxReduction,
  kFilterStripWidth,
  kRunOffFile,
  kNozzleReduction,
  kStep3MassLoadings,
  kBufferSelected,
  kBufferWidth,
  kMassLoadingsEntered,
  kPondLoading,
  kDitchLoading,
  kStreamLoading,
  kDriftFile,
  kCount
};

struct Label {
  std::string_view text;  // the line starts with it; the value follows the first ":" from there
  Setting setting;
  ValueKind kind;
};

constexpr Label kLabels[] = {
    {"Reduction run-off mode:", Setting::kRunOffMode, ValueKind::kText},
    {"Fractional reduction in run-off volume:", Setting::kVolumeReduction, ValueKind::kFigure},
    {"Fractional reduction in run-off flux:", Setting::kFluxReduction, ValueKind::kFigure},
    {"Fractional reduction in erosion mass:", Setting::kErosionMassReduction, ValueKind::kFigure},
    {"Fractional reduction in erosion flux:", Setting::kErosionFluxReduction, ValueKind::kFigure},
    {"Filter strip buffer width:", Setting::kFilterStripWidth, ValueKind::kFigure},
    {"Run-off mitigation has been applied to:", Setting::kRunOffFile, ValueKind::kFile},
    {"Nozzle reduction (%):", Setting::kNozzleReduction, ValueKind::kFigure},
    {"Use Step 3 mass loadings:", Setting::kStep3MassLoadings, ValueKind::kYesNo},
    {"Select buffer width:", Setting::kBufferSelected, ValueKind::kYesNo},
    {"Buffer width (m):", Setting::kBufferWidth, ValueKind::kFigure},
    {"Enter mass loadings directly:", Setting::kMassLoadingsEntered, ValueKind::kYesNo},
    // The unit after these is "(mg/m²)" in Latin-1, passed over.
    {"Pond mass loading", Setting::kPondLoading, ValueKind::kFigure},
    {"Ditch mass loading", Setting::kDitchLoading, ValueKind::kFigure},
    {"Stream mass loading", Setting::kStreamLoading, ValueKind::kFigure},
    {"Spray drift mitigation has been applied to:", Setting::kDriftFile, ValueKind::kFile},
};

bool IsDriftSetting(Setting setting) {
  return setting >= Setting::kNozzleReduction && setting <= Setting::kStreamLoading;
}

// "Yes" or "No" (any case): 1 or 0; -1 for anything else.
int YesNo(std::string_view value) {
  if (EqualsIgnoringCase(value, "yes")) return 1;
  if (EqualsIgnoringCase(value, "no")) return 0;
  return -1;
}

std::string LineProblem(std::size_t line, std::string_view what) {
  return "line " + std::to_string(line) + ": " + std::string(what);
}

class LogReader {
 public:
  explicit LogReader(std::string path) { log_.path = std::move(path); }

  SwanLogReading Read(LineReader& lines) {
    std::string_view line;
    while (lines.ReadLine(line)) {
      ++number_;
      if (!TakeLine(line)) return Failed();
    }
    if (!marked_) {
      if (number_ == 0) {
        problem_ = "the file is empty";
        return Failed();
      }
      Fail(number_, "not a SWAN log: no \"" + std::string(kLogMarker) + "\" in its first lines");
      return Failed();
    }
    if (!CheckWhole()) return Failed();
    SwanLogReading reading;
    reading.log = std::move(log_);
    return reading;
  }

 private:
  SwanLogReading Failed() {
    SwanLogReading reading;
    reading.problem = std::move(problem_);
    reading.problemLine = problemLine_;
    return reading;
  }

  bool Fail(std::size_t line, std::string_view what) {
    problem_ = LineProblem(line, what);
    problemLine_ = line;
    return false;
  }

  std::size_t LineOf(Setting setting) const { return lineOf_[static_cast<std::size_t>(setting)]; }

  bool TakeLine(std::string_view line) {
    if (!marked_) {
      if (Contains(line, kLogMarker)) {
        marked_ = true;
      } else if (number_ >= kMarkerLines) {
        return Fail(number_, "not a SWAN log: no \"" + std::string(kLogMarker) + "\" in its first lines");
      }
      return true;
    }
    const std::string_view text = TrimBlanks(line);
    for (const Label& label : kLabels) {
      if (text.substr(0, label.text.size()) != label.text) continue;
      const std::size_t colon = text.find(':', label.text.size() - 1);
      if (colon == std::string_view::npos)
        return Fail(number_, "no \":\" after \"" + std::string(label.text) + "\"");
      return TakeSetting(label, TrimBlanks(text.substr(colon + 1)));
    }
    return true;
  }

  bool TakeSetting(const Label& label, std::string_view value) {
    const std::string name = std::string(label.text);
    std::size_t& seen = lineOf_[static_cast<std::size_t>(label.setting)];
    if (label.kind != ValueKind::kFile) {
      if (seen != 0) {
        return Fail(number_, "\"" + name + "\" a second time (first on line " + std::to_string(seen) + ")");
      }
    }
    if (seen == 0) seen = number_;
    if (value.empty()) return Fail(number_, "no value after \"" + name + "\"");
    if (label.kind == ValueKind::kFigure && !IsFigure(value)) {
      return Fail(number_, "\"" + name + "\" is not followed by a number");
    }
    const int yes = YesNo(value);
    if (label.kind == ValueKind::kYesNo && yes < 0) {
      return Fail(number_, "\"" + name + "\" is followed by neither Yes nor No");
    }
    if (IsDriftSetting(label.setting)) log_.drift.present = true;

    SprayDriftMitigation& drift = log_.drift;
    RunOffMitigation& runOff = log_.runOff;
    const std::string text(value);
    switch (label.setting) {
      case Setting::kRunOffMode:
        runOff.mode = text;
        break;
      case Setting::kVolumeReduction:
        runOff.volumeReduction = text;
        break;
      case Setting::kFluxReduction:
        runOff.fluxReduction = text;
        break;
      case Setting::kErosionMassReduction:
        runOff.erosionMassReduction = text;
        break;
      case Setting::kErosionFluxReduction:
        runOff.erosionFluxReduction = text;
        break;
      case Setting::kFilterStripWidth:
        runOff.filterStripWidth = text;
        break;
      case Setting::kNozzleReduction:
        drift.nozzleReduction = text;
        break;
      case Setting::kStep3MassLoadings:
        drift.step3MassLoadings = yes == 1;
        break;
      case Setting::kBufferSelected:
        drift.bufferSelected = yes == 1;
        break;
      case Setting::kBufferWidth:
        drift.bufferWidth = text;
        break;
      case Setting::kMassLoadingsEntered:
        drift.massLoadingsEntered = yes == 1;
        break;
      case Setting::kPondLoading:
        drift.pondLoading = text;
        break;
      case Setting::kDitchLoading:
        drift.ditchLoading = text;
        break;
      case Setting::kStreamLoading:
        drift.streamLoading = text;
        break;
      case Setting::kRunOffFile:
        return AddFile(runOff.appliedTo, text);
      case Setting::kDriftFile:
        return AddFile(drift.appliedTo, text);
      case Setting::kCount:
        break;
    }
    return true;
  }

  bool AddFile(std::vector<std::string>& files, std::string file) {
    if (files.size() >= kMostFiles)
      return Fail(number_, "more than " + std::to_string(kMostFiles) + " files");
    files.push_back(std::move(file));
    return true;
  }

  // The settings that only make sense together.
  bool CheckWhole() {
    const RunOffMitigation& runOff = log_.runOff;
    const std::size_t modeLine = LineOf(Setting::kRunOffMode);
    if (!runOff.appliedTo.empty() && runOff.mode.empty()) {
      return Fail(LineOf(Setting::kRunOffFile),
                  "run-off mitigation applied without \"Reduction run-off mode:\"");
    }
    if (EqualsIgnoringCase(runOff.mode, "ManualReduction")) {
      const std::pair<Setting, const std::string*> reductions[] = {
          {Setting::kVolumeReduction, &runOff.volumeReduction},
          {Setting::kFluxReduction, &runOff.fluxReduction},
          {Setting::kErosionMassReduction, &runOff.erosionMassReduction},
          {Setting::kErosionFluxReduction, &runOff.erosionFluxReduction}};
      for (const auto& [setting, value] : reductions) {
        if (value->empty()) {
          return Fail(modeLine, "ManualReduction without \"" +
                                    std::string(kLabels[static_cast<std::size_t>(setting)].text) + "\"");
        }
      }
    }
    if (EqualsIgnoringCase(runOff.mode, "VfsMod") && runOff.filterStripWidth.empty()) {
      return Fail(modeLine, "VfsMod without \"Filter strip buffer width:\"");
    }
    const SprayDriftMitigation& drift = log_.drift;
    if (!drift.appliedTo.empty() && !drift.present) {
      return Fail(LineOf(Setting::kDriftFile), "spray drift mitigation applied without its settings");
    }
    if (drift.bufferSelected && drift.bufferWidth.empty()) {
      return Fail(LineOf(Setting::kBufferSelected), "a buffer selected without \"Buffer width (m):\"");
    }
    if (drift.massLoadingsEntered &&
        (drift.pondLoading.empty() || drift.ditchLoading.empty() || drift.streamLoading.empty())) {
      return Fail(LineOf(Setting::kMassLoadingsEntered),
                  "mass loadings entered without those of the pond, the ditch and the stream");
    }
    return true;
  }

  SwanLog log_;
  std::size_t lineOf_[static_cast<std::size_t>(Setting::kCount)] =
      {};  // first line of each setting, 0 unseen
  std::string problem_;
  std::size_t problemLine_ = 0;
  std::size_t number_ = 0;  // of the line in hand, from 1
  bool marked_ = false;     // "SWAN log file" seen
};

SwanLogReading ReadLines(LineReader& lines, const std::string& path) {
  try {
    return LogReader(path).Read(lines);
  } catch (const FileError& error) {
    SwanLogReading reading;
    reading.problem = error.reason();
    return reading;
  } catch (const std::exception& error) {
    SwanLogReading reading;
    reading.problem = DescribeUnexpected(error);
    return reading;
  }
}

bool AppliesTo(const std::vector<std::string>& files, std::string_view runId) {
  if (runId.empty()) return false;
  const std::string key = RunKey(runId);
  for (const std::string& file : files) {
    if (RunKey(RunIdOfFile(file)) == key) return true;
  }
  return false;
}

std::string DriftText(const SprayDriftMitigation& drift) {
  std::string text;
  const auto add = [&text](std::string_view part) {
    if (!text.empty()) text += ", ";
    text += part;
  };
  if (drift.bufferSelected) add("buffer " + drift.bufferWidth + " m");
  if (!drift.nozzleReduction.empty()) add("nozzles " + drift.nozzleReduction + " %");
  if (drift.step3MassLoadings) add("Step 3 mass loadings");
  if (drift.massLoadingsEntered) {
    add("mass loadings pond " + drift.pondLoading + ", ditch " + drift.ditchLoading + ", stream " +
        drift.streamLoading + " mg/m2");
  }
  return "drift: " + (text.empty() ? std::string("applied") : text);
}

std::string RunOffText(const RunOffMitigation& runOff) {
  if (EqualsIgnoringCase(runOff.mode, "ManualReduction")) {
    return "run-off: reduced volume " + runOff.volumeReduction + ", flux " + runOff.fluxReduction +
           ", erosion mass " + runOff.erosionMassReduction + ", erosion flux " + runOff.erosionFluxReduction;
  }
  if (EqualsIgnoringCase(runOff.mode, "VfsMod")) return "run-off: VFS " + runOff.filterStripWidth + " m";
  return "run-off: " + runOff.mode;
}

// " (runs 4630, 4631 and 2 more)" for the runs of `files`, each once.
std::string RunsText(const std::vector<std::string>& files) {
  std::vector<std::string> named;
  std::unordered_set<std::string> runs;  // in lower case
  for (const std::string& file : files) {
    std::string run = RunIdOfFile(file);
    if (run.empty()) run = std::string(BaseName(file));
    if (!runs.insert(LowerCase(run)).second) continue;
    if (named.size() < kMostRunsNamed) named.push_back(std::move(run));
  }
  std::string text = runs.size() == 1 ? " (run " : " (runs ";
  for (std::size_t i = 0; i < named.size(); ++i) {
    if (i > 0) text += ", ";
    text += named[i];
  }
  if (runs.size() > named.size()) text += " and " + std::to_string(runs.size() - named.size()) + " more";
  return text + ")";
}

}  // namespace

SwanLogReading ReadSwanLog(const std::string& path) {
  try {
    LineReader lines(path);
    return ReadLines(lines, path);
  } catch (const FileError& error) {
    SwanLogReading reading;
    reading.problem = error.reason();
    return reading;
  } catch (const std::exception& error) {
    SwanLogReading reading;
    reading.problem = DescribeUnexpected(error);
    return reading;
  }
}

SwanLogReading ReadSwanLogText(std::string_view bytes, const std::string& path) {
  LineReader lines(bytes);
  return ReadLines(lines, path);
}

std::string RunIdOfFile(std::string_view file) {
  const std::string_view name = BaseName(file);
  if (EndsWithIgnoringCase(name, ".txw")) return std::string(name.substr(0, name.size() - 4));
  const std::size_t first = name.find_first_of("0123456789");
  if (first == std::string_view::npos) return {};
  const std::size_t end = name.find_first_not_of("0123456789", first);
  return RunKey(name.substr(first, end == std::string_view::npos ? end : end - first));
}

bool DriftAppliesTo(const SwanLog& log, std::string_view reportFile) {
  return AppliesTo(log.drift.appliedTo, ReportRunId(reportFile));
}

bool RunOffAppliesTo(const SwanLog& log, std::string_view reportFile) {
  const std::string_view runId = ReportRunId(reportFile);
  return IsWholeNumber(runId) && AppliesTo(log.runOff.appliedTo, runId);
}

std::string MitigationText(const SwanLog& log, bool drift, bool runOff) {
  std::string text;
  if (drift) text = DriftText(log.drift);
  if (runOff) {
    if (!text.empty()) text += "; ";
    text += RunOffText(log.runOff);
  }
  return text;
}

std::string MitigationText(const SwanLog& log, std::string_view reportFile) {
  return MitigationText(log, DriftAppliesTo(log, reportFile), RunOffAppliesTo(log, reportFile));
}

std::string RunFolderMitigationText(const SwanLog& log) {
  std::string text;
  if (!log.drift.appliedTo.empty()) text = DriftText(log.drift) + RunsText(log.drift.appliedTo);
  if (!log.runOff.appliedTo.empty()) {
    if (!text.empty()) text += "; ";
    text += RunOffText(log.runOff) + RunsText(log.runOff.appliedTo);
  }
  return text;
}

}  // namespace quillmere
