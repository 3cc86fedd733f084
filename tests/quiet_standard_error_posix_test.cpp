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

// Descriptor 2 on a file of its own while it lives; Text gives it back and
// says what reached the file.
class StandardErrorInFile {
 public:
  StandardErrorInFile()
      : path_(scratch_ / "stderr.txt"), file_(::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)) {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    EXPECT_TRUE(file_ >= 0 && saved_ >= 0 && ::dup2(file_, STDERR_FILENO) == STDERR_FILENO);
  }
  ~StandardErrorInFile() { Restore(); }
  std::string Text() {
    Restore();
    return testing::ReadFile(path_);
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    ::close(file_);
    saved_ = -1;
  }
  const testing::ScratchDirectory scratch_;
  const std::string path_;
  int file_;
  int saved_ = -1;
};

TEST(QuietStandardErrorTest, KeepsWhatIsWrittenMeanwhileOffStandardErrorAndTheCallersErrno) {
  StandardErrorInFile standardError;

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
  EXPECT_EQ(standardError.Text(), "before\nafter\n");
}

TEST(QuietStandardErrorTest, WithoutDescriptorsToSpareLeavesStandardErrorAsItWasAndTakesNone) {
  StandardErrorInFile standardError;
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
  EXPECT_EQ(standardError.Text(), "none\none\n");
}

}  // namespace
}  // namespace quillmere
