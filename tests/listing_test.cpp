#include "runtime/listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/file_error.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

std::vector<std::string> Names(const std::vector<ListedEntry>& entries) {
  std::vector<std::string> names;
  for (const ListedEntry& entry : entries) names.push_back(entry.name);
  return names;
}

TEST(ListingOrderTest, FoldsAsciiCaseAndBreaksTiesByBytes) {
  std::vector<std::string> names{"b", "B", "a", "A10", "a2", "_x", "Z", "\xe4", "a1", "A1"};
  std::sort(names.begin(), names.end(), ListingOrder);
  // "_" (0x5F) comes before every letter once letters are folded to lower case.
  EXPECT_EQ(names, (std::vector<std::string>{"_x", "a", "A1", "a1", "A10", "a2", "B", "b", "Z", "\xe4"}));
}

TEST(ListTest, SortsSkipsHiddenEntriesAndTellsKinds) {
  quillmere::testing::ScratchDirectory scratch;
  scratch.MakeFolder("Run2");
  scratch.MakeFolder("run1");
  scratch.MakeFolder(".hidden");
  scratch.Write(".hidden.sum", "");
  scratch.Write("Summary.txt", "");
  ASSERT_EQ(::symlink("run1", (scratch / "link").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (scratch / "dangling").c_str()), 0);
  ASSERT_EQ(::symlink("loop", (scratch / "loop").c_str()), 0);

  const std::vector<ListedEntry> entries = List(scratch.path());
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"dangling", "link", "loop", "run1", "Run2", "Summary.txt"}));
  const EntryKind kinds[] = {EntryKind::kUnreachable, EntryKind::kFolder, EntryKind::kUnreachable,
                             EntryKind::kFolder,      EntryKind::kFolder, EntryKind::kPlainFile};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].kind, kinds[i]) << entries[i].name;
  }
}

TEST(ListTest, FailsNamingTheFolderThatCannotBeListed) {
  quillmere::testing::ScratchDirectory scratch;
  const std::string file = scratch.Write("file", "x");
  struct Case {
    std::string folder;
    std::string reason;
  } cases[] = {
      {scratch / "missing", "cannot list: No such file or directory"},
      {file, "cannot list: Not a directory"},
  };
  for (const Case& c : cases) {
    try {
      List(c.folder);
      ADD_FAILURE() << c.folder << " was listed";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), c.folder);
      EXPECT_EQ(error.reason(), c.reason);
    }
  }
}

}  // namespace
}  // namespace quillmere
