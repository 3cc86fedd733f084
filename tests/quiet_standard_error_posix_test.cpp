#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
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

TEST(QuietStandardErrorTest, WithoutDescriptorsToSpareLeavesStandardErrorAsItWasAndTakesNone) {
  const testing::ScratchDirectory scratch;
  const std::string path = scratch / "stderr.txt";
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  ASSERT_GE(saved, 0);
  ASSERT_EQ(::dup2(file, STDERR_FILENO), STDERR_FILENO);
  // Every descriptor below the lowest free one is in use; a limit there
  // leaves none for the null device, one above it none for the copy of 2.
  const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(lowestFree, 0);
  ::close(lowestFree);
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
  for (const int spare : {0, 1}) {
    rlimit low = before;
    low.rlim_cur = static_cast<rlim_t>(lowestFree + spare);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    {
      const QuietStandardError quiet;
      EXPECT_EQ(::write(STDERR_FILENO, spare == 0 ? "none\n" : "one\n", spare == 0 ? 5 : 4),
                spare == 0 ? 5 : 4);
    }
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &before), 0);
    const int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(next, lowestFree) << "a descriptor was left open";
    ::close(next);
  }
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(file);
  EXPECT_EQ(testing::ReadFile(path), "none\none\n");
}

}  // namespace
}  // namespace quillmere
