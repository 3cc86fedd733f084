#include "runtime/listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/file_error.h"
#include "tests/scratch_directory.h"
#include "tests/system_words.h"

namespace quillmere {
namespace {

TEST(ListingOrderTest, FoldsAsciiCaseAndBreaksTiesByBytes) {
  std::vector<std::string> names{"b", "B", "a", "A10", "a2", "_x", "Z", "\xe4", "a1", "A1"};
  std::sort(names.begin(), names.end(), ListingOrder);
  // "_" (0x5F) comes before every letter once letters are folded to lower case.
  EXPECT_EQ(names, (std::vector<std::string>{"_x", "a", "A1", "a1", "A10", "a2", "B", "b", "Z", "\xe4"}));
}

TEST(ListTest, FailsNamingTheFolderThatCannotBeListed) {
  quillmere::testing::ScratchDirectory scratch;
  const std::string file = scratch.Write("file", "x");
  struct Case {
    std::string folder;
    std::string reason;
  } cases[] = {
      {scratch / "missing", "cannot list: " + quillmere::testing::MissingFolderWords()},
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
