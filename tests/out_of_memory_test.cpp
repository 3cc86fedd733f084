// Memory running out at any one allocation of a run, each in turn. This test
// program has a global operator new of its own, and puts a System in place
// of the runtime's for the blocks the runtime takes through it (a report's
// line buffer, the texts kept of it); both refuse the Nth allocation while
// they are armed, which they are only around the program's run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "runtime/system.h"
#include "tests/report_builder.h"
#include "tests/scratch_directory.h"
#include "tests/table_text.h"

namespace {

// Allocations still granted before one is refused, or -1 when not armed.
std::atomic<long> allocationsLeft{-1};
std::atomic<bool> refused{false};

// Whether this allocation is granted; the one refused disarms.
bool Granted() {
  long left = allocationsLeft.load();
  while (left >= 0) {
    if (allocationsLeft.compare_exchange_weak(left, left > 0 ? left - 1 : -1)) {
      if (left > 0) return true;
      refused = true;
      return false;
    }
  }
  return true;
}

void* Allocate(std::size_t size) {
  if (!Granted()) return nullptr;
  return std::malloc(size != 0 ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace quillmere {
namespace {

using quillmere::testing::ReadFile;
using quillmere::testing::RowNames;
using quillmere::testing::ScratchDirectory;
using quillmere::testing::SmallTreeRows;
using quillmere::testing::WriteSmallTree;

// The runtime's blocks, refused as operator new refuses.
class RefusingSystem : public SystemWrapper {
 public:
  RefusingSystem() : SystemWrapper(PlatformSystem()), previous_(UseSystem(this)) {}
  ~RefusingSystem() override { UseSystem(previous_); }
  RefusingSystem(const RefusingSystem&) = delete;
  RefusingSystem& operator=(const RefusingSystem&) = delete;
  void* Allocate(void* block, std::size_t size) override {
    return Granted() ? SystemWrapper::Allocate(block, size) : nullptr;
  }

 private:
  System* previous_;
};

// What is written to it, in room taken before the run, so that writing
// takes no memory while allocations are refused.
class ReservedText : public std::streambuf {
 public:
  ReservedText() { text_.reserve(1 << 20); }
  const std::string& text() const { return text_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (text_.size() == text_.capacity()) return traits_type::eof();
    text_.push_back(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    const auto size = static_cast<std::size_t>(count);
    if (text_.capacity() - text_.size() < size) return 0;
    text_.append(bytes, size);
    return count;
  }

 private:
  std::string text_;
};

struct RefusedRun {
  int status = 0;
  std::string err;
  bool refused = false;  // the Nth allocation came, and was refused
};

// quillmere-summary -- DIR (or `arguments`), as its main runs it, with the
// `nth` allocation refused: the first is the copy of the arguments.
RefusedRun RunRefusing(const std::vector<std::string>& arguments, long nth);
RefusedRun RunRefusing(const std::string& directory, long nth) { return RunRefusing({"--", directory}, nth); }
RefusedRun RunRefusing(const std::vector<std::string>& arguments, long nth) {
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  ReservedText outText;
  ReservedText errText;
  std::ostream out(&outText);
  std::ostream err(&errText);
  RefusingSystem system;
  RefusedRun run;
  refused = false;
  allocationsLeft = nth - 1;
  run.status = RunProgram(
      [&argv] {
        std::vector<std::string> copied;
        for (const char* argument : argv) copied.emplace_back(argument);
        return copied;
      },
      out, err);
  allocationsLeft = -1;
  run.refused = refused;
  run.err = errText.text();
  return run;
}

TEST(OutOfMemoryTest, AnyAllocationThatFailsDuringTheRunEndsItCleanly) {
  // Whatever was being done (listing, reading, writing a row), the run ends
  // by itself and the table keeps whole lines only, the rows of the reports
  // before. Before the run starts, the directory or the table is named. A
  // failure while a folder is listed or a report read or written names it;
  // one outside the work on any file (the arguments, the table's buffer, a
  // path being joined, the closing line) ends with the program's own
  // message.
  ScratchDirectory scratch;
  WriteSmallTree(scratch);
  const std::vector<std::string>& allRows = SmallTreeRows();
  const std::string table = scratch / "Summary.txt";
  const std::string catchAll = "quillmere-summary: not enough memory\n";
  const std::string problem = "Problem with file " + scratch.path();
  const std::string reasonStart = "\nquillmere-summary: ";
  int failures = 0;
  std::vector<std::string> reasons;
  long nth = 1;
  for (; nth < 100'000; ++nth) {
    std::filesystem::remove(table);
    const RefusedRun run = RunRefusing(scratch.path(), nth);
    if (!run.refused) {
      EXPECT_EQ(run.status, kExitWritten) << run.err;
      break;
    }
    // Memory running out before the table is made leaves none.
    const std::vector<std::string> names =
        std::filesystem::exists(table) ? RowNames(ReadFile(table)) : std::vector<std::string>{};
    ASSERT_LE(names.size(), allRows.size()) << nth;
    EXPECT_EQ(names, std::vector<std::string>(allRows.begin(), allRows.begin() + names.size())) << nth;
    EXPECT_FALSE(std::filesystem::exists(scratch / ".Summary.txt.partial")) << nth;
    if (run.status == kExitWritten) continue;  // the run did without that block
    ++failures;
    if (run.status == kExitNotStarted) {
      // Before the run started: the directory or the table named, in one
      // line, and no table.
      EXPECT_TRUE(run.err.starts_with("quillmere-summary: " + scratch.path())) << nth << ": " << run.err;
      EXPECT_TRUE(run.err.ends_with(": not enough memory\n")) << nth << ": " << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << nth << ": " << run.err;
      EXPECT_FALSE(std::filesystem::exists(table)) << nth;
      continue;
    }
    ASSERT_EQ(run.status, kExitRunFailed) << nth << ": " << run.err;
    // Memory running out before the run, for the arguments, is the
    // program's to report.
    if (nth == 1) {
      EXPECT_EQ(run.err, catchAll);
    }
    if (run.err == catchAll) continue;
    ASSERT_TRUE(run.err.starts_with(problem)) << nth << ": " << run.err;
    // The reason, then what the table keeps.
    const std::size_t reason = run.err.find(reasonStart) + reasonStart.size();
    const std::size_t keeps = run.err.find('\n', reason) + 1;
    reasons.push_back(run.err.substr(reason, keeps - reason));
    EXPECT_EQ(run.err.substr(keeps), quillmere::testing::KeepsLine(table)) << nth;
  }
  EXPECT_LT(nth, 100'000);
  EXPECT_GT(failures, 20);
  for (const std::string reason : {"cannot list: not enough memory\n", "not enough memory to read it\n",
                                   "not enough memory to write its rows\n", "cannot read: out of memory\n"}) {
    EXPECT_NE(std::find(reasons.begin(), reasons.end(), reason), reasons.end()) << reason;
  }
}

// A workbook written whole: a zip archive that ends in its directory's
// closing record.
bool IsWholeWorkbook(const std::string& bytes) {
  return bytes.starts_with("PK\x03\x04") && bytes.size() > 22 &&
         bytes.compare(bytes.size() - 22, 4, "PK\x05\x06") == 0;
}

TEST(OutOfMemoryTest, AnyAllocationThatFailsForTheWorkbookLeavesItOldOrWhole) {
  // Memory running out for the workbook, on the run's side or on the
  // thread that writes its rows beside the run, fails the workbook, which
  // leaves the previous one, or is met by writing the rows at the end; the
  // table keeps whole lines either way.
  ScratchDirectory scratch;
  quillmere::testing::FixtureReport two;
  two.substances.push_back(quillmere::testing::FixtureSubstance{.name = "MET1"});
  scratch.Write("run1/toxswa/a.sum", quillmere::testing::BuildReport(two));
  scratch.Write("run2/toxswa/a.sum", quillmere::testing::BuildReport({}));
  const std::string table = scratch / "Summary.txt";
  const std::string workbook = scratch / "Summary.xlsx";
  const std::string previous = "the previous workbook";
  const std::vector<std::string> allRows{"run1/a.sum", "run1/a.sum", "run2/a.sum"};
  int written = 0;
  int failed = 0;
  long nth = 1;
  for (; nth < 100'000; ++nth) {
    std::filesystem::remove(table);
    scratch.Write("Summary.xlsx", previous);
    const RefusedRun run = RunRefusing({"--workbook", scratch.path()}, nth);
    if (!run.refused) {
      EXPECT_EQ(run.status, kExitWritten) << run.err;
      break;
    }
    const std::string book = ReadFile(workbook);
    EXPECT_TRUE(book == previous || IsWholeWorkbook(book)) << nth;
    EXPECT_FALSE(std::filesystem::exists(scratch / ".Summary.xlsx.partial")) << nth;
    const std::vector<std::string> names =
        std::filesystem::exists(table) ? RowNames(ReadFile(table)) : std::vector<std::string>{};
    ASSERT_LE(names.size(), allRows.size()) << nth;
    EXPECT_EQ(names, std::vector<std::string>(allRows.begin(), allRows.begin() + names.size())) << nth;
    if (run.status == kExitWritten) {
      // Said to be written: it is the new one, with every row.
      EXPECT_TRUE(IsWholeWorkbook(book)) << nth << ": " << run.err;
      EXPECT_EQ(names, allRows) << nth;
      ++written;
    } else {
      ++failed;
      EXPECT_TRUE(run.status == kExitRunFailed || run.status == kExitNotStarted) << nth << ": " << run.err;
      EXPECT_NE(run.err, "") << nth;
    }
  }
  EXPECT_LT(nth, 100'000);
  EXPECT_GT(failed, 20);
  EXPECT_GT(written, 0) << "some blocks the workbook can do without";
}

}  // namespace
}  // namespace quillmere
