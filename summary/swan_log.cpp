#include "summary/swan_log.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

#include "runtime/text.h"
#include "summary/field_text.h"
#include "summary/marked_file_reader.h"

namespace quillmere {

namespace {

constexpr std::string_view kLogMarker = "SWAN log file";
// The banner of a run of SWAN, as it opens each.
constexpr std::string_view kLaterBanner = "* SWAN log file";
// More files than any project holds: a log naming more is not understood.
constexpr std::size_t kMostFiles = 100000;
constexpr std::size_t kMostRunsNamed = 8;

// What a setting's value must be, besides Yes or No for a flag and a name
// for a file.
enum class ValueKind { kText, kFigure };

// The settings of the log, each at most once (files once a line), in the
// order of kLabels.
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

// What a setting sets: a text, a flag (from Yes or No) or the list of files,
// of the run-off or of the drift mitigation.
using Target = std::variant<std::string RunOffMitigation::*, std::vector<std::string> RunOffMitigation::*,
                            std::string SprayDriftMitigation::*, bool SprayDriftMitigation::*,
                            std::vector<std::string> SprayDriftMitigation::*>;

struct Label {
  std::string_view text;  // the line starts with it; the value follows the first ":" from there
  Setting setting;
  Target target;
  ValueKind kind = ValueKind::kText;
};

using Drift = SprayDriftMitigation;
using RunOff = RunOffMitigation;
constexpr ValueKind kFigure = ValueKind::kFigure;

constexpr Label kLabels[] = {
    {"Reduction run-off mode:", Setting::kRunOffMode, &RunOff::mode},
    {"Fractional reduction in run-off volume:", Setting::kVolumeReduction, &RunOff::volumeReduction, kFigure},
    {"Fractional reduction in run-off flux:", Setting::kFluxReduction, &RunOff::fluxReduction, kFigure},
    {"Fractional reduction in erosion mass:", Setting::kErosionMassReduction, &RunOff::erosionMassReduction,
     kFigure},
    {"Fractional reduction in erosion flux:", Setting::kErosionFluxReduction, &RunOff::erosionFluxReduction,
     kFigure},
    {"Filter strip buffer width:", Setting::kFilterStripWidth, &RunOff::filterStripWidth, kFigure},
    {"Run-off mitigation has been applied to:", Setting::kRunOffFile, &RunOff::appliedTo},
    {"Nozzle reduction (%):", Setting::kNozzleReduction, &Drift::nozzleReduction, kFigure},
    {"Use Step 3 mass loadings:", Setting::kStep3MassLoadings, &Drift::step3MassLoadings},
    {"Select buffer width:", Setting::kBufferSelected, &Drift::bufferSelected},
    {"Buffer width (m):", Setting::kBufferWidth, &Drift::bufferWidth, kFigure},
    {"Enter mass loadings directly:", Setting::kMassLoadingsEntered, &Drift::massLoadingsEntered},
    // The unit after these is "(mg/m²)" in Latin-1, passed over.
    {"Pond mass loading", Setting::kPondLoading, &Drift::pondLoading, kFigure},
    {"Ditch mass loading", Setting::kDitchLoading, &Drift::ditchLoading, kFigure},
    {"Stream mass loading", Setting::kStreamLoading, &Drift::streamLoading, kFigure},
    {"Spray drift mitigation has been applied to:", Setting::kDriftFile, &Drift::appliedTo},
};

// kLabels[setting] is the label of each setting.
constexpr bool LabelsInSettingOrder() {
  std::size_t i = 0;
  for (const Label& label : kLabels) {
    if (label.setting != static_cast<Setting>(i++)) return false;
  }
  return i == static_cast<std::size_t>(Setting::kCount);
}
static_assert(LabelsInSettingOrder(), "one label per setting, in the order of Setting");

bool IsDriftSetting(Setting setting) {
  return setting >= Setting::kNozzleReduction && setting <= Setting::kStreamLoading;
}

// "Yes" or "No" (any case): 1 or 0; -1 for anything else.
int YesNo(std::string_view value) {
  if (EqualsIgnoringCase(value, "yes")) return 1;
  if (EqualsIgnoringCase(value, "no")) return 0;
  return -1;
}

bool IsFile(const Label& label) {
  return std::holds_alternative<std::vector<std::string> RunOffMitigation::*>(label.target) ||
         std::holds_alternative<std::vector<std::string> SprayDriftMitigation::*>(label.target);
}

class LogReader : public MarkedFileReaderOf<SwanLogReading, SwanLog> {
 public:
  LogReader() : MarkedFileReaderOf("a SWAN log", kLogMarker, &SwanLogReading::log) {}

