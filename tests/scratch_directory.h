// A temporary directory for one test, removed with everything in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }

  // `path()` + the path separator + `relative`, in which "/" stands for the
  // separator ("\\" on Windows).
  std::string operator/(std::string_view relative) const;

  // Writes `bytes` to `relative`, creating the folders on the way.
  std::string Write(std::string_view relative, std::string_view bytes) const;

  // Creates the folder `relative` with the folders on the way.
  std::string MakeFolder(std::string_view relative) const;

 private:
  std::string path_;
};

// The bytes of the file at `path`; fails the test when it cannot be read.
std::string ReadFile(const std::string& path);

// Writes two run folders, run1 and run2, of two default reports each, a.sum
// and b.sum; run1's b.sum names a second substance, "MET1".
void WriteSmallTree(const ScratchDirectory& scratch);

// The names of the rows of that tree's table, in order.
const std::vector<std::string>& SmallTreeRows();

}  // namespace quillmere::testing
