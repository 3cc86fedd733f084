#include "summary/swash_project_report.h"

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/listing.h"
#include "runtime/path.h"
#include "runtime/text.h"
#include "summary/field_text.h"
#include "summary/marked_file_reader.h"
#include "summary/summary_run.h"

namespace quillmere {

namespace {

constexpr std::string_view kReportMarker = "SWASH report file";
constexpr std::string_view kReportSuffix = "_report.txt";
// More applications than any project holds: a file with more is not a
// project report, and reading on would only take memory.
constexpr std::size_t kMostApplications = 100000;

// A word of a line and where it starts (from 0).
struct Word {
  std::size_t at = 0;
  std::string_view text;
  std::size_t end() const { return at + text.size(); }
};

std::vector<Word> Words(std::string_view line, std::size_t from) {
  std::vector<Word> words;
  std::size_t i = from;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back({start, line.substr(start, i - start)});
  }
  return words;
}

// Columns (from 0) of a label in the column header: [at, end).
struct LabelSpan {
  std::size_t at = 0;
  std::size_t end = 0;
  bool found = false;
  bool Overlaps(const Word& word) const { return found && word.at < end && word.end() > at; }
};

LabelSpan FindLabel(std::string_view header, std::string_view label) {
  const std::size_t at = header.find(label);
  if (at == std::string_view::npos) return {};
  return {at, at + label.size(), true};
}

struct Layout {
  bool withMacroPrzm = false;
  LabelSpan scenario;
  LabelSpan waterBody;
};

bool IsColumnHeader(std::string_view line) { return Contains(line, "-ID") && Contains(line, "Crop"); }

class TableReader : public MarkedFileReaderOf<SwashReading, SwashProjectReport> {
 public:
  TableReader() : MarkedFileReaderOf("a SWASH project report", kReportMarker, &SwashReading::report) {}

 private:
  bool TakeEnd() override {
    return inTable_ || Fail("no table of created runs (no column header with \"-ID\" and \"Crop\")");
  }

  // Takes one line; false when it is not understood.
  bool TakeLine(std::string_view line) override {
    if (!inTable_) {
      if (IsColumnHeader(line)) return TakeHeader(line);
      return true;
    }
    const std::string_view text = TrimBlanks(line);
    if (text.empty() || text.front() != '*') return true;  // the units under the header
    if (text.substr(0, 2) == "**") {
      Stop();
      return true;
    }
    const std::size_t star = line.find('*');
    const std::vector<Word> words = Words(line, star + 1);
    if (words.empty()) return true;  // "*" between runs
    if (words.size() == 4) return TakeContinuation(words);
    return TakeRun(line, words);
  }

  bool TakeHeader(std::string_view line) {
    layout_.withMacroPrzm = Contains(line, "MACRO");
    layout_.scenario = FindLabel(line, "Scenario");
    layout_.waterBody = FindLabel(line, "WaterbodyType");
    if (!layout_.scenario.found) return Fail("the column header has no \"Scenario\"");
    inTable_ = true;
    return true;
  }

  bool TakeApplication(const Word* words, SwashRun& run) {
    if (!IsWholeNumber(words[0].text) || !IsFigure(words[1].text) || !IsFigure(words[2].text) ||
        !IsFigure(words[3].text)) {
      return Fail("no application number, rate, deposition and mass loading at the end");
    }
    if (++applications_ > kMostApplications) {
      return Fail("more than " + std::to_string(kMostApplications) + " applications");
    }
    run.applications.push_back({std::string(words[0].text), std::string(words[1].text),
                                std::string(words[2].text), std::string(words[3].text)});
    return true;
  }

  bool TakeContinuation(const std::vector<Word>& words) {
    if (report_.runs.empty()) return Fail("an application without a run above it");
    return TakeApplication(words.data(), report_.runs.back());
  }

