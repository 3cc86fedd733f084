// Listing a folder that holds symbolic links, good and broken.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/listing.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

std::vector<std::string> Names(const std::vector<ListedEntry>& entries) {
  std::vector<std::string> names;
  for (const ListedEntry& entry : entries) names.push_back(entry.name);
  return names;
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
  EXPECT_EQ(Names(entries),
            (std::vector<std::string>{"dangling", "link", "loop", "run1", "Run2", "Summary.txt"}));
  const EntryKind kinds[] = {EntryKind::kUnreachable, EntryKind::kFolder, EntryKind::kUnreachable,
                             EntryKind::kFolder,      EntryKind::kFolder, EntryKind::kPlainFile};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].kind, kinds[i]) << entries[i].name;
  }
}

}  // namespace
}  // namespace quillmere
