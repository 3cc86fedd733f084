#include "summary/marked_file_reader.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/line_reader.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

struct Lines {
  std::string path;
  std::vector<std::string> lines;  // after the marker's
};

struct LinesReading : ReadingProblem {
  std::optional<Lines> lines;
};

// Keeps every line; "stop" ends the reading, "bad" is not understood,
// "throw" runs out of memory, and a file of no line after the marker is not
// understood as a whole.
class LinesReader : public MarkedFileReaderOf<LinesReading, Lines> {
 public:
  LinesReader() : MarkedFileReaderOf("a file of lines", "LINES", &LinesReading::lines) {}

 private:
  bool TakeLine(std::string_view line) override {
    if (line == "stop") Stop();
    if (line == "bad") return Fail("bad line");
    if (line == "throw") throw std::bad_alloc();
    result().lines.emplace_back(line);
    return true;
  }
  bool TakeEnd() override { return !result().lines.empty() || Fail(1, "nothing after the marker"); }
};

TEST(MarkedFileReaderTest, PassesOnTheLinesAfterTheMarkerOrSaysWhyNot) {
  struct Case {
    std::string name, text;
    std::vector<std::string> lines;  // when understood
    std::size_t line;
    std::string problem;
  };
  const std::string nine(9, '\n');
  const Case cases[] = {
      {"marker first", "LINES\na\nb\n", {"a", "b"}, 0, ""},
      {"marker on the tenth line", nine + "the LINES\na", {"a"}, 0, ""},
      {"marker on the eleventh line",
       nine + "\nLINES\na",
       {},
       10,
       "line 10: not a file of lines: no \"LINES\" in its first lines"},
      {"no marker in a short file",
       "a\nb",
       {},
       2,
       "line 2: not a file of lines: no \"LINES\" in its first lines"},
      {"empty", "", {}, 0, "the file is empty"},
      {"stopped", "LINES\na\nstop\nbad\n", {"a", "stop"}, 0, ""},
      {"a line not understood", "LINES\na\nbad\nb\n", {}, 3, "line 3: bad line"},
      {"not understood as a whole", "LINES\n", {}, 1, "line 1: nothing after the marker"},
      {"out of memory", "LINES\nthrow\n", {}, 0, "not enough memory"},
  };
  for (const Case& c : cases) {
    const LinesReading reading = LinesReader().FromBytes(c.text, "memory");
    EXPECT_EQ(reading.problem, c.problem) << c.name;
    EXPECT_EQ(reading.problemLine, c.line) << c.name;
    ASSERT_EQ(reading.lines.has_value(), c.problem.empty()) << c.name;
    if (reading.lines) {
      EXPECT_EQ(reading.lines->lines, c.lines) << c.name;
      EXPECT_EQ(reading.lines->path, "memory") << c.name;
    }
  }
}

TEST(MarkedFileReaderTest, ReadsAFileAndGivesTheReasonOneCannotBeRead) {
  const testing::ScratchDirectory scratch;
  const std::string good = scratch.Write("good.txt", "LINES\r\na\r\n");
  const LinesReading reading = LinesReader().FromFile(good);
  ASSERT_TRUE(reading.lines) << reading.problem;
  EXPECT_EQ(reading.lines->path, good);
  EXPECT_EQ(reading.lines->lines, std::vector<std::string>{"a"});

  const std::string longLine =
      scratch.Write("long.txt", "LINES\n" + std::string(LineReader::kLongestLine + 1, 'x'));
  for (const std::string& path : {scratch / "absent.txt", scratch.path(), longLine}) {
    const LinesReading failed = LinesReader().FromFile(path);
    EXPECT_FALSE(failed.lines) << path;
    EXPECT_FALSE(failed.problem.empty()) << path;
    EXPECT_EQ(failed.problemLine, 0u) << path;
  }
}

TEST(MarkedFileReaderTest, FindsTheMarkerOnlyInTheFirstTenLinesOfAPlainFile) {
  const testing::ScratchDirectory scratch;
  EXPECT_TRUE(HasMarker(scratch.Write("tenth.txt", std::string(9, '\n') + "LINES"), "LINES"));
  EXPECT_FALSE(HasMarker(scratch.Write("eleventh.txt", std::string(10, '\n') + "LINES"), "LINES"));
  EXPECT_FALSE(HasMarker(scratch / "absent.txt", "LINES"));
  EXPECT_FALSE(HasMarker(scratch.path(), "LINES"));
}

}  // namespace
}  // namespace quillmere
