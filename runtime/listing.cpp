#include "runtime/listing.h"

#include <algorithm>
#include <new>

#include "runtime/file_error.h"
#include "runtime/folder_entries.h"

namespace quillmere {

namespace {

unsigned char FoldedByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// The visible entries of `folder`, sorted.
template <typename FolderType>
std::vector<ListedEntry> SortedVisibleEntries(const FolderType& folder) {
  std::vector<ListedEntry> entries = ReadFolderEntries(folder);
  std::erase_if(entries,
                [](const ListedEntry& entry) { return entry.name.empty() || entry.name.front() == '.'; });
  std::sort(entries.begin(), entries.end(),
            [](const ListedEntry& a, const ListedEntry& b) { return ListingOrder(a.name, b.name); });
  return entries;
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
  try {
    return SortedVisibleEntries(folder);
  } catch (const std::bad_alloc&) {
    // The entries read so far are freed by now, which leaves room for the message.
    throw FileError(folder, "cannot list: not enough memory");
  }
}

std::vector<ListedEntry> List(const Folder& folder) {
  try {
    return SortedVisibleEntries(folder);
  } catch (const std::bad_alloc&) {
    throw FileError(folder.path(), "cannot list: not enough memory");
  }
}

}  // namespace quillmere
