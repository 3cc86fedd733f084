// Builds a small tree of run folders, report folders and reports of both
// layouts, and SWASH project reports beside them, from the input in a
// temporary folder and runs the whole summary over it. Whatever the
// tree holds (odd names, links that lead nowhere or in a loop, files where
// folders belong, a Summary.txt that is a folder, a link or a pipe, reports
// cut short or with bytes put in), the run must not throw, the table must end
// at a whole line holding the rows the outcome counts, and a failure must
// name a path inside the tree.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/report_templates.h"
#include "summary/summary_run.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Finding(const std::string& what) {
  std::fprintf(stderr, "summary_run_fuzzer: %s\n", what.c_str());
  std::abort();
}

// A folder for the trees, made once; on a memory file system when there is
// one, since every input builds and removes a tree.
const std::string& BaseFolder() {
  // Made on the heap and never freed, so that it outlives the static objects
  // when the folder is removed at exit.
  static const std::string* base = [] {
    std::error_code error;
    const fs::path parent =
        fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (parent / "quillmere-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) Finding("cannot make a temporary folder");
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(BaseFolder(), ignored);
    });
    return new std::string(pattern);
  }();
  return *base;
}

std::string PickName(FuzzedDataProvider& input, std::vector<std::string> common) {
  common.insert(common.end(), {"-dash", "a\tb", "line\nbreak", "cr\rname", ".hidden", "\xff\xfe\x01", " ",
                               "Summary.txt", "x.sum", "X.SUM", std::string(200, 'n'), "esc\x1b[31m"});
  const std::size_t choice = input.ConsumeIntegralInRange<std::size_t>(0, common.size());
  if (choice < common.size()) return common[choice];
  std::string name = input.ConsumeRandomLengthString(40);
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "x";
  return name;
}

std::string ReportBytes(FuzzedDataProvider& input) {
  const std::vector<std::string>& templates = quillmere::fuzzing::ReportTemplates();
  const std::size_t choice = input.ConsumeIntegralInRange<std::size_t>(0, templates.size());
  if (choice == templates.size()) return input.ConsumeRandomLengthString(4096);
  std::string bytes = templates[choice];
  switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
      break;
    case 1:  // cut short
      bytes.resize(input.ConsumeIntegralInRange<std::size_t>(0, bytes.size()));
      break;
    case 2: {  // bytes put in
      const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, bytes.size());
      bytes.insert(at, input.ConsumeRandomLengthString(64));
      break;
    }
    default: {  // bytes overwritten
      const std::string patch = input.ConsumeRandomLengthString(32);
      const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, bytes.size());
      bytes.replace(at, std::min(patch.size(), bytes.size() - at), patch);
      break;
    }
  }
  return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Link(const std::string& target, const fs::path& at) {
  std::error_code ignored;
  fs::create_symlink(target, at, ignored);
}

// An entry named `at` of the kind the input picks: a folder (filled by
// `fill`), a plain file, a link to `linkTarget`, a link that leads nowhere,
// a link to itself, or a named pipe.
template <typename Fill>
void MakeEntry(FuzzedDataProvider& input, const fs::path& at, const std::string& linkTarget, Fill fill) {
  std::error_code error;
  if (fs::symlink_status(at, error).type() != fs::file_type::not_found) return;  // a name used twice
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
    case 1:
      if (fs::create_directory(at, error)) fill(at);
      break;
    case 2:
      WriteFile(at, ReportBytes(input));
      break;
    case 3:
      Link(linkTarget.empty() ? std::string("nowhere") : linkTarget, at);
      break;
    case 4:
      Link(at.filename().string(), at);
      break;
    default:
      ::mkfifo(at.c_str(), 0600);
      break;
  }
}

