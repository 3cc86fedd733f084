#include "runtime/line_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/file_error.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"

namespace quillmere {
namespace {

std::vector<std::string> AllLines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

struct LineEndCase {
  std::string bytes;
  Lines expected;
};

const LineEndCase kLineEndCases[] = {
    {"", {}},
    {"a", {"a"}},
    {"a\n", {"a"}},
    {"a\r\n", {"a"}},
    {"a\r", {"a"}},
    {"a\nb", {"a", "b"}},
    {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
    {"\n", {""}},
    {"\n\n", {"", ""}},
    {"\r\r\r", {"", "", ""}},
    {"\n\r", {"", ""}},  // LF CR is two line ends
    {"a\r\r\nb", {"a", "", "b"}},
    {" \r\n*\r\n", {" ", "*"}},
    {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    {"\xb5g.L-1\n", {"\xb5g.L-1"}},
};

TEST(LineReaderTest, SplitsAtLfCrLfAndLoneCrInMemory) {
  for (const LineEndCase& c : kLineEndCases) {
    LineReader reader{std::string_view(c.bytes)};
    EXPECT_EQ(AllLines(reader), c.expected) << ::testing::PrintToString(c.bytes);
  }
}

TEST(LineReaderTest, SplitsTheSameWayFromAFile) {
  quillmere::testing::ScratchDirectory scratch;
  for (const LineEndCase& c : kLineEndCases) {
    LineReader reader(scratch.Write("report.sum", c.bytes));
    EXPECT_EQ(AllLines(reader), c.expected) << ::testing::PrintToString(c.bytes);
  }
}

TEST(LineReaderTest, KeepsCrLfTogetherAcrossReadBoundaries) {
  // Lines of every length around the reader's buffer size, so that a CR LF
  // pair falls on each side of a boundary somewhere.
  quillmere::testing::ScratchDirectory scratch;
  std::string bytes;
  Lines expected;
  for (std::size_t length = 65520; length < 65545; ++length) {
    expected.push_back(std::string(length % 7 + 1, 'x'));
    bytes += expected.back() + "\r\n";
    expected.push_back(std::string(length, 'y'));
    bytes += expected.back() + "\r\n";
  }
  LineReader reader(scratch.Write("long.sum", bytes));
  EXPECT_EQ(AllLines(reader), expected);
}

TEST(LineReaderTest, ReadsALineLongerThanItsBuffer) {
  quillmere::testing::ScratchDirectory scratch;
  const std::string longLine(1 << 20, 'z');
  LineReader reader(scratch.Write("one-line.sum", "first\r" + longLine));
  EXPECT_EQ(AllLines(reader), (Lines{"first", longLine}));
}

TEST(LineReaderTest, ReadsAFileAsItWasWhenOpened) {
  // Bytes added after the opening are not read: a file that never stops
  // growing cannot hold the reader, nor its memory, without end.
  quillmere::testing::ScratchDirectory scratch;
  const std::string path = scratch.Write("growing.sum", "a\r\nb");
  LineReader reader(path);
  scratch.Write("growing.sum", "a\r\nbcd\r\n" + std::string(300 * 1024, 'g') + "\r\ne");
  EXPECT_EQ(AllLines(reader), (Lines{"a", "b"}));
}

TEST(LineReaderTest, RefusesALineLongerThanTheLongestAllowed) {
  quillmere::testing::ScratchDirectory scratch;
  const std::string atLimit(LineReader::kLongestLine, 'z');
  struct Case {
    std::string what;
    std::string bytes;
    Lines expected;  // empty: refused after these lines
    std::size_t linesBefore;
  } cases[] = {
      {"a line at the limit", "a\n" + atLimit + "\r\nb", {"a", atLimit, "b"}, 0},
      {"a line one byte over, then more", "a\n" + atLimit + "z\nb", {}, 1},
      {"a last line one byte over", atLimit + "z", {}, 0},
  };
  for (const Case& c : cases) {
    for (const bool fromFile : {true, false}) {
      const std::string path = fromFile ? scratch.Write("long.sum", c.bytes) : "";
      std::optional<LineReader> reader;
      if (fromFile) {
        reader.emplace(path);
      } else {
        reader.emplace(std::string_view(c.bytes));
      }
      if (!c.expected.empty()) {
        EXPECT_EQ(AllLines(*reader), c.expected) << c.what;
        continue;
      }
      std::string_view line;
      for (std::size_t i = 0; i < c.linesBefore; ++i) EXPECT_TRUE(reader->ReadLine(line)) << c.what;
      try {
        reader->ReadLine(line);
        ADD_FAILURE() << c.what << (fromFile ? " (file)" : " (memory)") << ": not refused";
      } catch (const LineTooLong& error) {
        EXPECT_EQ(error.path(), path) << c.what;
        EXPECT_EQ(error.reason(), "a line is longer than 1048576 bytes") << c.what;
      }
    }
  }
}

TEST(LineReaderTest, RefusesWhatIsNotAReadablePlainFile) {
  quillmere::testing::ScratchDirectory scratch;
  const std::string missing = scratch / "missing.sum";
  const std::string folder = scratch.MakeFolder("folder.sum");
  struct Case {
    std::string path;
    std::string reason;
  } cases[] = {
      {missing, "cannot open: " + quillmere::testing::MissingFileWords()},
      {folder, "cannot open: not a plain file"},
  };
  for (const Case& c : cases) {
    try {
      LineReader reader(c.path);
      ADD_FAILURE() << c.path << " was opened";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), c.path);
      EXPECT_EQ(error.reason(), c.reason) << c.path;
    }
  }
}

}  // namespace
}  // namespace quillmere
