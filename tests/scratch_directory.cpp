#include "tests/scratch_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "runtime/platform.h"
#include "tests/report_builder.h"

namespace quillmere::testing {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 on every system, as the core takes them.
fs::path AsPath(const std::string& path) {
  const std::u8string text(path.begin(), path.end());
  return fs::path(text);
}

std::string AsText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
  // create_directory fails on a name that exists, so the folder is this
  // test's alone.
  std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("quillmere-test-" + std::to_string(random() % 1000000000));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = AsText(candidate);
      return;
    }
  }
  ADD_FAILURE() << "cannot create a scratch directory";
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  fs::remove_all(AsPath(path_), ignored);
}

std::string ScratchDirectory::operator/(std::string_view relative) const {
  std::string full = path_ + kPathSeparator + std::string(relative);
  std::replace(full.begin() + static_cast<std::ptrdiff_t>(path_.size()), full.end(), '/', kPathSeparator);
  return full;
}

std::string ScratchDirectory::Write(std::string_view relative, std::string_view bytes) const {
  const std::string full = *this / relative;
  fs::create_directories(AsPath(full).parent_path());
  std::ofstream out(AsPath(full), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) ADD_FAILURE() << "cannot write " << full;
  return full;
}

std::string ScratchDirectory::MakeFolder(std::string_view relative) const {
  const std::string full = *this / relative;
  fs::create_directories(AsPath(full));
  return full;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(AsPath(path), std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteSmallTree(const ScratchDirectory& scratch) {
  FixtureReport two;
  two.substances.push_back(FixtureSubstance{.name = "MET1"});
  scratch.Write("run1/toxswa/a.sum", BuildReport({}));
  scratch.Write("run1/toxswa/b.sum", BuildReport(two));
  scratch.Write("run2/toxswa/a.sum", BuildReport({}));
  scratch.Write("run2/toxswa/b.sum", BuildReport({}));
}

const std::vector<std::string>& SmallTreeRows() {
  static const std::vector<std::string> rows{"run1/a.sum", "run1/b.sum", "run1/b.sum", "run2/a.sum",
                                             "run2/b.sum"};
  return rows;
}

}  // namespace quillmere::testing
