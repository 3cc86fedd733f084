#include "runtime/path.h"

namespace quillmere {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path += folder;
  if (folder.empty() || kPathSeparators.find(folder.back()) == std::string_view::npos) path += kPathSeparator;
  path += name;
  return path;
}

FolderAndName SplitFolderAndName(std::string_view path) {
  const std::size_t separator = path.find_last_of(kPathSeparators);
  if (separator == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, separator + 1)), std::string(path.substr(separator + 1))};
}

namespace {

bool IsSeparator(PathStyle style, char c) { return c == '/' || (style == PathStyle::kWindows && c == '\\'); }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Length of the root that begins `path` ("C:", "C:\", "\\server\share\",
// "/"), or 0 when `path` is relative. `root` receives it in written form.
std::size_t RootOf(PathStyle style, std::string_view path, std::string& root) {
  if (style == PathStyle::kPosix) {
    if (path.empty() || path.front() != '/') return 0;
    root.assign(1, '/');
    return 1;
  }
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    root = {Upper(path[0]), ':', '\\'};
    return path.size() > 2 && IsSeparator(style, path[2]) ? 3 : 2;
  }
  if (path.size() > 2 && IsSeparator(style, path[0]) && IsSeparator(style, path[1])) {
    // "\\server\share\": the share is part of the root.
    std::size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
      while (end < path.size() && !IsSeparator(style, path[end])) ++end;
      if (part == 0 && end < path.size()) ++end;
    }
    root.assign(2, '\\');
    root.append(path.substr(2, end - 2));
    root.push_back('\\');
    for (char& c : root)
      if (c == '/') c = '\\';
    return end < path.size() ? end + 1 : end;
  }
  return 0;
}

void AddNames(PathStyle style, std::string_view text, std::vector<std::string>& names) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsSeparator(style, text[end])) ++end;
    const std::string_view name = text.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    start = end + 1;
  }
}

}  // namespace

PathParts SplitPath(PathStyle style, std::string_view path, std::string_view currentDirectory) {
  PathParts parts;
  const std::size_t rootLength = RootOf(style, path, parts.root);
  if (rootLength == 0) {
    // Relative: below the current directory, or on a Windows path that
    // begins with a separator, below its drive's root.
    const std::size_t currentRootLength = RootOf(style, currentDirectory, parts.root);
    if (currentRootLength == 0) parts.root = style == PathStyle::kPosix ? "/" : "C:\\";
    const bool rootedOnCurrentDrive = !path.empty() && IsSeparator(style, path.front());
    if (!rootedOnCurrentDrive) AddNames(style, currentDirectory.substr(currentRootLength), parts.names);
  }
  // "C:runs" is taken from the drive's root: this function knows no current
  // directory per drive.
  AddNames(style, path.substr(rootLength), parts.names);
  return parts;
}

std::string JoinParts(PathStyle style, const PathParts& parts, std::size_t depth) {
  const char separator = style == PathStyle::kPosix ? '/' : '\\';
  std::string path = parts.root;
  for (std::size_t i = 0; i < parts.names.size() && i < depth; ++i) {
    if (i > 0) path += separator;
    path += parts.names[i];
  }
  return path;
}

std::string NormalPath(PathStyle style, std::string_view path, std::string_view currentDirectory) {
  return JoinParts(style, SplitPath(style, path, currentDirectory));
}

std::string FileUrl(std::string_view absolutePath) {
  constexpr std::string_view kKept = "/-._~";
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string link = "file://";
  for (const char c : absolutePath) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alphanumeric = IsLetter(c) || (c >= '0' && c <= '9');
    if (alphanumeric || kKept.find(c) != std::string_view::npos) {
      link += c;
    } else {
      link += '%';
      link += kHex[byte >> 4];
      link += kHex[byte & 0x0F];
    }
  }
  return link;
}

}  // namespace quillmere
