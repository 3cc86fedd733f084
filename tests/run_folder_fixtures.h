// Hand-made files that SWASH and SWAN leave in a run folder, in their layouts.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace quillmere::testing {

struct FixtureApplication {
  std::string number, rate, deposition, massLoading;
};

struct FixtureRun {
  std::string id;
  std::string macroPrzm;  // written by the 3.x layout only
  std::string crop;
  std::string scenario;
  std::string waterBody;  // written by the 3.x layout only
  std::string method;
  std::string window;
  std::vector<FixtureApplication> applications;
};

// A file that a reader of run folder files refuses: what the case is, the
// text, the line its problem names (0 for none), and words the problem holds.
struct RefusedFile {
  std::string name;
  std::string text;
  std::size_t line = 0;
  std::string words;
};

// Checks that `read` (a file's text to its reading) refuses each of `cases`,
// leaving `slot` of the reading empty, at the line its problem names, which
// the problem begins with, in words of its own.
template <class Read, class Slot, std::size_t N>
void ExpectRefused(const RefusedFile (&cases)[N], Read read, Slot slot) {
  for (const RefusedFile& c : cases) {
    SCOPED_TRACE(c.name);
    const auto reading = read(c.text);
    EXPECT_FALSE(reading.*slot);
    EXPECT_EQ(reading.problemLine, c.line) << reading.problem;
    EXPECT_NE(reading.problem.find(c.words), std::string::npos) << reading.problem;
    if (c.line != 0) {
      EXPECT_EQ(reading.problem.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << reading.problem;
    }
  }
}

enum class SwashLayout { kVersion5, kVersion3 };

// A SWASH project report of `runs` in `layout`: its preamble, the table of
// created runs with one line per application and a "*" line after each run,
// and the closing line of stars.
std::string SwashProjectReportText(SwashLayout layout, const std::vector<FixtureRun>& runs,
                                   const std::string& lineEnd = "\r\n");

struct FixtureSwanLog {
  // Run-off: the mode ("" for no run-off section), the lines of its settings
  // as SWAN writes them, and the files it was applied to.
  std::string runOffMode;
  std::vector<std::string> runOffSettings;
  std::vector<std::string> runOffFiles;
  // Spray drift: the lines of its settings ("" for no drift section) and the
  // files it was applied to.
  std::vector<std::string> driftSettings;
  std::vector<std::string> driftFiles;
  std::string lineEnd = "\r\n";
};

// A SWAN log: its banner, the files it loaded, the run-off and drift
// sections, the dry deposition section and what it saved.
std::string SwanLogText(const FixtureSwanLog& log);

// The drift settings of a buffer of `width` m, nozzles reducing by `nozzles`
// %, neither Step 3 nor direct mass loadings.
std::vector<std::string> BufferDrift(const std::string& width, const std::string& nozzles);

}  // namespace quillmere::testing
