#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "runtime/quiet_standard_error.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

TEST(QuietStandardErrorTest, KeepsWhatIsWrittenMeanwhileOffStandardErrorAndTheCallersErrno) {
  const testing::ScratchDirectory scratch;
  const std::string path = scratch / "stderr.txt";
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  ASSERT_GE(saved, 0);
  ASSERT_EQ(::dup2(file, STDERR_FILENO), STDERR_FILENO);

  // Buffered, so that only the flush before the move lets it through.
  std::setvbuf(stderr, nullptr, _IOFBF, BUFSIZ);
  std::fputs("before\n", stderr);
  errno = ERANGE;
  {
    const QuietStandardError quiet;
    EXPECT_EQ(errno, ERANGE);
    // Through the C library, left in its buffer, and to the descriptor.
    std::fputs("buffered meanwhile\n", stderr);
    ASSERT_EQ(::write(STDERR_FILENO, "meanwhile\n", 10), 10);
    errno = EDOM;
  }
  EXPECT_EQ(errno, EDOM);
  std::fputs("after\n", stderr);
  std::fflush(stderr);

  std::setvbuf(stderr, nullptr, _IONBF, 0);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(file);
  EXPECT_EQ(testing::ReadFile(path), "before\nafter\n");
}

}  // namespace
}  // namespace quillmere
