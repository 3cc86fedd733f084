// Feeds arbitrary bytes to the report reader as one report, writes what it
// read as table rows, and checks that the line reader hands out the same
// lines from a file as from memory. The same bytes are also put into a
// report in the model's layout, so that most inputs reach the later markers
// instead of ending the report at the first.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/report_templates.h"
#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "runtime/number.h"
#include "runtime/output_file.h"
#include "summary/report_reader.h"
#include "summary/report_record.h"
#include "summary/summary_table.h"

namespace {

using quillmere::FileError;
using quillmere::LineReader;

// The file reader starts with a 64 KiB buffer; a file this long makes it
// refill and move partial lines at least once.
constexpr std::size_t kPastFirstBuffer = 70 * 1024;

std::vector<std::string> AllLines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  return lines;
}

// A line of more than a few hundred bytes never holds a number the reader
// needs, but ToNumber must cope with any slice; ToText must give text that
// reads back as a number.
void CheckNumbers(std::string_view bytes) {
  const quillmere::NumberReading reading = quillmere::ToNumber(bytes);
  if (reading.tooLarge) return;
  const std::string text = quillmere::ToText(reading.value);
  const quillmere::NumberReading again = quillmere::ToNumber(text);
  if (again.tooLarge || (reading.value != 0 && again.value == 0)) {
    std::fprintf(stderr, "ToText gave \"%s\", which does not read back\n", text.c_str());
    std::abort();
  }
}

void CheckFileLinesMatchMemoryLines(std::string_view bytes) {
  std::string content;
  while (content.size() < kPastFirstBuffer) content.append(bytes);
  const int fd = ::memfd_create("report", 0);
  if (fd < 0) return;
  if (::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) {
    ::close(fd);
    return;
  }
  try {
    LineReader fromFile("/proc/self/fd/" + std::to_string(fd));
    LineReader fromMemory{std::string_view(content)};
    if (AllLines(fromFile) != AllLines(fromMemory)) {
      std::fprintf(stderr, "the file and memory readers disagree\n");
      std::abort();
    }
  } catch (const FileError&) {
    // memfd without /proc: nothing to compare.
  }
  ::close(fd);
}

// A temporary file for the table, emptied again by every input (the table is
// written only to a plain file of its own), removed when the fuzzer ends.
// A folder of its own for the table, removed at exit.
const std::string& TableFolder() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/quillmere-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  static const bool removedAtExit = std::atexit([] {
                                      ::unlink((TableFolder() + "/Summary.txt").c_str());
                                      ::rmdir(TableFolder().c_str());
                                    }) == 0;
  (void)removedAtExit;
  return path;
}

// A template report with `bytes` put in: the first byte picks the template,
// the next two the place, the fourth whether the rest replaces as many bytes
// there or is inserted.
std::string PatchedTemplate(std::string_view bytes) {
  if (bytes.size() < 4) return {};
  const std::vector<std::string>& templates = quillmere::fuzzing::ReportTemplates();
  std::string report = templates[static_cast<unsigned char>(bytes[0]) % templates.size()];
  const std::size_t at =
      (static_cast<unsigned char>(bytes[1]) * 256u + static_cast<unsigned char>(bytes[2])) %
      (report.size() + 1);
  const std::string_view patch = bytes.substr(4);
  if (static_cast<unsigned char>(bytes[3]) % 2 == 0) {
    report.replace(at, std::min(patch.size(), report.size() - at), patch);
  } else {
    report.insert(at, patch);
  }
  return report;
}

void ReadAndWrite(std::string_view bytes) {
  quillmere::ReportReader reader;
  // The older layout's watercourses ask the run folder's project report.
  reader.StartRunFolder([](std::string_view runId) {
    return std::string(runId.size() % 2 == 0 ? "focus_ditch" : "focus_stream");
  });
  quillmere::ReportRecord record;
  try {
    LineReader lines(bytes);
    reader.Read(lines, record);
  } catch (const FileError&) {
    // A report the reader refuses; what it read so far is still written.
  }
  record.runFolder = "run";
  record.reportFile = "fuzz.sum";
  {
    const quillmere::Folder folder(TableFolder());
    quillmere::OutputFile table(folder, "Summary.txt", TableFolder() + "/Summary.txt");
    quillmere::SummaryTable writer(table, ",");
    writer.WriteReportRows(record);
    if (table.Close()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadAndWrite(bytes);
  const std::string patched = PatchedTemplate(bytes);
  if (!patched.empty()) ReadAndWrite(patched);

  CheckNumbers(bytes.substr(0, 64));
  for (std::size_t at = bytes.find('\n'); at != std::string_view::npos && at + 1 < bytes.size();
       at = bytes.find('\n', at + 1)) {
    CheckNumbers(bytes.substr(at + 1, 40));
  }

  if (!bytes.empty() && size % 4 == 0) CheckFileLinesMatchMemoryLines(bytes);
  return 0;
}