  bool TakeRun(std::string_view line, const std::vector<Word>& words) {
    const std::size_t firstMiddle = layout_.withMacroPrzm ? 2 : 1;
    // ID, [MACRO/PRZM,] crop, scenario, method, window, and four of the
    // application: at least a word each.
    if (words.size() < firstMiddle + 4 + 4) return Fail("not a run: too few fields");
    SwashRun run;
    run.line = LineNumber();
    run.id = std::string(words[0].text);
    if (layout_.withMacroPrzm) run.macroPrzm = std::string(words[1].text);
    const std::size_t lastMiddle = words.size() - 5;
    if (!TakeApplication(&words[lastMiddle + 1], run)) return false;

    const std::size_t middleAt = words[firstMiddle].at;
    const std::string_view middle = line.substr(middleAt, words[lastMiddle].end() - middleAt);
    const std::size_t lastSlash = middle.rfind('/');
    const std::size_t slash = lastSlash == 0 || lastSlash == std::string_view::npos
                                  ? std::string_view::npos
                                  : middle.rfind('/', lastSlash - 1);
    if (slash == std::string_view::npos) return Fail("no window first/last/interval");
    std::size_t windowAt = slash;
    while (windowAt > 0 && IsBlank(middle[windowAt - 1])) --windowAt;
    while (windowAt > 0 && !IsBlank(middle[windowAt - 1])) --windowAt;
    run.window = std::string(TrimBlanks(middle.substr(windowAt)));
    windowAt += middleAt;  // a column of the line from here on

    const Word* scenario = nullptr;
    const Word* waterBody = nullptr;
    for (std::size_t i = firstMiddle + 1; i <= lastMiddle && words[i].at < windowAt; ++i) {
      if (scenario == nullptr) {
        if (layout_.scenario.Overlaps(words[i])) scenario = &words[i];
      } else {
        if (layout_.waterBody.Overlaps(words[i])) waterBody = &words[i];
        break;
      }
    }
    if (scenario == nullptr) return Fail("no scenario under the column header's \"Scenario\"");
    run.crop = std::string(TrimBlanks(line.substr(middleAt, scenario->at - middleAt)));
    run.scenario = std::string(scenario->text);
    if (waterBody != nullptr) run.waterBody = std::string(waterBody->text);
    const std::size_t methodAt = (waterBody != nullptr ? waterBody : scenario)->end();
    run.method = std::string(TrimBlanks(line.substr(methodAt, windowAt - methodAt)));
    if (run.method.empty()) return Fail("no application method before the window");

    const auto [earlier, isNew] = lineOfId_.emplace(RunKey(run.id), run.line);
    if (!isNew) {
      return Fail("run " + run.id + " is listed twice (first on line " + std::to_string(earlier->second) +
                  ")");
    }
    report_.runs.push_back(std::move(run));
    return true;
  }

  SwashProjectReport& report_ = result();
  std::unordered_map<std::string, std::size_t> lineOfId_;  // by RunKey
  Layout layout_;
  std::size_t applications_ = 0;
  bool inTable_ = false;  // past the column header
};

}  // namespace

const SwashRun* SwashProjectReport::Run(std::string_view id) const {
  const std::string key = RunKey(id);
  for (const SwashRun& run : runs) {
    if (RunKey(run.id) == key) return &run;
  }
  return nullptr;
}

bool IsSwashProjectReport(const std::string& path) { return HasMarker(path, kReportMarker); }

std::optional<std::string> FindSwashProjectReport(const std::string& runFolderPath) {
  try {
    for (const ListedEntry& entry : List(runFolderPath)) {
      if (entry.kind != EntryKind::kPlainFile || !EndsWithIgnoringCase(entry.name, kReportSuffix)) continue;
      std::string path = JoinPath(runFolderPath, entry.name);
      if (IsSwashProjectReport(path)) return path;
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

SwashReading ReadSwashProjectReport(const std::string& path) { return TableReader().FromFile(path); }

SwashReading ReadSwashProjectReportText(std::string_view bytes, const std::string& path) {
  return TableReader().FromBytes(bytes, path);
}

std::string CropText(const SwashRun& run) { return run.crop; }

std::string ApplicationText(const SwashRun& run) {
  std::string text = run.method;
  if (!run.applications.empty()) {
    if (!text.empty()) text += ", ";
    text += std::to_string(run.applications.size());
    text += " x ";
    if (run.applications.size() > 1) text += '(';
    for (std::size_t i = 0; i < run.applications.size(); ++i) {
      if (i > 0) text += ", ";
      text += run.applications[i].rate;
    }
    text += " kg/ha";
    if (run.applications.size() > 1) text += ')';
  }
  if (!run.window.empty()) {
    if (!text.empty()) text += ", ";
    text += run.window;
  }
  return text;
}

}  // namespace quillmere
