// The table when the system refuses a write part-way: a file-size limit,
// which only POSIX systems offer this way.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "summary/summary_table.h"
#include "tests/scratch_directory.h"

namespace quillmere {
namespace {

using quillmere::testing::ReadFile;
using quillmere::testing::ScratchDirectory;

// Writes the header to `path` allowed files of 10 bytes at most; prints the
// failure and the file's size, and exits 0 when the write failed.
[[noreturn]] void WriteHeaderUnderASizeLimit(const std::string& folderPath) {
  const std::string path = folderPath + "/Summary.txt";
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlim_t normal = limit.rlim_cur;
  limit.rlim_cur = 10;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const Folder folder(folderPath);
  OutputFile file(folder, "Summary.txt", path);
  SummaryTable table(file);
  table.WriteHeader();
  const std::optional<FileError> failure = file.Close();
  limit.rlim_cur = normal;  // for the message to reach the test
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::fprintf(stderr, "%s\n%zu\n", failure ? failure->what() : "no failure", ReadFile(path).size());
  std::_Exit(failure ? 0 : 1);
}

TEST(SummaryTableDeathTest, ReportsAWriteThatFails) {
  ScratchDirectory scratch;
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The header went out in part, and the file is cut back to no line at all.
  EXPECT_EXIT(WriteHeaderUnderASizeLimit(scratch.path()), ::testing::ExitedWithCode(0),
              "/Summary.txt: cannot write: File too large\n0\n");
}

}  // namespace
}  // namespace quillmere
