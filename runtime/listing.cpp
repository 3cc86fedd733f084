#include "runtime/listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "runtime/file_error.h"

namespace quillmere {

namespace fs = std::filesystem;

namespace {

unsigned char FoldedByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

EntryKind KindOfStatus(const fs::file_status& status) {
  switch (status.type()) {
    case fs::file_type::directory:
      return EntryKind::kFolder;
    case fs::file_type::regular:
      return EntryKind::kPlainFile;
    case fs::file_type::not_found:
    case fs::file_type::none:
    case fs::file_type::unknown:
      return EntryKind::kUnreachable;
    default:
      return EntryKind::kOther;
  }
}

}  // namespace

bool ListingOrder(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = FoldedByte(a[i]);
    const unsigned char y = FoldedByte(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // std::string_view compares bytes as unsigned char
}

std::vector<ListedEntry> List(const std::string& folder) {
  std::error_code error;
  fs::directory_iterator it(fs::path(folder), error);
  if (error) throw SystemError(folder, "cannot list", error.value());

  std::vector<ListedEntry> entries;
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code statusError;
    const fs::file_status status = it->status(statusError);
    entries.push_back({std::move(name), statusError ? EntryKind::kUnreachable : KindOfStatus(status)});
  }
  if (error) throw SystemError(folder, "cannot list", error.value());

  std::sort(entries.begin(), entries.end(),
            [](const ListedEntry& a, const ListedEntry& b) { return ListingOrder(a.name, b.name); });
  return entries;
}

EntryKind KindOf(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(fs::path(path), error);
  return error ? EntryKind::kUnreachable : KindOfStatus(status);
}

}  // namespace quillmere
