// Paths as text: joined, split, made normal in the shape of either platform,
// and the link from the workbook to a report.
#include "runtime/path.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(PathTest, JoinsWithOneSeparatorAndSplitsAfterTheLast) {
  const std::string s(1, kPathSeparator);
  const struct {
    std::string folder, name, path;
  } cases[] = {
      {"runs", "Summary.txt", "runs" + s + "Summary.txt"},
      {"runs" + s, "Summary.txt", "runs" + s + "Summary.txt"},
      {s, "run", s + "run"},                            // the root stays one separator
      {"", "run", s + "run"},                           // joined to the root
      {"runs" + s + s, "run", "runs" + s + s + "run"},  // only the join itself is not doubled
      {"runs" + s + "toxswa", "",
       "runs" + s + "toxswa" + s},  // a folder's own path, named for a failed listing
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JoinPath(c.folder, c.name), c.path) << c.folder << " + " << c.name;
    // Split again, the folder keeps the separator the join put there.
    const FolderAndName split = SplitFolderAndName(c.path);
    EXPECT_EQ(split.folder + split.name, c.path);
    EXPECT_EQ(split.name, c.name) << c.path;
  }
  EXPECT_EQ(SplitFolderAndName("Summary.xlsx").folder, "");
  EXPECT_EQ(SplitFolderAndName("Summary.xlsx").name, "Summary.xlsx");
  // "/" parts a folder from a name on Windows too.
  EXPECT_EQ(SplitFolderAndName("runs/a" + s + "b.sum").name, "b.sum");
}

TEST(PathTest, MakesPathsOfBothShapesAbsoluteAndNormal) {
  const struct {
    PathStyle style;
    std::string path;
    std::string current;
    std::string normal;
  } cases[] = {
      {PathStyle::kPosix, "/", "/home", "/"},
      {PathStyle::kPosix, "", "/home/ann", "/home/ann"},
      {PathStyle::kPosix, "../..", "/home/ann/runs", "/home"},
      {PathStyle::kPosix, "/../..//a/./b/", "/", "/a/b"},
      {PathStyle::kPosix, "a\\b", "/x", "/x/a\\b"},
      {PathStyle::kPosix, "run./x ", "/", "/run./x "},  // names kept whole
      {PathStyle::kWindows, "c:/Runs/./x/", "D:\\", "C:\\Runs\\x"},
      {PathStyle::kWindows, "..\\..\\..", "D:\\a\\b", "D:\\"},
      {PathStyle::kWindows, "\\runs", "D:\\a\\b", "D:\\runs"},
      {PathStyle::kWindows, "\\runs", "\\\\srv\\share\\a", "\\\\srv\\share\\runs"},
      {PathStyle::kWindows, "\\\\srv\\share\\a\\..\\..\\..", "C:\\", "\\\\srv\\share\\"},
      {PathStyle::kWindows, "//srv/share/run.", "C:\\", "\\\\srv\\share\\run."},
      {PathStyle::kWindows, "\\\\srv", "C:\\", "\\\\srv\\"},
      {PathStyle::kWindows, "C:", "D:\\a", "C:\\"},
      {PathStyle::kWindows, "C:\\\\a\\\\", "D:\\", "C:\\a"},
      {PathStyle::kWindows, "a", "", "C:\\a"},  // no current directory: the first drive's root
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalPath(c.style, c.path, c.current), c.normal) << c.path << " in " << c.current;
  }
  const PathParts parts = SplitPath(PathStyle::kWindows, "C:\\a\\b\\c", "");
  EXPECT_EQ(JoinParts(PathStyle::kWindows, parts, 0), "C:\\");
  EXPECT_EQ(JoinParts(PathStyle::kWindows, parts, 2), "C:\\a\\b");
}

TEST(PathTest, LinksToAReportByAFileUrlOrRelativeToTheWorkbook) {
  const struct {
    std::string path, url;
  } cases[] = {
      {"/runs/Base-line_1.0~/a.sum", "file:///runs/Base-line_1.0~/a.sum"},
      {"/a b#c%d?e", "file:///a%20b%23c%25d%3Fe"},
      {"/\xc3\xa9\xe9", "file:///%C3%A9%E9"},  // UTF-8 or not, byte by byte
      {"/C:\\x", "file:///C%3A%5Cx"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileUrl(c.path), c.url) << c.path;

  const std::string directory = kNativePathStyle == PathStyle::kPosix ? "/work/runs" : "C:\\runs";
  const std::string report = JoinPath(JoinPath(JoinPath(directory, "Run 1"), "toxswa"), "a.sum");
  const std::string expected = kNativePathStyle == PathStyle::kPosix
                                   ? "file:///work/runs/Run%201/toxswa/a.sum"
                                   : "Run 1\\toxswa\\a.sum";
  EXPECT_EQ(LinkTarget(directory, report), expected);
  EXPECT_EQ(LinkTarget(JoinPath(directory, ""), report), expected);
}

}  // namespace
}  // namespace quillmere