 private:
  std::size_t LineOf(Setting setting) const { return lineOf_[static_cast<std::size_t>(setting)]; }

  bool TakeLine(std::string_view line) override {
    const std::string_view text = TrimBlanks(line);
    if (text == kLaterBanner) {
      // SWAN run again over the same log: its last run is what the files
      // now hold.
      log_ = SwanLog{std::move(log_.path), {}, {}};
      for (std::size_t& seen : lineOf_) seen = 0;
      return true;
    }
    for (const Label& label : kLabels) {
      if (text.substr(0, label.text.size()) != label.text) continue;
      const std::size_t colon = text.find(':', label.text.size() - 1);
      if (colon == std::string_view::npos) return Fail("no \":\" after \"" + std::string(label.text) + "\"");
      return TakeSetting(label, TrimBlanks(text.substr(colon + 1)));
    }
    return true;
  }

  bool TakeSetting(const Label& label, std::string_view value) {
    const std::string name = std::string(label.text);
    std::size_t& seen = lineOf_[static_cast<std::size_t>(label.setting)];
    if (seen != 0 && !IsFile(label)) {
      return Fail("\"" + name + "\" a second time (first on line " + std::to_string(seen) + ")");
    }
    if (seen == 0) seen = LineNumber();
    if (value.empty()) return Fail("no value after \"" + name + "\"");
    if (label.kind == ValueKind::kFigure && !IsFigure(value)) {
      return Fail("\"" + name + "\" is not followed by a number");
    }
    if (IsDriftSetting(label.setting)) log_.drift.present = true;
    return std::visit([&](auto member) { return Set(member, name, value); }, label.target);
  }

  template <class Mitigation>
  Mitigation& MitigationOf() {
    if constexpr (std::is_same_v<Mitigation, RunOffMitigation>) {
      return log_.runOff;
    } else {
      return log_.drift;
    }
  }

  template <class Mitigation, class Field>
  bool Set(Field Mitigation::*member, const std::string& name, std::string_view value) {
    Field& field = MitigationOf<Mitigation>().*member;
    if constexpr (std::is_same_v<Field, bool>) {
      const int yes = YesNo(value);
      if (yes < 0) return Fail("\"" + name + "\" is followed by neither Yes nor No");
      field = yes == 1;
    } else if constexpr (std::is_same_v<Field, std::string>) {
      field = std::string(value);
    } else {
      if (field.size() >= kMostFiles) return Fail("more than " + std::to_string(kMostFiles) + " files");
      field.emplace_back(value);
    }
    return true;
  }

  // The settings that only make sense together.
  bool TakeEnd() override {
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

  SwanLog& log_ = result();
  std::size_t lineOf_[static_cast<std::size_t>(Setting::kCount)] =
      {};  // first line of each setting, 0 unseen
};

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

SwanLogReading ReadSwanLog(const std::string& path) { return LogReader().FromFile(path); }

SwanLogReading ReadSwanLogText(std::string_view bytes, const std::string& path) {
  return LogReader().FromBytes(bytes, path);
}

std::string RunIdOfFile(std::string_view file) {
  std::string_view name = BaseName(file);
  if (EndsWithIgnoringCase(name, ".txw")) return std::string(name.substr(0, name.size() - 4));
  name = name.substr(0, name.rfind('.'));  // the digits of "p2t" and "m2t" are no run's
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