void BuildTree(FuzzedDataProvider& input, const fs::path& root) {
  std::string lastRun;
  const int runs = input.ConsumeIntegralInRange(0, 4);
  for (int r = 0; r < runs; ++r) {
    const std::string runName = PickName(input, {"run", "Run2", "toxswa"});
    MakeEntry(input, root / runName, lastRun, [&](const fs::path& run) {
      // The SWASH project report the older layout's watercourses are
      // labelled by: absent, whole, cut short, or with bytes put in.
      if (const int project = input.ConsumeIntegralInRange(0, 3); project > 0) {
        std::string bytes = quillmere::fuzzing::OlderProjectReportTemplate();
        if (project == 2) bytes.resize(input.ConsumeIntegralInRange<std::size_t>(0, bytes.size()));
        if (project == 3) {
          bytes.insert(input.ConsumeIntegralInRange<std::size_t>(0, bytes.size()),
                       input.ConsumeRandomLengthString(32));
        }
        WriteFile(run / "fuzz_report.txt", bytes);
      }
      std::string lastFolder;
      const int folders = input.ConsumeIntegralInRange(0, 2);
      for (int f = 0; f < folders; ++f) {
        const std::string folderName = PickName(input, {"toxswa", "TOXSWA", "ToxSwa", "toxswa2"});
        MakeEntry(
            input, run / folderName, lastFolder.empty() ? "" : "../" + lastFolder,
            [&](const fs::path& folder) {
              std::string lastReport;
              const int reports = input.ConsumeIntegralInRange(0, 4);
              for (int p = 0; p < reports; ++p) {
                std::string reportName = PickName(input, {"a.sum", "B.SUM", "c.Sum", "d.txt"});
                if (input.ConsumeBool()) reportName += ".sum";
                if (input.ConsumeBool()) {
                  std::error_code error;
                  if (fs::symlink_status(folder / reportName, error).type() == fs::file_type::not_found) {
                    WriteFile(folder / reportName, ReportBytes(input));
                  }
                } else {
                  MakeEntry(input, folder / reportName, lastReport, [](const fs::path&) {});
                }
                lastReport = reportName;
              }
            });
        lastFolder = folderName;
      }
    });
    lastRun = runName;
  }
  // Summary.txt itself: absent, a plain file, a folder, a link to a file of
  // the tree, a link that leads nowhere, or a pipe.
  const fs::path table = root / "Summary.txt";
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 1:
      WriteFile(table, "old table\r\n");
      break;
    case 2: {
      std::error_code ignored;
      fs::create_directory(table, ignored);
      break;
    }
    case 3:
      WriteFile(root / "kept.txt", "someone's file\n");
      Link("kept.txt", table);
      break;
    case 4:
      Link("nowhere.txt", table);
      break;
    case 5:
      ::mkfifo(table.c_str(), 0600);
      break;
    default:
      break;
  }
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Inside(const std::string& path, const std::string& root) {
  return path.size() > root.size() && path.compare(0, root.size() + 1, root + "/") == 0;
}

void CheckOutcome(const quillmere::SummaryOutcome& outcome, const std::string& root) {
  using quillmere::RunStatus;
  if (outcome.status != RunStatus::kWritten) {
    if (!Inside(outcome.failedPath, root))
      Finding("the failure names \"" + outcome.failedPath + "\", outside the tree");
    if (outcome.reason.empty()) Finding("a failure without a reason");
  }
  if (outcome.status == RunStatus::kReportFailure &&
      outcome.message != quillmere::ReportFailureMessage(outcome.failedPath)) {
    Finding("a report failure with the message \"" + outcome.message + "\"");
  }
  if (outcome.status == RunStatus::kNotStarted) return;

  struct stat status {};
  if (::stat(outcome.tablePath.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    Finding("the run started but " + outcome.tablePath + " is no plain file");
  }
  const std::string table = ReadAll(outcome.tablePath);
  if (outcome.status == RunStatus::kWriteFailure && table.empty()) return;
  if (table.size() < 2 || table.compare(table.size() - 2, 2, "\r\n") != 0)
    Finding("the table ends inside a line");
  if (table.compare(0, 3, "ID\t") != 0) Finding("the table does not start with its header");
  // Rows end in CR LF; names in them hold no CR or LF.
  std::size_t lines = 0;
  for (std::size_t at = table.find('\n'); at != std::string::npos; at = table.find('\n', at + 1)) {
    if (at == 0 || table[at - 1] != '\r') Finding("a line of the table ends without CR LF");
    ++lines;
  }
  if (lines != outcome.rows + 1) {
    Finding("the table holds " + std::to_string(lines) + " lines, the outcome counts " +
            std::to_string(outcome.rows) + " rows");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const fs::path root = fs::path(BaseFolder()) / "tree";
  std::error_code error;
  fs::remove_all(root, error);
  if (!fs::create_directory(root, error)) Finding("cannot make " + root.string());

  BuildTree(input, root);
  quillmere::SummaryOptions options;
  options.decimalSeparator = input.ConsumeBool() ? "," : ".";
  const quillmere::SummaryOutcome outcome = quillmere::SummaryRun(root.string(), options);
  CheckOutcome(outcome, root.string());
  fs::remove_all(root, error);
  return 0;
}
