// Paths as text: joined, split into a folder and a name, cut into their
// parts and put together again in the shape of either platform (so that
// both shapes are handled, and tested, everywhere), and the link from the
// workbook to a report. Nothing here asks the file system, except
// LinkTarget for the current folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform.h"

namespace quillmere {

// `name` in `folder`, with one separator between them: a separator the user
// typed at the end of the folder ("runs/", "D:\", "/") is not doubled. An
// empty folder gives "/name" on POSIX systems and "\name" on Windows, as a
// path joined to the root.
std::string JoinPath(std::string_view folder, std::string_view name);

// A path cut before its last name.
struct FolderAndName {
  std::string folder;  // with its separator at the end ("runs/", "/"); empty for a bare name
  std::string name;    // the last name, empty when the path ends in a separator
};

// `path` cut after its last separator (kPathSeparators): "runs/a.sum" gives
// "runs/" and "a.sum", "a.sum" gives "" and "a.sum".
FolderAndName SplitFolderAndName(std::string_view path);

enum class PathStyle {
  kPosix,    // "/" roots every path and separates its parts
  kWindows,  // "C:\" or "\\server\share\" roots a path; "\" or "/" separate, "\" is written
};

// The shape of this system's paths.
inline constexpr PathStyle kNativePathStyle =
    kPathSeparator == '\\' ? PathStyle::kWindows : PathStyle::kPosix;

// An absolute path cut at its separators.
struct PathParts {
  std::string root;                // "/", "C:\" or "\\server\share\"
  std::vector<std::string> names;  // the folders below the root, top down
};

// The absolute, lexically normal form of `path`: a relative path is taken
// from `currentDirectory` (itself absolute), "." and empty parts are dropped,
// ".." removes the name before it (by name, not by following links) and stops
// at the root. A Windows path without a drive ("\runs") takes the drive of
// `currentDirectory`, and a drive letter is written in upper case. Names are
// kept whole, a trailing dot or space included.
PathParts SplitPath(PathStyle style, std::string_view path, std::string_view currentDirectory);

// The path of the root and its first `depth` names (all of them when `depth`
// is larger), without a separator at the end unless it is the root.
std::string JoinParts(PathStyle style, const PathParts& parts, std::size_t depth = std::string::npos);

// JoinParts of SplitPath: the absolute, normal form of `path`.
std::string NormalPath(PathStyle style, std::string_view path, std::string_view currentDirectory);

// The link from the workbook in `directory` to the report at `reportPath`
// (a path in `directory`), as Excel's HYPERLINK takes it: on POSIX systems a
// file: URL of the absolute path, every byte but letters, digits and "/-._~"
// percent-encoded; on Windows the path relative to the directory, so that it
// keeps working when the directory is moved or copied whole. Empty when it
// cannot be made. One source per system (path_posix.cpp, path_windows.cpp).
std::string LinkTarget(std::string_view directory, std::string_view reportPath);

// `absolutePath` as a file: URL, every byte but ASCII letters, digits and
// "/-._~" percent-encoded.
std::string FileUrl(std::string_view absolutePath);

}  // namespace quillmere
