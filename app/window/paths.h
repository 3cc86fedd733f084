// Folder paths as the directory and drive lists handle them: made absolute,
// cut into their parts and put together again, in the shape of either
// platform, so that both shapes are handled (and tested) everywhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

enum class PathStyle {
  kPosix,    // "/" roots every path and separates its parts
  kWindows,  // "C:\" or "\\server\share\" roots a path; "\" or "/" separate, "\" is written
};

// The shape of this system's paths.
inline constexpr PathStyle kNativePathStyle =
    std::filesystem::path::preferred_separator == '\\' ? PathStyle::kWindows : PathStyle::kPosix;

// An absolute path cut at its separators.
struct PathParts {
  std::string root;                // "/", "C:\" or "\\server\share\"
  std::vector<std::string> names;  // the folders below the root, top down
};

// The absolute, lexically normal form of `path`: a relative path is taken
// from `currentDirectory` (itself absolute), "." and empty parts are dropped,
// ".." removes the name before it (by name, not by following links) and stops
// at the root. A Windows path without a drive ("\runs") takes the drive of
// `currentDirectory`, and a drive letter is written in upper case.
PathParts SplitPath(PathStyle style, std::string_view path, std::string_view currentDirectory);

// The path of the root and its first `depth` names (all of them when `depth`
// is larger), without a separator at the end unless it is the root.
std::string JoinParts(PathStyle style, const PathParts& parts, std::size_t depth = std::string::npos);

// JoinParts of SplitPath: the absolute, normal form of `path`.
std::string NormalPath(PathStyle style, std::string_view path, std::string_view currentDirectory);

// The process's current directory, UTF-8 on Windows; the root when it cannot
// be had.
std::string CurrentDirectory();

}  // namespace quillmere
