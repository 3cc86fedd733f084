// Reading a report that a pipe has replaced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

TEST(LineReaderTest, RefusesAPipeWithoutBlocking) {
  quillmere::testing::ScratchDirectory scratch;
  const std::string pipe = scratch / "pipe.sum";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  try {
    LineReader reader(pipe);
    ADD_FAILURE() << pipe << " was opened";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), pipe);
    EXPECT_EQ(error.reason(), "cannot open: not a plain file");
  }
}

}  // namespace
}  // namespace quillmere
