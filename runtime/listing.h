// Listing the entries of a folder in the order the run takes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/folder.h"

namespace quillmere {

// What an entry is once symbolic links are followed.
enum class EntryKind {
  kFolder,
  kPlainFile,
  kOther,       // a pipe, socket or device
  kUnreachable  // a link that leads nowhere or in a loop, or an entry that vanished
};

struct ListedEntry {
  std::string name;  // the name alone, no path, bytes as the file system gives them
  EntryKind kind = EntryKind::kUnreachable;
};

// True when `a` comes before `b`: bytes compared with ASCII letters folded to
// lower case, ties broken by the bytes themselves ("a" < "B" < "b" < "c", "A1" < "a1" < "a10").
bool ListingOrder(std::string_view a, std::string_view b);

// The entries of `folder`, sorted by ListingOrder. Names that begin with "."
// are hidden and left out, and so are "." and "..". Throws FileError naming
// `folder` when it cannot be listed (it does not exist, is not a folder, or
// may not be read, or memory runs out).
std::vector<ListedEntry> List(const std::string& folder);

// The same for a folder held open: its entries as they are now.
std::vector<ListedEntry> List(const Folder& folder);

}  // namespace quillmere
