// The system's side of listing a folder. One source per platform.
#pragma once

#include <string>
#include <vector>

#include "runtime/folder.h"
#include "runtime/listing.h"

namespace quillmere {

// Every entry of `folder` but "." and "..", in the order the system gives
// them, each with its kind once symbolic links are followed. Throws FileError
// naming `folder` ("cannot list: ...") when it cannot be read to the end.
std::vector<ListedEntry> ReadFolderEntries(const std::string& folder);

// The same for a folder held open, read from its start.
std::vector<ListedEntry> ReadFolderEntries(const Folder& folder);

}  // namespace quillmere
